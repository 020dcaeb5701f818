// The system's monotonic clock.
#include "Clock.h"

#include <QElapsedTimer>
#include <QThread>

namespace pixdock {

namespace {
class SystemClock : public Clock
{
public:
    SystemClock() { m_timer.start(); }
    qint64 nowMs() override { return m_timer.elapsed(); }
    void sleepMs(int ms) override { QThread::msleep(ulong(ms)); }

private:
    QElapsedTimer m_timer;
};

Clock *g_clock = nullptr;
} // namespace

Clock &clock()
{
    static SystemClock system;
    return g_clock ? *g_clock : system;
}

void setClock(Clock *c) { g_clock = c; }

} // namespace pixdock
