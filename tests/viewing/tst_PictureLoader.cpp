// Reading pictures: the formats that open, and how each kind of bad file fails.
#include "Pictures.h"
#include "PictureLoader.h"
#include "RunTimeError.h"
#include "TestRegistry.h"
#include "ViewingTestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace pixdock;

class TestPictureLoader : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void everyFormatOpensUpright_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        const QString d = m_dir.path();
        QTest::newRow("bmp") << test::writePicture(d, "a.bmp", {40, 30}) << QSize(40, 30);
        QTest::newRow("ico") << test::writePicture(d, "a.ico", {32, 32}) << QSize(32, 32);
        QTest::newRow("jpeg") << test::writePicture(d, "a.jpg", {41, 29}) << QSize(41, 29);
        QTest::newRow("png") << test::writePicture(d, "a.png", {640, 480}) << QSize(640, 480);
        QTest::newRow("gif") << test::writeBytes(d, "a.gif", test::tinyGif()) << QSize(1, 1);
        QTest::newRow("webp") << test::writePicture(d, "a.webp", {20, 10}) << QSize(20, 10);
        QTest::newRow("tiff") << test::writePicture(d, "a.tif", {20, 10}) << QSize(20, 10);
        QTest::newRow("content decides, not the name")
            << test::writeBytes(d, "png-named.jpg", test::truncatedPicture("png", {12, 7}, 1.0)) << QSize(12, 7);
        QTest::newRow("no extension") << test::writeBytes(d, "noext", test::truncatedPicture("bmp", {5, 6}, 1.0))
                                      << QSize(5, 6);
        QTest::newRow("EXIF orientation turns it upright")
            << test::writeTurnedJpeg(d, "turned.jpg", {60, 20}) << QSize(20, 60);
        QTest::newRow("odd name") << test::writePicture(d, "it's \"odd\" 100% \nü.png", {3, 4}) << QSize(3, 4);
    }

    void everyFormatOpensUpright()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QCOMPARE(viewing::loadPicture(path).size(), size);
    }

    void badFilesFailWithTheirNumber_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("error");
        const QString d = m_dir.path();
        QTest::newRow("zero bytes") << test::writeBytes(d, "empty.jpg", {}) << 481;
        QTest::newRow("text named .jpg") << test::writeBytes(d, "text.jpg", "just some words\n") << 481;
        QTest::newRow("cut-off png") << test::writeBytes(d, "cut.png", test::truncatedPicture("png", {200, 200}, 0.5))
                                     << 481;
        QTest::newRow("header of a png only")
            << test::writeBytes(d, "head.png", test::truncatedPicture("png", {200, 200}, 0.0)) << 481;
        QTest::newRow("header claims 65535 x 65535")
            << test::writeBytes(d, "huge.png", test::pngClaiming({65535, 65535})) << viewing::PictureTooLarge;
        QTest::newRow("header claims 20000 x 20000, just past the limit")
            << test::writeBytes(d, "big.png", test::pngClaiming({20000, 20000})) << viewing::PictureTooLarge;
        QTest::newRow("header claims 16000 x 16000, within the limit but cut off")
            << test::writeBytes(d, "within.png", test::pngClaiming({16000, 16000})) << 481;
        QTest::newRow("pipe never waits") << test::makeFifo(d, "pipe.jpg") << 481;
        QTest::newRow("folder") << (QDir(d).mkdir("dir.jpg"), d + "/dir.jpg") << 75;
        QTest::newRow("missing file in a folder") << d + "/missing.jpg" << 53;
        QTest::newRow("missing folder") << d + "/nowhere/a.jpg" << 76;
        QTest::newRow("file used as a folder") << d + "/text.jpg/a.jpg" << 76;
    }

    void badFilesFailWithTheirNumber()
    {
        QFETCH(QString, path);
        QFETCH(int, error);
        int raised = 0;
        try {
            viewing::loadPicture(path);
        } catch (const RunTimeError &e) {
            raised = e.number();
        }
        QCOMPARE(raised, error);
    }

    void cutOffJpegShowsWhatIsThere()
    {
        const QString path =
            test::writeBytes(m_dir.path(), "cut.jpg", test::truncatedPicture("jpeg", {200, 200}, 0.6));
        QCOMPARE(viewing::loadPicture(path).size(), QSize(200, 200));
    }
};

PIXDOCK_REGISTER_TEST(TestPictureLoader)
#include "tst_PictureLoader.moc"
