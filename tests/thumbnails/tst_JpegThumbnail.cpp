// JPEG thumbnails from the camera's embedded preview: used when it is large enough and shows
// the whole picture, turned upright as the picture is; refused, for the picture itself decoded
// at reduced size, when it is too small, larger than the picture, barred, no JPEG, or when the
// EXIF block around it is damaged.
#include "ExifJpeg.h"
#include "ExifReader.h"
#include "JpegThumbnail.h"
#include "Pictures.h"
#include "TestRegistry.h"
#include "ThumbnailLoader.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace pixdock;
using namespace pixdock::thumbnails;

namespace {

QImage filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A picture whose top half is `top` and bottom half `bottom`.
QImage halves(QSize size, QColor top, QColor bottom)
{
    QImage image = filled(size, bottom);
    for (int y = 0; y < size.height() / 2; ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, top);
    return image;
}

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40
           && std::abs(a.blue() - b.blue()) < 40;
}

// A 1600 x 1200 blue picture carrying `preview` in its EXIF block.
QByteArray cameraJpeg(const QByteArray &preview, int orientation = 0,
                      test::ExifDamage damage = test::ExifDamage::None)
{
    const QByteArray picture = test::encodeJpeg(filled({1600, 1200}, Qt::blue), {.quality = 60});
    return test::withApp1(picture, test::exifBlock({orientation, preview, damage}));
}

QByteArray redPreview(QSize size) { return test::encodeJpeg(filled(size, Qt::red), {.quality = 80}); }

QByteArray pngBytes(QSize size)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    filled(size, Qt::red).save(&buffer, "png");
    return bytes;
}

} // namespace

class TestJpegThumbnail : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_pictures.emplace();
        m_cacheHome.emplace();
        m_cache = ThumbnailCache(m_cacheHome->filePath(QStringLiteral("thumbnails")));
    }

    void aLargeEnoughPreviewOfTheSameProportionsMakesTheThumbnail()
    {
        const QString path = test::writeBytes(m_pictures->path(), QStringLiteral("camera.jpg"),
                                              cameraJpeg(redPreview({160, 120})));
        const QImage sheet = makeThumbnail(path, m_cache);
        QCOMPARE(sheet.size(), QSize(100, 100));
        QVERIFY(near(sheet.pixelColor(50, 50), Qt::red));
        // The cache entry comes from the preview too, at the picture's proportions.
        PictureStamp stamp;
        QVERIFY(stampPicture(path, stamp));
        const CacheEntry entry = m_cache.read(stamp);
        QCOMPARE(entry.image.size(), QSize(128, 96));
        QVERIFY(near(entry.image.pixelColor(64, 48), Qt::red));
        QCOMPARE(entry.original, QSize(1600, 1200));
    }

    void thePreviewIsTurnedAsThePictureIs()
    {
        // Stored landscape with red on top; orientation 6 turns it a quarter clockwise, so the
        // red half ends on the right.
        const QByteArray preview = test::encodeJpeg(halves({160, 120}, Qt::red, Qt::green), {.quality = 90});
        const QString path
            = test::writeBytes(m_pictures->path(), QStringLiteral("turned.jpg"), cameraJpeg(preview, 6));
        QByteArray bytes = cameraJpeg(preview, 6);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const JpegThumbnailSource source = readJpegForThumbnail(&buffer, SheetSize);
        QVERIFY(source.fromPreview);
        QCOMPARE(source.original, QSize(1200, 1600));
        QCOMPARE(source.upright.size(), QSize(120, 160));
        const QImage sheet = makeThumbnail(path, m_cache);
        QVERIFY(near(sheet.pixelColor(90, 50), Qt::red));
        QVERIFY(near(sheet.pixelColor(10, 50), Qt::green));
    }

    void aPreviewThatCannotStandForThePictureIsPassedOver_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::newRow("black bars: 4:3 preview of a 16:9 picture")
            << test::withApp1(test::encodeJpeg(filled({1600, 900}, Qt::blue), {.quality = 60}),
                              test::exifBlock({0, redPreview({160, 120})}));
        QTest::newRow("smaller than the thumbnail") << cameraJpeg(redPreview({80, 60}));
        QTest::newRow("larger than the picture")
            << test::withApp1(test::encodeJpeg(filled({120, 90}, Qt::blue)), test::exifBlock({0, redPreview({160, 120})}));
        QTest::newRow("no JPEG") << cameraJpeg(pngBytes({160, 120}));
        QTest::newRow("claims 65535 x 65535") << cameraJpeg(test::withClaimedJpegSize(redPreview({160, 120}), 65535, 65535));
        QTest::newRow("claims 4000 x 3000") << cameraJpeg(test::withClaimedJpegSize(redPreview({160, 120}), 4000, 3000));
        QTest::newRow("IFD1 past the end") << cameraJpeg(redPreview({160, 120}), 0, test::ExifDamage::Ifd1PastEnd);
        QTest::newRow("preview past the end") << cameraJpeg(redPreview({160, 120}), 0, test::ExifDamage::PreviewPastEnd);
    }
    void aPreviewThatCannotStandForThePictureIsPassedOver()
    {
        QFETCH(QByteArray, jpeg);
        const QString path = test::writeBytes(m_pictures->path(), QStringLiteral("p.jpg"), jpeg);
        const QImage sheet = makeThumbnail(path, m_cache);
        QCOMPARE(sheet.size(), QSize(100, 100));
        QVERIFY(near(sheet.pixelColor(50, 50), Qt::blue));
    }

    void aLoopInTheIfdChainEndsAndThePreviewStillCounts()
    {
        const QByteArray app1 = test::exifBlock({3, redPreview({160, 120}), test::ExifDamage::IfdLoop});
        const viewing::ExifFacts facts = viewing::readExif(app1);
        QCOMPARE(facts.orientation, 3);
        QCOMPARE(facts.preview, redPreview({160, 120}));
        const QString path = test::writeBytes(m_pictures->path(), QStringLiteral("loop.jpg"),
                                              cameraJpeg(redPreview({160, 120}), 0, test::ExifDamage::IfdLoop));
        QVERIFY(near(makeThumbnail(path, m_cache).pixelColor(50, 50), Qt::red));
    }

    void aPreviewServesWhenLargeEnoughNoLargerThanThePictureAndOfItsProportions_data()
    {
        QTest::addColumn<QSize>("preview");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("serves");
        const QSize needed(128, 100);
        QTest::newRow("camera 4:3") << QSize(160, 120) << QSize(4000, 3000) << true;
        QTest::newRow("within 1%") << QSize(160, 121) << QSize(4000, 3000) << true;
        QTest::newRow("beyond 1%") << QSize(160, 118) << QSize(4000, 3000) << false;
        QTest::newRow("3:2 picture, 4:3 preview") << QSize(160, 120) << QSize(6000, 4000) << false;
        QTest::newRow("too small") << QSize(120, 90) << QSize(4000, 3000) << false;
        QTest::newRow("larger than the picture") << QSize(640, 480) << QSize(320, 240) << false;
        QTest::newRow("picture smaller than needed") << QSize(80, 60) << QSize(80, 60) << true;
        QTest::newRow("empty") << QSize(0, 0) << QSize(4000, 3000) << false;
    }
    void aPreviewServesWhenLargeEnoughNoLargerThanThePictureAndOfItsProportions()
    {
        QFETCH(QSize, preview);
        QFETCH(QSize, picture);
        QFETCH(bool, serves);
        QCOMPARE(previewServes(preview, picture, QSize(128, 100)), serves);
    }

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

private:
    std::optional<QTemporaryDir> m_pictures;
    std::optional<QTemporaryDir> m_cacheHome;
    ThumbnailCache m_cache;
};

PIXDOCK_REGISTER_TEST(TestJpegThumbnail)
#include "tst_JpegThumbnail.moc"
