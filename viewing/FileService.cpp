// Single-file operations over POSIX calls, with errno turned into the program's errors.
#include "FileService.h"

#include "FileErrors.h"

#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace pixdock::viewing::fs {

namespace {
constexpr QChar Separator = QLatin1Char('/');

QByteArray native(const QString &path) { return QFile::encodeName(path); }

// The path without trailing separators; the root stays "/".
QString withoutTrailingSeparators(const QString &path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == Separator)
        --end;
    return path.left(end);
}

bool statOf(const QString &path, struct stat &st, bool followLinks = true)
{
    const QByteArray p = native(path);
    return (followLinks ? ::stat(p.constData(), &st) : ::lstat(p.constData(), &st)) == 0;
}

bool isReadOnly(const struct stat &st) { return (st.st_mode & S_IWUSR) == 0; }

// A missing file in a missing folder is "Path not found", in an existing folder "File not found".
RunTimeError missing(const QString &path)
{
    const QString folder = parentFolderName(path);
    if (!folder.isEmpty() && !folderExists(folder))
        return fileError(err::PathNotFound);
    return fileError(err::FileNotFound);
}

QString intoFolder(const QString &from, const QString &to)
{
    return to.endsWith(Separator) ? to + fileName(from) : to;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
} // namespace

QString parentFolderName(const QString &path)
{
    const QString trimmed = withoutTrailingSeparators(path);
    const qsizetype slash = trimmed.lastIndexOf(Separator);
    if (slash < 0 || trimmed == QString(Separator))
        return {};
    const QString parent = withoutTrailingSeparators(trimmed.left(slash));
    return parent.isEmpty() ? QString(Separator) : parent;
}

QString fileName(const QString &path)
{
    const QString trimmed = withoutTrailingSeparators(path);
    if (trimmed == QString(Separator))
        return {};
    return trimmed.mid(trimmed.lastIndexOf(Separator) + 1);
}

QString extensionName(const QString &path)
{
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString joinPath(const QString &folder, const QString &name)
{
    return folder.endsWith(Separator) ? folder + name : folder + Separator + name;
}

void deleteFile(const QString &path)
{
    struct stat st;
    if (!statOf(path, st, false))
        throw missing(path);
    if (S_ISDIR(st.st_mode))
        throw fileError(err::FileNotFound);
    struct stat target;
    if (statOf(path, target) && S_ISREG(target.st_mode) && isReadOnly(target))
        throw fileError(err::PermissionDenied);
    if (::unlink(native(path).constData()) != 0)
        throw errnoError(errno);
}

void moveFile(const QString &from, const QString &destination)
{
    const QString to = intoFolder(from, destination);
    struct stat src;
    if (!statOf(from, src, false))
        throw missing(from);
    if (S_ISDIR(src.st_mode))
        throw fileError(err::FileNotFound);
    struct stat dst;
    if (statOf(to, dst, false)) {
        // Moving a file onto itself must never end with the target (the file) deleted.
        if (sameFile(src, dst))
            return;
        throw fileError(err::FileExists);
    }
    const QString toFolder = parentFolderName(to);
    if (!toFolder.isEmpty() && !folderExists(toFolder))
        throw fileError(err::PathNotFound);
    if (::rename(native(from).constData(), native(to).constData()) == 0)
        return;
    if (errno != EXDEV)
        throw errnoError(errno);
    // Another file system: copy, then remove the original.
    copyFile(from, to);
    if (::unlink(native(from).constData()) != 0)
        throw errnoError(errno);
}

void copyFile(const QString &from, const QString &destination)
{
    const QString to = intoFolder(from, destination);
    struct stat src;
    if (!statOf(from, src))
        throw missing(from);
    if (S_ISDIR(src.st_mode))
        throw fileError(err::FileNotFound);
    // Never open a pipe or a device: reading it could wait for ever.
    if (!S_ISREG(src.st_mode))
        throw fileError(fileerr::AccessError);
    const QString toFolder = parentFolderName(to);
    if (!toFolder.isEmpty() && !folderExists(toFolder))
        throw fileError(err::PathNotFound);
    struct stat dst;
    if (statOf(to, dst)) {
        if (S_ISDIR(dst.st_mode) || sameFile(src, dst) || isReadOnly(dst))
            throw fileError(err::PermissionDenied);
    }

    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        throw errnoError(errno);
    // Written beside the target and renamed over it, so a failed copy leaves the old target whole.
    QTemporaryFile out(joinPath(toFolder.isEmpty() ? QStringLiteral(".") : toFolder,
                                QStringLiteral(".pixdock-copy-XXXXXX")));
    if (!out.open())
        throw errnoError(errno);
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0)
            throw fileError(fileerr::DeviceIO);
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            throw fileError(out.error() == QFileDevice::ResourceError ? fileerr::DiskFull
                                                                      : fileerr::DeviceIO);
    }
    if (!out.flush())
        throw fileError(fileerr::DiskFull);
    out.setPermissions(in.permissions());
    if (::rename(native(out.fileName()).constData(), native(to).constData()) != 0)
        throw errnoError(errno);
    out.setAutoRemove(false);
}

void createFolder(const QString &path)
{
    if (::mkdir(native(path).constData(), 0777) != 0) {
        if (errno == ENOENT)
            throw fileError(err::PathNotFound);
        throw errnoError(errno);
    }
}

bool fileExists(const QString &path)
{
    struct stat st;
    return !path.isEmpty() && statOf(path, st) && !S_ISDIR(st.st_mode);
}

bool folderExists(const QString &path)
{
    struct stat st;
    return !path.isEmpty() && statOf(path, st) && S_ISDIR(st.st_mode);
}

bool listedAsNormalFile(const QString &path)
{
    const QString name = fileName(path);
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || path.endsWith(Separator))
        return false;
    struct stat st;
    return statOf(path, st) && S_ISREG(st.st_mode);
}

} // namespace pixdock::viewing::fs
