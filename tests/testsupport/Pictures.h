// Picture files for tests, benchmarks and the damaged-picture corpus: pictures written by Qt
// into a folder of the test's; JPEG files as cameras write them, an EXIF block (APP1) with an
// orientation and an embedded preview (IFD1), optionally damaged the ways hostile files are;
// JPEGs encoded with libjpeg's own choices (chroma subsampling, progressive scans, CMYK), which
// Qt's writer does not offer; and a valid progressive JPEG whose one short scan is repeated many
// times, a small file on which a decoder that takes every scan works for a long time (each scan
// walks the whole picture).
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

namespace pixdock::test {

// Writes a picture of that size in the format its suffix names (bmp, ico, jpg, png...);
// returns the full path.
QString writePicture(const QString &folder, const QString &name, QSize size,
                     QColor colour = Qt::darkCyan);
// Writes raw bytes (a text file named .jpg, a truncated picture...); returns the full path.
QString writeBytes(const QString &folder, const QString &name, const QByteArray &bytes);

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

// A progressive JPEG of `size` in one colour whose first short scan (an AC band of one
// component, a few bytes) comes `repeats` more times before the end of the picture.
QByteArray manyScanJpeg(int repeats, QSize size = QSize(2048, 2048));

// How many times the tests repeat the scan: PIXDOCK_MANY_SCANS (the reliability runs take the
// 15,000 of a file seen in the wild), else 4,000, which keeps libjpeg busy for seconds.
int manyScanRepeats();

} // namespace pixdock::test
