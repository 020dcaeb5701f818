// Viewing benchmark: the real program started in this process (splash skipped), then the
// viewer and Next Image driven through the main window, each figure against an anchor
// measured in the same run on the same data.
//   bench_viewing            sizes from the environment:
//     PIXDOCK_BENCH_FILES            files in the large folder (default 100000)
//     PIXDOCK_BENCH_STEPS            Next Image steps timed in it (default 40)
//     PIXDOCK_BENCH_VIEWER_PICTURES  12-megapixel pictures opened and stepped through (default 10)
//     PIXDOCK_BENCH_RUNS             runs of each figure, the best kept (default 3)
// The pictures are kept in "viewing-pictures" beside the program for later runs; the large
// folder is made afresh in a temporary folder there.
#include "BenchPictures.h"
#include "BenchTools.h"
#include "FolderListing.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "PictureBox.h"
#include "PictureLoader.h"
#include "PicturePreloader.h"
#include "Pictures.h"
#include "ScreenTiming.h"
#include "StartupMeasure.h"
#include "ViewingBenchData.h"
#include "WindowList.h"
#include "frmMain.h"
#include "frmViewer.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <optional>
#include <unistd.h>

using namespace pixdock;
using namespace pixdock::bench;

namespace {

constexpr QSize CameraSize(4000, 3000);

int setting(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

double msOf(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

void closeViewers()
{
    closeAllViewers();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Shows a picture as File > Open does, waits until it is whole (the user looks at it a while),
// and lets the preloader finish what it starts then.
void show(const QString &path)
{
    closeViewers();
    gCurrentPath = path;
    frmViewer *viewer = frmViewer::openNew();
    viewer->picFramed()->waitForPicture();
    QCoreApplication::processEvents();
    viewing::PicturePreloader::instance().waitUntilIdle();
    runEventsFor(20);
}

// Images > Next Image, as the user chooses it.
void nextImage(frmMain *main)
{
    main->menuItem(QStringLiteral("mnuNext"))->trigger();
}

// One figure: Pixdock's value and its anchor's, with the goal it is held to.
struct Row
{
    QString figure;
    QString anchor;
    double mine = -1;
    double anchorValue = -1;
    QString unit;
    QString goal;
    double maxValue = -1; // goal as an absolute bound, or
    double maxRatio = -1; // as a bound on mine / anchor
    QString note;
    std::optional<bool> verdict; // for a figure that is not a number

    bool met() const
    {
        if (verdict)
            return *verdict;
        if (mine < 0)
            return false;
        if (maxValue >= 0 && mine > maxValue)
            return false;
        return maxRatio < 0 || (anchorValue > 0 && mine <= maxRatio * anchorValue);
    }
};

// The better of two runs of the same figure: each side's best value.
Row best(const Row &a, const Row &b)
{
    Row r = b.mine >= 0 && (a.mine < 0 || b.mine < a.mine) ? b : a;
    const auto lower = [](double x, double y) { return x < 0 ? y : (y < 0 ? x : std::min(x, y)); };
    r.anchorValue = lower(a.anchorValue, b.anchorValue);
    return r;
}

QByteArray valueText(double value, const QString &unit)
{
    return value < 0 ? QByteArray("-") : QString::number(value, 'f', 1).toUtf8() + " " + unit.toUtf8();
}

void printRow(const Row &r)
{
    const QByteArray ratio
        = r.mine < 0 || r.anchorValue <= 0 ? QByteArray("-") : QByteArray::number(r.mine / r.anchorValue, 'f', 2);
    std::printf("  %-46s %11s %11s %6s   %s: %s\n", qPrintable(r.figure), valueText(r.mine, r.unit).constData(),
        valueText(r.anchorValue, r.unit).constData(), ratio.constData(), qPrintable(r.goal),
        r.met() ? "met" : "MISSED");
    if (!r.anchor.isEmpty())
        std::printf("  %-46s %s\n", "", qPrintable(QStringLiteral("anchor: ") + r.anchor));
    if (!r.note.isEmpty())
        std::printf("  %-46s %s\n", "", qPrintable(r.note));
}

// What a browser window brings: View > Web Browser, then the engine's processes and memory.
QString afterBrowserOpens(frmMain *main)
{
    main->menuItem(QStringLiteral("mnuViewWebBrowser"))->trigger();
    QElapsedTimer clock;
    clock.start();
    while (childProcessesNamed(QStringLiteral("QtWebEngineProc")) == 0 && clock.elapsed() < 15000)
        runEventsFor(50);
    runEventsFor(1000);
    return QStringLiteral("with a browser window open: %1 QtWebEngineProcess, this process %2 MB resident")
        .arg(childProcessesNamed(QStringLiteral("QtWebEngineProc")))
        .arg(residentMegabytes(), 0, 'f', 1);
}

QList<Row> startupRows(const bench::StartupFigures &s)
{
    Row ready{"start-up after the splash: frame ready", {}, s.frameReadyMs, -1, "ms", "<= 200 ms", 200, -1,
        QStringLiteral("main window and control panel painted; %1 ms from the splash's start, its wait left out")
            .arg(s.wholeMs, 0, 'f', 1),
        {}};
    Row memory{"memory at rest (resident)", {}, s.residentMB, -1, "MB", "<= 120 MB", 120, -1, {}, {}};
    Row web{"WebEngine not loaded until a browser opens", {}, -1, -1, {}, "not loaded", -1, -1,
        (s.webEngineMB < 0 ? QStringLiteral("libQt6WebEngineCore not mapped")
                           : QStringLiteral("libQt6WebEngine* mapped from the start, %1 MB of them resident")
                                 .arg(s.webEngineMB, 0, 'f', 1))
            + QStringLiteral("; %1 QtWebEngineProcess running").arg(s.webEngineProcesses),
        s.webEngineMB < 0 && s.webEngineProcesses == 0};
    return {ready, memory, web};
}

struct OpeningTimes
{
    double painted = -1;
    double whole = -1;
    double djpeg = -1;
};

// Opens each picture in a fresh viewer with nothing preloaded: until it is painted and until
// it is whole, medians; djpeg's decode of the whole file as the anchor.
OpeningTimes openingTimes(const QStringList &pictures)
{
    auto &preloader = viewing::PicturePreloader::instance();
    QList<double> painted, whole, djpeg;
    for (const QString &path : pictures) {
        closeViewers();
        preloader.clear();
        const PaintTimes times = msUntilPaintedAndWhole([&] {
            gCurrentPath = path;
            frmViewer::openNew();
        });
        painted << times.painted;
        whole << times.complete;
        preloader.waitUntilIdle();
        closeViewers();
        djpeg << bench::timeDjpegWhole(path).value_or(-1);
    }
    return {bench::median(painted), bench::median(whole), bench::median(djpeg)};
}

QList<Row> openingRows(const QStringList &pictures, const QStringList &turned, const QStringList &progressive)
{
    const OpeningTimes plain = openingTimes(pictures);
    const OpeningTimes turnedTimes = openingTimes(turned);
    const OpeningTimes progressiveTimes = openingTimes(progressive);
    const QString anchor = QStringLiteral("djpeg's decode of the whole file");
    Row painted{"12-MP JPEG painted in the viewer", anchor, plain.painted, plain.djpeg, "ms",
        "<= 15 ms and <= 0.33 x", 15, 1.0 / 3,
        QStringLiteral("the part the frame shows, decoded first; median of %1 pictures").arg(pictures.size()), {}};
    Row whole{"12-MP JPEG decoded whole in the viewer", anchor, plain.whole, plain.djpeg, "ms", "<= 1.0 x", -1, 1.0,
        QStringLiteral("from the open until the last band is on screen"), {}};
    Row turnedRow{"12-MP JPEG turned by EXIF (6), painted", anchor, turnedTimes.painted, turnedTimes.djpeg, "ms",
        "none: right, and quick", -1, -1,
        QStringLiteral("its top left comes from the stored picture's bottom left; whole after %1 ms")
            .arg(turnedTimes.whole, 0, 'f', 1),
        {}};
    Row progressiveRow{"12-MP progressive JPEG, painted", anchor, progressiveTimes.painted, progressiveTimes.djpeg,
        "ms", "none: the full path", -1, -1,
        QStringLiteral("a progressive JPEG takes the full path: decoded whole before it is painted"), {}};
    return {painted, whole, turnedRow, progressiveRow};
}

// Why a JPEG is read by libjpeg-turbo directly: its whole decode against Qt's reader's.
Row directDecodeRow(const QStringList &pictures)
{
    QList<double> direct, qt;
    for (const QString &path : pictures) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        direct << msOf([&] {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            const QImage image = viewing::readPicture(&buffer);
            Q_UNUSED(image);
        });
        qt << msOf([&] {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer);
            reader.setAutoTransform(true);
            const QImage image = reader.read();
            Q_UNUSED(image);
        });
    }
    return {"whole 12-MP JPEG: libjpeg-turbo directly", "Qt's QImageReader::read() of the same bytes",
        bench::median(direct), bench::median(qt), "ms", "<= 1.0 x", -1, 1.0,
        QStringLiteral("in memory, upright, in the screen's format; so every JPEG is read this way"), {}};
}

// A few of the pictures again, turned by EXIF and written progressive, kept beside them.
QStringList variants(const QStringList &pictures, const QString &kind)
{
    QStringList made;
    for (qsizetype i = 0; i < std::min<qsizetype>(3, pictures.size()); ++i) {
        const QFileInfo source(pictures.at(i));
        const QString path = source.dir().filePath(kind + QLatin1Char('-') + source.fileName());
        made << path;
        if (QFileInfo(path).size() > 0)
            continue;
        QFile in(source.filePath());
        in.open(QIODevice::ReadOnly);
        QByteArray bytes = in.readAll();
        if (kind == QLatin1String("turned")) {
            bytes = test::withApp1(bytes, test::exifBlock({.orientation = 6}));
        } else {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, "jpeg");
            writer.setQuality(90);
            writer.setProgressiveScanWrite(true);
            writer.write(QImageReader(source.filePath()).read());
            bytes = buffer.data();
        }
        QFile out(path);
        if (out.open(QIODevice::WriteOnly))
            out.write(bytes);
    }
    return made;
}

Row steppingRow(frmMain *main, const QStringList &pictures)
{
    auto &preloader = viewing::PicturePreloader::instance();
    QList<double> ready;
    QList<double> cold;
    int handedOver = 0;
    for (qsizetype i = 0; i + 1 < pictures.size(); ++i) {
        show(pictures[i]);
        const int before = preloader.handedOver();
        ready << msUntilPicturePainted([&] { nextImage(main); });
        handedOver += preloader.handedOver() - before;
        show(pictures[i]);
        preloader.clear();
        cold << msUntilPicturePainted([&] { nextImage(main); });
        preloader.waitUntilIdle();
    }
    return {"Next Image, next 12-MP picture ready", "the same step with nothing preloaded", bench::median(ready),
        bench::median(cold), "ms", "<= 20 ms", 20, -1,
        QStringLiteral("median of %1 steps, %2 of them handed the preloaded picture; slowest %3 ms")
            .arg(ready.size())
            .arg(handedOver)
            .arg(*std::max_element(ready.begin(), ready.end()), 0, 'f', 1),
        {}};
}

Row largeFolderRow(frmMain *main, const QString &folder, int files, int steps)
{
    QList<double> listing;
    QStringList sorted;
    for (int i = 0; i < 5; ++i)
        listing << msOf([&] { sorted = viewing::folderListing(folder); });
    // Start in the first third, so the steps never reach the end of the folder.
    QRandomGenerator random(42);
    const int start = random.bounded(int(sorted.size()) / 3);
    show(QDir(folder).filePath(sorted.value(start)));

    auto &preloader = viewing::PicturePreloader::instance();
    const int handedBefore = preloader.handedOver();
    QList<double> stepMs;
    for (int s = 0; s < steps; ++s) {
        preloader.waitUntilIdle();
        stepMs << msUntilPicturePainted([&] { nextImage(main); });
    }
    const int handedOver = preloader.handedOver() - handedBefore;
    QList<double> lookups;
    QString f = folder;
    for (int i = 0; i < 200; ++i) {
        QString name = sorted.value(start + i);
        lookups << msOf([&] { NextFileInFolder(f, name); });
    }
    return {QStringLiteral("Next Image in a folder of %L1 files").arg(files), "listing and sorting the folder afresh",
        bench::median(stepMs), bench::median(listing), "ms", "<= 20 ms a step", 20, -1,
        QStringLiteral("median of %1 steps (1024 x 768 JPEGs, %2 handed the preloaded picture), slowest %3 ms; "
                       "finding the next name alone %4 ms")
            .arg(stepMs.size())
            .arg(handedOver)
            .arg(*std::max_element(stepMs.begin(), stepMs.end()), 0, 'f', 1)
            .arg(bench::median(lookups), 0, 'f', 3),
        {}};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and caches of the run's own, as in a fresh account.
    QTemporaryDir home;
    for (const char *variable : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
        qputenv(variable, QFile::encodeName(home.filePath(QString::fromLatin1(variable))));
    // As the program's own start does.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    MessageBox::setAnsweringMode(true);

    const int files = setting("PIXDOCK_BENCH_FILES", 100000);
    const int steps = setting("PIXDOCK_BENCH_STEPS", 40);
    const int pictureCount = std::max(2, setting("PIXDOCK_BENCH_VIEWER_PICTURES", 10));
    const int runs = setting("PIXDOCK_BENCH_RUNS", 3);

    // Start-up first, while the process holds nothing else.
    const bench::StartupFigures startup = bench::measureStartUp(home.filePath(QStringLiteral("program")));
    if (!startup.main) {
        std::printf("Viewing benchmark: %s\n", qPrintable(startup.failure));
        return 1;
    }

    const QString benchFolder = QCoreApplication::applicationDirPath();
    std::printf("Viewing benchmark: making %d pictures of 4000 x 3000 and a folder of %d files ...\n",
        pictureCount, files);
    std::fflush(stdout);
    const QStringList pictures = bench::cameraPictures(
        QDir(benchFolder).filePath(QStringLiteral("viewing-pictures")), pictureCount, CameraSize);
    const QStringList small = bench::cameraPictures(
        QDir(benchFolder).filePath(QStringLiteral("viewing-small")), 16, QSize(1024, 768));
    QTemporaryDir large(QDir(benchFolder).filePath(QStringLiteral("viewing-folder-XXXXXX")));
    bench::fillFolder(large.path(), bench::generatedFileNames(files, 20240611), small);
    bench::waitUntilSettled(
        QStringList{large.path(), QFileInfo(pictures.constFirst()).path()} + pictures + small);
    qint64 bytes = 0;
    for (const QString &p : pictures)
        bytes += QFileInfo(p).size();

    const QStringList turned = variants(pictures, QStringLiteral("turned"));
    const QStringList progressive = variants(pictures, QStringLiteral("progressive"));
    Row largeFolder;
    QList<Row> opening;
    Row direct;
    Row stepping;
    for (int run = 0; run < runs; ++run) {
        std::printf("run %d of %d ...\n", run + 1, runs);
        std::fflush(stdout);
        largeFolder = best(largeFolder, largeFolderRow(startup.main, large.path(), files, steps));
        const QList<Row> openingNow = openingRows(pictures, turned, progressive);
        for (qsizetype i = 0; i < openingNow.size(); ++i)
            opening.size() > i ? void(opening[i] = best(opening[i], openingNow[i])) : opening.append(openingNow[i]);
        direct = best(direct, directDecodeRow(pictures));
        stepping = best(stepping, steppingRow(startup.main, pictures));
    }
    QList<Row> rows = QList<Row>{largeFolder} + opening + QList<Row>{direct, stepping} + startupRows(startup);
    closeViewers();
    rows.last().note += QStringLiteral("\n  %1 %2").arg(QString(46, QLatin1Char(' ')), afterBrowserOpens(startup.main));

    std::printf("\nViewing: %d cores, offscreen platform; %d generated names; %d pictures 4000 x 3000 JPEG, "
                "%.1f MB each on average; best of %d runs (start-up: the one start)\n",
        QThread::idealThreadCount(), files, pictureCount, double(bytes) / pictureCount / 1e6, runs);
    std::printf("  %-46s %11s %11s %6s   %s\n", "figure", "Pixdock", "anchor", "ratio", "goal");
    for (const Row &r : rows)
        printRow(r);
    if (!MessageBox::shown().isEmpty())
        std::printf(
            "  unexpected messages: %s\n", qPrintable(MessageBox::shownTexts().join(QStringLiteral(" | "))));

    closeViewers();
    delete startup.main;
    return 0;
}
