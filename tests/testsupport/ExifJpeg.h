// JPEG files as cameras write them, for tests, benchmarks and the damaged-picture corpus: an
// EXIF block (APP1) with an orientation and an embedded preview (IFD1), optionally damaged the
// ways hostile files are; and JPEGs encoded with libjpeg's own choices (chroma subsampling,
// progressive scans, CMYK), which Qt's writer does not offer.
#pragma once

#include <QImage>

namespace pixdock::test {

// Ifd1PastEnd: IFD0 points at an IFD1 beyond the end of the block; PreviewPastEnd: the preview's
// offset lies beyond the end of the block; IfdLoop: IFD0 points at itself as its EXIF sub-IFD,
// and IFD1 points back at IFD0.
enum class ExifDamage { None, Ifd1PastEnd, PreviewPastEnd, IfdLoop };

struct ExifContents
{
    int orientation = 0;  // 0: no orientation tag
    QByteArray preview = {}; // the bytes IFD1 points at; empty: no IFD1
    ExifDamage damage = ExifDamage::None;
};

// The APP1 payload: "Exif\0\0" and a little-endian TIFF structure.
QByteArray exifBlock(const ExifContents &contents);

// The JPEG file with an APP1 segment holding `app1` right after its start-of-image marker.
QByteArray withApp1(const QByteArray &jpeg, const QByteArray &app1);

struct JpegOptions
{
    int quality = 90;
    int hSampling = 2, vSampling = 2; // luma sampling factors: 2 x 2 is 4:2:0, 2 x 1 is 4:2:2, 1 x 1 is 4:4:4
    // cmyk: four components, inverted as Adobe's programs write them
    bool progressive = false, cmyk = false, grey = false;
};

// The picture encoded by libjpeg.
QByteArray encodeJpeg(const QImage &image, const JpegOptions &options = {});

// A JPEG whose frame header claims `width` x `height` (the data stays as it was).
QByteArray withClaimedJpegSize(QByteArray jpeg, int width, int height);

// A picture with detail everywhere (gradients and a fine pattern), so that a wrong pixel shows.
QImage detailedPicture(QSize size, int seed = 0);

} // namespace pixdock::test
