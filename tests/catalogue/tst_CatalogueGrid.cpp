// The catalogue grid adapter: the header is row 0 and rows outside the grid are refused.
#include "CatalogueGrid.h"
#include "CatalogueGridModel.h"
#include "RunTimeError.h"
#include "TestRegistry.h"

#include <QTest>

using namespace pixdock;
using namespace pixdock::catalogue;

namespace {
std::shared_ptr<SnapshotRows> fiveRows()
{
    QList<CatalogueRow> rows;
    for (int i = 1; i <= 5; ++i)
        rows.append({QStringLiteral("p%1.jpg").arg(i), QStringLiteral("/f%1").arg(i), QStringLiteral("d%1").arg(i)});
    return std::make_shared<SnapshotRows>(rows);
}

int refusal(const std::function<void()> &action)
{
    try {
        action();
    } catch (const RunTimeError &e) {
        return e.number();
    }
    return 0;
}
} // namespace

class TestCatalogueGrid : public QObject
{
    Q_OBJECT
private slots:
    void headerIsRowZeroAndDataFollows()
    {
        CatalogueGrid grid;
        grid.setRows(fiveRows());
        QCOMPARE(grid.rows(), 6);
        QCOMPARE(grid.row(), 1);
        grid.setRow(0);
        grid.setCol(2);
        QCOMPARE(grid.text(), QStringLiteral("Description"));
        grid.setRow(5);
        grid.setCol(0);
        QCOMPARE(grid.text(), QStringLiteral("p5.jpg"));
        QCOMPARE(grid.currentIndex().row(), 4);
    }

    void rowsOutsideTheGridAreRefused_data()
    {
        QTest::addColumn<int>("dataRows");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("number");
        QTest::newRow("past the last") << 5 << 6 << 30009;
        QTest::newRow("negative") << 5 << -1 << 30009;
        QTest::newRow("last") << 5 << 5 << 0;
        QTest::newRow("empty grid, row 1") << 0 << 1 << 30009;
        QTest::newRow("empty grid, header") << 0 << 0 << 0;
    }
    void rowsOutsideTheGridAreRefused()
    {
        QFETCH(int, dataRows);
        QFETCH(int, row);
        QFETCH(int, number);
        CatalogueGrid grid;
        grid.setRows(dataRows ? fiveRows() : std::make_shared<SnapshotRows>());
        const int before = grid.row();
        QCOMPARE(refusal([&] { grid.setRow(row); }), number);
        QCOMPARE(grid.row(), number ? before : row);
    }

};

PIXDOCK_REGISTER_TEST(TestCatalogueGrid)
#include "tst_CatalogueGrid.moc"
