// What the file system says about a file or folder without reading it: identity, size and
// change times. Remembered results (a folder's listing, a decoded picture) keep the stamp
// they were made from and are reused only while the stamp still matches and is settled.
#pragma once

#include <QString>

#include <optional>

namespace pixdock::viewing {

struct FileStamp
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0; // st_mtim in nanoseconds since the epoch
    qint64 changedNs = 0;  // st_ctim: also moves on chmod, rename and when mtime is set back

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

// A file system stamps a change with a clock that may lag real time by a tick, or by much
// more on a network share with its own clock; two changes within one tick can leave the
// same stamp. A result is trusted by its stamp only when the last change lies at least this
// long before the result was made.
inline constexpr qint64 StampSettleNs = 2'000'000'000;

// The stamp of `path` (links followed), or nothing when it cannot be read.
std::optional<FileStamp> stampOf(const QString &path);
// The stamp of an open file.
std::optional<FileStamp> stampOf(int fd);

// The real-time clock the file system stamps changes with, in nanoseconds since the epoch.
qint64 realTimeNs();

// Whether a result made at `madeAtNs` from a file whose stamp was `then` still stands for
// the file stamped `now`: the stamps are equal, and the file's last change lies `settleNs`
// or more before the result was made, so that no later change can share its stamp.
bool stampStillHolds(const FileStamp &then, const std::optional<FileStamp> &now, qint64 madeAtNs,
                     qint64 settleNs = StampSettleNs);

} // namespace pixdock::viewing
