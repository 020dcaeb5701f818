// One thumbnail: cache lookup, reduced-size decode, cache write, squeeze.
#include "ThumbnailLoader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <memory>

namespace pixdock::thumbnails {

namespace {

// Pictures up to this size are read into memory in one go, which decodes faster than reading
// through the file in small pieces; larger ones are read from the file as the decoder asks.
constexpr qint64 InMemoryLimit = 128 * 1024 * 1024;

// A device that stops delivering data once the build is cancelled, so that a long decode
// ends at its next read instead of running to the end of a large picture.
template<class Device>
class Cancellable : public Device
{
public:
    template<class... Args>
    explicit Cancellable(const std::atomic_bool *cancelled, Args &&...args)
        : Device(std::forward<Args>(args)...)
        , m_cancelled(cancelled)
    {
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_cancelled && m_cancelled->load(std::memory_order_relaxed))
            return -1;
        return Device::readData(data, maxSize);
    }

private:
    const std::atomic_bool *m_cancelled;
};

bool isCancelled(const std::atomic_bool *cancelled)
{
    return cancelled && cancelled->load(std::memory_order_relaxed);
}

// The original's width and height as shown, that is after turning it upright.
QSize uprightSize(const QImageReader &reader, QSize stored)
{
    if (reader.autoTransform() && (reader.transformation() & QImageIOHandler::TransformationRotate90))
        return stored.transposed();
    return stored;
}

// Decodes the picture into an image of at most 128 pixels a side. Formats whose reader can
// scale while decoding (JPEG picks 1/2, 1/4 or 1/8 of the full size) never build the full
// picture; the others are decoded whole and scaled down smoothly.
QImage decodeForCache(QIODevice *device, QSize *original)
{
    QImageReader reader(device);
    reader.setAutoTransform(true);
    // Speed over finesse: the JPEG reader then uses its fast integer transform and plain
    // chroma upsampling, which cannot be told apart at 128 pixels.
    reader.setQuality(0);
    const QSize stored = reader.size();
    const QSize target = cacheSizeFor(stored);
    if (target.isValid() && target != stored)
        reader.setScaledSize(target);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    *original = stored.isValid() ? uprightSize(reader, stored) : image.size();
    const QSize fitted = cacheSizeFor(image.size());
    if (fitted != image.size())
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

QImage squeeze(const QImage &image)
{
    if (image.isNull())
        return {};
    QImage sheet = image.size() == SheetSize
                       ? image
                       : image.scaled(SheetSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Formats the screen takes without another conversion on the user-interface thread.
    return sheet.convertToFormat(sheet.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

bool isIconHeader(const QByteArray &head)
{
    return head.size() >= 4 && head.at(0) == 0 && head.at(1) == 0 && (head.at(2) == 1 || head.at(2) == 2)
           && head.at(3) == 0;
}

QImage makeThumbnail(const QString &path, const ThumbnailCache &cache, const std::atomic_bool *cancelled)
{
    PictureStamp stamp;
    if (isCancelled(cancelled) || !stampPicture(path, stamp))
        return {};
    QFile file(stamp.path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(4);
    if (isIconHeader(head))
        return {};

    const bool mayCache = !cache.holds(stamp.path);
    if (mayCache) {
        const QImage cached = cache.read(stamp);
        if (!cached.isNull())
            return squeeze(cached);
    }

    std::unique_ptr<QIODevice> device;
    if (stamp.size <= InMemoryLimit) {
        auto buffer = std::make_unique<Cancellable<QBuffer>>(cancelled);
        buffer->setData(head + file.readAll());
        file.close();
        device = std::move(buffer);
    } else {
        file.close();
        device = std::make_unique<Cancellable<QFile>>(cancelled, stamp.path);
    }
    if (!device->open(QIODevice::ReadOnly))
        return {};
    QSize original;
    const QImage small = decodeForCache(device.get(), &original);
    if (small.isNull() || isCancelled(cancelled))
        return {};
    if (mayCache)
        cache.write(stamp, small, original);
    return squeeze(small);
}

} // namespace pixdock::thumbnails
