// The first paint of a large JPEG.
#include "FirstPaint.h"

#include "FileStamp.h"
#include "JpegDecoder.h"
#include "PictureLoader.h"
#include "PictureOrientation.h"

#include <QFile>

namespace pixdock::viewing {

std::optional<FirstPaint> paintFirstWhatShows(const QString &path, QSize visible)
{
    if (path.isEmpty())
        return std::nullopt;
    QFile file;
    openPictureFile(file, path, QIODevice::ReadOnly | QIODevice::Unbuffered);
    const int fd = file.handle();
    const std::optional<FileStamp> stamp = stampOf(fd);
    if (!stamp || !looksLikeJpeg(file.read(3)) || !file.seek(0))
        return std::nullopt;
    JpegDecoder decoder(&file);
    if (!decoder.readHeader() || decoder.header().progressive)
        return std::nullopt;
    const JpegHeader &header = decoder.header();
    const QSize upright = header.uprightSize();
    const qint64 pictureBytes = qint64(upright.width()) * upright.height() * 4;
    if (pictureBytes > qint64(PictureMemoryLimitMB) * 1024 * 1024)
        return std::nullopt;
    const QRect shown = QRect(QPoint(0, 0), visible).intersected(QRect(QPoint(0, 0), upright));
    if (shown.isEmpty() || 4 * qint64(shown.width()) * shown.height() > qint64(upright.width()) * upright.height())
        return std::nullopt;
    const auto turn = header.turn();
    const int warned = decoder.damageWarnings();
    const QImage piece = turnedUpright(decoder.decodeRegion(storedRectOf(shown, header.size, turn)), turn);
    // Damaged data on the way: the whole decode may fill it in otherwise than the part did, so
    // the picture takes the usual road and is shown as the whole decode makes it.
    if (piece.isNull() || decoder.damageWarnings() != warned)
        return std::nullopt;
    return FirstPaint{upright, piece, std::make_unique<JpegCompletion>(fd, *stamp, header.size, turn)};
}

bool startsAsJpeg(const QString &path)
{
    try {
        QFile file;
        openPictureFile(file, path);
        return looksLikeJpeg(file.read(3));
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace pixdock::viewing
