// Timing the search and the list against their anchors.
#include "CatalogueBenchRuns.h"

#include "CatalogueGrid.h"
#include "CatalogueGridRows.h"
#include "CataloguePagedRows.h"
#include "CatalogueRowSources.h"
#include "CatalogueSearch.h"
#include "CatalogueStatements.h"
#include "CatalogueStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

namespace pixdock::bench {

using namespace pixdock::catalogue;

namespace {

double msSince(const QElapsedTimer &clock) { return double(clock.nsecsElapsed()) / 1e6; }

QList<CatalogueRow> allRows(const GridRows &rows)
{
    QList<CatalogueRow> out;
    out.reserve(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r)
        out.append({rows.cell(r, 0), rows.cell(r, 1), rows.cell(r, 2)});
    return out;
}

// A grid the size of the list window's, on screen (offscreen platform).
std::unique_ptr<CatalogueGrid> visibleGrid()
{
    auto grid = std::make_unique<CatalogueGrid>();
    grid->resize(424, 256);
    grid->show();
    QCoreApplication::processEvents();
    return grid;
}

// Shows the rows and paints the grid once: the first screen.
void showFirstScreen(CatalogueGrid &grid, std::shared_ptr<const GridRows> rows)
{
    grid.setRows(std::move(rows));
    grid.setHeaderBold(true);
    grid.setShading(true);
    grid.grab();
}

void releaseFreedMemory()
{
    QCoreApplication::processEvents();
    malloc_trim(0);
}

} // namespace

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0)
                             : 0;
}

SearchFigure measureSearch(const QString &keywordText, int runs)
{
    SearchFigure figure;
    figure.pixdockMs = figure.anchorMs = std::numeric_limits<double>::max();
    QList<CatalogueRow> anchorRows;
    std::shared_ptr<const GridRows> found;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        found = searchRows(keywordText);
        figure.pixdockMs = std::min(figure.pixdockMs, msSince(clock));

        clock.start();
        {
            PrivateConnection connection;
            anchorRows = readRows(connection.database(), searchStatement(keywordText));
        }
        figure.anchorMs = std::min(figure.anchorMs, msSince(clock));
    }
    {
        PrivateConnection connection;
        figure.viaIndex = findRowids(connection.database(), keywordText).viaIndex;
    }
    figure.rows = anchorRows.size();
    figure.identical = found ? allRows(*found) == anchorRows : anchorRows.isEmpty();
    return figure;
}

ListFigure measureList(int runs)
{
    ListFigure figure;
    figure.firstScreenMs = figure.wholeOrderMs = std::numeric_limits<double>::max();
    for (int run = 0; run < runs; ++run) {
        auto grid = visibleGrid();
        releaseFreedMemory();
        const double before = residentMb();
        QElapsedTimer clock;
        clock.start();
        std::shared_ptr<const GridRows> rows = listRows();
        showFirstScreen(*grid, rows);
        figure.firstScreenMs = std::min(figure.firstScreenMs, msSince(clock));
        clock.start();
        if (const auto *paged = dynamic_cast<const PagedRows *>(rows.get()))
            paged->finishLoading();
        figure.wholeOrderMs = std::min(figure.wholeOrderMs, msSince(clock));
        // The grid as the user meets it: the order read, the last screen seen once.
        grid->scrollToBottom();
        grid->grab();
        if (run == 0)
            figure.memoryMb = residentMb() - before;
        figure.rows = rows->rowCount();
    }

    QList<CatalogueRow> anchorRows;
    {
        auto grid = visibleGrid();
        releaseFreedMemory();
        const double before = residentMb();
        QElapsedTimer clock;
        clock.start();
        {
            PrivateConnection connection;
            anchorRows = readRows(connection.database(), listStatement());
        }
        showFirstScreen(*grid, std::make_shared<SnapshotRows>(anchorRows));
        figure.anchorMs = msSince(clock);
        figure.anchorMemoryMb = residentMb() - before;
    }
    std::shared_ptr<const GridRows> rows = listRows();
    figure.identical = allRows(*rows) == anchorRows;
    return figure;
}

} // namespace pixdock::bench
