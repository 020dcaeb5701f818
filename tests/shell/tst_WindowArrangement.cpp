// Cascading and tiling child windows and lining up minimised ones: the remainders and edges
// the two-window journeys through the Window menu do not reach.
#include "TestRegistry.h"
#include "WindowArrangement.h"

#include <QTest>

using namespace pixdock;
using namespace pixdock::arrangement;

using Rects = QList<QRect>;
using Points = QList<QPoint>;
using Sizes = QList<QSize>;

class TestWindowArrangement : public QObject
{
    Q_OBJECT
private slots:
    // "tile v"/"tile h" take `sizes.size()` windows; "cascade" steps by 30; "icons" lines up.
    void arrangements_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<Sizes>("sizes");
        QTest::addColumn<Rects>("expected");
        const Sizes five(5);
        QTest::newRow("three columns, edges meet") << "tile v" << QRect(0, 0, 100, 50) << Sizes(3)
            << Rects{{0, 0, 33, 50}, {33, 0, 33, 50}, {66, 0, 34, 50}};
        QTest::newRow("five vertical: last column takes three") << "tile v" << QRect(10, 20, 600, 300) << five
            << Rects{{10, 20, 300, 150}, {10, 170, 300, 150}, {310, 20, 300, 100}, {310, 120, 300, 100}, {310, 220, 300, 100}};
        QTest::newRow("five horizontal: last row takes three") << "tile h" << QRect(0, 0, 300, 600) << five
            << Rects{{0, 0, 150, 300}, {150, 0, 150, 300}, {0, 300, 100, 300}, {100, 300, 100, 300}, {200, 300, 100, 300}};
        QTest::newRow("tiles in an empty area") << "tile v" << QRect() << Sizes(2) << Rects{};
        QTest::newRow("cascade too large: shrunk to what is left") << "cascade" << QRect(0, 0, 600, 400)
            << Sizes{{800, 500}, {700, 300}} << Rects{{0, 0, 600, 400}, {30, 30, 570, 300}};
        QTest::newRow("cascade past the middle: back to the corner") << "cascade" << QRect(120, 0, 100, 100)
            << Sizes(3, {40, 40}) << Rects{{120, 0, 40, 40}, {150, 30, 40, 40}, {120, 0, 40, 40}};
        QTest::newRow("cascade in an empty area") << "cascade" << QRect() << Sizes{{10, 10}} << Rects{};
        // Icons: the rectangle of each, then the area left above them.
        QTest::newRow("the fourth icon starts a row above") << "icons" << QRect(0, 0, 300, 200) << Sizes(4, {100, 20})
            << Rects{{0, 180, 100, 20}, {100, 180, 100, 20}, {200, 180, 100, 20}, {0, 160, 100, 20}, {0, 0, 300, 160}};
        QTest::newRow("icons of a row share its bottom edge") << "icons" << QRect(5, 10, 300, 100)
            << Sizes{{100, 20}, {100, 30}} << Rects{{5, 90, 100, 20}, {105, 80, 100, 30}, {5, 10, 300, 70}};
        QTest::newRow("an icon wider than the area still gets a row") << "icons" << QRect(0, 0, 50, 200)
            << Sizes{{80, 20}, {80, 20}} << Rects{{0, 180, 80, 20}, {0, 160, 80, 20}, {0, 0, 50, 160}};
        QTest::newRow("icons filling everything leave the whole area") << "icons" << QRect(0, 0, 100, 20)
            << Sizes{{100, 20}} << Rects{{0, 0, 100, 20}, {0, 0, 100, 20}};
    }
    void arrangements()
    {
        QFETCH(QString, how);
        QFETCH(QRect, area);
        QFETCH(Sizes, sizes);
        QFETCH(Rects, expected);
        Rects placed;
        if (how == "icons") {
            const Points corners = lineUpIcons(area, sizes);
            for (int i = 0; i < corners.size(); ++i)
                placed << QRect(corners.at(i), sizes.at(i));
            placed << areaAboveIcons(area, sizes);
        } else if (how == "cascade") {
            placed = cascade(area, sizes, 30);
        } else {
            placed = tile(area, int(sizes.size()), how == "tile v" ? Tiling::Vertical : Tiling::Horizontal);
        }
        QCOMPARE(placed, expected);
    }
};

PIXDOCK_REGISTER_TEST(TestWindowArrangement)
#include "tst_WindowArrangement.moc"
