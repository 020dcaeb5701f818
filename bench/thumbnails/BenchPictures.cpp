// Making the benchmark pictures.
#include "BenchPictures.h"

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

QImage scene(QSize size, quint64 seed)
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

bool writePicture(const QString &path, QSize size, quint64 seed)
{
    // Written under a temporary name, so that a run broken off never leaves half a picture.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(90);
    return writer.write(scene(size, seed)) && file.commit();
}

} // namespace

QStringList cameraPictures(const QString &folder, int count, QSize size)
{
    QDir().mkpath(folder);
    QStringList paths;
    QThreadPool pool;
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("camera-%1x%2-%3.jpg")
                                                       .arg(size.width())
                                                       .arg(size.height())
                                                       .arg(i, 4, 10, QLatin1Char('0')));
        paths.append(path);
        if (QFileInfo(path).size() > 0)
            continue;
        pool.start([path, size, i] {
            if (!writePicture(path, size, quint64(i)))
                qWarning("cannot write %s", qPrintable(path));
        });
    }
    pool.waitForDone();
    return paths;
}

} // namespace pixdock::bench
