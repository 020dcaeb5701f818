// Opening a file the user did not choose (a cache entry, a settings or help file): only a
// regular file is read, and opening it never waits (a named pipe or a device would block the
// open itself, or every read after it).
#pragma once

#include <QFile>
#include <QString>

namespace pixdock {

// Opens `path` for reading with O_NONBLOCK and keeps it open in `file` only when fstat says it
// is a regular file; false (as for a missing file) for anything else. `errorNumber`, when
// given, receives errno of a failed open, or 0 when the file was no regular file.
bool openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode = QIODevice::ReadOnly,
                     int *errorNumber = nullptr);

// The same, giving the descriptor (the caller closes it), or -1.
int openRegularFileDescriptor(const QString &path, int *errorNumber = nullptr);

} // namespace pixdock
