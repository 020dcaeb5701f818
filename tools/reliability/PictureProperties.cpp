// The picture data properties.
#include "PictureProperties.h"

#include "ExifJpeg.h"
#include "ExifReader.h"
#include "JpegDecoder.h"
#include "JpegThumbnail.h"
#include "PictureOrientation.h"
#include "ThumbnailCache.h"
#include "ThumbnailLoader.h"

#include <QBuffer>

#include <string>

namespace pixdock::fuzzing {

namespace {

constexpr qint64 DecodeMemoryLimit = 64 * 1024 * 1024;

std::string sizeText(QSize size) { return std::to_string(size.width()) + "x" + std::to_string(size.height()); }

// A small picture every EXIF block is put into.
const QByteArray &carrier()
{
    static const QByteArray jpeg = test::encodeJpeg(test::detailedPicture({32, 24}), {.quality = 50});
    return jpeg;
}

struct Reader
{
    QByteArray bytes;
    QBuffer buffer;
    viewing::JpegDecoder decoder;
    explicit Reader(const QByteArray &data)
        : bytes(data)
        , buffer(&bytes)
        , decoder((buffer.open(QIODevice::ReadOnly), &buffer))
    {
        decoder.setMemoryLimit(DecodeMemoryLimit);
    }
};

} // namespace

std::string checkExif(const QByteArray &tiff)
{
    const QByteArray block = (QByteArrayLiteral("Exif\0\0") + tiff).left(0xFFFF - 2);
    const viewing::ExifFacts facts = viewing::readExif(block);
    if (facts.orientation < 0 || facts.orientation > 8)
        return "orientation " + std::to_string(facts.orientation) + " out of range";
    if (!facts.preview.isEmpty() && block.indexOf(facts.preview) < 0)
        return "the preview is not part of the block";

    if (!facts.preview.isEmpty()) {
        Reader preview(facts.preview);
        if (preview.decoder.readHeader()) {
            const QSize size = preview.decoder.header().size;
            // Only previews no larger than a picture could be are ever decoded.
            if (size.width() <= 8000 && size.height() <= 8000) {
                const int reduction = thumbnails::reductionFor(size, {128, 128});
                const QImage image = preview.decoder.decode(reduction);
                const QSize expected((size.width() + reduction - 1) / reduction, (size.height() + reduction - 1) / reduction);
                if (!image.isNull() && image.size() != expected)
                    return "preview of " + sizeText(size) + " decoded at " + sizeText(image.size());
            }
        }
    }

    QByteArray jpeg = test::withApp1(carrier(), block);
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::ReadOnly);
    const thumbnails::JpegThumbnailSource source = thumbnails::readJpegForThumbnail(&buffer, thumbnails::SheetSize);
    const QSize upright = viewing::uprightSize({32, 24}, viewing::transformationOf(facts.orientation));
    if (source.original != upright || source.upright.size() != upright)
        return "thumbnail source " + sizeText(source.upright.size()) + " of a " + sizeText(upright) + " picture";
    return {};
}

std::string checkJpeg(const QByteArray &bytes)
{
    Reader whole(bytes);
    if (!whole.decoder.readHeader())
        return {};
    const QSize size = whole.decoder.header().size;
    if (size.isEmpty() || size.width() > 65500 || size.height() > 65500)
        return "header size " + sizeText(size);
    if (qint64(size.width()) * size.height() <= 1024 * 1024) {
        const QImage picture = whole.decoder.decode();
        if (!picture.isNull()) {
            if (picture.size() != size)
                return "decoded " + sizeText(picture.size()) + " of " + sizeText(size);
            // A region chosen by the data: the last bytes pick its corner and size.
            const uint seed = qHash(bytes.right(8));
            const QRect region(int(seed % uint(size.width())), int((seed >> 8) % uint(size.height())),
                               1 + int((seed >> 16) % uint(size.width())), 1 + int((seed >> 24) % uint(size.height())));
            Reader part(bytes);
            if (part.decoder.readHeader()) {
                const QRect inside = region.intersected(picture.rect());
                const int warned = part.decoder.damageWarnings();
                const QImage piece = part.decoder.decodeRegion(region);
                // Where libjpeg met damaged data on the way the two decodes need not agree: the
                // viewer then shows no part first.
                const bool clean = part.decoder.damageWarnings() == warned;
                if (!piece.isNull() && clean && piece != picture.copy(inside))
                    return "region " + sizeText(inside.size()) + " at " + std::to_string(inside.x()) + ","
                           + std::to_string(inside.y()) + " differs from the whole picture";
            }
        }
    }
    Reader forThumbnail(bytes);
    const thumbnails::JpegThumbnailSource source
        = thumbnails::readJpegForThumbnail(&forThumbnail.buffer, thumbnails::SheetSize);
    if (!source.upright.isNull()
        && (source.upright.width() > source.original.width() || source.upright.height() > source.original.height()))
        return "thumbnail source " + sizeText(source.upright.size()) + " larger than its picture "
               + sizeText(source.original);
    return {};
}

std::string checkPngHead(const QByteArray &bytes)
{
    const thumbnails::PngHead head = thumbnails::readPngHead(bytes);
    if (head.size.isValid() && head.size.isEmpty())
        return "an empty size " + sizeText(head.size);
    for (qsizetype cut : {bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
        if (cut <= 0)
            continue;
        const thumbnails::PngHead start = thumbnails::readPngHead(bytes.left(cut));
        if (cut >= 8 && start.png != head.png)
            return "a start of " + std::to_string(cut) + " bytes is read as another kind of file";
        for (auto it = start.texts.cbegin(); it != start.texts.cend(); ++it) {
            if (!head.texts.contains(it.key()) || head.texts.value(it.key()) != it.value())
                return "a start of " + std::to_string(cut) + " bytes has a text the whole has not: "
                       + it.key().toStdString();
        }
    }
    return {};
}

} // namespace pixdock::fuzzing
