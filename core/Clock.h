// A monotonic clock with a sleep, behind an interface so that waits can be tested quickly.
#pragma once

#include <QtGlobal>

namespace pixdock {

class Clock
{
public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed moment; never goes back (not even across midnight).
    virtual qint64 nowMs() = 0;
    virtual void sleepMs(int ms) = 0;
};

// The clock in force: the system's monotonic clock unless a test has set another.
Clock &clock();
void setClock(Clock *clock); // nullptr restores the system clock

} // namespace pixdock
