// Running vipsthumbnail and djpeg under a stopwatch.
#include "BenchTools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace pixdock::bench {

namespace {

std::optional<double> timeProcess(const QString &program, const QStringList &arguments,
                                  const QByteArray &input = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForStarted())
        return std::nullopt;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return std::nullopt;
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return -1;
}

void readThrough(const QStringList &files)
{
    for (const QString &path : files) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            while (!file.read(1 << 20).isEmpty()) {
            }
        }
    }
}

std::optional<double> timeVipsthumbnail(const QStringList &files, const QString &outFolder)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    if (program.isEmpty())
        return std::nullopt;
    QDir().mkpath(outFolder);
    QStringList arguments = {QStringLiteral("-s"), QStringLiteral("100x100!"), QStringLiteral("-o"),
                             QDir(outFolder).filePath(QStringLiteral("%s.jpg"))};
    arguments += files;
    return timeProcess(program, arguments);
}

std::optional<double> timeDjpegEighth(const QStringList &files, int lanes)
{
    if (QStandardPaths::findExecutable(QStringLiteral("djpeg")).isEmpty())
        return std::nullopt;
    // xargs keeps `lanes` djpeg processes going, one file each.
    QByteArray names;
    for (const QString &path : files)
        names += QFile::encodeName(path) + '\0';
    return timeProcess(QStringLiteral("xargs"),
        { QStringLiteral("-0"), QStringLiteral("-P"), QString::number(lanes), QStringLiteral("-n"),
            QStringLiteral("1"), QStringLiteral("djpeg"), QStringLiteral("-scale"), QStringLiteral("1/8"),
            QStringLiteral("-outfile"), QStringLiteral("/dev/null") },
        names);
}

std::optional<double> timeDjpegWhole(const QString &file)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
    if (program.isEmpty())
        return std::nullopt;
    return timeProcess(program, {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), file});
}

} // namespace pixdock::bench
