// Making the benchmark pictures.
#include "BenchPictures.h"

#include "Pictures.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QSaveFile>
#include <QThread>
#include <QThreadPool>

namespace pixdock::bench {

namespace {

// A small fast generator; the pictures only need to look like noise, not be good random numbers.
struct XorShift
{
    quint64 state;
    quint64 next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
};

QImage scene(QSize size, quint64 seed, bool noise = true)
{
    XorShift rng{seed * 0x9E3779B97F4A7C15ull + 1};
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv(int(rng.next() % 360), 120, 200));
    sky.setColorAt(1, QColor::fromHsv(int(rng.next() % 360), 90, 120));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 60; ++i) {
        QColor colour
            = QColor::fromHsv(int(rng.next() % 360), int(rng.next() % 200), 60 + int(rng.next() % 190));
        colour.setAlpha(120 + int(rng.next() % 135));
        painter.setBrush(colour);
        const int w = size.width() / 20 + int(rng.next() % quint64(size.width() / 4));
        const int h = size.height() / 20 + int(rng.next() % quint64(size.height() / 4));
        painter.drawEllipse(int(rng.next() % quint64(size.width())) - w / 2,
                            int(rng.next() % quint64(size.height())) - h / 2, w, h);
    }
    painter.end();
    if (!noise)
        return image;
    // Sensor noise: every channel of every pixel moves by up to 8 levels.
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const quint64 r = rng.next();
            const auto shift = [r](int value, int bits) {
                return qBound(0, value + int((r >> bits) & 15) - 8, 255);
            };
            const QRgb c = line[x];
            line[x] = qRgb(shift(qRed(c), 0), shift(qGreen(c), 8), shift(qBlue(c), 16));
        }
    }
    return image;
}

QByteArray jpegBytes(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    return writer.write(image) ? bytes : QByteArray();
}

// What a kind of picture is made of: its pixels and how they are written.
struct Kind
{
    QString prefix;
    QSize size;
    QSize preview; // empty: none
    bool noise = true;
};

bool writePicture(const QString &path, const Kind &kind, quint64 seed)
{
    const QImage image = scene(kind.size, seed, kind.noise);
    QByteArray bytes = jpegBytes(image, 90);
    if (bytes.isEmpty())
        return false;
    if (!kind.preview.isEmpty()) {
        const QImage small = image.scaled(kind.preview, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        bytes = test::withApp1(bytes, test::exifBlock({.orientation = 1, .preview = jpegBytes(small, 85)}));
    }
    // Written under a temporary name, so that a run broken off never leaves half a picture.
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QStringList pictures(const QString &folder, int count, const Kind &kind)
{
    QDir().mkpath(folder);
    QStringList paths;
    QThreadPool pool;
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("%1-%2x%3-%4.jpg")
                                                       .arg(kind.prefix)
                                                       .arg(kind.size.width())
                                                       .arg(kind.size.height())
                                                       .arg(i, 4, 10, QLatin1Char('0')));
        paths.append(path);
        if (QFileInfo(path).size() > 0)
            continue;
        pool.start([path, kind, i] {
            if (!writePicture(path, kind, quint64(i)))
                qWarning("cannot write %s", qPrintable(path));
        });
    }
    pool.waitForDone();
    return paths;
}

} // namespace

QStringList cameraPictures(const QString &folder, int count, QSize size)
{
    return pictures(folder, count, {QStringLiteral("camera"), size, {}, true});
}

QStringList cameraPicturesWithPreview(const QString &folder, int count, QSize size, QSize preview)
{
    return pictures(folder, count, {QStringLiteral("exif"), size, preview, true});
}

QStringList smallPictures(const QString &folder, int count, QSize size)
{
    return pictures(folder, count, {QStringLiteral("small"), size, {}, false});
}

} // namespace pixdock::bench
