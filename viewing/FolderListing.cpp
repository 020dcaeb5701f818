// The folder listing over opendir/readdir: no file is ever opened, so pipes and devices in
// the folder cannot hold the program up.
#include "FolderListing.h"

#include "FileErrors.h"
#include "MessageBox.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace pixdock {

namespace viewing {

namespace {
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Compares two case-folded names: digit runs by value, everything else by code unit.
int compareFolded(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            qsizetype endA = i;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            qsizetype endB = j;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            // Leading zeros do not count; at least one digit stays.
            while (i + 1 < endA && a[i] == QLatin1Char('0'))
                ++i;
            while (j + 1 < endB && b[j] == QLatin1Char('0'))
                ++j;
            if (endA - i != endB - j)
                return endA - i < endB - j ? -1 : 1;
            if (const int c = a.sliced(i, endA - i).compare(b.sliced(j, endB - j)); c != 0)
                return c < 0 ? -1 : 1;
            i = endA;
            j = endB;
            continue;
        }
        if (a[i] != b[j])
            return a[i].unicode() < b[j].unicode() ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

// Whether the entry is a regular file (a link is followed); never opens it.
bool isRegularFile(DIR *dir, const dirent *entry)
{
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat st;
    return ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

// The entry's name as text, or nothing when it is not valid UTF-8.
bool decodeName(const char *raw, QString &name)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    name = decoder.decode(QByteArrayView(raw, qsizetype(std::strlen(raw))));
    return !decoder.hasError();
}
} // namespace

int compareFileNames(const QString &a, const QString &b)
{
    if (const int c = compareFolded(a.toCaseFolded(), b.toCaseFolded()); c != 0)
        return c;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

QStringList folderListing(const QString &folder)
{
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
        if (decodeName(entry->d_name, name) && isRegularFile(dir, entry))
            names.append(name);
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0)
        throw errnoError(readError);

    struct Keyed
    {
        QString folded;
        QString name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(names.size()));
    for (const QString &n : names)
        keyed.push_back({n.toCaseFolded(), n});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &x, const Keyed &y) {
        const int c = compareFolded(x.folded, y.folded);
        return c != 0 ? c < 0 : x.name < y.name;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Keyed &k : keyed)
        sorted.append(k.name);
    return sorted;
}

} // namespace viewing

QString NextFileInFolder(QString &folder, QString &name)
{
    QStringList files;
    try {
        files = viewing::folderListing(folder);
    } catch (const RunTimeError &e) {
        MessageBox::show(QStringLiteral("An error has occurred\r\n") + e.description());
        return {};
    }
    const QString first = files.value(0);
    if (name.isEmpty()) {
        name = first;
        return first;
    }
    const qsizetype at = files.indexOf(name);
    return at < 0 ? QString() : files.value(at + 1);
}

QString PreviousFileInFolder(const QString &folder, const QString &name)
{
    QStringList files;
    try {
        files = viewing::folderListing(folder);
    } catch (const RunTimeError &) {
        return {};
    }
    if (files.isEmpty() || name == NoImageLoaded)
        return {};
    if (name == files.constFirst())
        return FirstImageText;
    const qsizetype at = files.indexOf(name);
    return at < 0 ? QString() : files.at(at - 1);
}

} // namespace pixdock
