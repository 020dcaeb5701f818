// Decoding JPEG files with libjpeg-turbo straight into the pixel format the screen draws
// (QImage::Format_RGB32): the header alone, one region of the picture (cropped and skipped
// scanlines), the picture reduced to 1/2, 1/4 or 1/8 while it is decoded, or all of it,
// optionally into memory that is already on screen, band by band.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QImageIOHandler>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QIODevice;

namespace pixdock::viewing {

struct JpegHeader
{
    QSize size;               // as stored, before the EXIF turn
    bool progressive = false; // several scans: any region needs the whole file decoded
    bool cmyk = false;        // four components (CMYK or YCCK)
    int blockWidth = 8;       // the picture's coding unit (iMCU) in pixels
    int blockHeight = 8;
    QByteArray exif;          // the APP1 payload that starts "Exif\0\0", empty when none
    int orientation = 0;      // from that block, 0 when none
    QByteArray preview;       // the preview embedded in that block (IFD1), empty when none

    QImageIOHandler::Transformations turn() const;
    QSize uprightSize() const;
};

// Whether a file that starts with these bytes is a JPEG (FF D8 FF).
bool looksLikeJpeg(const QByteArray &head);

// More scans than any encoder writes (a progressive picture has about ten; a file with hundreds
// makes the decoder walk the whole picture once per scan, minutes for a small file). A picture
// with more is refused as no picture.
inline constexpr int MostScans = 500;

// How many scans (start-of-scan markers) the JPEG data holds, counted along its marker segments
// and entropy-coded data; counting stops past `stopAfter`.
int countScans(QByteArrayView jpeg, int stopAfter = MostScans);

class JpegDecoder
{
public:
    // Reads from `device` (open, at the start of the JPEG data) as the decoder asks, 64 KB at a
    // time; a QBuffer's bytes are read in place. A device that stops giving data ends the
    // picture there, as a file cut short: the rest is filled in grey.
    explicit JpegDecoder(QIODevice *device);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder &) = delete;
    JpegDecoder &operator=(const JpegDecoder &) = delete;

    // The most working memory libjpeg may take (a progressive picture's coefficients); a
    // picture that needs more fails instead.
    void setMemoryLimit(qint64 bytes);
    // A decode under way ends as a failure soon after `cancelled` is set: libjpeg looks at it
    // between rows of every scan. Null (the default) decodes to the end.
    void setCancelFlag(const std::atomic_bool *cancelled);

    // Reads the markers up to the first scan. False when the data is no JPEG libjpeg reads, or,
    // for data in memory (a QBuffer), a picture of more than MostScans scans.
    bool readHeader();
    const JpegHeader &header() const;

    // One decode per decoder, after readHeader(). Each gives a null image on failure.
    // The stored picture's pixels inside `region` (stored coordinates, clipped to the picture).
    QImage decodeRegion(const QRect &region);
    // The whole stored picture reduced by `reduction` (1, 2, 4 or 8); `fast` uses the quick
    // integer transform and plain chroma upsampling, which cannot be told apart at thumbnail size.
    QImage decode(int reduction = 1, bool fast = false);
    // The whole stored picture into the caller's memory: header().size rows of Format_RGB32,
    // `bytesPerLine` apart. `bandReady` hears how many rows are final, every few dozen rows;
    // `cancelled` ends the decode early (the result is then false).
    bool decodeInto(uchar *bits, qsizetype bytesPerLine, const std::function<void(int rows)> &bandReady = {},
                    const std::atomic_bool *cancelled = nullptr);

    // Whether the decode was ended by the cancel flag, or by a picture of too many scans.
    bool wasCancelled() const;
    bool hasTooManyScans() const;

    // What libjpeg said when it gave up.
    QString errorText() const;
    // How many times libjpeg found damaged data it filled in or passed over (a cut file,
    // corrupt entropy data, a missing marker); where it did, decodes of different regions need
    // not agree with each other.
    int damageWarnings() const;

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace pixdock::viewing
