// JPEG thumbnails from the EXIF preview or a reduced decode.
#include "JpegThumbnail.h"

#include "JpegDecoder.h"
#include "PictureOrientation.h"
#include "ThumbnailCache.h"

#include <QBuffer>

#include <cmath>

namespace pixdock::thumbnails {

namespace {

// Working memory libjpeg may take for one thumbnail (a progressive picture keeps all its
// coefficients); a larger picture gives no thumbnail rather than taking the machine's memory.
constexpr qint64 DecodeMemoryLimit = 512ll * 1024 * 1024;
constexpr qint64 PreviewMemoryLimit = 64ll * 1024 * 1024;

int reducedSide(int side, int reduction) { return (side + reduction - 1) / reduction; }

QImage decodePreview(const QByteArray &bytes, QSize picture, QSize needed, const std::atomic_bool *cancelled)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    viewing::JpegDecoder decoder(&buffer);
    decoder.setMemoryLimit(PreviewMemoryLimit);
    decoder.setCancelFlag(cancelled);
    if (!decoder.readHeader() || !previewServes(decoder.header().size, picture, needed))
        return {};
    return decoder.decode(reductionFor(decoder.header().size, needed));
}

} // namespace

bool previewServes(QSize preview, QSize picture, QSize needed)
{
    if (preview.isEmpty() || picture.isEmpty())
        return false;
    if (preview.width() < std::min(needed.width(), picture.width())
        || preview.height() < std::min(needed.height(), picture.height()))
        return false;
    if (preview.width() > picture.width() || preview.height() > picture.height())
        return false;
    const double previewRatio = double(preview.width()) / preview.height();
    const double pictureRatio = double(picture.width()) / picture.height();
    return std::abs(previewRatio - pictureRatio) <= 0.01 * pictureRatio;
}

int reductionFor(QSize stored, QSize needed)
{
    for (int reduction : {8, 4, 2}) {
        if (reducedSide(stored.width(), reduction) >= std::min(needed.width(), stored.width())
            && reducedSide(stored.height(), reduction) >= std::min(needed.height(), stored.height()))
            return reduction;
    }
    return 1;
}

JpegThumbnailSource readJpegForThumbnail(QIODevice *device, QSize sheet, const std::atomic_bool *cancelled)
{
    JpegThumbnailSource source;
    viewing::JpegDecoder decoder(device);
    decoder.setMemoryLimit(DecodeMemoryLimit);
    decoder.setCancelFlag(cancelled);
    if (!decoder.readHeader())
        return source;
    const viewing::JpegHeader &header = decoder.header();
    const auto turn = header.turn();
    source.original = header.uprightSize();
    const QSize entry = cacheSizeFor(source.original);
    const QSize needed(std::max(sheet.width(), entry.width()), std::max(sheet.height(), entry.height()));
    const QSize neededStored = viewing::uprightSize(needed, turn);

    if (!header.preview.isEmpty()) {
        const QImage preview = decodePreview(header.preview, header.size, neededStored, cancelled);
        if (!preview.isNull()) {
            source.upright = viewing::turnedUpright(preview, turn);
            source.fromPreview = true;
            return source;
        }
    }
    source.upright = viewing::turnedUpright(decoder.decode(reductionFor(header.size, neededStored), true), turn);
    return source;
}

} // namespace pixdock::thumbnails
