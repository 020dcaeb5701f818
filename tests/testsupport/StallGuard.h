// Watches the interface thread through every test that drives a window: while a window is on
// screen, a timer that fires as often as the event loop lets it records how long the loop stood
// still. A stall over the limit (a quarter of a second unless set otherwise) is logged at once with the test
// function it happened in, and fails the run at its end.
// A test's own lengthy preparation (writing many pictures, say) is no stall of the program: it
// runs under a StallGuardPause.
#pragma once

#include <QtGlobal>

namespace pixdock::test {

// Starts the guard for the rest of the run.
void installStallGuard();
// The test class now running, for the stalls' log.
void stallGuardRuns(const char *testClass);
// Lists the stalls seen on standard error; 1 when there were any, else 0.
int reportStalls();

class StallGuardPause
{
public:
    StallGuardPause();
    ~StallGuardPause();
    Q_DISABLE_COPY_MOVE(StallGuardPause)
};

} // namespace pixdock::test
