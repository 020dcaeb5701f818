// The picture loader over QImageReader.
#include "PictureLoader.h"

#include "CancellableDevice.h"
#include "FileErrors.h"
#include "FileService.h"
#include "JpegDecoder.h"
#include "PictureOrientation.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pixdock::viewing {

namespace {
constexpr qint64 MegaByte = 1024 * 1024;

RunTimeError invalidPicture() { return RunTimeError(err::InvalidPicture, QStringLiteral("Invalid picture")); }
RunTimeError tooLarge() { return RunTimeError(PictureTooLarge, QStringLiteral("Out of memory")); }

bool exceedsLimit(QSize size, int bytesPerPixel, qint64 maxBytes)
{
    return size.isValid() && qint64(size.width()) * size.height() * bytesPerPixel > maxBytes;
}

// Refuses a picture whose header promises more pixels than `maxBytes` hold, before any pixel
// is read: a header can claim any size.
void refuseIfTooLarge(QImageReader &reader, qint64 maxBytes)
{
    // Qt's JPEG reader leaves the format of a header it refuses unset: only a real one counts.
    const QImage::Format format = reader.imageFormat();
    const bool known = format > QImage::Format_Invalid && format < QImage::NImageFormats;
    const int bits = known ? QImage::toPixelFormat(format).bitsPerPixel() : 32;
    if (exceedsLimit(reader.size(), std::max(4, bits / 8), std::min(maxBytes, PictureMemoryLimitMB * MegaByte)))
        throw tooLarge();
}

// Opens the file at `path` as the loader does: a missing folder told apart from a missing file.
void openForLoading(QFile &file, const QString &path)
{
    raisePictureMemoryLimit();
    const QString folder = fs::parentFolderName(path);
    if (!folder.isEmpty() && !fs::folderExists(folder))
        throw fileError(err::PathNotFound);
    openPictureFile(file, path);
}

// A JPEG through libjpeg-turbo directly: straight into the screen's format, quicker than
// Qt's reader, with the same pixels.
QImage readJpeg(QIODevice *device, qint64 maxBytes, const std::atomic_bool *cancelled)
{
    // Taken into memory first (the decoder reads it all anyway), so that its scans are counted
    // before any is decoded.
    QByteArray bytes;
    QBuffer memory;
    if (!qobject_cast<QBuffer *>(device)) {
        auto *file = qobject_cast<QFileDevice *>(device);
        bytes = device->readAll();
        if (file && file->error() == QFileDevice::ReadError)
            throw RunTimeError(fileerr::DeviceIO, systemReason(file->errorString()));
        memory.setBuffer(&bytes);
        memory.open(QIODevice::ReadOnly);
        device = &memory;
    }
    JpegDecoder decoder(device);
    decoder.setMemoryLimit(PictureMemoryLimitMB * MegaByte);
    decoder.setCancelFlag(cancelled);
    if (!decoder.readHeader())
        throw invalidPicture();
    if (exceedsLimit(decoder.header().size, 4, std::min(maxBytes, PictureMemoryLimitMB * MegaByte)))
        throw tooLarge();
    const QImage image = decoder.decode();
    if (image.isNull())
        throw invalidPicture();
    return turnedUpright(image, decoder.header().turn());
}
} // namespace

// Opens the file for reading without blocking, and only when it is a regular file.
int openPictureFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            const QString folder = fs::parentFolderName(path);
            if (!folder.isEmpty() && !fs::folderExists(folder))
                throw fileError(err::PathNotFound);
            throw fileError(err::FileNotFound);
        }
        throw unreadableError(error);
    }
    struct stat st = {};
    const bool known = ::fstat(fd, &st) == 0;
    if (!known || !S_ISREG(st.st_mode)) {
        const bool folder = known && S_ISDIR(st.st_mode);
        ::close(fd);
        if (folder)
            throw fileError(fileerr::AccessError);
        throw invalidPicture();
    }
    return fd;
}

void openPictureFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    const int fd = openPictureFile(path);
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw fileError(fileerr::AccessError);
    }
}

void raisePictureMemoryLimit() { QImageReader::setAllocationLimit(PictureMemoryLimitMB); }

QImage loadPicture(const QString &path, const std::atomic_bool *cancelled)
{
    if (path.isEmpty())
        return {};
    QFile file;
    openForLoading(file, path);
    return readPicture(&file, qint64(PictureMemoryLimitMB) * MegaByte, cancelled);
}

QSize loadPictureSize(QFile &file, const QString &path)
{
    openForLoading(file, path);
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead()) {
        if (file.error() == QFileDevice::ReadError)
            throw RunTimeError(fileerr::DeviceIO, systemReason(file.errorString()));
        throw invalidPicture();
    }
    refuseIfTooLarge(reader, PictureMemoryLimitMB * MegaByte);
    return uprightHeaderSize(reader);
}

QSize uprightHeaderSize(QImageReader &reader)
{
    QSize size = reader.size();
    if (size.isValid() && (reader.transformation() & QImageIOHandler::TransformationRotate90))
        size.transpose();
    return size;
}

QImage readPicture(QIODevice *device, qint64 maxBytes, const std::atomic_bool *cancelled)
{
    if (looksLikeJpeg(device->peek(3)))
        return readJpeg(device, maxBytes, cancelled);
    // Qt's readers cannot be stopped otherwise: once cancelled, their data runs dry.
    Cancellable<QBuffer> stoppable(cancelled);
    if (cancelled) {
        auto *buffer = qobject_cast<QBuffer *>(device);
        stoppable.setData(buffer && buffer->pos() == 0 ? buffer->data() : device->readAll());
        stoppable.open(QIODevice::ReadOnly);
        device = &stoppable;
    }
    QImageReader reader(device);
    // The content decides, not the name: a PNG called .jpg still opens.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    refuseIfTooLarge(reader, maxBytes);
    QImage image;
    if (reader.read(&image))
        return image;
    switch (reader.error()) {
    case QImageReader::DeviceError: throw RunTimeError(fileerr::AccessError, systemReason(device->errorString()));
    case QImageReader::FileNotFoundError: throw fileError(err::FileNotFound);
    default: break;
    }
    throw invalidPicture();
}

} // namespace pixdock::viewing
