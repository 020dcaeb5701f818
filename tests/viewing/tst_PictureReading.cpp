// Reading pictures: the formats that open, upright, and how each kind of bad file fails; and
// the picture preloader: decodes off the UI thread, hands a picture over once, and never
// hands over one whose file has changed since it was decoded.
#include "PictureLoader.h"
#include "ViewingTestCase.h"

#include <cstdio>

using namespace pixdock;
using namespace pixdock::viewing;

class TestPictureReading : public test::ViewerTestCase
{
    Q_OBJECT
    QTemporaryDir m_dataDir; // pictures made by _data() functions, which run before init()

private slots:
    void aPictureOpensUprightOrFailsWithItsNumber_data()
    {
        // result: the size read, or the error number
        test::columns<QString, QVariant>("path", "result");
        const QString d = m_dataDir.path();
        QTest::newRow("bmp") << test::writePicture(d, "a.bmp", {40, 30}) << QVariant(QSize(40, 30));
        QTest::newRow("ico") << test::writePicture(d, "a.ico", {32, 32}) << QVariant(QSize(32, 32));
        QTest::newRow("jpeg") << test::writePicture(d, "a.jpg", {41, 29}) << QVariant(QSize(41, 29));
        QTest::newRow("png") << test::writePicture(d, "a.png", {640, 480}) << QVariant(QSize(640, 480));
        QTest::newRow("gif") << test::writeBytes(d, "a.gif", test::tinyGif()) << QVariant(QSize(1, 1));
        QTest::newRow("webp") << test::writePicture(d, "a.webp", {20, 10}) << QVariant(QSize(20, 10));
        QTest::newRow("tiff") << test::writePicture(d, "a.tif", {20, 10}) << QVariant(QSize(20, 10));
        QTest::newRow("content decides, not the name")
            << test::writeBytes(d, "png-named.jpg", test::truncatedPicture("png", {12, 7}, 1.0)) << QVariant(QSize(12, 7));
        QTest::newRow("no extension") << test::writeBytes(d, "noext", test::truncatedPicture("bmp", {5, 6}, 1.0))
                                      << QVariant(QSize(5, 6));
        QTest::newRow("EXIF orientation turns it upright")
            << test::writeTurnedJpeg(d, "turned.jpg", {60, 20}) << QVariant(QSize(20, 60));
        QTest::newRow("odd name") << test::writePicture(d, "it's \"odd\" 100% \nü.png", {3, 4}) << QVariant(QSize(3, 4));
        QTest::newRow("cut-off jpeg shows what is there")
            << test::writeBytes(d, "cut.jpg", test::truncatedPicture("jpeg", {200, 200}, 0.6)) << QVariant(QSize(200, 200));
        QTest::newRow("zero bytes") << test::writeBytes(d, "empty.jpg", {}) << QVariant(481);
        QTest::newRow("text named .jpg") << test::writeBytes(d, "text.jpg", "just some words\n") << QVariant(481);
        QTest::newRow("cut-off png") << test::writeBytes(d, "cut.png", test::truncatedPicture("png", {200, 200}, 0.5))
                                     << QVariant(481);
        QTest::newRow("header of a png only")
            << test::writeBytes(d, "head.png", test::truncatedPicture("png", {200, 200}, 0.0)) << QVariant(481);
        QTest::newRow("header claims 65535 x 65535")
            << test::writeBytes(d, "huge.png", test::pngClaiming({65535, 65535})) << QVariant(viewing::PictureTooLarge);
        QTest::newRow("header claims 20000 x 20000, just past the limit")
            << test::writeBytes(d, "big.png", test::pngClaiming({20000, 20000})) << QVariant(viewing::PictureTooLarge);
        QTest::newRow("header claims 16000 x 16000, within the limit but cut off")
            << test::writeBytes(d, "within.png", test::pngClaiming({16000, 16000})) << QVariant(481);
        QTest::newRow("pipe never waits") << test::makeFifo(d, "pipe.jpg") << QVariant(481);
        QTest::newRow("folder") << (QDir(d).mkdir("dir.jpg"), d + "/dir.jpg") << QVariant(75);
        QTest::newRow("missing file in a folder") << d + "/missing.jpg" << QVariant(53);
        QTest::newRow("missing folder") << d + "/nowhere/a.jpg" << QVariant(76);
        QTest::newRow("file used as a folder") << d + "/text.jpg/a.jpg" << QVariant(76);
    }

    void aPictureOpensUprightOrFailsWithItsNumber()
    {
        const auto [path, result] = test::fetch<QString, QVariant>("path", "result");
        try {
            QCOMPARE(QVariant(viewing::loadPicture(path).size()), result);
        } catch (const RunTimeError &e) {
            QCOMPARE(QVariant(e.number()), result);
        }
    }
    void aPictureChangedSinceItWasDecodedIsNotHandedOver_data()
    {
        QTest::addColumn<QString>("change");
        // Same size in bytes and, within the same second, possibly the same times: only
        // the contents tell.
        QTest::newRow("rewritten in place with other pixels, same length") << "repaint";
        QTest::newRow("rewritten with another size") << "resize";
        QTest::newRow("replaced by renaming another file over it") << "replace";
        QTest::newRow("deleted") << "delete";
        QTest::newRow("made into text") << "text";
    }

    void aPictureChangedSinceItWasDecodedIsNotHandedOver()
    {
        QFETCH(QString, change);
        PicturePreloader preloader;
        const QString b = picture("b.bmp", {40, 30}, Qt::red);
        preloader.preload(b);
        preloader.waitUntilIdle();
        QVERIFY(preloader.isReady(b));

        if (change == "repaint" || change == "resize")
            picture("b.bmp", {change == "resize" ? 41 : 40, 30}, change == "resize" ? Qt::red : Qt::blue);
        else if (change == "replace")
            QCOMPARE(std::rename(QFile::encodeName(picture("c.bmp", {40, 30}, Qt::green)), QFile::encodeName(b)), 0);
        else if (change == "delete")
            QVERIFY(QFile::remove(b));
        else if (change == "text")
            test::writeBytes(folder(), "b.bmp", "not a picture");

        QVERIFY(!preloader.take(b));
        QCOMPARE(preloader.handedOver(), 0);
    }

    void whatIsHeldAndWhatIsNot_data()
    {
        test::columns<QString, qint64, bool>("kind", "budget", "held");
        const qint64 fits = 100 * 100 * 4;
        QTest::newRow("a picture as large as the budget") << "picture" << fits << true;
        QTest::newRow("a picture over the budget") << "picture" << fits - 1 << false;
        QTest::newRow("no budget: nothing is preloaded") << "picture" << qint64(0) << false;
        QTest::newRow("text") << "text" << fits << false;
        QTest::newRow("a cut-off picture") << "cut" << fits << false;
        QTest::newRow("a pipe, never waited on") << "pipe" << fits << false;
        QTest::newRow("a missing file") << "missing" << fits << false;
        QTest::newRow("a folder") << "folder" << fits << false;
    }

    void whatIsHeldAndWhatIsNot()
    {
        const auto [kind, budget, held] = test::fetch<QString, qint64, bool>("kind", "budget", "held");
        test::writeKind(folder(), "p.png", kind, {100, 100});
        PicturePreloader preloader;
        preloader.setBudgetBytes(budget);
        preloader.preload(path("p.png"));
        preloader.waitUntilIdle();
        QCOMPARE(preloader.isReady(path("p.png")), held);
        QCOMPARE(preloader.take(path("p.png")).has_value(), held);
    }

    void theFileAfterTheShownOneIsPreloaded()
    {
        for (const char *name : {"a.png", "b.png", "c.png"})
            picture(name);
        PicturePreloader preloader;
        preloader.preloadNextInFolder(path("a.png"));
        preloader.waitUntilIdle();
        QVERIFY(preloader.isReady(path("b.png")));

        // Asked again for the same, it keeps what it has; asked for the last file's next,
        // there is none and the held picture goes.
        preloader.preloadNextInFolder(path("a.png"));
        QVERIFY(preloader.isReady(path("b.png")));
        preloader.preloadNextInFolder(path("c.png"));
        preloader.waitUntilIdle();
        QVERIFY(!preloader.isReady(path("b.png")));
        QVERIFY(!preloader.isReady(path("c.png")));
    }

};

PIXDOCK_REGISTER_TEST(TestPictureReading)
#include "tst_PictureReading.moc"
