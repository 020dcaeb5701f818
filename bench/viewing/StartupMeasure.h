// The start-up figure: the real start-up (splash, main window, control panel) with a clock
// that lets the splash's five seconds pass at once, timed from the end of the splash wait
// until the main window has been painted.
#pragma once

#include <QString>

namespace pixdock {
class frmMain;
}

namespace pixdock::bench {

struct StartupFigures
{
    frmMain *main = nullptr; // the running main window, or nullptr when start-up failed
    QString failure;
    double frameReadyMs = -1;
    double wholeMs = -1; // from the start of start-up, the splash's wait left out
    double residentMB = -1; // at rest, after start-up
    double webEngineMB = -1; // resident in the WebEngine libraries; negative: not loaded
    int webEngineProcesses = 0; // QtWebEngineProcess children: the engine itself running
};

// Starts the program up in this process; the catalogue is a fresh one in `programFolder`.
StartupFigures measureStartUp(const QString &programFolder);

} // namespace pixdock::bench
