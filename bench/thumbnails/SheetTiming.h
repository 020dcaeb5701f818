// Timing the real thumbnail sheet headless: until the first screen of thumbnails is painted,
// until the build is done, and the process's memory meanwhile.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <optional>

namespace pixdock {
class frmThumbnails;
class ThumbnailSheetView;
}

namespace pixdock::bench {

// The sheet's view of a thumbnail window.
ThumbnailSheetView *sheetViewOf(frmThumbnails *sheet);

// Whether every row from `first` to `last` shows its thumbnail.
bool rowsShown(ThumbnailSheetView *view, int first, int last);

// Notes the first time the view paints with all the rows it has on screen (or the first
// `rows` rows, when given) holding their thumbnails; times are read from `clock`.
class ScreenWatch : public QObject
{
public:
    ScreenWatch(ThumbnailSheetView *view, const QElapsedTimer &clock, int rows = -1);
    // Starts watching afresh (after a scroll).
    void reset() { ms.reset(); }
    std::optional<double> ms;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ThumbnailSheetView *m_view;
    const QElapsedTimer &m_clock;
    int m_rows;
};

// Runs the event loop until `done` holds or `timeoutMs` pass; false on timeout.
bool runUntil(const std::function<bool()> &done, int timeoutMs);

// The largest resident size seen, sampled every few milliseconds while the event loop runs.
class MemoryWatch : public QObject
{
public:
    MemoryWatch();
    double peakMB() const { return m_peak; }

protected:
    void timerEvent(QTimerEvent *) override;

private:
    double m_peak = 0;
};

struct SheetRun
{
    double totalMs = 0;
    double firstScreenfulMs = 0;
    int shown = 0;
};

// Builds a sheet of `files` in a fresh thumbnail window large enough to show `screenful`
// thumbnails at once: the time until they are painted, and until the build is done.
SheetRun timeSheet(const QStringList &files, int screenful);

SheetRun best(const SheetRun &a, const SheetRun &b);
std::optional<double> best(std::optional<double> a, std::optional<double> b);

} // namespace pixdock::bench
