// Paint watching over an application-wide event filter; memory from /proc/self.
#include "ScreenTiming.h"

#include "PictureBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QList>
#include <QPointer>

#include <algorithm>
#include <cctype>
#include <unistd.h>

namespace pixdock::bench {

namespace {
class PicturePaintWatch : public QObject
{
public:
    bool painted = false;
    QPointer<viewing::PictureBox> box;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && object->objectName() == QLatin1String("picFramed") && !painted) {
            if (auto *shown = qobject_cast<viewing::PictureBox *>(object); shown && shown->showsPicture()) {
                painted = true;
                box = shown;
            }
        }
        return false;
    }
};

// The resident kilobytes of /proc/self/smaps entries whose mapped file matches `wanted`.
double smapsKilobytes(const std::function<bool(const QByteArray &)> &wanted, bool &found)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    found = false;
    if (!smaps.open(QIODevice::ReadOnly))
        return 0;
    double kb = 0;
    bool counting = false;
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        // Mapping headers start with an address range; the fields under them with a name.
        const int dash = line.indexOf('-');
        const int space = line.indexOf(' ');
        if (dash > 0 && space > dash && !line.startsWith("Rss:")) {
            const bool isHeader = std::all_of(
                line.begin(), line.begin() + dash, [](char c) { return std::isxdigit(uchar(c)); });
            if (isHeader) {
                counting = wanted(line);
                found = found || counting;
                continue;
            }
        }
        if (counting && line.startsWith("Rss:"))
            kb += line.mid(4).trimmed().split(' ').value(0).toDouble();
    }
    return kb;
}
} // namespace

namespace {
PaintTimes paintTimes(const std::function<void()> &action, bool untilWhole)
{
    PicturePaintWatch watch;
    qApp->installEventFilter(&watch);
    QElapsedTimer clock;
    clock.start();
    action();
    PaintTimes times;
    while (!watch.painted && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (watch.painted)
        times.painted = double(clock.nsecsElapsed()) / 1e6;
    qApp->removeEventFilter(&watch);
    if (!untilWhole)
        return times;
    // Waits for the worker's bands without spinning: it needs the core more than this loop.
    while (watch.box && !watch.box->isComplete() && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (watch.box && watch.box->isComplete())
        times.complete = double(clock.nsecsElapsed()) / 1e6;
    return times;
}
} // namespace

double msUntilPicturePainted(const std::function<void()> &action) { return paintTimes(action, false).painted; }

PaintTimes msUntilPaintedAndWhole(const std::function<void()> &action) { return paintTimes(action, true); }

void runEventsFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

double libraryResidentMegabytes(const QString &name)
{
    const QByteArray wanted = name.toUtf8();
    bool found = false;
    const double kb
        = smapsKilobytes([&](const QByteArray &header) { return header.contains(wanted); }, found);
    return found ? kb / 1024 : -1;
}

int childProcessesNamed(const QString &name)
{
    int count = 0;
    const QByteArray self = QByteArray::number(qint64(::getpid()));
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (pid.front().isDigit() && stat.open(QIODevice::ReadOnly)) {
            // pid (comm) state ppid ...; comm may hold spaces, so read from its closing bracket.
            const QByteArray line = stat.readAll();
            const qsizetype open = line.indexOf('(');
            const qsizetype close = line.lastIndexOf(')');
            const QList<QByteArray> rest = line.mid(close + 2).split(' ');
            if (open > 0 && close > open && rest.value(1) == self
                && QString::fromUtf8(line.mid(open + 1, close - open - 1)).startsWith(name))
                ++count;
        }
    }
    return count;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace pixdock::bench
