// Start-up under a clock that skips the splash wait.
#include "StartupMeasure.h"

#include "BenchTools.h"
#include "CatalogueMaker.h"
#include "Clock.h"
#include "Locations.h"
#include "RunTimeError.h"
#include "ScreenTiming.h"
#include "Startup.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QWindow>

namespace pixdock::bench {

namespace {
// Time passes only when slept, and at once; the real moment of the last sleep is noted,
// which ends the splash wait.
class SkippingClock : public Clock
{
public:
    SkippingClock() { m_real.start(); }
    qint64 nowMs() override { return m_virtualMs; }
    void sleepMs(int ms) override
    {
        m_virtualMs += ms;
        m_lastSleepNs = m_real.nsecsElapsed();
    }
    qint64 lastSleepNs() const { return m_lastSleepNs; }
    const QElapsedTimer &real() const { return m_real; }

private:
    QElapsedTimer m_real;
    qint64 m_virtualMs = 0;
    qint64 m_lastSleepNs = 0;
};

class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *widget) { widget->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};
} // namespace

StartupFigures measureStartUp(const QString &programFolder)
{
    StartupFigures figures;
    QDir().mkpath(programFolder);
    const std::string made
        = makeCatalogueIfMissing(QFile::encodeName(QStringLiteral(PIXDOCK_SCHEMA_FILE)).toStdString(),
            QFile::encodeName(QDir(programFolder).filePath("db.fil")).toStdString());
    if (!made.empty()) {
        figures.failure = QString::fromStdString(made);
        return figures;
    }
    locations::setProgramFolder(programFolder);

    SkippingClock clock;
    try {
        figures.main = startUp(clock);
    } catch (const RunTimeError &e) {
        figures.failure = QStringLiteral("start-up failed: %1 %2").arg(e.number()).arg(e.description());
        return figures;
    }
    PaintWatch watch(figures.main);
    while (!watch.painted && clock.real().elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    figures.frameReadyMs = double(clock.real().nsecsElapsed() - clock.lastSleepNs()) / 1e6;
    figures.wholeMs = double(clock.real().nsecsElapsed()) / 1e6;

    // At rest: the event loop idle for a while, as after a user has looked at the window.
    runEventsFor(1000);
    figures.residentMB = residentMegabytes();
    figures.webEngineMB = libraryResidentMegabytes(QStringLiteral("libQt6WebEngine"));
    figures.webEngineProcesses = childProcessesNamed(QStringLiteral("QtWebEngineProc"));
    return figures;
}

} // namespace pixdock::bench
