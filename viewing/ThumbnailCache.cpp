// The shared thumbnail cache: entry names, freshness checks and atomic writes.
#include "ThumbnailCache.h"

#include "RegularFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

namespace pixdock::thumbnails {

namespace {

constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
// An entry's texts sit in its first few hundred bytes; an entry is read that far first.
constexpr qint64 HeadBytes = 4096;
constexpr qint64 MaxHeadBytes = 64 * 1024;

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

void appendChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    png += bigEndian(quint32(data.size()));
    png += body;
    png += bigEndian(crc32(body));
}

// The zlib stream of `data` coded by Huffman codes alone: for filtered rows of a photograph
// nearly as small as zlib's quickest general level, in half the time.
QByteArray deflated(const QByteArray &data)
{
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_HUFFMAN_ONLY) != Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return result == Z_STREAM_END ? out : QByteArray();
}

// A PNG of the picture, written here rather than by the PNG plug-in: each row filtered by its
// left neighbour, then Huffman coded. The plug-in tries every filter on every row,
// which cost more than all the rest of a thumbnail made from an EXIF preview.
QByteArray encodePng(const QImage &image)
{
    const bool alpha = image.hasAlphaChannel();
    const QImage rows = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const int pixelBytes = alpha ? 4 : 3;
    const qsizetype rowBytes = qsizetype(rows.width()) * pixelBytes;
    QByteArray filtered((rowBytes + 1) * rows.height(), Qt::Uninitialized);
    auto *out = reinterpret_cast<uchar *>(filtered.data());
    for (int y = 0; y < rows.height(); ++y) {
        const uchar *line = rows.constScanLine(y);
        *out++ = 1; // filter type Sub: each byte less the byte of the pixel to its left
        for (qsizetype i = 0; i < rowBytes; ++i)
            *out++ = uchar(line[i] - (i >= pixelBytes ? line[i - pixelBytes] : 0));
    }
    QByteArray header(13, '\0');
    qToBigEndian(quint32(rows.width()), header.data());
    qToBigEndian(quint32(rows.height()), header.data() + 4);
    header[8] = 8;                 // bits per sample
    header[9] = char(alpha ? 6 : 2); // RGBA or RGB
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    const QByteArray compressed = deflated(filtered);
    if (compressed.isEmpty())
        return {};
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", {});
    return png;
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

CacheEntry ThumbnailCache::read(const PictureStamp &stamp) const { return find(stamp, true); }

CacheEntry ThumbnailCache::peek(const PictureStamp &stamp) const { return find(stamp, false); }

CacheEntry ThumbnailCache::find(const PictureStamp &stamp, bool pixels) const
{
    const QString name = QLatin1String(md5Hex(stamp.uri)) + QStringLiteral(".png");
    for (const char *folder : {"/normal/", "/large/"}) {
        CacheEntry entry = readEntry(m_root + QLatin1String(folder) + name, stamp, pixels);
        if (entry.fresh)
            return entry;
    }
    return {};
}

CacheEntry ThumbnailCache::readEntry(const QString &file, const PictureStamp &stamp, bool pixels) const
{
    // Any program of the user can leave something else under an entry's name: a pipe would
    // hold the reading worker for ever, so only a regular file is opened, without waiting.
    QFile entryFile;
    if (!openRegularFile(entryFile, file))
        return {};
    // The entry's texts are read before its pixels: a stale entry is never decoded.
    QByteArray bytes = entryFile.read(HeadBytes);
    PngHead head = readPngHead(bytes);
    if (!head.complete && !head.texts.contains("Thumb::URI") && bytes.size() == HeadBytes) {
        bytes += entryFile.read(MaxHeadBytes - HeadBytes);
        head = readPngHead(bytes);
    }
    if (!head.png)
        return {};
    CacheEntry entry;
    QImage image;
    if (!head.texts.contains("Thumb::URI")) {
        // Texts after the pixels, or compressed: only a whole reading finds them.
        bytes += entryFile.readAll();
        image = QImage::fromData(bytes, "png");
        for (const QString &key : image.textKeys())
            head.texts.insert(key.toLatin1(), image.text(key).toLatin1());
        head.size = image.size();
    }
    // An entry belongs to one version of one file: the URI and modification time must match,
    // and so must the size when the writer recorded it.
    bool ok = false;
    if (head.texts.value("Thumb::URI") != stamp.uri || head.texts.value("Thumb::MTime").toLongLong(&ok) != stamp.mtime
        || !ok)
        return {};
    const QByteArray size = head.texts.value("Thumb::Size");
    if (!size.isEmpty() && size.toLongLong() != stamp.size)
        return {};
    const QSize original(head.texts.value("Thumb::Image::Width").toInt(), head.texts.value("Thumb::Image::Height").toInt());
    if (original.width() > 0 && original.height() > 0)
        entry.original = original;
    entry.size = head.size;
    if (pixels) {
        if (image.isNull()) {
            bytes += entryFile.readAll();
            image = QImage::fromData(bytes, "png");
        }
        if (image.isNull())
            return {};
        entry.image = image;
        entry.size = image.size();
    }
    entry.fresh = entry.size.isValid() && !entry.size.isEmpty();
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
    const QByteArray png = withTextChunks(encodePng(image), texts);
    if (png.isEmpty())
        return false;

    if (!ensureFolder())
        return false;
    const QByteArray target = QFile::encodeName(entryPath(stamp.uri));
    // Written under a name of this process and write alone, then renamed over the entry in one
    // step, so that a reader never sees half a file.
    static std::atomic<quint64> written{0};
    const QByteArray temporary = QFile::encodeName(m_root) + "/normal/pixdock-" + QByteArray::number(::getpid()) + '-'
                                 + QByteArray::number(written.fetch_add(1)) + ".png";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    qsizetype done = 0;
    while (done < png.size()) {
        const ssize_t n = ::write(fd, png.constData() + done, size_t(png.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    const bool closed = ::close(fd) == 0;
    if (done != png.size() || !closed || std::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
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

PngHead readPngHead(const QByteArray &start)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    PngHead head;
    if (!start.startsWith(signature))
        return head;
    head.png = true;
    qsizetype at = signature.size();
    while (at + 8 <= start.size()) {
        const quint32 length = qFromBigEndian<quint32>(start.constData() + at);
        const QByteArray type = start.mid(at + 4, 4);
        if (type == "IDAT") {
            head.complete = true;
            return head;
        }
        // The chunk, its type, length and CRC must all lie inside what was read.
        if (length > quint32(start.size()) || at + 12 + qsizetype(length) > start.size())
            return head;
        const QByteArray body = start.mid(at + 8, qsizetype(length));
        if (type == "IHDR" && body.size() >= 8) {
            const quint32 width = qFromBigEndian<quint32>(body.constData());
            const quint32 height = qFromBigEndian<quint32>(body.constData() + 4);
            if (width > 0 && height > 0 && width <= 0x7fffffff && height <= 0x7fffffff)
                head.size = QSize(int(width), int(height));
        } else if (type == "tEXt") {
            const qsizetype nul = body.indexOf('\0');
            // A key that comes again keeps its first value.
            if (nul > 0 && !head.texts.contains(body.left(nul)))
                head.texts.insert(body.left(nul), body.mid(nul + 1));
        } else if (type == "IEND") {
            head.complete = true;
            return head;
        }
        at += 12 + qsizetype(length);
    }
    return head;
}

} // namespace pixdock::thumbnails
