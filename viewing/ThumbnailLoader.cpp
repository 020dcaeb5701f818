// One thumbnail: cache lookup, decode (embedded preview, reduced JPEG or whole picture),
// cache write, squeeze.
#include "ThumbnailLoader.h"

#include "CancellableDevice.h"
#include "JpegDecoder.h"
#include "JpegThumbnail.h"
#include "RegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <memory>

namespace pixdock::thumbnails {

namespace {

// Pictures up to this size that Qt's readers decode are read into memory in one go, which is
// faster than reading through the file in small pieces; larger ones are read as the decoder asks.
constexpr qint64 InMemoryLimit = 128 * 1024 * 1024;

using viewing::Cancellable;

bool isCancelled(const std::atomic_bool *cancelled)
{
    return cancelled && cancelled->load(std::memory_order_relaxed);
}

// A format the smooth scaler averages in; palette, one-bit and other formats are otherwise
// sampled, which turns a two-colour picture into noise.
QImage averagable(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return image;
    default:
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
    }
}

QImage scaledTo(const QImage &image, QSize size)
{
    if (image.size() == size)
        return image;
    return averagable(image).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

struct Decoded
{
    QImage upright;
    QSize original;
};

// Any other format through Qt's readers: decoded whole, turned upright.
Decoded decodeWithQt(QIODevice *device)
{
    QImageReader reader(device);
    reader.setAutoTransform(true);
    Decoded decoded;
    decoded.upright = reader.read();
    decoded.original = decoded.upright.size();
    return decoded;
}

Decoded decodePicture(const QString &path, const QByteArray &head, qint64 size, QSize sheet,
                      const std::atomic_bool *cancelled)
{
    if (viewing::looksLikeJpeg(head)) {
        Cancellable<QFile> file(cancelled);
        if (!openRegularFile(file, path, QIODevice::ReadOnly | QIODevice::Unbuffered))
            return {};
        const JpegThumbnailSource source = readJpegForThumbnail(&file, sheet, cancelled);
        return {source.upright, source.original};
    }
    std::unique_ptr<QIODevice> device;
    if (size <= InMemoryLimit) {
        QFile file;
        if (!openRegularFile(file, path))
            return {};
        auto buffer = std::make_unique<Cancellable<QBuffer>>(cancelled);
        buffer->setData(file.readAll());
        device = std::move(buffer);
    } else {
        auto file = std::make_unique<Cancellable<QFile>>(cancelled);
        if (!openRegularFile(*file, path))
            return {};
        device = std::move(file);
    }
    if (!device->isOpen() && !device->open(QIODevice::ReadOnly))
        return {};
    return decodeWithQt(device.get());
}

struct Opened
{
    PictureStamp stamp;
    QByteArray head;
    bool mayCache = false;
};

// Whether the path is a regular readable file that is not an icon; its stamp and first bytes.
bool openPicture(const QString &path, const ThumbnailCache &cache, const std::atomic_bool *cancelled, Opened &opened)
{
    if (isCancelled(cancelled) || !stampPicture(path, opened.stamp))
        return false;
    QFile file;
    if (!openRegularFile(file, opened.stamp.path))
        return false;
    opened.head = file.read(4);
    if (isIconHeader(opened.head))
        return false;
    opened.mayCache = !cache.holds(opened.stamp.path);
    return true;
}

// Decodes the picture, stores its cache entry and gives the sheet picture.
QImage makeFromPicture(const Opened &opened, const ThumbnailCache &cache, const std::atomic_bool *cancelled,
                       QSize sheet)
{
    const Decoded decoded = decodePicture(opened.stamp.path, opened.head, opened.stamp.size, sheet, cancelled);
    if (decoded.upright.isNull() || isCancelled(cancelled))
        return {};
    if (opened.mayCache)
        cache.write(opened.stamp, scaledTo(decoded.upright, cacheSizeFor(decoded.upright.size())), decoded.original);
    return squeeze(decoded.upright, sheet);
}

} // namespace

QImage squeeze(const QImage &image, QSize size)
{
    if (image.isNull())
        return {};
    // Formats the screen takes without another conversion on the user-interface thread.
    return averagable(scaledTo(image, size));
}

bool isIconHeader(const QByteArray &head)
{
    return head.size() >= 4 && head.at(0) == 0 && head.at(1) == 0 && (head.at(2) == 1 || head.at(2) == 2)
           && head.at(3) == 0;
}

bool entryServesSheet(QSize entry, QSize original, QSize sheet)
{
    // Measured against the sheet's size in layout points: on a dense screen a 128-pixel entry
    // still serves (the sheet pictures decoded afresh are made at the screen's pixels).
    // Stretching an entry to at most twice its size keeps what the eye sees at sheet size.
    const auto serves = [](int entrySide, int originalSide, int sheetSide) {
        return 2 * entrySide >= sheetSide || (originalSide > 0 && entrySide >= originalSide);
    };
    return entry.isValid() && serves(entry.width(), original.width(), sheet.width())
           && serves(entry.height(), original.height(), sheet.height());
}

QImage makeThumbnail(const QString &path, const ThumbnailCache &cache, const std::atomic_bool *cancelled, QSize sheet)
{
    Opened opened;
    if (!openPicture(path, cache, cancelled, opened))
        return {};
    if (opened.mayCache) {
        const CacheEntry entry = cache.read(opened.stamp);
        if (!entry.image.isNull() && entryServesSheet(entry.image.size(), entry.original, SheetSize))
            return squeeze(entry.image, sheet);
    }
    return makeFromPicture(opened, cache, cancelled, sheet);
}

bool hasThumbnail(const QString &path, const ThumbnailCache &cache, const std::atomic_bool *cancelled, QSize sheet,
                  QImage *made)
{
    Opened opened;
    if (!openPicture(path, cache, cancelled, opened))
        return false;
    if (opened.mayCache) {
        const CacheEntry entry = cache.peek(opened.stamp);
        if (entry.fresh && entryServesSheet(entry.size, entry.original, SheetSize))
            return true;
    }
    const QImage sheetPicture = makeFromPicture(opened, cache, cancelled, sheet);
    if (made)
        *made = sheetPicture;
    return !sheetPicture.isNull();
}

} // namespace pixdock::thumbnails
