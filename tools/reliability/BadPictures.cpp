// Making the damaged pictures.
#include "BadPictures.h"

#include "ExifJpeg.h"
#include "Pictures.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

#include <random>
#include <stdexcept>

#include <zlib.h>

namespace pixdock::reliability {

namespace {

constexpr int PictureWidth = 61;
constexpr int PictureHeight = 47;

QImage pattern()
{
    QImage image(PictureWidth, PictureHeight, QImage::Format_RGB32);
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 0xff));
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, PictureWidth - 1, PictureHeight - 1);
    return image;
}

template<typename T>
void putLe(QByteArray &b, qsizetype at, T v) { qToLittleEndian(v, b.data() + at); }
template<typename T>
void putBe(QByteArray &b, qsizetype at, T v) { qToBigEndian(v, b.data() + at); }
quint32 get16le(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); }
quint32 get32le(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint32 get16be(const QByteArray &b, qsizetype at) { return qFromBigEndian<quint16>(b.constData() + at); }
quint32 get32be(const QByteArray &b, qsizetype at) { return qFromBigEndian<quint32>(b.constData() + at); }

bool claimGif(QByteArray &b, quint32 w, quint32 h)
{
    // The intact GIF is encodeGif's: its image descriptor follows the 128-colour table.
    constexpr qsizetype Descriptor = 13 + 3 * 128;
    if (w > 0xffff || h > 0xffff || b.size() < Descriptor + 9 || quint8(b[Descriptor]) != 0x2C)
        return false;
    for (const qsizetype at : {qsizetype(6), Descriptor + 5}) {
        putLe<quint16>(b, at, quint16(w));
        putLe<quint16>(b, at + 2, quint16(h));
    }
    return true;
}

// A one-frame GIF with a 128-colour table. The LZW stream starts afresh every 64 pixels, so
// every code is 8 bits wide and no string table is needed to write it.
QByteArray encodeGif()
{
    // The screen's size, a global table of 8 bits of colour resolution and 128 entries.
    QByteArray gif = QByteArray("GIF89a") + QByteArray(4, '\0') + QByteArray("\xF6\0\0", 3);
    for (int i = 0; i < 128; ++i)
        gif.append(char((i * 37) & 0xff)).append(char((i * 91) & 0xff)).append(char((i * 53) & 0xff));
    gif += QByteArray("\x2C", 1) + QByteArray(9, '\0'); // the image descriptor, its size set below
    claimGif(gif, PictureWidth, PictureHeight);
    constexpr int MinCodeSize = 7;
    constexpr char Clear = char(1 << MinCodeSize), End = char((1 << MinCodeSize) + 1);
    gif.append(char(MinCodeSize));
    QByteArray codes;
    int count = 0;
    for (int y = 0; y < PictureHeight; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            if (count++ % 64 == 0)
                codes.append(Clear);
            codes.append(char((x * 2 + y * 3 + (x == y ? 64 : 0)) % 128));
        }
    }
    codes.append(End);
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        gif.append(char(block.size()));
        gif.append(block);
    }
    return gif + QByteArray("\0\x3B", 2);
}

// The pattern as Qt writes it in `format` (a quality of -1: the format's own default).
QByteArray writtenByQt(const QString &format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format.toLatin1());
    writer.setQuality(quality);
    if (!writer.write(pattern()))
        throw std::runtime_error("Qt cannot write a " + format.toStdString() + " picture: "
                                 + writer.errorString().toStdString());
    return bytes;
}

void claimPngAt(QByteArray &b, qsizetype start, quint32 w, quint32 h)
{
    // IHDR: length at 8, type at 12, width at 16, height at 20, CRC after 13 bytes of data.
    putBe<quint32>(b, start + 16, w);
    putBe<quint32>(b, start + 20, h);
    putBe<quint32>(b, start + 29, quint32(::crc32(0, reinterpret_cast<const Bytef *>(b.constData() + start + 12), 17)));
}

bool claimBitmapHeader(QByteArray &b, qsizetype header, quint32 w, quint32 h)
{
    if (header + 12 > b.size() || get32le(b, header) < 40)
        return false;
    putLe<quint32>(b, header + 4, w);
    putLe<quint32>(b, header + 8, h);
    return true;
}

bool claimIco(QByteArray &b, quint32 w, quint32 h)
{
    if (b.size() < 22)
        return false;
    b[6] = 0; // 0 stands for 256, the largest an entry can say
    b[7] = 0;
    const qsizetype image = get32le(b, 18);
    if (image + 8 <= b.size() && b.mid(image, 8) == QByteArray("\x89PNG\r\n\x1a\n", 8)) {
        claimPngAt(b, image, w, h);
        return true;
    }
    // A DIB inside an icon counts the mask's rows too: twice the height.
    return claimBitmapHeader(b, image, w, 2 * h);
}

bool claimWebp(QByteArray &b, quint32 w, quint32 h)
{
    if (b.size() < 20 || b.left(4) != "RIFF" || b.mid(8, 4) != "WEBP" || w > (1u << 24) || h > (1u << 24))
        return false;
    // An extended-format chunk of 10 bytes: no flags, then width and height less one, 24 bits each.
    QByteArray extended = QByteArray("VP8X\x0A\0\0\0", 8) + QByteArray(4, '\0');
    for (const quint32 v : {w - 1, h - 1})
        extended.append(char(v & 0xff)).append(char((v >> 8) & 0xff)).append(char((v >> 16) & 0xff));
    QByteArray out = b.left(12) + extended + b.mid(12);
    putLe<quint32>(out, 4, quint32(out.size() - 8));
    b = out;
    return true;
}

bool claimTiff(QByteArray &b, quint32 w, quint32 h)
{
    if (b.size() < 8)
        return false;
    const bool little = b.left(2) == "II";
    auto get16 = [&](qsizetype at) { return little ? get16le(b, at) : get16be(b, at); };
    auto get32 = [&](qsizetype at) { return little ? get32le(b, at) : get32be(b, at); };
    const qsizetype ifd = get32(4);
    if (ifd + 2 > b.size())
        return false;
    const int entries = int(get16(ifd));
    int patched = 0;
    for (int i = 0; i < entries; ++i) {
        const qsizetype e = ifd + 2 + 12 * i;
        if (e + 12 > b.size())
            return false;
        const quint32 tag = get16(e);
        if (tag != 256 && tag != 257)
            continue;
        const quint32 value = tag == 256 ? w : h;
        if (get16(e + 2) == 3) {
            if (value > 0xffff)
                return false;
            little ? putLe<quint16>(b, e + 8, value) : putBe<quint16>(b, e + 8, value);
        } else {
            little ? putLe<quint32>(b, e + 8, value) : putBe<quint32>(b, e + 8, value);
        }
        ++patched;
    }
    return patched == 2;
}

// A seeded stream of numbers that is the same on every machine (mt19937's output is fixed).
class Flips
{
public:
    Flips(quint32 seed, const QString &format)
        : m_rng(seed ^ quint32(qHash(format, 0)))
    {
    }
    QByteArray mutate(QByteArray bytes)
    {
        const int count = 1 + int(m_rng() % 4);
        for (int i = 0; i < count; ++i) {
            // Half the flips land in the first 64 bytes, where the headers are.
            const qsizetype span = (m_rng() % 2 == 0) ? std::min<qsizetype>(64, bytes.size()) : bytes.size();
            const qsizetype at = qsizetype(m_rng() % quint32(span));
            switch (m_rng() % 3) {
            case 0: bytes[at] = char(quint8(bytes[at]) ^ (1u << (m_rng() % 8))); break;
            case 1: bytes[at] = char(m_rng() & 0xff); break;
            default: bytes[at] = (m_rng() % 2) ? char(0xFF) : char(0); break;
            }
        }
        return bytes;
    }

private:
    std::mt19937 m_rng;
};

// The intact JPEG with an EXIF block damaged as hostile files damage it: its preview (of the
// picture's own size, so that it would serve a thumbnail) pointed past the block's end, an IFD1
// pointed past it, a preview that is no JPEG or claims 65535 x 65535, a loop in the IFD chain.
QList<std::pair<QString, QByteArray>> exifDamages(const QByteArray &intact)
{
    const QByteArray preview = writtenByQt(QStringLiteral("jpeg"), 60);
    const QByteArray png = writtenByQt(QStringLiteral("png"), -1);
    const auto with = [&](const QByteArray &shown, test::ExifDamage damage) {
        return test::withApp1(intact, test::exifBlock({.orientation = 0, .preview = shown, .damage = damage}));
    };
    return {
        {QStringLiteral("exif ifd1 past the end"), with(preview, test::ExifDamage::Ifd1PastEnd)},
        {QStringLiteral("exif preview past the end"), with(preview, test::ExifDamage::PreviewPastEnd)},
        {QStringLiteral("exif preview not a jpeg"), with(png, test::ExifDamage::None)},
        {QStringLiteral("exif preview 65535x65535"), with(test::withClaimedJpegSize(preview, 65535, 65535), test::ExifDamage::None)},
        {QStringLiteral("exif ifd loop"), with(preview, test::ExifDamage::IfdLoop)},
        {QStringLiteral("exif preview"), with(preview, test::ExifDamage::None)},
    };
}

} // namespace

QStringList pictureFormats()
{
    return {QStringLiteral("jpg"), QStringLiteral("png"), QStringLiteral("gif"), QStringLiteral("bmp"),
            QStringLiteral("ico"), QStringLiteral("webp"), QStringLiteral("tiff")};
}

QByteArray intactPicture(const QString &format)
{
    if (format == QLatin1String("gif"))
        return encodeGif();
    return writtenByQt(format, format == QLatin1String("jpg") || format == QLatin1String("webp") ? 80 : -1);
}

QByteArray withClaimedSize(const QString &format, const QByteArray &bytes, quint32 width, quint32 height)
{
    QByteArray b = bytes;
    bool done = false;
    if (format == QLatin1String("jpg") && width <= 0xffff && height <= 0xffff) {
        b = test::withClaimedJpegSize(b, int(width), int(height));
        done = true;
    } else if (format == QLatin1String("png") && b.mid(12, 4) == "IHDR") {
        claimPngAt(b, 0, width, height);
        done = true;
    } else if (format == QLatin1String("gif")) {
        done = claimGif(b, width, height);
    } else if (format == QLatin1String("bmp"))
        done = claimBitmapHeader(b, 14, width, height);
    else if (format == QLatin1String("ico"))
        done = claimIco(b, width, height);
    else if (format == QLatin1String("webp"))
        done = claimWebp(b, width, height);
    else if (format == QLatin1String("tiff"))
        done = claimTiff(b, width, height);
    return done ? b : QByteArray();
}

CorpusPlan quickPlan()
{
    CorpusPlan plan;
    bool set = false;
    const int mutants = qEnvironmentVariableIntValue("PIXDOCK_BAD_PICTURE_MUTANTS", &set);
    if (set && mutants >= 0)
        plan.mutantsPerFormat = mutants;
    return plan;
}

QList<BadPicture> makeCorpus(const QString &folder, const CorpusPlan &plan)
{
    const QDir root(folder);
    root.mkpath(QStringLiteral("intact"));
    const QStringList formats = pictureFormats();
    QList<BadPicture> corpus;
    for (const QString &format : formats) {
        const QString intactPath = test::writeBytes(root.filePath(QStringLiteral("intact")),
                                                    QStringLiteral("picture.") + format, intactPicture(format));
        corpus.append({intactPath, format, QStringLiteral("intact"), intactPath});
    }
    for (qsizetype f = 0; f < formats.size(); ++f) {
        const QString &format = formats.at(f);
        const QByteArray intact = intactPicture(format);
        const QString intactPath = root.filePath(QStringLiteral("intact/picture.") + format);
        root.mkpath(format);
        const QDir dir(root.filePath(format));
        auto add = [&](const QString &name, const QByteArray &bytes, const QString &damage) {
            corpus.append({test::writeBytes(dir.path(), name, bytes), format, damage, intactPath});
        };

        add(QStringLiteral("zero-bytes.") + format, QByteArray(), QStringLiteral("zero bytes"));
        for (const double cut : plan.cuts) {
            const qsizetype keep = std::clamp<qsizetype>(qsizetype(double(intact.size()) * cut), 1,
                                                         intact.size() - 1);
            add(QStringLiteral("cut-%1.").arg(keep, 5, 10, QLatin1Char('0')) + format, intact.left(keep),
                QStringLiteral("cut at %1%").arg(qRound(cut * 1000) / 10.0));
        }
        for (const quint32 side : {30000u, 65535u}) {
            const QByteArray claimed = withClaimedSize(format, intact, side, side);
            if (claimed.isEmpty())
                throw std::runtime_error("no size claim for " + format.toStdString());
            add(QStringLiteral("claims-%1.").arg(side) + format, claimed,
                QStringLiteral("claims %1x%1").arg(side));
        }
        const QString otherExtension = formats.at((f + 1) % formats.size());
        add(QStringLiteral("wrong-extension.") + otherExtension, intact, QStringLiteral("wrong extension"));
        Flips flips(plan.seed, format);
        for (int m = 0; m < plan.mutantsPerFormat; ++m)
            add(QStringLiteral("flips-%1.").arg(m, 3, 10, QLatin1Char('0')) + format, flips.mutate(intact),
                QStringLiteral("byte flips"));
        if (format != QLatin1String("jpg"))
            continue;
        for (const auto &[damage, bytes] : exifDamages(intact))
            add(QString(damage).replace(QLatin1Char(' '), QLatin1Char('-')) + QStringLiteral(".jpg"), bytes, damage);
        // Byte flips inside an EXIF block with a preview: the block sits in the file's first bytes.
        const QByteArray withExif = exifDamages(intact).constLast().second;
        Flips exifFlips(plan.seed + 1, QStringLiteral("exif"));
        for (int m = 0; m < plan.mutantsPerFormat; ++m)
            add(QStringLiteral("exif-flips-%1.jpg").arg(m, 3, 10, QLatin1Char('0')),
                withExif.left(512).size() == 512 ? exifFlips.mutate(withExif.left(512)) + withExif.mid(512)
                                                 : exifFlips.mutate(withExif),
                QStringLiteral("exif byte flips"));
    }
    return corpus;
}

} // namespace pixdock::reliability
