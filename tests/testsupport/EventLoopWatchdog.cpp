// The event-loop watchdog.
#include "EventLoopWatchdog.h"

#include <QTest>

#include <algorithm>

namespace pixdock::test {

qint64 stallLimitMs() { return std::max<qint64>(250, qEnvironmentVariableIntValue("PIXDOCK_WATCHDOG_MS")); }

EventLoopWatchdog::EventLoopWatchdog()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(2);
    connect(&m_timer, &QTimer::timeout, this, &EventLoopWatchdog::tick);
}

void EventLoopWatchdog::start()
{
    m_longestNs = 0;
    m_clock.start();
    m_lastNs = 0;
    m_timer.start();
}

void EventLoopWatchdog::tick()
{
    const qint64 now = m_clock.nsecsElapsed();
    if (now - m_lastNs > m_longestNs) {
        m_longestNs = now - m_lastNs;
        m_longestEndedNs = now;
    }
    m_lastNs = now;
}

void EventLoopWatchdog::stop()
{
    tick();
    m_timer.stop();
}

QString EventLoopWatchdog::report() const
{
    return QStringLiteral("the interface thread's event loop stood still for %1 ms (ending %2 ms after the start)")
        .arg(m_longestNs / 1000000)
        .arg(m_longestEndedNs / 1000000);
}

bool EventLoopWatchdog::withinLimit(qint64 limitMs) const
{
    qInfo("%s: longest stall of the interface thread %lld ms (limit %lld ms)", QTest::currentTestFunction(),
          m_longestNs / 1000000, limitMs);
    return m_longestNs / 1000000 <= limitMs;
}

} // namespace pixdock::test
