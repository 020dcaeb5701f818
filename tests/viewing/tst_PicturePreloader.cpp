// The picture preloader: decodes off the UI thread, hands a picture over once, and never
// hands over one whose file has changed since it was decoded.
#include "PicturePreloader.h"
#include "JpegDecoder.h"
#include "ManyScanJpeg.h"
#include "Pictures.h"
#include "TestRegistry.h"
#include "ViewingTestCase.h"
#include "TestState.h"
#include "ViewingTestFiles.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace pixdock;
using namespace pixdock::viewing;

class TestPicturePreloader : public test::ViewerTestCase
{
    Q_OBJECT
private slots:
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
        const QString b = test::writePicture(folder(), "b.bmp", {40, 30}, Qt::red);
        preloader.preload(b);
        preloader.waitUntilIdle();
        QVERIFY(preloader.isReady(b));

        if (change == "repaint")
            test::writePicture(folder(), "b.bmp", {40, 30}, Qt::blue);
        else if (change == "resize")
            test::writePicture(folder(), "b.bmp", {41, 30}, Qt::red);
        else if (change == "replace")
            QCOMPARE(std::rename(QFile::encodeName(test::writePicture(folder(), "other.bmp", {40, 30}, Qt::green)).constData(),
                                 QFile::encodeName(b).constData()),
                     0);
        else if (change == "delete")
            QVERIFY(QFile::remove(b));
        else if (change == "text")
            test::writeBytes(folder(), "b.bmp", "not a picture");

        QVERIFY(!preloader.take(b));
        QCOMPARE(preloader.handedOver(), 0);
    }

    void whatIsHeldAndWhatIsNot_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("budget");
        QTest::addColumn<bool>("held");
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
        QFETCH(QString, kind);
        QFETCH(qint64, budget);
        QFETCH(bool, held);
        const QString p = path("p.png");
        test::writeKind(folder(), "p.png", kind, {100, 100});

        PicturePreloader preloader;
        preloader.setBudgetBytes(budget);
        preloader.preload(p);
        preloader.waitUntilIdle();
        QCOMPARE(preloader.isReady(p), held);
        QCOMPARE(preloader.take(p).has_value(), held);
    }

    void theFileAfterTheShownOneIsPreloaded()
    {
        for (const char *name : {"a.png", "b.png", "c.png"})
            test::writePicture(folder(), name, {20, 10});
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

    // Asked again for the picture it is decoding, it lets that decode run on rather than
    // beginning it again.
    void askedAgainForThePictureItIsDecodingItDecodesItOnce()
    {
        const QString slow = test::writeBytes(folder(), "slow.jpg", test::manyScanJpeg(MostScans - 10, {4096, 4096}));
        PicturePreloader preloader;
        QSignalSpy ended(&preloader, &PicturePreloader::decodeEnded);
        preloader.preload(slow);
        QTRY_VERIFY(preloader.isDecoding(slow));
        preloader.preload(slow);
        // The first decode to end is the one under way, and it made the picture.
        QVERIFY(ended.wait(30000));
        QVERIFY(preloader.isReady(slow));
    }

    void onlyTheLatestRequestIsKept()
    {
        for (const char *name : {"a.png", "b.png"})
            test::writePicture(folder(), name, {2000, 1500});
        PicturePreloader preloader;
        preloader.preload(path("a.png"));
        preloader.preload(path("b.png"));
        preloader.waitUntilIdle();
        QVERIFY(!preloader.isReady(path("a.png")));
        QVERIFY(preloader.isReady(path("b.png")));
        preloader.clear();
        QVERIFY(!preloader.isReady(path("b.png")));
    }
};

PIXDOCK_REGISTER_TEST(TestPicturePreloader)
#include "tst_PicturePreloader.moc"
