// Measures how long the interface thread's event loop went without turning: a timer fires as
// often as the loop lets it, and the longest gap between two firings is kept. Code that blocks
// the interface thread (a wait on a lock, a long loop) shows as a long gap. Start it, drive the
// windows, then check longestGapMs() against the limit; checks made by the test itself belong
// after stop().
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace pixdock::test {

// The stall a test of a hostile file tolerates: a quarter of a second, or PIXDOCK_WATCHDOG_MS
// when that is longer (a sanitizer build runs everything several times slower).
qint64 stallLimitMs();

class EventLoopWatchdog : public QObject
{
    Q_OBJECT
public:
    EventLoopWatchdog();

    void start();
    // Stops measuring; the time since the last firing counts as a gap too.
    void stop();
    // The longest gap in words, for a failure message.
    QString report() const;
    // Whether the longest gap stayed within `limitMs`; the gap goes to the log either way, where
    // the reliability runs collect it.
    bool withinLimit(qint64 limitMs) const;

private:
    void tick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
    qint64 m_longestEndedNs = 0;
};

} // namespace pixdock::test
