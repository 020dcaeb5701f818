// Reading pictures: the formats that open, upright, and how each kind of bad file fails; and
// the picture preloader: decodes off the UI thread, hands a picture over once, and never
// hands over one whose file has changed since it was decoded.
#include "ViewingTestCase.h"

#include <cstdio>

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
        const auto row = [](const char *tag, const QString &path, QVariant result) { QTest::newRow(tag) << path << result; };
        const auto bytes = [&d](const char *name, const QByteArray &data) { return test::writeBytes(d, name, data); };
        // Each format intact, under another format's extension and as zero bytes: the
        // damaged-picture run (tests_viewing_thumbnails TestBadPictures). Text, a cut-off
        // picture, a pipe, a missing folder and a huge size claimed: the viewer's own table
        // (TestFrmViewer whenThePictureCannotBeShown), each number with its own message.
        row("odd name", test::writePicture(d, "it's \"odd\" 100% \nü.png", {3, 4}), QSize(3, 4));
        row("no extension", bytes("noext", truncatedPicture("bmp", {5, 6}, 1.0)), QSize(5, 6));
        row("EXIF orientation turns it upright", test::writeTurnedJpeg(d, "turned.jpg", {60, 20}), QSize(20, 60));
        row("cut-off jpeg shows what is there", bytes("cut.jpg", truncatedPicture("jpeg", {200, 200}, 0.6)), QSize(200, 200));
        row("header claims 20000 x 20000, just past the limit", bytes("big.png", pngClaiming({20000, 20000})),
            viewing::PictureTooLarge);
        row("header claims 16000 x 16000, within the limit but cut off", bytes("within.png", pngClaiming({16000, 16000})), 481);
        QVERIFY(QDir(d).mkdir("dir.jpg"));
        row("folder", d + "/dir.jpg", 75);
        row("missing file in a folder", d + "/missing.jpg", 53);
        row("file used as a folder", d + "/noext/a.jpg", 76);
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
    // What the preloader holds and hands over: a picture within its budget, and only while its
    // file is as it was decoded.
    void whatIsHeldAndHandedOver_data()
    {
        test::columns<QString, qint64, QString, bool>("kind", "budget", "change", "held");
        const qint64 fits = 100 * 100 * 4;
        QTest::newRow("a picture as large as the budget") << "picture" << fits << "" << true;
        QTest::newRow("a picture over the budget") << "picture" << fits - 1 << "" << false;
        QTest::newRow("no budget: nothing is preloaded") << "picture" << qint64(0) << "" << false;
        QTest::newRow("text") << "text" << fits << "" << false;
        QTest::newRow("a cut-off picture") << "cut" << fits << "" << false;
        QTest::newRow("a pipe, never waited on") << "pipe" << fits << "" << false;
        // Same size in bytes and, within the same second, possibly the same times: only the
        // contents tell.
        // (Rewritten in place with other pixels of the same length, and deleted: the stepping
        // journey, TestFolderStepping nextShowsTheNextPictureAsItIsOnDisk.)
        QTest::newRow("rewritten with another size") << "picture" << fits << "resize" << false;
        QTest::newRow("replaced by renaming another file over it") << "picture" << fits << "replace" << false;
    }

    void whatIsHeldAndHandedOver()
    {
        const auto [kind, budget, change, held] = test::fetch<QString, qint64, QString, bool>("kind", "budget", "change", "held");
        const QString p = path("p.bmp");
        test::writeKind(folder(), "p.bmp", kind, {100, 100});
        PicturePreloader preloader;
        preloader.setBudgetBytes(budget);
        preloader.preload(p);
        preloader.waitUntilIdle();
        QCOMPARE(preloader.isReady(p), held || !change.isEmpty());
        if (change == "resize")
            picture("p.bmp", {101, 100});
        else if (change == "replace")
            QCOMPARE(std::rename(QFile::encodeName(picture("c.bmp", {100, 100}, Qt::green)), QFile::encodeName(p)), 0);
        QCOMPARE(preloader.take(p).has_value(), held);
        QCOMPARE(preloader.handedOver(), int(held));
    }
};

PIXDOCK_REGISTER_TEST(TestPictureReading)
#include "tst_PictureReading.moc"
