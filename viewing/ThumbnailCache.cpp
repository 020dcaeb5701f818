// The shared thumbnail cache: entry names, freshness checks and atomic writes.
#include "ThumbnailCache.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryFile>
#include <QtEndian>

#include <array>
#include <cstdio>
#include <string_view>

namespace pixdock::thumbnails {

namespace {

constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

constexpr std::array<quint32, 256> makeCrcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

quint32 crc32(const QByteArray &bytes)
{
    static constexpr std::array<quint32, 256> table = makeCrcTable();
    quint32 c = 0xFFFFFFFFu;
    for (char ch : bytes)
        c = table[(c ^ quint8(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray md5Hex(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

bool makeOwnerOnlyFolder(const QString &path)
{
    if (QFileInfo(path).isDir())
        return true;
    // Another thread or program may create it at the same moment; then it is there all the same.
    return QDir().mkdir(path, OwnerOnly) || QFileInfo(path).isDir();
}

} // namespace

bool stampPicture(const QString &path, PictureStamp &stamp)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return false;
    stamp.path = info.absoluteFilePath();
    stamp.uri = fileUri(stamp.path);
    stamp.mtime = info.lastModified().toSecsSinceEpoch();
    stamp.size = info.size();
    return true;
}

QByteArray fileUri(const QString &path)
{
    // Kept as they are: the unreserved characters and the reserved ones a path may hold.
    static constexpr std::string_view Kept = "!$&'()*+,-./:=@_~";
    static constexpr char Hex[] = "0123456789ABCDEF";
    const QByteArray bytes = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    QByteArray uri("file://");
    uri.reserve(uri.size() + bytes.size() * 3);
    for (const char ch : bytes) {
        const auto c = uchar(ch);
        const bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (alphanumeric || (c != 0 && Kept.find(char(c)) != std::string_view::npos)) {
            uri += char(c);
        } else {
            uri += '%';
            uri += Hex[c >> 4];
            uri += Hex[c & 15];
        }
    }
    return uri;
}

QString cacheRoot()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return QDir::cleanPath(base + QStringLiteral("/thumbnails"));
}

ThumbnailCache::ThumbnailCache(QString root)
    : m_root(std::move(root))
{
}

QString ThumbnailCache::entryPath(const QByteArray &uri) const
{
    return m_root + QStringLiteral("/normal/") + QLatin1String(md5Hex(uri)) + QStringLiteral(".png");
}

CacheEntry ThumbnailCache::read(const PictureStamp &stamp) const
{
    const QString name = QLatin1String(md5Hex(stamp.uri)) + QStringLiteral(".png");
    for (const char *folder : {"/normal/", "/large/"}) {
        CacheEntry entry = readEntry(m_root + QLatin1String(folder) + name, stamp, true);
        if (entry.fresh)
            return entry;
    }
    return {};
}

CacheEntry ThumbnailCache::peek(const PictureStamp &stamp) const
{
    const QString name = QLatin1String(md5Hex(stamp.uri)) + QStringLiteral(".png");
    for (const char *folder : {"/normal/", "/large/"}) {
        CacheEntry entry = readEntry(m_root + QLatin1String(folder) + name, stamp, false);
        if (entry.fresh)
            return entry;
    }
    return {};
}

CacheEntry ThumbnailCache::readEntry(const QString &file, const PictureStamp &stamp, bool pixels) const
{
    CacheEntry entry;
    QImageReader reader(file, "png");
    // The texts before the pixels come with the header; texts after them only with the pixels.
    QString uri = reader.text(QStringLiteral("Thumb::URI"));
    QString mtime = reader.text(QStringLiteral("Thumb::MTime"));
    QString size = reader.text(QStringLiteral("Thumb::Size"));
    QString width = reader.text(QStringLiteral("Thumb::Image::Width"));
    QString height = reader.text(QStringLiteral("Thumb::Image::Height"));
    entry.size = reader.size();
    if (pixels || uri.isEmpty()) {
        entry.image = reader.read();
        if (entry.image.isNull())
            return {};
        entry.size = entry.image.size();
        uri = entry.image.text(QStringLiteral("Thumb::URI"));
        mtime = entry.image.text(QStringLiteral("Thumb::MTime"));
        size = entry.image.text(QStringLiteral("Thumb::Size"));
        width = entry.image.text(QStringLiteral("Thumb::Image::Width"));
        height = entry.image.text(QStringLiteral("Thumb::Image::Height"));
    }
    // An entry belongs to one version of one file: the URI and modification time must match,
    // and so must the size when the writer recorded it.
    bool ok = false;
    if (uri.toLatin1() != stamp.uri || mtime.toLongLong(&ok) != stamp.mtime || !ok)
        return {};
    if (!size.isEmpty() && size.toLongLong() != stamp.size)
        return {};
    const QSize original(width.toInt(), height.toInt());
    if (original.width() > 0 && original.height() > 0)
        entry.original = original;
    entry.fresh = entry.size.isValid();
    if (!entry.fresh)
        entry.image = QImage();
    return entry;
}

bool ThumbnailCache::ensureFolder() const
{
    const QString cacheHome = QFileInfo(m_root).path();
    if (!QFileInfo(cacheHome).isDir() && !QDir().mkpath(cacheHome))
        return false;
    return makeOwnerOnlyFolder(m_root) && makeOwnerOnlyFolder(m_root + QStringLiteral("/normal"));
}

bool ThumbnailCache::write(const PictureStamp &stamp, const QImage &image, QSize original) const
{
    if (image.isNull() || image.width() > CacheSide || image.height() > CacheSide || holds(stamp.path))
        return false;
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        // Fast zlib level: the entries are small and written while the user waits.
        writer.setCompression(1);
        if (!writer.write(image))
            return false;
    }
    QList<QPair<QByteArray, QByteArray>> texts = {
        {"Thumb::URI", stamp.uri},
        {"Thumb::MTime", QByteArray::number(stamp.mtime)},
        {"Thumb::Size", QByteArray::number(stamp.size)},
    };
    if (original.isValid()) {
        texts.append(qMakePair(QByteArray("Thumb::Image::Width"), QByteArray::number(original.width())));
        texts.append(qMakePair(QByteArray("Thumb::Image::Height"), QByteArray::number(original.height())));
    }
    texts.append(qMakePair(QByteArray("Software"), QByteArray("Pixdock")));
    png = withTextChunks(png, texts);

    if (!ensureFolder())
        return false;
    const QString target = entryPath(stamp.uri);
    QTemporaryFile temp(m_root + QStringLiteral("/normal/pixdock-XXXXXX.png"));
    if (!temp.open() || temp.write(png) != png.size() || !temp.flush())
        return false;
    temp.close();
    // rename() replaces an older entry in one step.
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(target).constData())
        != 0)
        return false;
    temp.setAutoRemove(false);
    return true;
}

bool ThumbnailCache::holds(const QString &path) const
{
    return QFileInfo(path).absoluteFilePath().startsWith(m_root + QLatin1Char('/'));
}

QSize cacheSizeFor(QSize original)
{
    if (!original.isValid() || original.isEmpty())
        return {};
    if (original.width() <= CacheSide && original.height() <= CacheSide)
        return original;
    const QSize fitted = original.scaled(CacheSide, CacheSide, Qt::KeepAspectRatio);
    return {std::max(1, fitted.width()), std::max(1, fitted.height())};
}

QByteArray withTextChunks(const QByteArray &png, const QList<QPair<QByteArray, QByteArray>> &texts)
{
    // Signature (8 bytes), then IHDR: length (4), type (4), 13 data bytes, CRC (4).
    constexpr qsizetype headerEnd = 8 + 4 + 4 + 13 + 4;
    if (png.size() < headerEnd || png.mid(12, 4) != "IHDR")
        return png;
    QByteArray chunks;
    for (const auto &[key, value] : texts) {
        const QByteArray body = QByteArray("tEXt") + key + '\0' + value;
        chunks += bigEndian(quint32(body.size() - 4));
        chunks += body;
        chunks += bigEndian(crc32(body));
    }
    return png.left(headerEnd) + chunks + png.mid(headerEnd);
}

} // namespace pixdock::thumbnails
