// Making the damaged pictures.
#include "BadPictures.h"

#include "Pictures.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <random>
#include <stdexcept>

#include <zlib.h>

namespace pixdock::reliability {

constexpr int Width = 61, Height = 47;

// Writes or reads an unsigned number of T's width at `at`, little- or big-endian.
template<typename T>
static void put(QByteArray &b, qsizetype at, quint32 v, bool little = true)
{
    little ? qToLittleEndian(T(v), b.data() + at) : qToBigEndian(T(v), b.data() + at);
}
template<typename T>
static quint32 get(const QByteArray &b, qsizetype at, bool little = true)
{
    return little ? qFromLittleEndian<T>(b.constData() + at) : qFromBigEndian<T>(b.constData() + at);
}

static bool claimGif(QByteArray &b, quint32 w, quint32 h)
{
    // The intact GIF is encodeGif's: its image descriptor follows the 128-colour table.
    constexpr qsizetype Descriptor = 13 + 3 * 128;
    if (w > 0xffff || h > 0xffff || b.size() < Descriptor + 9 || quint8(b[Descriptor]) != 0x2C)
        return false;
    for (const qsizetype at : {qsizetype(6), Descriptor + 5}) {
        put<quint16>(b, at, w);
        put<quint16>(b, at + 2, h);
    }
    return true;
}

// A one-frame GIF with a 128-colour table. The LZW stream starts afresh every 64 pixels, so
// every code is 8 bits wide and no string table is needed to write it.
static QByteArray encodeGif()
{
    // The screen's size, a global table of 8 bits of colour resolution and 128 entries.
    QByteArray gif("GIF89a\0\0\0\0\xF6\0\0", 13);
    for (int i = 0; i < 128; ++i)
        gif.append(char((i * 37) & 0xff)).append(char((i * 91) & 0xff)).append(char((i * 53) & 0xff));
    gif += QByteArray("\x2C", 1) + QByteArray(9, '\0'); // the image descriptor, its size set below
    claimGif(gif, Width, Height);
    gif.append(char(7)); // the codes' least size: 7 bits, so Clear is 128 and End 129
    QByteArray codes;
    for (int i = 0, x = 0, y = 0; i < Width * Height; ++i, x = i % Width, y = i / Width)
        codes.append(i % 64 == 0 ? QByteArray(1, char(128)) : QByteArray()).append(char((x * 2 + y * 3 + (x == y ? 64 : 0)) % 128));
    codes.append(char(129));
    for (qsizetype at = 0; at < codes.size(); at += 255)
        gif.append(char(codes.mid(at, 255).size())).append(codes.mid(at, 255));
    return gif + QByteArray("\0\x3B", 2);
}

// A pattern of colours with a white diagonal as Qt writes it in `format` (a quality of -1: the
// format's own default).
static QByteArray writtenByQt(const QString &format, int quality)
{
    QImage image(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 0xff));
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, Width - 1, Height - 1);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, qPrintable(format), quality))
        throw std::runtime_error("Qt cannot write a " + format.toStdString() + " picture");
    return bytes;
}

static bool claimBitmapHeader(QByteArray &b, qsizetype header, quint32 w, quint32 h)
{
    if (header + 12 > b.size() || get<quint32>(b, header) < 40)
        return false;
    put<quint32>(b, header + 4, w);
    put<quint32>(b, header + 8, h);
    return true;
}

static bool claimTiff(QByteArray &b, quint32 w, quint32 h)
{
    const bool little = b.left(2) == "II";
    const qsizetype ifd = b.size() < 8 ? b.size() : get<quint32>(b, 4, little);
    if (ifd + 2 > b.size())
        return false;
    int patched = 0;
    for (quint32 i = 0, entries = get<quint16>(b, ifd, little); i < entries; ++i) {
        const qsizetype e = ifd + 2 + 12 * i;
        if (e + 12 > b.size())
            return false;
        const quint32 tag = get<quint16>(b, e, little), value = tag == 256 ? w : h;
        const bool isShort = get<quint16>(b, e + 2, little) == 3; // else a long
        if (tag != 256 && tag != 257)
            continue;
        if (isShort && value > 0xffff)
            return false;
        isShort ? put<quint16>(b, e + 8, value, little) : put<quint32>(b, e + 8, value, little);
        ++patched;
    }
    return patched == 2;
}

// `bytes` with one to four seeded byte flips; mt19937's output is the same on every machine.
static QByteArray flipped(std::mt19937 &rng, QByteArray bytes)
{
    for (int i = 0, count = 1 + int(rng() % 4); i < count; ++i) {
        // Half the flips land in the first 64 bytes, where the headers are.
        const qsizetype span = (rng() % 2 == 0) ? std::min<qsizetype>(64, bytes.size()) : bytes.size();
        const qsizetype at = qsizetype(rng() % quint32(span));
        switch (rng() % 3) {
        case 0: bytes[at] = char(quint8(bytes[at]) ^ (1u << (rng() % 8))); break;
        case 1: bytes[at] = char(rng() & 0xff); break;
        default: bytes[at] = (rng() % 2) ? char(0xFF) : char(0); break;
        }
    }
    return bytes;
}

using Claim = bool (*)(QByteArray &, quint32, quint32);

// The formats the viewer is expected to open, by their usual extension, and how each claims a size.
const std::pair<QString, Claim> Formats[] = {
    {QStringLiteral("jpg"),
     [](QByteArray &b, quint32 w, quint32 h) {
         return w <= 0xffff && h <= 0xffff && !(b = test::withClaimedJpegSize(b, int(w), int(h))).isEmpty();
     }},
    {QStringLiteral("png"),
     [](QByteArray &b, quint32 w, quint32 h) {
         // IHDR: length at 8, type at 12, width at 16, height at 20, CRC after 13 bytes of data.
         if (b.mid(12, 4) != "IHDR")
             return false;
         put<quint32>(b, 16, w, false);
         put<quint32>(b, 20, h, false);
         put<quint32>(b, 29, quint32(::crc32(0, reinterpret_cast<const Bytef *>(b.constData() + 12), 17)), false);
         return true;
     }},
    {QStringLiteral("gif"), claimGif},
    {QStringLiteral("bmp"), [](QByteArray &b, quint32 w, quint32 h) { return claimBitmapHeader(b, 14, w, h); }},
    {QStringLiteral("ico"),
     [](QByteArray &b, quint32 w, quint32 h) {
         // The entry says 0 (256, the most it can); Qt writes the icon as a DIB, whose height
         // counts the mask's rows too.
         return b.size() >= 22 && (b[6] = b[7] = 0, claimBitmapHeader(b, get<quint32>(b, 18), w, 2 * h));
     }},
    {QStringLiteral("webp"),
     [](QByteArray &b, quint32 w, quint32 h) {
         if (b.size() < 20 || b.left(4) != "RIFF" || b.mid(8, 4) != "WEBP" || w > (1u << 24) || h > (1u << 24))
             return false;
         // An extended-format chunk of 10 bytes: no flags, then width and height less one, 24 bits each.
         QByteArray extended = QByteArray("VP8X\x0A\0\0\0", 8) + QByteArray(4, '\0');
         for (const quint32 v : {w - 1, h - 1})
             extended.append(char(v & 0xff)).append(char((v >> 8) & 0xff)).append(char((v >> 16) & 0xff));
         b.insert(12, extended);
         put<quint32>(b, 4, quint32(b.size() - 8));
         return true;
     }},
    {QStringLiteral("tiff"), claimTiff}};
constexpr qsizetype FormatCount = std::size(Formats);

QByteArray intactPicture(const QString &format)
{
    return format == u"gif" ? encodeGif() : writtenByQt(format, format == u"jpg" || format == u"webp" ? 80 : -1);
}

QByteArray withClaimedSize(const QString &format, QByteArray bytes, quint32 width, quint32 height)
{
    const auto *f = std::find_if(std::begin(Formats), std::end(Formats), [&](const auto &e) { return e.first == format; });
    return f != std::end(Formats) && f->second(bytes, width, height) ? bytes : QByteArray();
}

QList<BadPicture> makeCorpus(const QString &folder, const CorpusPlan &plan)
{
    const QDir root(folder);
    QList<BadPicture> corpus;
    for (qsizetype f = 0; f < FormatCount; ++f) {
        const QString &format = Formats[f].first, intactPath = root.filePath("intact/picture." + format);
        const QByteArray intact = intactPicture(format);
        root.mkpath(format);
        root.mkpath(QStringLiteral("intact"));
        corpus.append({test::writeBytes(root.filePath(QStringLiteral("intact")), "picture." + format, intact), format,
                       QStringLiteral("intact"), intactPath});
        auto add = [&](const QString &name, const QByteArray &bytes, const QString &damage) {
            corpus.append({test::writeBytes(root.filePath(format), name, bytes), format, damage, intactPath});
        };
        // Files numbered with leading zeros, so that they list in order.
        const auto numbered = [](const char *name, qint64 n, int width) { return QString(name).arg(n, width, 10, QChar(u'0')); };
        add(QStringLiteral("zero-bytes.") + format, QByteArray(), QStringLiteral("zero bytes"));
        for (const double cut : plan.cuts) {
            const qsizetype keep = std::clamp<qsizetype>(qsizetype(double(intact.size()) * cut), 1, intact.size() - 1);
            add(numbered("cut-%1.", keep, 5) + format, intact.left(keep), QStringLiteral("cut at %1%").arg(qRound(cut * 1000) / 10.0));
        }
        for (const quint32 side : {30000u, 65535u}) {
            const QByteArray claimed = withClaimedSize(format, intact, side, side);
            if (claimed.isEmpty())
                throw std::runtime_error("no size claim for " + format.toStdString());
            add(QStringLiteral("claims-%1.").arg(side) + format, claimed, QStringLiteral("claims %1x%1").arg(side));
        }
        add(QStringLiteral("wrong-extension.") + Formats[(f + 1) % FormatCount].first, intact, QStringLiteral("wrong extension"));
        std::mt19937 flips(plan.seed ^ quint32(qHash(format, 0)));
        for (int m = 0; m < plan.mutantsPerFormat; ++m)
            add(numbered("flips-%1.", m, 3) + format, flipped(flips, intact), QStringLiteral("byte flips"));
        if (format != u"jpg")
            continue;
        // The intact JPEG with an EXIF block damaged as hostile files damage it: its preview (of
        // the picture's own size, so that it would serve a thumbnail) pointed past the block's end,
        // an IFD1 pointed past it, a preview that is no JPEG or claims 65535 x 65535, a loop in
        // the IFD chain; the last, sound, also with byte flips in the first 512 bytes, where it is.
        const QByteArray preview = writtenByQt(QStringLiteral("jpeg"), 60);
        using enum test::ExifDamage;
        const std::tuple<const char *, QByteArray, test::ExifDamage> damages[] = {
            {"exif ifd1 past the end", preview, Ifd1PastEnd},
            {"exif preview past the end", preview, PreviewPastEnd},
            {"exif preview not a jpeg", writtenByQt(QStringLiteral("png"), -1), None},
            {"exif preview 65535x65535", test::withClaimedJpegSize(preview, 65535, 65535), None},
            {"exif ifd loop", preview, IfdLoop},
            {"exif preview", preview, None}};
        QByteArray withExif;
        for (const auto &[name, shown, damage] : damages) {
            withExif = test::withApp1(intact, test::exifBlock({.orientation = 0, .preview = shown, .damage = damage}));
            add(QString::fromLatin1(name).replace(u' ', u'-') + QStringLiteral(".jpg"), withExif, QString::fromLatin1(name));
        }
        std::mt19937 exifFlips((plan.seed + 1) ^ quint32(qHash(QStringLiteral("exif"), 0)));
        for (int m = 0; m < plan.mutantsPerFormat; ++m)
            add(numbered("exif-flips-%1.jpg", m, 3), flipped(exifFlips, withExif.left(512)) + withExif.mid(512),
                QStringLiteral("exif byte flips"));
    }
    return corpus;
}

} // namespace pixdock::reliability
