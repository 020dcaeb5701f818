// Making the damaged pictures.
#include "BadPictures.h"

#include "ExifJpeg.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <array>
#include <random>
#include <stdexcept>

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

void put16le(QByteArray &b, qsizetype at, quint32 v)
{
    b[at] = char(v & 0xff);
    b[at + 1] = char((v >> 8) & 0xff);
}
void put24le(QByteArray &b, qsizetype at, quint32 v)
{
    put16le(b, at, v & 0xffff);
    b[at + 2] = char((v >> 16) & 0xff);
}
void put32le(QByteArray &b, qsizetype at, quint32 v)
{
    put16le(b, at, v & 0xffff);
    put16le(b, at + 2, v >> 16);
}
void put16be(QByteArray &b, qsizetype at, quint32 v)
{
    b[at] = char((v >> 8) & 0xff);
    b[at + 1] = char(v & 0xff);
}
void put32be(QByteArray &b, qsizetype at, quint32 v)
{
    put16be(b, at, v >> 16);
    put16be(b, at + 2, v & 0xffff);
}
quint32 get16le(const QByteArray &b, qsizetype at) { return quint8(b[at]) | quint32(quint8(b[at + 1])) << 8; }
quint32 get32le(const QByteArray &b, qsizetype at) { return get16le(b, at) | get16le(b, at + 2) << 16; }
quint32 get16be(const QByteArray &b, qsizetype at) { return quint32(quint8(b[at])) << 8 | quint8(b[at + 1]); }
quint32 get32be(const QByteArray &b, qsizetype at) { return get16be(b, at) << 16 | get16be(b, at + 2); }

// A one-frame GIF with a 128-colour table. The LZW stream starts afresh every 64 pixels, so
// every code is 8 bits wide and no string table is needed to write it.
QByteArray encodeGif()
{
    QByteArray gif("GIF89a");
    gif.append(4, '\0');
    put16le(gif, 6, PictureWidth);
    put16le(gif, 8, PictureHeight);
    gif.append(char(0xF6)); // global table, 8 bits of colour resolution, 128 entries
    gif.append(char(0));
    gif.append(char(0));
    for (int i = 0; i < 128; ++i) {
        gif.append(char((i * 37) & 0xff));
        gif.append(char((i * 91) & 0xff));
        gif.append(char((i * 53) & 0xff));
    }
    gif.append(char(0x2C));
    const qsizetype descriptor = gif.size();
    gif.append(9, '\0');
    put16le(gif, descriptor + 4, PictureWidth);
    put16le(gif, descriptor + 6, PictureHeight);
    constexpr int minCodeSize = 7;
    constexpr char clear = char(1 << minCodeSize);
    constexpr char end = char((1 << minCodeSize) + 1);
    gif.append(char(minCodeSize));
    QByteArray codes;
    int count = 0;
    for (int y = 0; y < PictureHeight; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            if (count++ % 64 == 0)
                codes.append(clear);
            codes.append(char((x * 2 + y * 3 + (x == y ? 64 : 0)) % 128));
        }
    }
    codes.append(end);
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        gif.append(char(block.size()));
        gif.append(block);
    }
    gif.append(char(0));
    gif.append(char(0x3B));
    return gif;
}

QByteArray writtenByQt(const QString &format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format.toLatin1());
    if (format == QLatin1String("jpg") || format == QLatin1String("webp"))
        writer.setQuality(80);
    if (!writer.write(pattern()))
        throw std::runtime_error("Qt cannot write a " + format.toStdString() + " picture: "
                                 + writer.errorString().toStdString());
    return bytes;
}

bool claimJpeg(QByteArray &b, quint32 w, quint32 h)
{
    if (w > 0xffff || h > 0xffff)
        return false;
    qsizetype at = 2;
    while (at + 9 <= b.size()) {
        if (quint8(b[at]) != 0xFF)
            return false;
        const quint8 marker = quint8(b[at + 1]);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            put16be(b, at + 5, h);
            put16be(b, at + 7, w);
            return true;
        }
        at += 2 + get16be(b, at + 2);
    }
    return false;
}

void claimPngAt(QByteArray &b, qsizetype start, quint32 w, quint32 h)
{
    // IHDR: length at 8, type at 12, width at 16, height at 20, CRC after 13 bytes of data.
    put32be(b, start + 16, w);
    put32be(b, start + 20, h);
    put32be(b, start + 29, crc32(b.mid(start + 12, 17)));
}

bool claimPng(QByteArray &b, quint32 w, quint32 h)
{
    if (b.size() < 33 || b.mid(12, 4) != "IHDR")
        return false;
    claimPngAt(b, 0, w, h);
    return true;
}

bool claimGif(QByteArray &b, quint32 w, quint32 h)
{
    if (w > 0xffff || h > 0xffff || b.size() < 13)
        return false;
    put16le(b, 6, w);
    put16le(b, 8, h);
    qsizetype at = 13;
    if (quint8(b[10]) & 0x80)
        at += 3 * (qsizetype(2) << (quint8(b[10]) & 7));
    while (at < b.size()) {
        const quint8 block = quint8(b[at]);
        if (block == 0x2C) {
            if (at + 9 > b.size())
                return false;
            put16le(b, at + 5, w);
            put16le(b, at + 7, h);
            return true;
        }
        if (block != 0x21)
            return false;
        at += 2; // extension introducer and label, then sub-blocks
        while (at < b.size() && b[at] != 0)
            at += 1 + quint8(b[at]);
        ++at;
    }
    return false;
}

bool claimBitmapHeader(QByteArray &b, qsizetype header, quint32 w, quint32 h)
{
    if (header + 12 > b.size() || get32le(b, header) < 40)
        return false;
    put32le(b, header + 4, w);
    put32le(b, header + 8, h);
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
    QByteArray extended("VP8X");
    extended.append(14, '\0');
    put32le(extended, 4, 10);
    put24le(extended, 12, w - 1);
    put24le(extended, 15, h - 1);
    QByteArray out = b.left(12) + extended + b.mid(12);
    put32le(out, 4, quint32(out.size() - 8));
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
            little ? put16le(b, e + 8, value) : put16be(b, e + 8, value);
        } else {
            little ? put32le(b, e + 8, value) : put32be(b, e + 8, value);
        }
        ++patched;
    }
    return patched == 2;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
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
    QByteArray preview;
    {
        QBuffer buffer(&preview);
        buffer.open(QIODevice::WriteOnly);
        pattern().save(&buffer, "jpeg", 60);
    }
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        pattern().save(&buffer, "png");
    }
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

quint32 crc32(const QByteArray &bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : bytes)
        c = table[(c ^ quint8(ch)) & 0xff] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray intactPicture(const QString &format)
{
    return format == QLatin1String("gif") ? encodeGif() : writtenByQt(format);
}

QByteArray withClaimedSize(const QString &format, const QByteArray &bytes, quint32 width, quint32 height)
{
    QByteArray b = bytes;
    bool done = false;
    if (format == QLatin1String("jpg"))
        done = claimJpeg(b, width, height);
    else if (format == QLatin1String("png"))
        done = claimPng(b, width, height);
    else if (format == QLatin1String("gif"))
        done = claimGif(b, width, height);
    else if (format == QLatin1String("bmp"))
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
    plan.cuts = {0.01, 0.5, 0.99};
    plan.mutantsPerFormat = 2;
    return plan;
}

CorpusPlan fullPlan() { return CorpusPlan(); }

QList<BadPicture> makeCorpus(const QString &folder, const CorpusPlan &plan)
{
    const QDir root(folder);
    root.mkpath(QStringLiteral("intact"));
    const QStringList formats = pictureFormats();
    QList<BadPicture> corpus;
    for (const QString &format : formats) {
        const QString intactPath = root.filePath(QStringLiteral("intact/picture.") + format);
        writeFile(intactPath, intactPicture(format));
        corpus.append({intactPath, format, QStringLiteral("intact"), intactPath});
    }
    for (qsizetype f = 0; f < formats.size(); ++f) {
        const QString &format = formats.at(f);
        const QByteArray intact = intactPicture(format);
        const QString intactPath = root.filePath(QStringLiteral("intact/picture.") + format);
        root.mkpath(format);
        const QDir dir(root.filePath(format));
        auto add = [&](const QString &name, const QByteArray &bytes, const QString &damage) {
            const QString path = dir.filePath(name);
            writeFile(path, bytes);
            corpus.append({path, format, damage, intactPath});
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
