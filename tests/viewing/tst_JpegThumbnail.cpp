// JPEG thumbnails from the camera's embedded preview: used when it is large enough and shows
// the whole picture, turned upright as the picture is; passed over, for the picture itself
// decoded at reduced size, when it is too small, larger than the picture, of other proportions,
// no JPEG, or when the EXIF block around it is damaged.
#include "ExifJpeg.h"
#include "JpegThumbnail.h"
#include "Pictures.h"
#include "TestRegistry.h"
#include "ThumbnailLoader.h"
#include "ViewingTestCase.h"

#include <QBuffer>
#include <QTest>

using namespace pixdock;
using namespace pixdock::thumbnails;

namespace {

QImage filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40
           && std::abs(a.blue() - b.blue()) < 40;
}

// A blue picture (1600 x 1200 unless said) carrying `preview` in its EXIF block.
QByteArray cameraJpeg(const QByteArray &preview, int orientation = 0, test::ExifDamage damage = test::ExifDamage::None,
                      QSize size = {1600, 1200})
{
    const QByteArray picture = test::encodeJpeg(filled(size, Qt::blue), {.quality = 60});
    return test::withApp1(picture, test::exifBlock({orientation, preview, damage}));
}

QByteArray redPreview(QSize size) { return test::encodeJpeg(filled(size, Qt::red), {.quality = 80}); }

QByteArray pngPreview()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    filled({160, 120}, Qt::red).save(&buffer, "png");
    return bytes;
}

} // namespace

class TestJpegThumbnail : public test::ThumbnailTestCase
{
    Q_OBJECT
private slots:
    // Red on the sheet: the preview stood for the picture; blue: the picture itself was decoded.
    void thePreviewStandsForThePictureOnlyWhenItShowsItWhole_data()
    {
        using test::ExifDamage;
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<QColor>("shown");
        const QColor preview = Qt::red;
        const QColor picture = Qt::blue;
        const QByteArray camera = redPreview({160, 120});
        QTest::newRow("large enough, of the same proportions") << cameraJpeg(camera) << preview;
        QTest::newRow("proportions within 1%") << cameraJpeg(redPreview({160, 121})) << preview;
        QTest::newRow("proportions beyond 1%") << cameraJpeg(redPreview({160, 118})) << picture;
        QTest::newRow("black bars: 4:3 preview of a 16:9 picture")
            << cameraJpeg(camera, 0, ExifDamage::None, {1600, 900}) << picture;
        QTest::newRow("smaller than the cache entry") << cameraJpeg(redPreview({120, 90})) << picture;
        QTest::newRow("larger than the picture") << cameraJpeg(camera, 0, ExifDamage::None, {120, 90}) << picture;
        QTest::newRow("a picture smaller than the entry, its own size")
            << cameraJpeg(redPreview({80, 60}), 0, ExifDamage::None, {80, 60}) << preview;
        QTest::newRow("no JPEG") << cameraJpeg(pngPreview()) << picture;
        QTest::newRow("claims 65535 x 65535") << cameraJpeg(test::withClaimedJpegSize(camera, 65535, 65535)) << picture;
        QTest::newRow("claims 4000 x 3000") << cameraJpeg(test::withClaimedJpegSize(camera, 4000, 3000)) << picture;
        QTest::newRow("IFD1 past the end") << cameraJpeg(camera, 0, ExifDamage::Ifd1PastEnd) << picture;
        QTest::newRow("preview past the end") << cameraJpeg(camera, 0, ExifDamage::PreviewPastEnd) << picture;
        QTest::newRow("a loop in the IFD chain ends") << cameraJpeg(camera, 0, ExifDamage::IfdLoop) << preview;
    }
    void thePreviewStandsForThePictureOnlyWhenItShowsItWhole()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(QColor, shown);
        const QString path = test::writeBytes(pictures(), QStringLiteral("p.jpg"), jpeg);
        const QImage sheet = makeThumbnail(path, m_cache);
        QCOMPARE(sheet.size(), QSize(100, 100));
        QVERIFY(near(sheet.pixelColor(50, 50), shown));
        // The cache entry is made from the same source, at the picture's proportions.
        PictureStamp stamp;
        QVERIFY(stampPicture(path, stamp));
        const CacheEntry entry = m_cache.read(stamp);
        QVERIFY(near(entry.image.pixelColor(entry.image.width() / 2, entry.image.height() / 2), shown));
        QCOMPARE(entry.image.size(), cacheSizeFor(entry.original));
    }

    void thePreviewIsTurnedAsThePictureIs()
    {
        // Stored landscape with red on top; orientation 6 turns it a quarter clockwise, so the
        // red half ends on the right.
        QImage halves = filled({160, 120}, Qt::green);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 160; ++x)
                halves.setPixelColor(x, y, Qt::red);
        const QString path = test::writeBytes(pictures(), QStringLiteral("turned.jpg"),
                                              cameraJpeg(test::encodeJpeg(halves, {.quality = 90}), 6));
        const QImage sheet = makeThumbnail(path, m_cache);
        QVERIFY(near(sheet.pixelColor(90, 50), Qt::red));
        QVERIFY(near(sheet.pixelColor(10, 50), Qt::green));
        PictureStamp stamp;
        QVERIFY(stampPicture(path, stamp));
        const CacheEntry entry = m_cache.read(stamp);
        QCOMPARE(entry.original, QSize(1200, 1600));
        QCOMPARE(entry.image.size(), QSize(96, 128));
    }

    // The picture itself is decoded at the smallest size that still gives a sharp entry.
    void theReductionIsTheLargestThatStillGivesWhatIsNeeded_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<int>("reduction");
        QTest::newRow("camera: an eighth") << QSize(4000, 3000) << 8;
        QTest::newRow("1024: an eighth is exactly 128") << QSize(1024, 1024) << 8;
        QTest::newRow("800: a quarter") << QSize(800, 800) << 4;
        QTest::newRow("thin strip: whole") << QSize(4000, 40) << 1;
        QTest::newRow("small: whole") << QSize(100, 100) << 1;
    }
    void theReductionIsTheLargestThatStillGivesWhatIsNeeded()
    {
        QFETCH(QSize, stored);
        QFETCH(int, reduction);
        QCOMPARE(reductionFor(stored, {128, 128}), reduction);
    }
};

PIXDOCK_REGISTER_TEST(TestJpegThumbnail)
#include "tst_JpegThumbnail.moc"
