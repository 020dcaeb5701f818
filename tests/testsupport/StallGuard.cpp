// The stall guard.
#include "StallGuard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace pixdock::test {

// How long this thread has waited to run while it could have (the scheduler's run queue), in
// nanoseconds; -1 where the system does not tell. A machine busy with other programs delays the
// event loop without the program standing still: that time is not a stall.
static qint64 runQueueWaitNs()
{
    QFile stats(QStringLiteral("/proc/thread-self/schedstat"));
    bool ok = stats.open(QIODevice::ReadOnly);
    const qint64 wait = ok ? stats.readAll().simplified().split(' ').value(1).toLongLong(&ok) : -1;
    return ok ? wait : -1;
}

struct StallGuardState
{
    // The stall that fails a run of tests driving windows: a quarter of a second, or
    // PIXDOCK_STALL_GUARD_MS or PIXDOCK_WATCHDOG_MS (which a sanitizer build raises) when longer.
    const qint64 limitMs = std::max({250, qEnvironmentVariableIntValue("PIXDOCK_STALL_GUARD_MS"),
                                     qEnvironmentVariableIntValue("PIXDOCK_WATCHDOG_MS")});
    QTimer timer;
    QElapsedTimer clock;
    // The last firing's time and the thread's run-queue wait then; the longest stall of the test
    // function now running.
    qint64 lastNs = 0, lastWaitNs = -1, longestMs = 0;
    QByteArray lastTest, testClass; // the last firing's test function and data row; the test class now running
    int paused = 0;
    QByteArrayList stalls;

    // PIXDOCK_REPORT_STALLS=1 prints each test function's longest stall when it ends (the long
    // runs' figures).
    void tellLongest() const
    {
        if (qEnvironmentVariableIntValue("PIXDOCK_REPORT_STALLS") == 1 && !lastTest.isEmpty())
            fprintf(stdout, "%s::%s: longest stall of the interface thread %lld ms (limit %lld ms)\n",
                    testClass.constData(), lastTest.constData(), longestMs, limitMs);
    }
    // The next gap begins now.
    void restart()
    {
        lastNs = clock.nsecsElapsed();
        lastWaitNs = runQueueWaitNs();
    }
    void tick()
    {
        const qint64 before = lastNs, waitedBefore = lastWaitNs;
        restart();
        const qint64 gapMs = (lastNs - before - (lastWaitNs >= 0 && waitedBefore >= 0 ? lastWaitNs - waitedBefore : 0)) / 1000000;
        const char *function = QTest::currentTestFunction(), *tag = QTest::currentDataTag();
        const QByteArray test = function ? QByteArray(function) + '(' + (tag ? tag : "") + ')' : QByteArray();
        if (test != lastTest) {
            tellLongest();
            longestMs = 0;
        }
        // A gap across two test functions is the framework's, and one under a pause the test's own.
        const bool counted = paused == 0 && !test.isEmpty() && test == lastTest
                             && std::ranges::any_of(QApplication::topLevelWidgets(), &QWidget::isVisible);
        lastTest = test;
        longestMs = std::max(longestMs, counted ? gapMs : 0);
        if (counted && gapMs > limitMs) {
            // Told at once, beside the test's own log lines, and counted against the run at its
            // end: failing the test from inside its event loop would cut it short at an unknown point.
            stalls << testClass + "::" + test + ": the interface thread's event loop stood still for "
                          + QByteArray::number(gapMs) + " ms (limit " + QByteArray::number(limitMs) + " ms)";
            qWarning("STALL %s", stalls.constLast().constData());
        }
    }
};

// Made on first use (a program without the guard pauses it too) and kept until exit.
static StallGuardState &guard()
{
    static StallGuardState &state = *new StallGuardState;
    return state;
}

void installStallGuard()
{
    StallGuardState &g = guard();
    if (g.timer.isActive())
        return;
    g.timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&g.timer, &QTimer::timeout, [&g] { g.tick(); });
    g.clock.start();
    g.timer.start(5);
}

void stallGuardRuns(const char *testClass) { guard().testClass = testClass; }

int reportStalls()
{
    guard().tellLongest();
    if (!guard().stalls.isEmpty())
        fprintf(stderr, "FAIL: the interface thread stood still past the stall guard's limit in:\n  %s\n",
                guard().stalls.join("\n  ").constData());
    return guard().stalls.isEmpty() ? 0 : 1;
}

StallGuardPause::StallGuardPause() { ++guard().paused; }

StallGuardPause::~StallGuardPause()
{
    --guard().paused;
    guard().restart(); // the time paused is not counted
}

} // namespace pixdock::test
