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
        using test::pngClaiming, test::truncatedPicture;
        const QString d = m_dataDir.path();
        const auto row = [](const char *tag, const QString &path, QVariant result) {
            QTest::newRow(tag) << path << result;
        };
        const auto bytes = [&d](const char *name, const QByteArray &data) { return test::writeBytes(d, name, data); };
        // Pictures Qt writes, read back at their size.
        for (auto [tag, name, size] :
             {std::tuple{"bmp", "a.bmp", QSize(40, 30)}, {"ico", "a.ico", QSize(32, 32)}, {"jpeg", "a.jpg", QSize(41, 29)},
              {"png", "a.png", QSize(640, 480)}, {"webp", "a.webp", QSize(20, 10)}, {"tiff", "a.tif", QSize(20, 10)},
              {"odd name", "it's \"odd\" 100% \nü.png", QSize(3, 4)}})
            row(tag, test::writePicture(d, name, size), size);
        row("gif", bytes("a.gif", test::tinyGif()), QSize(1, 1));
        row("content decides, not the name", bytes("png-named.jpg", truncatedPicture("png", {12, 7}, 1.0)), QSize(12, 7));
        row("no extension", bytes("noext", truncatedPicture("bmp", {5, 6}, 1.0)), QSize(5, 6));
        row("EXIF orientation turns it upright", test::writeTurnedJpeg(d, "turned.jpg", {60, 20}), QSize(20, 60));
        row("cut-off jpeg shows what is there", bytes("cut.jpg", truncatedPicture("jpeg", {200, 200}, 0.6)), QSize(200, 200));
        row("zero bytes", bytes("empty.jpg", {}), 481);
        row("text named .jpg", bytes("text.jpg", "just some words\n"), 481);
        row("cut-off png", bytes("cut.png", truncatedPicture("png", {200, 200}, 0.5)), 481);
        row("header of a png only", bytes("head.png", truncatedPicture("png", {200, 200}, 0.0)), 481);
        row("header claims 65535 x 65535", bytes("huge.png", pngClaiming({65535, 65535})), viewing::PictureTooLarge);
        row("header claims 20000 x 20000, just past the limit", bytes("big.png", pngClaiming({20000, 20000})),
            viewing::PictureTooLarge);
        row("header claims 16000 x 16000, within the limit but cut off", bytes("within.png", pngClaiming({16000, 16000})), 481);
        row("pipe never waits", test::makeFifo(d, "pipe.jpg"), 481);
        row("folder", (QDir(d).mkdir("dir.jpg"), d + "/dir.jpg"), 75);
        row("missing file in a folder", d + "/missing.jpg", 53);
        row("missing folder", d + "/nowhere/a.jpg", 76);
        row("file used as a folder", d + "/text.jpg/a.jpg", 76);
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
        QTest::newRow("a pipe, never waited on") << "pipe" << fits << false;
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

};

PIXDOCK_REGISTER_TEST(TestPictureReading)
#include "tst_PictureReading.moc"
