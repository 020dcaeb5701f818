// File stamps over stat(2).
#include "FileStamp.h"

#include <QFile>

#include <sys/stat.h>
#include <time.h>

namespace pixdock::viewing {

namespace {
qint64 nanoseconds(const timespec &t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

FileStamp fromStat(const struct stat &st)
{
    FileStamp s;
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
    s.size = qint64(st.st_size);
    s.modifiedNs = nanoseconds(st.st_mtim);
    s.changedNs = nanoseconds(st.st_ctim);
    return s;
}
} // namespace

std::optional<FileStamp> stampOf(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return fromStat(st);
}

std::optional<FileStamp> stampOf(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return std::nullopt;
    return fromStat(st);
}

qint64 realTimeNs()
{
    timespec t;
    ::clock_gettime(CLOCK_REALTIME, &t);
    return nanoseconds(t);
}

bool stampStillHolds(const FileStamp &then, const std::optional<FileStamp> &now, qint64 madeAtNs, qint64 settleNs)
{
    if (!now || *now != then)
        return false;
    // The change time, not the modification time: it cannot be set back by hand, and every
    // change of the contents moves it too.
    return now->changedNs <= madeAtNs - settleNs;
}

} // namespace pixdock::viewing
