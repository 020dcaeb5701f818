// Start-up: the splash's five seconds, the main window's load, and the event loop.
#include "Startup.h"

#include "Clock.h"
#include "CatalogueCommands.h"
#include "CommandLine.h"
#include "CommandWiring.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "RunTimeError.h"
#include "FileCommands.h"
#include "ShellResources.h"
#include "ViewingSetup.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <memory>

#include <unistd.h>

namespace pixdock {

namespace {
constexpr int SleepStepMs = 20;

// Shows the splash and draws it before the wait, which handles no events. Drawing needs the
// window on screen first; user input stays queued meanwhile.
void showDrawn(frmSplash *splash, Clock &clock)
{
    splash->show();
    splash->raise();
    for (int i = 0; i < 50; ++i) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (splash->windowHandle() && splash->windowHandle()->isExposed())
            break;
        clock.sleepMs(10);
    }
    splash->repaint();
}
} // namespace

void waitAtLeast(Clock &clock, qint64 ms)
{
    const qint64 start = clock.nowMs();
    for (qint64 waited = 0; waited < ms; waited = clock.nowMs() - start)
        clock.sleepMs(int(std::min<qint64>(SleepStepMs, ms - waited)));
}

frmMain *startUp(Clock &clock)
{
    viewing::installViewerOpeners();
    installCommandHandlers();

    auto *splash = new frmSplash;
    splash->load();
    showDrawn(splash, clock);
    waitAtLeast(clock, SplashMilliseconds);

    auto main = std::make_unique<frmMain>();
    gMainWindow = main.get();
    try {
        main->load();
    } catch (...) {
        main.reset();
        splash->unload();
        throw;
    }
    splash->unload();
    main->show();
    return main.release();
}

QString startUpFailureText(int number, const QString &description)
{
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(number).arg(description);
}

int runProgram(Clock &clock, const std::function<int()> &eventLoop)
{
    std::unique_ptr<frmMain> main;
    bool failed = false;
    handleFailure([&] { main.reset(startUp(clock)); },
                  [&](const RunTimeError &e) {
                      failed = true;
                      MessageBox::show(startUpFailureText(e.number(), e.description()), QMessageBox::Ok,
                                       MessageBox::Icon::Critical);
                  });
    if (failed)
        return 1;
    // The program ends when the main window unloads, once the unload has run its course. Only
    // while the loop runs: an exit asked for outside it would end every event loop opened later
    // at once, and a window waiting on one would spin.
    const QMetaObject::Connection ending = QObject::connect(
        main.get(), &frmMain::unloaded, qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    const int status = eventLoop();
    QObject::disconnect(ending);
    return status;
}

int Main(int argc, char **argv)
{
    // Read before anything starts, so --help and --version need no display and touch nothing.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = readCommandLine(arguments);
    if (line.exitAtOnce) {
        std::fputs(line.text.toLocal8Bit().constData(), line.toErrorStream ? stderr : stdout);
        return line.exitStatus;
    }
    if (line.catalogueCommand != CommandLine::CatalogueCommand::None) {
        const QCoreApplication app(argc, argv);
        const CatalogueCommandOutcome done = runCatalogueCommand(line);
        std::fputs(done.text.toLocal8Bit().constData(), done.toErrorStream ? stderr : stdout);
        return done.exitStatus;
    }

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The web engine's sandbox refuses to run as root; only then does the program go without it.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(ProgramTitle);
    QApplication::setWindowIcon(programIcon());
    return runProgram(clock(), [&line] {
        viewing::openPictureFiles(line.files);
        return QApplication::exec();
    });
}

} // namespace pixdock
