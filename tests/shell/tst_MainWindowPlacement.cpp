// The main window's stored position: reading the text values and keeping a window on screen.
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
        QTest::newRow("absent") << QVariant() << -1 << -1;
        QTest::newRow("whole number") << QVariant("1500") << 1500 << 1500;
        QTest::newRow("spaces around the number") << QVariant(" 1500 ") << 1500 << 1500;
        QTest::newRow("fraction rounds to whole twips") << QVariant("1500.6") << 1501 << 1501;
        QTest::newRow("negative position is a position") << QVariant("-3000") << -3000 << -1;
        QTest::newRow("zero size is no size") << QVariant("0") << 0 << -1;
        QTest::newRow("not a number") << QVariant("abc") << -1 << -1;
        QTest::newRow("number followed by text") << QVariant("12abc") << -1 << -1;
        QTest::newRow("empty text") << QVariant("") << -1 << -1;
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

    void aWindowOffEveryScreenComesBack_data()
    {
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QRect>("expected");
        const QRect size(0, 0, 433, 433);
        QTest::newRow("inside the screen stays") << QRect(67, 67, 433, 433) << QRect(67, 67, 433, 433);
        QTest::newRow("partly off the right edge stays") << QRect(700, 100, 433, 433)
                                                         << QRect(700, 100, 433, 433);
        QTest::newRow("on the second screen stays") << QRect(1000, 50, 433, 433) << QRect(1000, 50, 433, 433);
        QTest::newRow("beyond the second screen comes back") << QRect(5000, 50, 433, 433)
                                                              << QRect(67, 67, 433, 433);
        QTest::newRow("above every screen comes back") << QRect(10, -1000, 433, 433)
                                                       << QRect(67, 67, 433, 433);
        QTest::newRow("left of every screen comes back") << QRect(-2000, 10, 433, 433)
                                                         << QRect(67, 67, 433, 433);
    }
    void aWindowOffEveryScreenComesBack()
    {
        QFETCH(QRect, outer);
        QFETCH(QRect, expected);
        const QList<QRect> screens = {{0, 0, 800, 600}, {800, 0, 1024, 768}};
        QCOMPARE(keepOnScreen(outer, screens, QRect(0, 0, 800, 570)), expected);
    }
};

PIXDOCK_REGISTER_TEST(TestMainWindowPlacement)
#include "tst_MainWindowPlacement.moc"
