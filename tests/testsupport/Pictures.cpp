// Writing test pictures: by Qt, by libjpeg, and by hand (EXIF blocks, repeated scans).
#include "Pictures.h"

#include "StallGuard.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
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

QString writePicture(const QString &folder, const QString &name, QSize size, QColor colour)
{
    const StallGuardPause preparing; // the test's own preparation, not the program's work
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, size.width() - 1, size.height() - 1);
    painter.end();
    const QString path = QDir(folder).filePath(name), format = QFileInfo(name).suffix().toLower();
    if (!image.save(path, format.isEmpty() ? "png" : qPrintable(format)))
        throw std::runtime_error("cannot write test picture " + path.toStdString());
    return path;
}

QString writeBytes(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const StallGuardPause preparing; // the test's own preparation, not the program's work
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + path.toStdString());
    return path;
}

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
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int checker = ((x / 3 + y / 5 + seed) % 2) * 40;
            image.setPixel(x, y, qRgb((x * 255 / std::max(1, size.width() - 1) + checker) & 0xff,
                                      (y * 255 / std::max(1, size.height() - 1) + seed * 31) & 0xff, ((x ^ y) * 7 + checker) & 0xff));
        }
    return image;
}

// Qt writes a progressive picture, then one of its AC scans is copied again and again in front
// of the end marker.
QByteArray manyScanJpeg(int repeats, QSize size)
{
    const StallGuardPause preparing; // the test's own preparation, not the program's work
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 160));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.setQuality(90);
    // The second scan is the first AC band, a few bytes in a picture of one colour. In coded data
    // an FF is followed by 00 or a restart marker (D0 to D7), so FF DA starts each scan's header
    // and the scan's data ends at the next FF that is neither.
    const qsizetype start = writer.write(image) ? bytes.indexOf("\xFF\xDA", bytes.indexOf("\xFF\xDA") + 2) : -1;
    if (start < 0)
        return {};
    qsizetype end = start + 2 + qFromBigEndian<quint16>(bytes.constData() + start + 2);
    while (end + 1 < bytes.size() && (quint8(bytes[end]) != 0xFF || bytes[end + 1] == 0 || (quint8(bytes[end + 1]) & 0xF8) == 0xD0))
        ++end;
    const qsizetype endOfPicture = bytes.lastIndexOf("\xFF\xD9");
    return bytes.left(endOfPicture) + bytes.mid(start, end - start).repeated(repeats) + bytes.mid(endOfPicture);
}

int manyScanRepeats()
{
    const int set = qEnvironmentVariableIntValue("PIXDOCK_MANY_SCANS");
    return set > 0 ? set : 4000;
}

} // namespace pixdock::test
