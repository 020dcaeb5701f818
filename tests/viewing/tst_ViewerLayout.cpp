// The viewer's layout arithmetic: frame, scroll ranges and steps, bar positions.
#include "TestRegistry.h"
#include "ViewerLayout.h"

#include <QTest>

#include <limits>

using namespace pixdock::viewing;

class TestViewerLayout : public QObject
{
    Q_OBJECT
private slots:
    void scrollBarsFollowThePicture_data()
    {
        QTest::addColumn<int>("windowWidth");
        QTest::addColumn<int>("windowHeight");
        QTest::addColumn<qint64>("pictureWidth");
        QTest::addColumn<qint64>("pictureHeight");
        QTest::addColumn<QRect>("frame");
        // visible, maximum, small step, large step; -1 for a hidden bar
        QTest::addColumn<QList<int>>("vertical");
        QTest::addColumn<QList<int>>("horizontal");
        const QList<int> none{-1};

        QTest::newRow("larger both ways: 10% and 20% past the overhang")
            << 6000 << 6000 << qint64(8000) << qint64(7000) << QRect(0, 0, 5000, 4000)
            << QList<int>{3299, 350, 700} << QList<int>{3599, 400, 800};
        QTest::newRow("smaller both ways: no bars")
            << 6000 << 6000 << qint64(3000) << qint64(2000) << QRect(0, 0, 5000, 4000) << none << none;
        QTest::newRow("exactly as high and as wide as the frame: no bars")
            << 6000 << 6000 << qint64(5000) << qint64(4000) << QRect(0, 0, 5000, 4000) << none << none;
        QTest::newRow("one twip higher than the frame")
            << 6000 << 6000 << qint64(5000) << qint64(4001) << QRect(0, 0, 5000, 4000)
            << QList<int>{0, 200, 400} << none;
        QTest::newRow("a tie rounds to the even neighbour (16.5 -> 16)")
            << 6000 << 6000 << qint64(100) << qint64(4016) << QRect(0, 0, 5000, 4000)
            << QList<int>{16, 200, 401} << none;
        QTest::newRow("a tie rounds to the even neighbour (5.5 -> 6)")
            << 6000 << 6000 << qint64(100) << qint64(4006) << QRect(0, 0, 5000, 4000)
            << QList<int>{6, 200, 400} << none;
        QTest::newRow("past 16 bits the range keeps growing")
            << 6000 << 6000 << qint64(5000 + 27308) << qint64(4000 + 29800) << QRect(0, 0, 5000, 4000)
            << QList<int>{32779, 1690, 3380} << QList<int>{32768, 1615, 3230};
        QTest::newRow("beyond int the range stops at its largest value")
            << 6000 << 6000 << qint64(100) << qint64(3'000'000'000) << QRect(0, 0, 5000, 4000)
            << QList<int>{std::numeric_limits<int>::max(), 150'000'000, 300'000'000} << none;
        QTest::newRow("a window too small for a frame")
            << 900 << 1500 << qint64(15) << qint64(15) << QRect(0, 0, 0, 0)
            << QList<int>{15, 1, 1} << QList<int>{17, 1, 1};
    }

    void scrollBarsFollowThePicture()
    {
        QFETCH(int, windowWidth);
        QFETCH(int, windowHeight);
        QFETCH(qint64, pictureWidth);
        QFETCH(qint64, pictureHeight);
        QFETCH(QRect, frame);
        QFETCH(QList<int>, vertical);
        QFETCH(QList<int>, horizontal);

        const ViewerLayout layout = layoutViewer(windowWidth, windowHeight, pictureWidth, pictureHeight);
        QCOMPARE(layout.frame, frame);
        QCOMPARE(layout.hScrollTop, frame.height());

        QCOMPARE(layout.vScroll.visible, vertical.size() == 3);
        if (layout.vScroll.visible) {
            QCOMPARE(layout.vScroll.maximum, vertical[0]);
            QCOMPARE(layout.vScroll.smallStep, vertical[1]);
            QCOMPARE(layout.vScroll.largeStep, vertical[2]);
            // Against the frame's right edge, as high as the frame.
            QCOMPARE(layout.vScroll.geometry, QRect(frame.width(), 0, ScrollBarThickness, frame.height()));
        }
        QCOMPARE(layout.hScroll.visible, horizontal.size() == 3);
        if (layout.hScroll.visible) {
            QCOMPARE(layout.hScroll.maximum, horizontal[0]);
            QCOMPARE(layout.hScroll.smallStep, horizontal[1]);
            QCOMPARE(layout.hScroll.largeStep, horizontal[2]);
            // Directly under the frame, as wide as the frame.
            QCOMPARE(layout.hScroll.geometry, QRect(0, frame.height(), frame.width(), ScrollBarThickness));
        }
    }
};

PIXDOCK_REGISTER_TEST(TestViewerLayout)
#include "tst_ViewerLayout.moc"
