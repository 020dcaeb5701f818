// Writing EXIF blocks and libjpeg-encoded pictures.
#include "ExifJpeg.h"

#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace pixdock::test {

namespace {

void put16(QByteArray &b, qsizetype at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void put32(QByteArray &b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); }

struct Entry
{
    quint16 tag;
    quint16 type; // 3 short, 4 long
    quint32 value;
};

// Writes an IFD at `at`: its entries and the offset of the next IFD.
void writeIfd(QByteArray &tiff, qsizetype at, const QList<Entry> &entries, quint32 next)
{
    put16(tiff, at, quint16(entries.size()));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const qsizetype e = at + 2 + 12 * i;
        put16(tiff, e, entries[i].tag);
        put16(tiff, e + 2, entries[i].type);
        put32(tiff, e + 4, 1);
        if (entries[i].type == 3)
            put16(tiff, e + 8, quint16(entries[i].value));
        else
            put32(tiff, e + 8, entries[i].value);
    }
    put32(tiff, at + 2 + 12 * entries.size(), next);
}

qsizetype ifdSize(qsizetype entries) { return 2 + 12 * entries + 4; }

struct JpegError : jpeg_error_mgr
{
    std::jmp_buf jump;
};

void jumpBack(j_common_ptr info) { std::longjmp(static_cast<JpegError *>(info->err)->jump, 1); }

struct Compression
{
    jpeg_compress_struct info{};
    JpegError errors{};
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
    std::vector<JSAMPLE> row;
};

bool compress(Compression &c, const QImage &rgb, const JpegOptions &options)
{
    if (setjmp(c.errors.jump))
        return false;
    jpeg_mem_dest(&c.info, &c.out, &c.outSize);
    c.info.image_width = JDIMENSION(rgb.width());
    c.info.image_height = JDIMENSION(rgb.height());
    c.info.input_components = options.cmyk ? 4 : (options.grey ? 1 : 3);
    c.info.in_color_space = options.cmyk ? JCS_CMYK : (options.grey ? JCS_GRAYSCALE : JCS_RGB);
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, options.quality, TRUE);
    if (!options.cmyk && !options.grey) {
        c.info.comp_info[0].h_samp_factor = options.hSampling;
        c.info.comp_info[0].v_samp_factor = options.vSampling;
    }
    // Adobe's marker: its readers (and Qt's) take the inks as stored inverted.
    c.info.write_Adobe_marker = options.cmyk ? TRUE : FALSE;
    if (options.progressive)
        jpeg_simple_progression(&c.info);
    jpeg_start_compress(&c.info, TRUE);
    const int components = c.info.input_components;
    c.row.resize(size_t(rgb.width()) * size_t(components));
    while (c.info.next_scanline < c.info.image_height) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(int(c.info.next_scanline)));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = line[x];
            JSAMPLE *out = c.row.data() + size_t(x) * size_t(components);
            if (options.cmyk) {
                // Inverted inks with all the darkness in K: R = K * C' / 255 gives back the colour.
                const int k = std::max({qRed(p), qGreen(p), qBlue(p)});
                out[0] = JSAMPLE(k ? qRed(p) * 255 / k : 0);
                out[1] = JSAMPLE(k ? qGreen(p) * 255 / k : 0);
                out[2] = JSAMPLE(k ? qBlue(p) * 255 / k : 0);
                out[3] = JSAMPLE(k);
            } else if (options.grey) {
                out[0] = JSAMPLE(qGray(p));
            } else {
                out[0] = JSAMPLE(qRed(p));
                out[1] = JSAMPLE(qGreen(p));
                out[2] = JSAMPLE(qBlue(p));
            }
        }
        JSAMPROW rows[1] = {c.row.data()};
        jpeg_write_scanlines(&c.info, rows, 1);
    }
    jpeg_finish_compress(&c.info);
    return true;
}

} // namespace

QByteArray exifBlock(const ExifContents &contents)
{
    constexpr quint16 Orientation = 0x0112, ExifPointer = 0x8769, Compressed = 0x0103,
                      PreviewOffset = 0x0201, PreviewLength = 0x0202;
    QList<Entry> ifd0;
    if (contents.orientation != 0)
        ifd0.append({Orientation, 3, quint32(contents.orientation)});
    if (contents.damage == ExifDamage::IfdLoop)
        ifd0.append({ExifPointer, 4, 8});
    const bool hasIfd1 = !contents.preview.isEmpty();
    const qsizetype ifd1At = 8 + ifdSize(ifd0.size());
    const qsizetype previewAt = ifd1At + (hasIfd1 ? ifdSize(3) : 0);
    QByteArray tiff(previewAt, '\0');
    tiff[0] = 'I';
    tiff[1] = 'I';
    put16(tiff, 2, 42);
    put32(tiff, 4, 8);
    quint32 next = hasIfd1 ? quint32(ifd1At) : 0;
    if (contents.damage == ExifDamage::Ifd1PastEnd)
        next = quint32(previewAt + contents.preview.size() + 4096);
    writeIfd(tiff, 8, ifd0, next);
    if (hasIfd1) {
        quint32 offset = quint32(previewAt);
        if (contents.damage == ExifDamage::PreviewPastEnd)
            offset = quint32(previewAt + contents.preview.size() + 4096);
        writeIfd(tiff, ifd1At,
                 {{Compressed, 3, 6}, {PreviewOffset, 4, offset}, {PreviewLength, 4, quint32(contents.preview.size())}},
                 contents.damage == ExifDamage::IfdLoop ? 8 : 0);
        tiff += contents.preview;
    }
    return QByteArrayLiteral("Exif\0\0") + tiff;
}

QByteArray withApp1(const QByteArray &jpeg, const QByteArray &app1)
{
    if (jpeg.size() < 2 || app1.size() + 2 > 0xFFFF)
        throw std::invalid_argument("no room for the APP1 segment");
    QByteArray segment(4, '\0');
    segment[0] = char(0xFF);
    segment[1] = char(0xE1);
    qToBigEndian(quint16(app1.size() + 2), segment.data() + 2);
    return jpeg.left(2) + segment + app1 + jpeg.mid(2);
}

QByteArray encodeJpeg(const QImage &image, const JpegOptions &options)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Compression c;
    c.info.err = jpeg_std_error(&c.errors);
    c.errors.error_exit = jumpBack;
    jpeg_create_compress(&c.info);
    const bool done = compress(c, rgb, options);
    jpeg_destroy_compress(&c.info);
    QByteArray bytes;
    if (done)
        bytes = QByteArray(reinterpret_cast<const char *>(c.out), qsizetype(c.outSize));
    std::free(c.out);
    if (!done)
        throw std::runtime_error("libjpeg cannot encode the test picture");
    return bytes;
}

QByteArray withClaimedJpegSize(QByteArray jpeg, int width, int height)
{
    qsizetype at = 2;
    while (at + 9 <= jpeg.size() && quint8(jpeg[at]) == 0xFF) {
        const quint8 marker = quint8(jpeg[at + 1]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            qToBigEndian(quint16(height), jpeg.data() + at + 5);
            qToBigEndian(quint16(width), jpeg.data() + at + 7);
            return jpeg;
        }
        at += 2 + qFromBigEndian<quint16>(jpeg.constData() + at + 2);
    }
    throw std::invalid_argument("no frame header in the JPEG");
}

QImage detailedPicture(QSize size, int seed)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int checker = ((x / 3 + y / 5 + seed) % 2) * 40;
            line[x] = qRgb((x * 255 / std::max(1, size.width() - 1) + checker) & 0xff,
                           (y * 255 / std::max(1, size.height() - 1) + seed * 31) & 0xff,
                           ((x ^ y) * 7 + checker) & 0xff);
        }
    }
    return image;
}

} // namespace pixdock::test
