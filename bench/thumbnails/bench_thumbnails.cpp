// Thumbnail sheet benchmark: the real frmThumbnails, headless, builds a sheet of N camera-like
// pictures with an empty thumbnail cache and again with the cache it filled; vipsthumbnail
// and djpeg's 1/8-scale decode run over the same files as anchors.
//   bench_thumbnails [N [R]]  N pictures (default 200, or PIXDOCK_BENCH_PICTURES), each
//                             measurement R times keeping the best (default 3, or
//                             PIXDOCK_BENCH_RUNS), which steadies figures on a busy machine
// The pictures are kept in PIXDOCK_BENCH_FOLDER (default: "pictures" beside the program).
#include "BenchPictures.h"
#include "BenchTools.h"
#include "frmThumbnails.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <optional>

using namespace pixdock;

namespace {

constexpr int FirstScreenful = 40;

struct SheetRun
{
    double totalMs = 0;
    double firstScreenfulMs = 0;
    int shown = 0;
};

// Notes when the list first paints with a screenful of thumbnails in it.
class FirstPaintWatch : public QObject
{
public:
    FirstPaintWatch(QListWidget *list, int wanted, const QElapsedTimer &clock)
        : m_list(list)
        , m_wanted(wanted)
        , m_clock(clock)
    {
        list->viewport()->installEventFilter(this);
    }
    std::optional<double> ms;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !ms && m_list->count() >= m_wanted)
            ms = double(m_clock.nsecsElapsed()) / 1e6;
        return false;
    }

private:
    QListWidget *m_list;
    int m_wanted;
    const QElapsedTimer &m_clock;
};

SheetRun timeSheet(const QStringList &files)
{
    auto *sheet = new frmThumbnails;
    sheet->load();
    sheet->showWindow();
    QCoreApplication::processEvents();
    auto *list = sheet->findChild<QListWidget *>(QStringLiteral("lvViewer"));

    QElapsedTimer clock;
    FirstPaintWatch watch(list, std::min<int>(FirstScreenful, int(files.size())), clock);
    QEventLoop loop;
    QObject::connect(sheet, &frmThumbnails::sheetBuilt, &loop, &QEventLoop::quit);
    clock.start();
    sheet->buildSheet(files);
    if (sheet->isBuilding())
        loop.exec();
    SheetRun run;
    run.totalMs = double(clock.nsecsElapsed()) / 1e6;
    // Let the last thumbnails reach the screen, in case a screenful came only at the end.
    for (int i = 0; i < 5 && !watch.ms; ++i) {
        list->viewport()->update();
        QCoreApplication::processEvents();
    }
    run.firstScreenfulMs = watch.ms.value_or(run.totalMs);
    run.shown = list->count();
    sheet->unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return run;
}

int positiveSetting(const QStringList &arguments, int position, const char *variable, int fallback)
{
    bool ok = false;
    int n = arguments.size() > position ? arguments.at(position).toInt(&ok) : 0;
    if (!ok || n <= 0)
        n = qEnvironmentVariableIntValue(variable, &ok);
    return ok && n > 0 ? n : fallback;
}

std::optional<double> best(std::optional<double> a, std::optional<double> b)
{
    if (!a || !b)
        return a ? a : b;
    return std::min(*a, *b);
}

SheetRun best(const SheetRun &a, const SheetRun &b)
{
    if (a.shown == 0)
        return b;
    return {std::min(a.totalMs, b.totalMs), std::min(a.firstScreenfulMs, b.firstScreenfulMs),
            std::min(a.shown, b.shown)};
}

void row(const char *what, std::optional<double> ms, int n, const QString &note = {})
{
    if (!ms) {
        std::printf("  %-46s %10s %12s   %s\n", what, "-", "-", "not available");
        return;
    }
    std::printf("  %-46s %10.0f %12.2f   %s\n", what, *ms, *ms / n, qPrintable(note));
}

QString ratio(const char *name, double mine, std::optional<double> anchor, double goal)
{
    if (!anchor)
        return {};
    const double r = mine / *anchor;
    return QStringLiteral("%1 %2x (goal <= %3x: %4)")
        .arg(QLatin1String(name))
        .arg(r, 0, 'f', 2)
        .arg(goal, 0, 'f', 2)
        .arg(r <= goal ? QStringLiteral("met") : QStringLiteral("missed"));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = positiveSetting(app.arguments(), 1, "PIXDOCK_BENCH_PICTURES", 200);
    const int runs = positiveSetting(app.arguments(), 2, "PIXDOCK_BENCH_RUNS", 3);
    const int cores = std::max(1, QThread::idealThreadCount());
    QString folder = qEnvironmentVariable("PIXDOCK_BENCH_FOLDER");
    if (folder.isEmpty())
        folder = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("pictures"));

    std::printf("Thumbnail sheet benchmark: making %d pictures in %s ...\n", n, qPrintable(folder));
    std::fflush(stdout);
    const QStringList files = bench::cameraPictures(folder, n);
    qint64 bytes = 0;
    for (const QString &f : files)
        bytes += QFileInfo(f).size();
    bench::readThrough(files);

    std::optional<double> djpegLanes, djpegOne, vips;
    SheetRun cold, warm;
    for (int run = 0; run < runs; ++run) {
        std::printf("run %d of %d ...\n", run + 1, runs);
        std::fflush(stdout);
        QTemporaryDir scratch;
        djpegLanes = best(djpegLanes, bench::timeDjpegEighth(files, cores));
        djpegOne = best(djpegOne, bench::timeDjpegEighth(files, 1));
        vips = best(vips, bench::timeVipsthumbnail(files, scratch.filePath(QStringLiteral("vips"))));
        // A thumbnail cache of the run's own: empty for the cold build, filled by it for the warm one.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(scratch.filePath(QStringLiteral("cache"))));
        cold = best(cold, timeSheet(files));
        warm = best(warm, timeSheet(files));
    }

    std::printf("\n%d pictures, 4000 x 3000 JPEG, %.1f MB each on average; %d cores; offscreen; best of %d\n",
                n, double(bytes) / n / 1e6, cores, runs);
    std::printf("  %-46s %10s %12s\n", "", "total ms", "ms/picture");
    row("frmThumbnails sheet, empty cache (cold)", cold.totalMs, n,
        ratio("vs vipsthumbnail", cold.totalMs, vips, 1.0));
    row("frmThumbnails sheet, filled cache (warm)", warm.totalMs, n,
        QStringLiteral("goal < 0.5 ms/picture: %1").arg(warm.totalMs / n < 0.5 ? "met" : "missed"));
    row(qPrintable(QStringLiteral("vipsthumbnail -s 100x100!, 1 process")), vips, n);
    row(qPrintable(QStringLiteral("djpeg -scale 1/8, %1 at a time").arg(cores)), djpegLanes, n,
        ratio("cold vs this", cold.totalMs, djpegLanes, 1.25));
    row("djpeg -scale 1/8, one at a time", djpegOne, n);
    std::printf("  first %d thumbnails on screen: cold %.0f ms (goal <= 600: %s), warm %.0f ms\n",
                FirstScreenful, cold.firstScreenfulMs, cold.firstScreenfulMs <= 600 ? "met" : "missed",
                warm.firstScreenfulMs);
    std::printf("  thumbnails shown: cold %d, warm %d of %d\n", cold.shown, warm.shown, n);
    return cold.shown == n && warm.shown == n ? 0 : 1;
}
