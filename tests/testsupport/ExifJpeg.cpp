// Writing EXIF blocks and libjpeg-encoded pictures.
#include "ExifJpeg.h"

#include <QDataStream>
#include <QtEndian>

#include <array>
#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace pixdock::test {

// A compression into memory whose errors jump back to compress().
struct JpegCompression : jpeg_error_mgr
{
    jpeg_compress_struct info{};
    std::jmp_buf jump;
    unsigned char *out = nullptr;
    unsigned long outSize = 0;
};

static bool compress(JpegCompression &c, const QImage &rgb, const JpegOptions &options)
{
    if (setjmp(c.jump))
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
    // RGB rows are Qt's own. Grey is qGray's; CMYK takes inverted inks with all the darkness in
    // K, so that R = K * C' / 255 gives back the colour.
    std::vector<JSAMPLE> converted(size_t(rgb.width()) * 4);
    while (c.info.next_scanline < c.info.image_height) {
        JSAMPROW row = const_cast<JSAMPLE *>(rgb.constScanLine(int(c.info.next_scanline)));
        for (int x = 0; (options.cmyk || options.grey) && x < rgb.width(); ++x) {
            const JSAMPLE *p = row + 3 * x;
            const int k = std::max({p[0], p[1], p[2]});
            for (int i = 0; options.cmyk && i < 3; ++i)
                converted[size_t(4 * x + i)] = JSAMPLE(k ? p[i] * 255 / k : 0);
            converted[size_t(options.cmyk ? 4 * x + 3 : x)] = JSAMPLE(options.cmyk ? k : qGray(p[0], p[1], p[2]));
        }
        if (options.cmyk || options.grey)
            row = converted.data();
        jpeg_write_scanlines(&c.info, &row, 1);
    }
    jpeg_finish_compress(&c.info);
    return true;
}

QByteArray exifBlock(const ExifContents &contents)
{
    // An IFD of (tag, type, value) entries, one value each (type 3 a short, 4 a long), and the
    // offset of the next IFD; little-endian.
    using Entries = QList<std::array<quint32, 3>>;
    const auto ifd = [](const Entries &entries, quint32 next) {
        QByteArray b;
        QDataStream out(&b, QDataStream::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out << quint16(entries.size());
        // A short's value (type 3) fills the first two of its four bytes: as a little-endian long.
        for (const auto &[tag, type, value] : entries)
            out << quint16(tag) << quint16(type) << quint32(1) << value;
        out << next;
        return b;
    };
    const ExifDamage damage = contents.damage;
    Entries ifd0;
    if (contents.orientation != 0)
        ifd0.append({0x0112, 3, quint32(contents.orientation)}); // the orientation
    if (damage == ExifDamage::IfdLoop)
        ifd0.append({0x8769, 4, 8}); // IFD0 as its own EXIF sub-IFD
    const bool hasIfd1 = !contents.preview.isEmpty();
    const quint32 ifd1At = quint32(8 + 2 + 12 * ifd0.size() + 4), previewAt = ifd1At + (hasIfd1 ? 2 + 3 * 12 + 4 : 0);
    const quint32 pastEnd = previewAt + quint32(contents.preview.size()) + 4096;
    // A little-endian TIFF header with IFD0 at 8; IFD1 (compression, preview offset and length) after it.
    QByteArray tiff = QByteArray("II*\0\x08\0\0\0", 8)
                      + ifd(ifd0, damage == ExifDamage::Ifd1PastEnd ? pastEnd : hasIfd1 ? ifd1At : 0);
    if (hasIfd1)
        tiff += ifd({{0x0103, 3, 6},
                     {0x0201, 4, damage == ExifDamage::PreviewPastEnd ? pastEnd : previewAt},
                     {0x0202, 4, quint32(contents.preview.size())}},
                    damage == ExifDamage::IfdLoop ? 8 : 0)
                + contents.preview;
    return QByteArrayLiteral("Exif\0\0") + tiff;
}

QByteArray withApp1(const QByteArray &jpeg, const QByteArray &app1)
{
    if (jpeg.size() < 2 || app1.size() + 2 > 0xFFFF)
        throw std::invalid_argument("no room for the APP1 segment");
    QByteArray segment("\xFF\xE1\0\0", 4);
    qToBigEndian(quint16(app1.size() + 2), segment.data() + 2);
    return jpeg.left(2) + segment + app1 + jpeg.mid(2);
}

QByteArray encodeJpeg(const QImage &image, const JpegOptions &options)
{
    JpegCompression c;
    c.info.err = jpeg_std_error(&c);
    c.error_exit = [](j_common_ptr info) { std::longjmp(static_cast<JpegCompression *>(info->err)->jump, 1); };
    jpeg_create_compress(&c.info);
    const bool done = compress(c, image.convertToFormat(QImage::Format_RGB888), options);
    jpeg_destroy_compress(&c.info);
    const QByteArray bytes(reinterpret_cast<const char *>(c.out), done ? qsizetype(c.outSize) : 0);
    std::free(c.out);
    if (!done)
        throw std::runtime_error("libjpeg cannot encode the test picture");
    return bytes;
}

QByteArray withClaimedJpegSize(QByteArray jpeg, int width, int height)
{
    // The first start-of-frame marker (C0 to CF but for the tables C4, C8 and CC) holds the size.
    for (qsizetype at = 2; at + 9 <= jpeg.size() && quint8(jpeg[at]) == 0xFF;
         at += 2 + qFromBigEndian<quint16>(jpeg.constData() + at + 2)) {
        const quint8 marker = quint8(jpeg[at + 1]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            qToBigEndian(quint16(height), jpeg.data() + at + 5);
            qToBigEndian(quint16(width), jpeg.data() + at + 7);
            return jpeg;
        }
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
                           (y * 255 / std::max(1, size.height() - 1) + seed * 31) & 0xff, ((x ^ y) * 7 + checker) & 0xff);
        }
    }
    return image;
}

} // namespace pixdock::test
