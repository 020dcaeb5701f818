// Timing outside programs over the benchmark pictures, as anchors for the program's own figures.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace pixdock::bench {

// The process's resident memory in megabytes (VmRSS); negative when it cannot be read.
double residentMegabytes();

// Reads every file once, so that all measurements find them in the page cache alike.
void readThrough(const QStringList &files);

// Milliseconds for `vipsthumbnail -s 100x100!` over all files in one process, writing its
// thumbnails into `outFolder`; nothing when the program is missing or fails.
std::optional<double> timeVipsthumbnail(const QStringList &files, const QString &outFolder);

// Milliseconds for `djpeg -scale 1/8` over all files, one process per file, `lanes` at a time;
// nothing when the program is missing or fails.
std::optional<double> timeDjpegEighth(const QStringList &files, int lanes);

// Milliseconds for djpeg's decode of the whole of one file (its output thrown away); nothing
// when the program is missing or fails.
std::optional<double> timeDjpegWhole(const QString &file);

} // namespace pixdock::bench
