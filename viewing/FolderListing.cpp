// The folder listing over opendir/readdir: no file is ever opened, so pipes and devices in
// the folder cannot hold the program up.
#include "FolderListing.h"

#include "FileErrors.h"
#include "FileService.h"
#include "FolderListingCache.h"
#include "MessageBox.h"
#include "NameOrder.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace pixdock {

namespace viewing {

namespace {
struct EntryKind
{
    bool regular = false; // a regular file, or a link to one
    bool link = false;
};

// What the entry is (a link is followed); never opens it.
EntryKind kindOf(DIR *dir, const dirent *entry)
{
    if (entry->d_type == DT_REG)
        return {true, false};
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return {};
    struct stat st;
    if (entry->d_type == DT_UNKNOWN) {
        // The file system does not say: ask, without following a link yet.
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return {};
        if (!S_ISLNK(st.st_mode))
            return {S_ISREG(st.st_mode), false};
    }
    return {::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode), true};
}

// The entry's name as text, or nothing when it is not valid UTF-8.
bool decodeName(const char *raw, QString &name)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    name = decoder.decode(QByteArrayView(raw, qsizetype(std::strlen(raw))));
    return !decoder.hasError();
}
} // namespace

int compareFileNames(const QString &a, const QString &b) { return names::compare(a, b); }

FolderScan scanFolder(const QString &folder)
{
    FolderScan scan;
    const QByteArray path = QFile::encodeName(folder.isEmpty() ? QStringLiteral("/") : folder);
    DIR *dir = ::opendir(path.constData());
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {};
        throw errnoError(errno);
    }
    QStringList names;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry)
            break;
        if (entry->d_name[0] == '.')
            continue;
        QString name;
        if (!decodeName(entry->d_name, name))
            continue;
        const EntryKind kind = kindOf(dir, entry);
        if (kind.link)
            scan.links.append({name, kind.regular});
        if (kind.regular)
            names.append(name);
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0)
        throw errnoError(readError);

    names::sort(names);
    scan.names = std::move(names);
    return scan;
}

QStringList folderListing(const QString &folder) { return scanFolder(folder).names; }

bool linkLeadsToFile(const QString &folder, const QString &name)
{
    struct stat st;
    return ::stat(QFile::encodeName(fs::joinPath(folder, name)).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

qsizetype indexInListing(const QStringList &sorted, const QString &name)
{
    const auto at = std::lower_bound(sorted.begin(), sorted.end(), name, [](const QString &a, const QString &b) {
        return compareFileNames(a, b) < 0;
    });
    return at != sorted.end() && *at == name ? at - sorted.begin() : -1;
}

} // namespace viewing

QString NextFileInFolder(QString &folder, QString &name)
{
    std::shared_ptr<const QStringList> listing;
    try {
        listing = viewing::FolderListingCache::shared().listing(folder);
    } catch (const RunTimeError &e) {
        MessageBox::show(QStringLiteral("An error has occurred\r\n") + e.description());
        return {};
    }
    const QStringList &files = *listing;
    const QString first = files.value(0);
    if (name.isEmpty()) {
        name = first;
        return first;
    }
    const qsizetype at = viewing::indexInListing(files, name);
    return at < 0 ? QString() : files.value(at + 1);
}

QString PreviousFileInFolder(const QString &folder, const QString &name)
{
    std::shared_ptr<const QStringList> listing;
    try {
        listing = viewing::FolderListingCache::shared().listing(folder);
    } catch (const RunTimeError &) {
        return {};
    }
    const QStringList &files = *listing;
    if (files.isEmpty() || name == NoImageLoaded)
        return {};
    if (name == files.constFirst())
        return FirstImageText;
    const qsizetype at = viewing::indexInListing(files, name);
    return at < 0 ? QString() : files.at(at - 1);
}

} // namespace pixdock
