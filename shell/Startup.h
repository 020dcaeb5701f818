// The program's entry: splash, main window, event loop.
#pragma once

#include <QtGlobal>

#include <functional>

namespace pixdock {

class Clock;
class frmMain;

// How long the splash stays up.
inline constexpr int SplashMilliseconds = 5000;

// Returns once `clock` reads at least `ms` later than when the wait began. Sleeps in short
// steps and handles no events meanwhile: the screen does not repaint and input waits.
void waitAtLeast(Clock &clock, qint64 ms);

// Start-up up to the event loop: installs the viewer openers and command handlers, shows the
// splash for five seconds, creates the main window, stores it in gMainWindow and loads it
// (position, catalogue, control panel), removes the splash and shows the main window, which
// the caller then owns. When the main window's load fails, the windows are gone again and
// the RunTimeError is passed on.
frmMain *startUp(Clock &clock);

// The message shown when start-up fails: the error's number and description.
QString startUpFailureText(int number, const QString &description);

// startUp() followed by `eventLoop`, whose result it returns. A failed start-up is shown in a
// message box and gives exit status 1.
int runProgram(Clock &clock, const std::function<int()> &eventLoop);

int Main(int argc, char **argv);

} // namespace pixdock
