// The picture preloader: decodes off the UI thread, hands a picture over once, and never
// hands over one whose file has changed since it was decoded.
#include "PicturePreloader.h"
#include "ViewingTestCase.h"

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

PIXDOCK_REGISTER_TEST(TestPicturePreloader)
#include "tst_PicturePreloader.moc"
