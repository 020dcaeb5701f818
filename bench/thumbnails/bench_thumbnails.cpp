// Thumbnail sheet benchmark: the real frmThumbnails, headless, over three sets of pictures, each
// figure beside an anchor measured in the same run over the same files:
//  - N camera-like 4000 x 3000 JPEGs without an EXIF preview, cold and warm cache; anchors
//    vipsthumbnail and djpeg's 1/8-scale decode;
//  - M camera-like pictures with a 160 x 120 EXIF preview, cold and warm; anchor djpeg;
//  - a catalogue of R rows (hard links to the M pictures) shown from the list window, warm;
//    and R distinct small pictures, cold: first screen, end of the sheet, memory.
//   bench_thumbnails [N [R]]  N pictures (default 200, or PIXDOCK_BENCH_PICTURES), each
//                             measurement R times keeping the best (default 3, or
//                             PIXDOCK_BENCH_RUNS), which steadies figures on a busy machine
//   PIXDOCK_BENCH_PREVIEW_PICTURES   M (default 1000)
//   PIXDOCK_BENCH_CATALOGUE_ROWS     R (default 100000; 0 leaves the catalogue runs out)
// The pictures are kept in PIXDOCK_BENCH_FOLDER (default: beside the program), and so is the
// large catalogue's warm thumbnail cache.
#include "BenchPictures.h"
#include "BenchTools.h"
#include "CatalogueSheet.h"
#include "SheetTiming.h"
#include "TestState.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <optional>

using namespace pixdock;
using namespace pixdock::bench;

namespace {

constexpr int FirstScreenful = 40;

int positiveSetting(const QStringList &arguments, int position, const char *variable, int fallback)
{
    bool ok = false;
    int n = arguments.size() > position ? arguments.at(position).toInt(&ok) : 0;
    if (!ok || n <= 0)
        n = qEnvironmentVariableIntValue(variable, &ok);
    return ok && n >= 0 ? n : fallback;
}

const char *verdict(bool met) { return met ? "met" : "MISSED"; }

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
        .arg(QLatin1String(verdict(r <= goal)));
}

qint64 averageBytes(const QStringList &files)
{
    qint64 bytes = 0;
    for (const QString &f : files)
        bytes += QFileInfo(f).size();
    return files.isEmpty() ? 0 : bytes / files.size();
}

struct SetFigures
{
    SheetRun cold, warm;
    std::optional<double> djpegLanes, djpegOne, vips;
};

// Cold and warm sheets of `files` and the anchors over them, `runs` times, the best kept.
SetFigures measureSet(const QStringList &files, int runs, int cores, bool withVips)
{
    readThrough(files);
    SetFigures f;
    for (int run = 0; run < runs; ++run) {
        std::printf("  run %d of %d ...\n", run + 1, runs);
        std::fflush(stdout);
        QTemporaryDir scratch;
        f.djpegLanes = best(f.djpegLanes, timeDjpegEighth(files, cores));
        f.djpegOne = best(f.djpegOne, timeDjpegEighth(files, 1));
        if (withVips)
            f.vips = best(f.vips, timeVipsthumbnail(files, scratch.filePath(QStringLiteral("vips"))));
        // A thumbnail cache of the run's own: empty for the cold build, filled by it for the warm one.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(scratch.filePath(QStringLiteral("cache"))));
        f.cold = best(f.cold, timeSheet(files, FirstScreenful));
        f.warm = best(f.warm, timeSheet(files, FirstScreenful));
    }
    return f;
}

bool printPlainSet(const SetFigures &f, int n, qint64 bytes, int cores, int runs)
{
    std::printf("\n%d pictures, 4000 x 3000 JPEG without a preview, %.1f MB each; %d cores; offscreen; best of %d\n",
                n, double(bytes) / 1e6, cores, runs);
    std::printf("  %-46s %10s %12s\n", "", "total ms", "ms/picture");
    row("frmThumbnails sheet, empty cache (cold)", f.cold.totalMs, n, ratio("vs vipsthumbnail", f.cold.totalMs, f.vips, 1.0));
    row("frmThumbnails sheet, filled cache (warm)", f.warm.totalMs, n,
        QStringLiteral("goal < 0.5 ms/picture: %1").arg(QLatin1String(verdict(f.warm.totalMs / n < 0.5))));
    row("vipsthumbnail -s 100x100!, 1 process", f.vips, n);
    row(qPrintable(QStringLiteral("djpeg -scale 1/8, %1 at a time").arg(cores)), f.djpegLanes, n,
        ratio("cold vs this", f.cold.totalMs, f.djpegLanes, 1.25));
    row("djpeg -scale 1/8, one at a time", f.djpegOne, n);
    std::printf("  first %d thumbnails on screen: cold %.0f ms (goal <= 600: %s), warm %.0f ms\n", FirstScreenful,
                f.cold.firstScreenfulMs, verdict(f.cold.firstScreenfulMs <= 600), f.warm.firstScreenfulMs);
    std::printf("  thumbnails shown: cold %d, warm %d of %d\n", f.cold.shown, f.warm.shown, n);
    return f.cold.shown == n && f.warm.shown == n;
}

bool printPreviewSet(const SetFigures &f, int n, qint64 bytes, int cores, int runs)
{
    std::printf("\n%d pictures, 4000 x 3000 JPEG with a 160 x 120 EXIF preview, %.1f MB each; %d cores; offscreen; "
                "best of %d\n", n, double(bytes) / 1e6, cores, runs);
    std::printf("  %-46s %10s %12s\n", "", "total ms", "ms/picture");
    const double perPicture = f.cold.totalMs / n;
    row("frmThumbnails sheet, empty cache (cold)", f.cold.totalMs, n,
        QStringLiteral("goal <= 1.5 ms/picture: %1").arg(QLatin1String(verdict(perPicture <= 1.5))));
    row("frmThumbnails sheet, filled cache (warm)", f.warm.totalMs, n);
    QString faster;
    if (f.djpegLanes)
        faster = QStringLiteral("cold %1x faster than this (goal >= 9x: %2)")
                     .arg(*f.djpegLanes / f.cold.totalMs, 0, 'f', 1)
                     .arg(QLatin1String(verdict(*f.djpegLanes / f.cold.totalMs >= 9)));
    row(qPrintable(QStringLiteral("djpeg -scale 1/8, %1 at a time").arg(cores)), f.djpegLanes, n, faster);
    row("djpeg -scale 1/8, one at a time", f.djpegOne, n);
    std::printf("  first %d thumbnails on screen: cold %.0f ms (goal <= 100: %s), warm %.0f ms\n", FirstScreenful,
                f.cold.firstScreenfulMs, verdict(f.cold.firstScreenfulMs <= 100), f.warm.firstScreenfulMs);
    std::printf("  thumbnails shown: cold %d, warm %d of %d\n", f.cold.shown, f.warm.shown, n);
    return f.cold.shown == n && f.warm.shown == n;
}

void printCatalogue(const CatalogueSheetFigures &warm, const CatalogueSheetFigures &cold, int cores)
{
    std::printf("\nA catalogue of %d rows shown from the list window (\"Show as Thumbnails\"); %d cores; offscreen\n",
                warm.rows, cores);
    std::printf("  warm cache, hard links to the preview pictures:\n");
    std::printf("    first screen after the button   %8.0f ms   goal <= 500 ms: %s\n", warm.firstScreenMs,
                verdict(warm.firstScreenMs >= 0 && warm.firstScreenMs <= 500));
    std::printf("    end of the sheet after scrolling %7.0f ms   goal <= 200 ms: %s\n", warm.endScreenMs,
                verdict(warm.endScreenMs >= 0 && warm.endScreenMs <= 200));
    std::printf("    whole build (every row settled)  %7.0f ms   %d of %d settled\n", warm.buildMs, warm.settled,
                warm.rows);
    std::printf("    peak resident memory            %8.0f MB   goal < 300 MB: %s\n", warm.peakMB,
                verdict(warm.peakMB > 0 && warm.peakMB < 300));
    std::printf("  cold cache, %d distinct small pictures:\n", cold.rows);
    std::printf("    first screen after the button   %8.0f ms   goal <= 1000 ms: %s\n", cold.firstScreenMs,
                verdict(cold.firstScreenMs >= 0 && cold.firstScreenMs <= 1000));
    std::printf("    end of the sheet after scrolling %7.0f ms   (%d settled meanwhile)\n", cold.endScreenMs,
                cold.settled);
    std::printf("    peak resident memory            %8.0f MB   goal < 300 MB: %s\n", cold.peakMB,
                verdict(cold.peakMB > 0 && cold.peakMB < 300));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    test::beforeApplication();
    QApplication app(argc, argv);
    test::enterAnsweringMode();
    const int n = positiveSetting(app.arguments(), 1, "PIXDOCK_BENCH_PICTURES", 200);
    const int runs = positiveSetting(app.arguments(), 2, "PIXDOCK_BENCH_RUNS", 3);
    const int previews = positiveSetting({}, 0, "PIXDOCK_BENCH_PREVIEW_PICTURES", 1000);
    const int catalogueRows = positiveSetting({}, 0, "PIXDOCK_BENCH_CATALOGUE_ROWS", 100000);
    const int cores = std::max(1, QThread::idealThreadCount());
    QString folder = qEnvironmentVariable("PIXDOCK_BENCH_FOLDER");
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    const QDir root(folder);

    std::printf("Thumbnail sheet benchmark: making %d + %d pictures in %s ...\n", n, previews, qPrintable(folder));
    std::fflush(stdout);
    const QStringList plain = cameraPictures(root.filePath(QStringLiteral("pictures")), n);
    const QStringList withPreview = cameraPicturesWithPreview(root.filePath(QStringLiteral("preview-pictures")), previews);

    std::printf("Pictures without a preview:\n");
    const SetFigures plainFigures = measureSet(plain, runs, cores, true);
    std::printf("Pictures with an EXIF preview:\n");
    const SetFigures previewFigures = measureSet(withPreview, runs, cores, false);

    std::optional<CatalogueSheetFigures> warm, cold;
    if (catalogueRows > 0) {
        std::printf("A catalogue of %d rows: making its pictures and its warm cache (kept for later runs) ...\n",
                    catalogueRows);
        std::fflush(stdout);
        const QStringList links
            = linkedPictures(root.filePath(QStringLiteral("catalogue-links")), withPreview, catalogueRows);
        const QStringList small = smallPictures(root.filePath(QStringLiteral("catalogue-small")), catalogueRows);
        // The links share the preview pictures' data, read already.
        // The warm cache lives beside the pictures; the first run fills it.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(root.filePath(QStringLiteral("catalogue-cache"))));
        timeCatalogueSheet(links, true);
        warm = timeCatalogueSheet(links, true);
        QTemporaryDir empty;
        qputenv("XDG_CACHE_HOME", QFile::encodeName(empty.path()));
        readThrough(small);
        cold = timeCatalogueSheet(small, false);
    }

    bool ok = printPlainSet(plainFigures, n, averageBytes(plain), cores, runs);
    ok = printPreviewSet(previewFigures, previews, averageBytes(withPreview), cores, runs) && ok;
    if (warm && cold)
        printCatalogue(*warm, *cold, cores);
    return ok ? 0 : 1;
}
