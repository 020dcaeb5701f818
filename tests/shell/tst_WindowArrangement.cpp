// Cascading and tiling child windows and lining up minimised ones.
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
    void tilesFillTheAreaWithoutOverlap_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<Rects>("expected");
        const QRect area(0, 0, 600, 400);
        QTest::newRow("no windows") << area << 0 << true << Rects{};
        QTest::newRow("one window takes the whole area") << area << 1 << true << Rects{area};
        QTest::newRow("two vertical: side by side") << area << 2 << true
            << Rects{{0, 0, 300, 400}, {300, 0, 300, 400}};
        QTest::newRow("two horizontal: one above the other") << area << 2 << false
            << Rects{{0, 0, 600, 200}, {0, 200, 600, 200}};
        QTest::newRow("three vertical: three columns, edges meet") << QRect(0, 0, 100, 50) << 3 << true
            << Rects{{0, 0, 33, 50}, {33, 0, 33, 50}, {66, 0, 34, 50}};
        QTest::newRow("five vertical: last column takes three") << QRect(0, 0, 600, 300) << 5 << true
            << Rects{{0, 0, 300, 150}, {0, 150, 300, 150},
                     {300, 0, 300, 100}, {300, 100, 300, 100}, {300, 200, 300, 100}};
        QTest::newRow("five horizontal: last row takes three") << QRect(0, 0, 300, 600) << 5 << false
            << Rects{{0, 0, 150, 300}, {150, 0, 150, 300},
                     {0, 300, 100, 300}, {100, 300, 100, 300}, {200, 300, 100, 300}};
        QTest::newRow("an area that does not start at the origin") << QRect(10, 20, 200, 100) << 2 << true
            << Rects{{10, 20, 100, 100}, {110, 20, 100, 100}};
        QTest::newRow("an empty area places nothing") << QRect(0, 0, 0, 0) << 2 << true << Rects{};
    }
    void tilesFillTheAreaWithoutOverlap()
    {
        QFETCH(QRect, area);
        QFETCH(int, count);
        QFETCH(bool, vertical);
        QFETCH(Rects, expected);
        const Rects rects = tile(area, count, vertical ? Tiling::Vertical : Tiling::Horizontal);
        QCOMPARE(rects, expected);
        qint64 covered = 0;
        for (int i = 0; i < rects.size(); ++i) {
            covered += qint64(rects.at(i).width()) * rects.at(i).height();
            for (int j = i + 1; j < rects.size(); ++j)
                QVERIFY2(!rects.at(i).intersects(rects.at(j)), "tiles overlap");
        }
        if (!rects.isEmpty())
            QCOMPARE(covered, qint64(area.width()) * area.height());
    }

    void cascadeKeepsSizesAndStepsDownAndRight_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<Sizes>("sizes");
        QTest::addColumn<int>("step");
        QTest::addColumn<Rects>("expected");
        const QRect area(0, 0, 600, 400);
        QTest::newRow("no windows") << area << Sizes{} << 20 << Rects{};
        QTest::newRow("sizes kept, a step down and right each") << area << Sizes{{200, 100}, {300, 150}} << 20
            << Rects{{0, 0, 200, 100}, {20, 20, 300, 150}};
        QTest::newRow("too large: shrunk to what is left of the area") << area << Sizes{{800, 500}, {700, 300}}
            << 20 << Rects{{0, 0, 600, 400}, {20, 20, 580, 300}};
        QTest::newRow("past the middle: back to the corner") << QRect(0, 0, 100, 100)
            << Sizes{{40, 40}, {40, 40}, {40, 40}, {40, 40}} << 30
            << Rects{{0, 0, 40, 40}, {30, 30, 40, 40}, {0, 0, 40, 40}, {30, 30, 40, 40}};
        QTest::newRow("an area beside the control panel") << QRect(120, 0, 400, 300)
            << Sizes{{100, 100}, {100, 100}} << 25 << Rects{{120, 0, 100, 100}, {145, 25, 100, 100}};
        QTest::newRow("an empty area places nothing") << QRect(0, 0, 0, 0) << Sizes{{10, 10}} << 20 << Rects{};
    }
    void cascadeKeepsSizesAndStepsDownAndRight()
    {
        QFETCH(QRect, area);
        QFETCH(Sizes, sizes);
        QFETCH(int, step);
        QFETCH(Rects, expected);
        QCOMPARE(cascade(area, sizes, step), expected);
    }

    void iconsLineUpFromTheBottomLeft_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<Sizes>("icons");
        QTest::addColumn<Points>("expected");
        QTest::addColumn<QRect>("above");
        const QRect area(0, 0, 300, 200);
        QTest::newRow("no minimised windows") << area << Sizes{} << Points{} << area;
        QTest::newRow("one icon at the bottom left") << area << Sizes{{100, 20}} << Points{{0, 180}}
                                                     << QRect(0, 0, 300, 180);
        QTest::newRow("the fourth starts a row above") << area
            << Sizes{{100, 20}, {100, 20}, {100, 20}, {100, 20}}
            << Points{{0, 180}, {100, 180}, {200, 180}, {0, 160}} << QRect(0, 0, 300, 160);
        QTest::newRow("icons of a row share its bottom edge") << area << Sizes{{100, 20}, {100, 30}}
            << Points{{0, 180}, {100, 170}} << QRect(0, 0, 300, 170);
        QTest::newRow("an icon wider than the area still gets a row") << QRect(0, 0, 50, 200)
            << Sizes{{80, 20}, {80, 20}} << Points{{0, 180}, {0, 160}} << QRect(0, 0, 50, 160);
        QTest::newRow("offset area") << QRect(5, 10, 300, 100) << Sizes{{100, 20}} << Points{{5, 90}}
                                     << QRect(5, 10, 300, 80);
        QTest::newRow("icons filling everything leave the whole area for tiling") << QRect(0, 0, 100, 20)
            << Sizes{{100, 20}} << Points{{0, 0}} << QRect(0, 0, 100, 20);
    }
    void iconsLineUpFromTheBottomLeft()
    {
        QFETCH(QRect, area);
        QFETCH(Sizes, icons);
        QFETCH(Points, expected);
        QFETCH(QRect, above);
        QCOMPARE(lineUpIcons(area, icons), expected);
        QCOMPARE(areaAboveIcons(area, icons), above);
    }
};

PIXDOCK_REGISTER_TEST(TestWindowArrangement)
#include "tst_WindowArrangement.moc"
