// The catalogue grid adapter: header row 0, refusal of rows outside the grid, shading, and
// reading columns by identity after the user moved them.
#include "CatalogueGrid.h"
#include "CatalogueGridModel.h"
#include "RunTimeError.h"
#include "TestRegistry.h"

#include <QHeaderView>
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

    void movedColumnsAreReadByPositionOrByIdentity()
    {
        CatalogueGrid grid;
        grid.setRows(fiveRows());
        grid.horizontalHeader()->moveSection(0, 2); // FileName dragged to the end
        QCOMPARE(grid.columnNameAt(0), QStringLiteral("Location"));
        QCOMPARE(grid.textAt(2, 0), QStringLiteral("/f2"));
        QCOMPARE(grid.textOf(2, QStringLiteral("FileName")), QStringLiteral("p2.jpg"));
        QCOMPARE(grid.positionOf(QStringLiteral("FileName")), 2);
        QCOMPARE(grid.textAt(0, 2), QStringLiteral("FileName"));
    }

    void aClickMovesTheCurrentCell()
    {
        CatalogueGrid grid;
        grid.resize(400, 300);
        grid.setRows(fiveRows());
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QRect cell = grid.visualRect(grid.model()->index(3, 1));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(grid.row(), 4);
        QCOMPARE(grid.col(), 1);
        QCOMPARE(grid.text(), QStringLiteral("/f4"));
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueGrid)
#include "tst_CatalogueGrid.moc"
