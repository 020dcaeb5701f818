// Watching the thumbnail sheet's paints and the process's memory.
#include "SheetTiming.h"

#include "BenchTools.h"

#include "ThumbnailSheetView.h"
#include "frmThumbnails.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QImage>

namespace pixdock::bench {

ThumbnailSheetView *sheetViewOf(frmThumbnails *sheet)
{
    return sheet->findChild<ThumbnailSheetView *>(QStringLiteral("lvViewer"));
}

bool rowsShown(ThumbnailSheetView *view, int first, int last)
{
    if (last < first)
        return false;
    for (int row = first; row <= last; ++row) {
        if (view->model()->index(row, 0).data(Qt::DecorationRole).value<QImage>().isNull())
            return false;
    }
    return true;
}

ScreenWatch::ScreenWatch(ThumbnailSheetView *view, const QElapsedTimer &clock, int rows)
    : m_view(view)
    , m_clock(clock)
    , m_rows(rows)
{
    view->viewport()->installEventFilter(this);
}

bool ScreenWatch::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint && !ms) {
        const auto [first, last] = m_view->visibleRows();
        const bool ready = m_rows > 0 ? m_view->model()->rowCount() >= m_rows && rowsShown(m_view, 0, m_rows - 1)
                                      : rowsShown(m_view, first, last);
        if (ready)
            ms = double(m_clock.nsecsElapsed()) / 1e6;
    }
    return false;
}

bool runUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

MemoryWatch::MemoryWatch()
{
    m_peak = residentMegabytes();
    startTimer(10);
}

void MemoryWatch::timerEvent(QTimerEvent *)
{
    m_peak = std::max(m_peak, residentMegabytes());
}

SheetRun timeSheet(const QStringList &files, int screenful)
{
    auto *sheet = new frmThumbnails;
    sheet->load();
    sheet->showWindow();
    ThumbnailSheetView *view = sheetViewOf(sheet);
    // Room for the screenful: eight columns and as many rows as it takes.
    const QSize cell = view->cellSize();
    const int columns = 8;
    const int rows = (screenful + columns - 1) / columns;
    sheet->resize(columns * cell.width() + 60, rows * cell.height() + 120);
    view->resize(columns * cell.width() + 30, rows * cell.height() + 4);
    QCoreApplication::processEvents();

    QElapsedTimer clock;
    ScreenWatch watch(view, clock, std::min<int>(screenful, int(files.size())));
    QEventLoop loop;
    QObject::connect(sheet, &frmThumbnails::sheetBuilt, &loop, &QEventLoop::quit);
    clock.start();
    sheet->buildSheet(files);
    if (sheet->isBuilding())
        loop.exec();
    SheetRun run;
    run.totalMs = double(clock.nsecsElapsed()) / 1e6;
    // Let the last thumbnails reach the screen, in case a screenful came only at the end.
    runUntil([&] { return watch.ms.has_value(); }, 2000);
    run.firstScreenfulMs = watch.ms.value_or(run.totalMs);
    run.shown = view->model()->rowCount();
    sheet->unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return run;
}

SheetRun best(const SheetRun &a, const SheetRun &b)
{
    if (a.shown == 0)
        return b;
    return {std::min(a.totalMs, b.totalMs), std::min(a.firstScreenfulMs, b.firstScreenfulMs),
            std::min(a.shown, b.shown)};
}

std::optional<double> best(std::optional<double> a, std::optional<double> b)
{
    if (!a || !b)
        return a ? a : b;
    return std::min(*a, *b);
}

} // namespace pixdock::bench
