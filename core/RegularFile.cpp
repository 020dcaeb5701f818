// Opening regular files only, without waiting.
#include "RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pixdock {

int openRegularFileDescriptor(const QString &path, int *errorNumber)
{
    if (errorNumber)
        *errorNumber = 0;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errorNumber)
            *errorNumber = errno;
        return -1;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode, int *errorNumber)
{
    const int fd = openRegularFileDescriptor(path, errorNumber);
    if (fd < 0)
        return false;
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace pixdock
