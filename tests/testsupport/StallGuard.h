// Watches the interface thread through every test that drives a window: while a window is on
// screen, a timer that fires as often as the event loop lets it records how long the loop stood
// still, and a stall over the limit (a second unless set otherwise) fails the test function it
// happened in, saying how long.
// A test's own lengthy preparation (writing many pictures, say) is no stall of the program: it
// runs under a StallGuardPause.
#pragma once

#include <QtGlobal>

namespace pixdock::test {

// Starts the guard for the rest of the run.
void installStallGuard();

class StallGuardPause
{
public:
    StallGuardPause();
    ~StallGuardPause();
    Q_DISABLE_COPY_MOVE(StallGuardPause)
};

} // namespace pixdock::test
