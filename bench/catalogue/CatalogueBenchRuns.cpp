// Timing the search and the list against their anchors.
#include "CatalogueBenchRuns.h"

#include "CatalogueGrid.h"
#include "CatalogueGridRows.h"
#include "CatalogueSearch.h"
#include "CatalogueService.h"
#include "CatalogueSnapshot.h"
#include "CatalogueStatements.h"
#include "CatalogueStore.h"
#include "NameOrder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHeaderView>
#include <QTimer>

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

void releaseFreedMemory()
{
    QCoreApplication::processEvents();
    malloc_trim(0);
}

// The longest time the event loop went without turning while it lives.
class StallMeter
{
public:
    StallMeter()
    {
        m_clock.start();
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start();
    }
    double longestMs()
    {
        tick();
        return double(m_longest) / 1e6;
    }
    // The benchmark's own painting of the grid is not a stall of the program's.
    void skip() { m_last = m_clock.nsecsElapsed(); }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Runs the event loop until `done` holds.
template<class Done>
void spinUntil(const CatalogueSnapshot &snapshot, Done done)
{
    QEventLoop loop;
    QObject::connect(&snapshot, &CatalogueSnapshot::rowsChanged, &loop, &QEventLoop::quit);
    QObject::connect(&snapshot, &CatalogueSnapshot::loaded, &loop, &QEventLoop::quit);
    while (!done())
        loop.exec();
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
    std::shared_ptr<CatalogueSnapshot> found;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        found = CatalogueService::instance().search(keywordText);
        found->waitUntilLoaded();
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
    figure.identical = !found->failure() && allRows(*found) == anchorRows;
    return figure;
}

ListFigure measureList(int runs)
{
    ListFigure figure;
    figure.firstScreenMs = figure.fullCopyMs = std::numeric_limits<double>::max();
    std::shared_ptr<CatalogueSnapshot> kept;
    for (int run = 0; run < runs; ++run) {
        auto grid = visibleGrid();
        releaseFreedMemory();
        const double before = residentMb();
        StallMeter stalls;
        QElapsedTimer clock;
        clock.start();
        std::shared_ptr<CatalogueSnapshot> rows = CatalogueService::instance().loadList();
        grid->setRows(rows);
        grid->setHeaderBold(true);
        grid->setShading(true);
        // The first screen: the rows the grid shows, copied and painted.
        const int screen =
            std::max(1, grid->viewport()->height() / std::max(1, grid->verticalHeader()->defaultSectionSize()) + 1);
        spinUntil(*rows, [&] { return rows->isLoaded(screen - 1) || !rows->loading(); });
        grid->grab();
        figure.firstScreenMs = std::min(figure.firstScreenMs, msSince(clock));
        stalls.skip();
        rows->waitUntilLoaded();
        figure.fullCopyMs = std::min(figure.fullCopyMs, msSince(clock));
        // The grid as the user meets it: the last screen seen once.
        figure.longestStallMs = std::max(figure.longestStallMs, stalls.longestMs());
        grid->scrollToBottom();
        grid->grab();
        if (run == 0) {
            releaseFreedMemory();
            figure.memoryMb = residentMb() - before;
            figure.snapshotMb = double(rows->bytes()) / (1024.0 * 1024.0);
        }
        figure.rows = rows->rowCount();
        kept = rows;
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
        std::stable_sort(anchorRows.begin(), anchorRows.end(), [](const CatalogueRow &a, const CatalogueRow &b) {
            return names::compare(a.fileName, b.fileName) < 0;
        });
        grid->setRows(std::make_shared<SnapshotRows>(anchorRows));
        grid->grab();
        figure.anchorMs = msSince(clock);
        figure.anchorMemoryMb = residentMb() - before;
    }
    figure.identical = !kept->failure() && allRows(*kept) == anchorRows;
    return figure;
}

} // namespace pixdock::bench
