// Making thumbnails: the squeeze to 100 x 100 from the decoded picture (two-colour pictures
// averaged, not sampled into noise; a long thin picture keeping its detail), files that give
// none, and the bounded memory.
#include "Pictures.h"
#include "TestRegistry.h"
#include "ThumbnailBuild.h"
#include "ThumbnailLoader.h"
#include "ThumbnailMemory.h"
#include "ViewingTestCase.h"
#include "ViewingTestFiles.h"

#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>


using namespace pixdock;
using namespace pixdock::thumbnails;

namespace {

// A picture whose first half (left, or top when it is taller than wide) is red, the rest blue.
QString writeHalves(const QString &folder, const QString &name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter painter(&image);
    if (size.width() >= size.height())
        painter.fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    else
        painter.fillRect(0, 0, size.width(), size.height() / 2, Qt::red);
    painter.end();
    const QString path = QDir(folder).filePath(name);
    image.save(path);
    return path;
}

bool reddish(QColor c) { return c.red() > 200 && c.blue() < 60; }
bool bluish(QColor c) { return c.blue() > 200 && c.red() < 60; }

// A two-colour picture of one-pixel stripes, black and white, in `format` (a 1-bit palette).
QString writeStripes(const QString &folder, const QString &name, const QByteArray &format)
{
    QImage image(800, 600, QImage::Format_Mono);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, (x + y) % 2);
    const QString path = QDir(folder).filePath(name);
    QImageWriter writer(path, format);
    if (!writer.write(image))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The lightest and darkest grey of a picture.
std::pair<int, int> greyRange(const QImage &image)
{
    int low = 255, high = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            low = std::min(low, grey);
            high = std::max(high, grey);
        }
    }
    return {low, high};
}

} // namespace

class TestThumbnailBuild : public test::ThumbnailTestCase
{
    Q_OBJECT
private slots:

    void aPictureIsSqueezedTo100By100NotCropped_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide png") << "wide.png" << QSize(400, 100);
        QTest::newRow("wide jpeg") << "wide.jpg" << QSize(400, 100);
        QTest::newRow("wide bitmap") << "wide.bmp" << QSize(400, 100);
        QTest::newRow("tall jpeg") << "tall.jpg" << QSize(100, 400);
        QTest::newRow("large jpeg") << "large.jpg" << QSize(4000, 1000);
        QTest::newRow("smaller than a thumbnail") << "small.png" << QSize(40, 10);
    }
    void aPictureIsSqueezedTo100By100NotCropped()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QString path = writeHalves(pictures(), name, size);
        const QImage thumbnail = makeThumbnail(path, m_cache);
        QCOMPARE(thumbnail.size(), QSize(100, 100));
        // Both halves are there, each filling half of the square: nothing was cut off.
        const bool wide = size.width() >= size.height();
        const QPoint first = wide ? QPoint(20, 50) : QPoint(50, 20);
        const QPoint second = wide ? QPoint(80, 50) : QPoint(50, 80);
        QVERIFY(reddish(thumbnail.pixelColor(first)));
        QVERIFY(bluish(thumbnail.pixelColor(second)));
        QVERIFY(reddish(thumbnail.pixelColor(QPoint(2, 2))));
        QVERIFY(bluish(thumbnail.pixelColor(QPoint(97, 97))));
    }

    void aFileThatIsNoPictureGivesNoThumbnailAndNoEntry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind"); // as test::writeKind writes it; "missing" writes nothing
        QTest::newRow("missing") << "gone.jpg" << "missing";
        QTest::newRow("text named .jpg") << "notes.jpg" << "text";
        QTest::newRow("empty file") << "empty.png" << "empty";
        QTest::newRow("icon") << "app.ico" << "picture";
        QTest::newRow("folder") << "sub.jpg" << "folder";
    }
    void aFileThatIsNoPictureGivesNoThumbnailAndNoEntry()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        test::writeKind(pictures(), name, kind, {32, 32});
        QVERIFY(makeThumbnail(pictures() + "/" + name, m_cache).isNull());
        QCOMPARE(QDir(m_cache.root() + QStringLiteral("/normal")).entryList(QDir::Files), QStringList());
    }

    void aTwoColourPictureBecomesEvenGreyNotNoise_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("1-bit palette png") << "stripes.png" << QByteArray("png");
        QTest::newRow("two-colour tiff") << "fax.tif" << QByteArray("tiff");
    }
    void aTwoColourPictureBecomesEvenGreyNotNoise()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        const QString path = writeStripes(pictures(), name, format);
        const QImage sheet = makeThumbnail(path, m_cache);
        QCOMPARE(sheet.size(), QSize(100, 100));
        // Half black, half white, finely mixed: every pixel of the thumbnail and of the cache
        // entry is the same mid grey.
        const auto [low, high] = greyRange(sheet);
        QVERIFY2(low > 100 && high < 156, qPrintable(QStringLiteral("%1..%2").arg(low).arg(high)));
        const CacheEntry entry = m_cache.read([&] {
            PictureStamp stamp;
            stampPicture(path, stamp);
            return stamp;
        }());
        QCOMPARE(entry.image.size(), QSize(128, 96));
        const auto [entryLow, entryHigh] = greyRange(entry.image);
        QVERIFY2(entryLow > 100 && entryHigh < 156, qPrintable(QStringLiteral("%1..%2").arg(entryLow).arg(entryHigh)));
    }

    void aLongThinPictureKeepsItsDetailOnTheSheet_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("png") << "strip.png";
        QTest::newRow("jpeg") << "strip.jpg";
    }
    void aLongThinPictureKeepsItsDetailOnTheSheet()
    {
        QFETCH(QString, name);
        // 4000 x 40: its cache entry is 128 x 1, far too thin to stretch to 100 x 100.
        QImage image(4000, 40, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QPainter(&image).fillRect(0, 0, 4000, 20, Qt::red);
        const QString path = QDir(pictures()).filePath(name);
        QVERIFY(image.save(path));
        // Made from the decoded picture, and again when the thin cache entry is there.
        for (int round = 0; round < 2; ++round) {
            const QImage sheet = makeThumbnail(path, m_cache);
            QCOMPARE(sheet.size(), QSize(100, 100));
            QVERIFY2(reddish(sheet.pixelColor(50, 10)), qPrintable(QString::number(round)));
            QVERIFY2(bluish(sheet.pixelColor(50, 90)), qPrintable(QString::number(round)));
        }
        PictureStamp stamp;
        QVERIFY(stampPicture(path, stamp));
        QCOMPARE(m_cache.read(stamp).image.size(), QSize(128, 1));
    }

    void memoryKeepsABoundedNumberThoseNearestToTheScreen()
    {
        ThumbnailMemory memory(20);
        memory.setFocus(500);
        QImage picture(4, 4, QImage::Format_RGB32);
        for (int i = 0; i < 1000; i += 10)
            memory.insert(i, picture);
        QVERIFY(memory.size() <= 20);
        QVERIFY(memory.contains(500));
        QVERIFY(memory.contains(420));
        QVERIFY(!memory.contains(0));
        int near = 0;
        for (int i = 0; i < 1000; i += 10)
            near += memory.contains(i) && std::abs(i - 500) <= 100 ? 1 : 0;
        QVERIFY2(near >= 15, qPrintable(QString::number(near)));
        QVERIFY(memoryCapacityFor(SheetSize) * 100 * 100 * 4 <= 64 * 1024 * 1024);
    }
};

PIXDOCK_REGISTER_TEST(TestThumbnailBuild)
#include "tst_ThumbnailBuild.moc"
