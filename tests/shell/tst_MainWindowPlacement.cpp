// The main window's stored position: reading the text values and fitting a window to its screen.
#include "MainWindowPlacement.h"
#include "TestRegistry.h"

#include <QTest>

using namespace pixdock;
using namespace pixdock::placement;

class TestMainWindowPlacement : public QObject
{
    Q_OBJECT
private slots:
    void storedTextBecomesTwips_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("coordinate");
        QTest::addColumn<int>("extent");
        QTest::newRow("spaces around the number") << QVariant(" 1500 ") << 1500 << 1500;
        QTest::newRow("fraction rounds to whole twips") << QVariant("1500.6") << 1501 << 1501;
        QTest::newRow("negative position is a position") << QVariant("-3000") << -3000 << -1;
        QTest::newRow("zero size is no size") << QVariant("0") << 0 << -1;
        QTest::newRow("number followed by text") << QVariant("12abc") << -1 << -1;
        QTest::newRow("infinity") << QVariant("inf") << -1 << -1;
        QTest::newRow("beyond any screen") << QVariant("1e30") << -1 << -1;
    }
    void storedTextBecomesTwips()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, coordinate);
        QFETCH(int, extent);
        QCOMPARE(placement::coordinate(stored, -1), coordinate);
        QCOMPARE(placement::extent(stored, -1), extent);
    }

    // Two screens side by side; the first has a panel 30 pixels high along its bottom.
    void aRestoredWindowFitsTheScreenItLandsOn_data()
    {
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("partly off the right edge comes inside") << QRect(700, 100, 433, 433)
                                                                 << QRect(367, 100, 433, 433);
        QTest::newRow("over the panel comes above it") << QRect(100, 300, 433, 433) << QRect(100, 137, 433, 433);
        QTest::newRow("corner on the first screen fits the first")
            << QRect(700, 500, 433, 433) << QRect(367, 137, 433, 433);
        QTest::newRow("corner off every screen, mostly on the second, fits the second")
            << QRect(700, -100, 433, 433) << QRect(800, 0, 433, 433);
        QTest::newRow("beyond the second screen comes back") << QRect(5000, 50, 433, 433)
                                                              << QRect(67, 67, 433, 433);
        QTest::newRow("title bar above the screen comes down") << QRect(100, -50, 433, 433)
                                                               << QRect(100, 0, 433, 433);
        QTest::newRow("larger than the screen shrinks to it, corner on it")
            << QRect(67, 67, 32767, 32767) << QRect(0, 0, 800, 570);
        QTest::newRow("larger than the second screen shrinks to the second")
            << QRect(1000, 50, 5000, 5000) << QRect(800, 0, 1024, 768);
        QTest::newRow("too tall only keeps its width") << QRect(100, 20, 433, 2000) << QRect(100, 0, 433, 570);
    }
    void aRestoredWindowFitsTheScreenItLandsOn()
    {
        QFETCH(QRect, outer);
        QFETCH(QRect, expected);
        const QList<ScreenArea> screens = {{{0, 0, 800, 600}, {0, 0, 800, 570}},
                                           {{800, 0, 1024, 768}, {800, 0, 1024, 768}}};
        QCOMPARE(fitOnScreen(outer, screens, QRect(0, 0, 800, 570)), expected);
    }
};

PIXDOCK_REGISTER_TEST(TestMainWindowPlacement)
#include "tst_MainWindowPlacement.moc"
