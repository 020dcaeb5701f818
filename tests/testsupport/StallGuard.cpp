// The stall guard.
#include "StallGuard.h"

#include "EventLoopWatchdog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace pixdock::test {

namespace {
struct Guard
{
    QTimer timer;
    QElapsedTimer clock;
    qint64 lastNs = 0;
    QByteArray lastTest; // the test function and data row of the last firing
    int paused = 0;
};

Guard *g_guard = nullptr;

// The stall that fails any test driving a window: a second, or PIXDOCK_STALL_GUARD_MS (never less
// than the focused tests' limit, which a sanitizer build raises). The tests of the paths known
// to risk a stall measure those against the quarter-second limit themselves.
qint64 guardLimitMs()
{
    static const qint64 limit = [] {
        bool ok = false;
        const qint64 set = qEnvironmentVariable("PIXDOCK_STALL_GUARD_MS").toLongLong(&ok);
        return std::max(ok && set > 0 ? set : 1000, stallLimitMs());
    }();
    return limit;
}

QByteArray currentTest()
{
    const char *function = QTest::currentTestFunction();
    if (!function)
        return {};
    const char *tag = QTest::currentDataTag();
    return QByteArray(function) + '(' + (tag ? tag : "") + ')';
}

bool aWindowIsShown()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget *w) { return w->isVisible(); });
}

void tick()
{
    Guard &g = *g_guard;
    const qint64 now = g.clock.nsecsElapsed();
    const qint64 gapMs = (now - g.lastNs) / 1000000;
    const QByteArray test = currentTest();
    // A gap across two test functions is the framework's, and one under a pause the test's own.
    if (g.paused == 0 && !test.isEmpty() && test == g.lastTest && gapMs > guardLimitMs() && aWindowIsShown()) {
        const QByteArray message = "the interface thread's event loop stood still for " + QByteArray::number(gapMs)
                                   + " ms (limit " + QByteArray::number(guardLimitMs()) + " ms) in " + test;
        QTest::qFail(message.constData(), __FILE__, __LINE__);
    }
    g.lastNs = now;
    g.lastTest = test;
}
} // namespace

void installStallGuard()
{
    if (g_guard)
        return;
    g_guard = new Guard;
    g_guard->timer.setTimerType(Qt::PreciseTimer);
    g_guard->timer.setInterval(5);
    QObject::connect(&g_guard->timer, &QTimer::timeout, tick);
    g_guard->clock.start();
    g_guard->timer.start();
}

StallGuardPause::StallGuardPause()
{
    if (g_guard)
        ++g_guard->paused;
}

StallGuardPause::~StallGuardPause()
{
    if (!g_guard)
        return;
    --g_guard->paused;
    // The time paused is not counted: the next gap begins now.
    g_guard->lastNs = g_guard->clock.nsecsElapsed();
}

} // namespace pixdock::test
