// Making thumbnails: the squeeze to 100 x 100 from the decoded picture (two-colour pictures
// averaged, not sampled into noise; a long thin picture keeping its detail), files that give
// none, the bounded memory, and JPEGs: the camera's embedded preview used when it is large
// enough and shows the whole picture, turned upright as the picture is; passed over, for the
// picture itself decoded at reduced size, when it is too small, larger than the picture, of
// other proportions, no JPEG, or when the EXIF block around it is damaged.
#include "JpegThumbnail.h"
#include "ThumbnailBuild.h"
#include "ViewingTestCase.h"

#include <QImageWriter>

namespace {
using test::filled, test::near;

// A picture whose first half (left when `across`, else top) is red, the rest blue.
QString writeHalves(const QString &folder, const QString &name, QSize size, bool across)
{
    QImage image = filled(size, Qt::blue);
    QPainter(&image).fillRect(0, 0, size.width() / (across ? 2 : 1), size.height() / (across ? 1 : 2), Qt::red);
    return image.save(QDir(folder).filePath(name)) ? QDir(folder).filePath(name) : QString();
}

// A blue picture (1600 x 1200 unless said) carrying `preview` in its EXIF block.
QByteArray cameraJpeg(const QByteArray &preview, QSize size = {1600, 1200}, test::ExifDamage damage = {}, int orientation = 0)
{
    return test::withApp1(test::encodeJpeg(filled(size, Qt::blue), {.quality = 60}), test::exifBlock({orientation, preview, damage}));
}

QByteArray redPreview(QSize size) { return test::encodeJpeg(filled(size, Qt::red), {.quality = 80}); }
} // namespace

class TestThumbnailBuild : public test::ThumbnailTestCase
{
    Q_OBJECT
private slots:

    // Squeezed to 100 x 100, not cropped: both halves are there, each filling half of the
    // square. A long thin picture keeps its detail, made from the decoded picture and again when
    // its cache entry, far too thin to stretch to 100 x 100, is there.
    void aPictureIsSqueezedTo100By100NotCropped_data()
    {
        // across: the halves side by side, else one above the other
        test::columns<QString, QSize, bool>("name", "size", "across");
        QTest::newRow("wide png") << "wide.png" << QSize(400, 100) << true;
        QTest::newRow("wide jpeg") << "wide.jpg" << QSize(400, 100) << true;
        QTest::newRow("tall jpeg") << "tall.jpg" << QSize(100, 400) << false;
        QTest::newRow("large jpeg") << "large.jpg" << QSize(4000, 1000) << true;
        QTest::newRow("smaller than a thumbnail") << "small.png" << QSize(40, 10) << true;
        QTest::newRow("long thin png: an entry of 128 x 1") << "strip.png" << QSize(4000, 40) << false;
        QTest::newRow("long thin jpeg") << "strip.jpg" << QSize(4000, 40) << false;
    }
    void aPictureIsSqueezedTo100By100NotCropped()
    {
        const auto [name, size, across] = test::fetch<QString, QSize, bool>("name", "size", "across");
        const QString path = writeHalves(pictures(), name, size, across);
        for (int round = 0; round < 2; ++round) {
            const QImage thumbnail = makeThumbnail(path, m_cache);
            QCOMPARE(thumbnail.size(), QSize(100, 100));
            for (const QPoint red : {across ? QPoint(20, 50) : QPoint(50, 10), QPoint(2, 2)})
                QVERIFY2(near(thumbnail.pixelColor(red), Qt::red, 60), qPrintable(QString::number(round)));
            for (const QPoint blue : {across ? QPoint(80, 50) : QPoint(50, 90), QPoint(97, 97)})
                QVERIFY2(near(thumbnail.pixelColor(blue), Qt::blue, 60), qPrintable(QString::number(round)));
        }
        QCOMPARE(entryOf(path).image.size(), cacheSizeFor(size));
    }

    void aFileThatIsNoPictureGivesNoThumbnailAndNoEntry_data()
    {
        // kind: as test::writeKind writes it; "missing" writes nothing. Zero bytes and icons: the
        // damaged-picture run and the sheet's own test.
        test::columns<QString, QString>("name", "kind");
        QTest::newRow("missing") << "gone.jpg" << "missing";
        QTest::newRow("text named .jpg") << "notes.jpg" << "text";
        QTest::newRow("cursor") << "app.cur" << "cursor";
        QTest::newRow("folder") << "sub.jpg" << "folder";
    }
    void aFileThatIsNoPictureGivesNoThumbnailAndNoEntry()
    {
        const auto [name, kind] = test::fetch<QString, QString>("name", "kind");
        if (kind == "cursor") // an icon file of type 2 (a cursor) in place of 1
            test::writeBytes(pictures(), name, test::truncatedPicture("ico", {32, 32}, 1.0).replace(2, 1, "\x02"));
        else
            test::writeKind(pictures(), name, kind, {32, 32});
        QVERIFY(makeThumbnail(pictures() + "/" + name, m_cache).isNull());
        QCOMPARE(QDir(m_cache.root() + QStringLiteral("/normal")).entryList(QDir::Files), QStringList());
    }

    void aTwoColourPictureBecomesEvenGreyNotNoise_data()
    {
        test::columns<QString, QByteArray>("name", "format");
        QTest::newRow("1-bit palette png") << "stripes.png" << QByteArray("png");
        QTest::newRow("two-colour tiff") << "fax.tif" << QByteArray("tiff");
    }
    void aTwoColourPictureBecomesEvenGreyNotNoise()
    {
        const auto [name, format] = test::fetch<QString, QByteArray>("name", "format");
        // One-pixel checks of black and white in a 1-bit palette.
        QImage stripes(800, 600, QImage::Format_Mono);
        stripes.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        stripes.fill(1);
        QPainter(&stripes).fillRect(stripes.rect(), QBrush(Qt::black, Qt::Dense4Pattern));
        const QString path = QDir(pictures()).filePath(name);
        QVERIFY(QImageWriter(path, format).write(stripes));
        const QImage sheet = makeThumbnail(path, m_cache);
        QCOMPARE((QList<QSize>{sheet.size(), entryOf(path).image.size()}), (QList<QSize>{{100, 100}, {128, 96}}));
        // Half black, half white, finely mixed: every pixel of the thumbnail and of the cache
        // entry is the same mid grey.
        for (const QImage &image : {sheet, entryOf(path).image})
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    QVERIFY2(qAbs(qGray(image.pixel(x, y)) - 128) < 28,
                             qPrintable(QStringLiteral("%1 at %2,%3").arg(qGray(image.pixel(x, y))).arg(x).arg(y)));
    }

    void thePreviewStandsForThePictureOnlyWhenItShowsItWhole_data()
    {
        using test::ExifDamage;
        test::columns<QByteArray, QColor>("jpeg", "shown");
        const QColor preview = Qt::red, picture = Qt::blue;
        const QByteArray camera = redPreview({160, 120});
        QTest::newRow("large enough, of the same proportions") << cameraJpeg(camera) << preview;
        QTest::newRow("proportions within 1%") << cameraJpeg(redPreview({160, 121})) << preview;
        QTest::newRow("proportions beyond 1%") << cameraJpeg(redPreview({160, 118})) << picture;
        QTest::newRow("black bars: 4:3 preview of a 16:9 picture") << cameraJpeg(camera, {1600, 900}) << picture;
        QTest::newRow("smaller than the cache entry") << cameraJpeg(redPreview({120, 90})) << picture;
        QTest::newRow("larger than the picture") << cameraJpeg(camera, {120, 90}) << picture;
        QTest::newRow("a picture smaller than the entry, its own size") << cameraJpeg(redPreview({80, 60}), {80, 60}) << preview;
        QTest::newRow("no JPEG") << cameraJpeg(test::truncatedPicture("png", {160, 120}, 1.0)) << picture;
        QTest::newRow("claims 65535 x 65535") << cameraJpeg(test::withClaimedJpegSize(camera, 65535, 65535)) << picture;
        QTest::newRow("claims 4000 x 3000") << cameraJpeg(test::withClaimedJpegSize(camera, 4000, 3000)) << picture;
        QTest::newRow("IFD1 past the end") << cameraJpeg(camera, {1600, 1200}, ExifDamage::Ifd1PastEnd) << picture;
        QTest::newRow("preview past the end") << cameraJpeg(camera, {1600, 1200}, ExifDamage::PreviewPastEnd) << picture;
        QTest::newRow("a loop in the IFD chain ends") << cameraJpeg(camera, {1600, 1200}, ExifDamage::IfdLoop) << preview;
    }
    void thePreviewStandsForThePictureOnlyWhenItShowsItWhole()
    {
        const auto [jpeg, shown] = test::fetch<QByteArray, QColor>("jpeg", "shown");
        const QString path = test::writeBytes(pictures(), QStringLiteral("p.jpg"), jpeg);
        const QImage sheet = makeThumbnail(path, m_cache);
        QVERIFY(sheet.size() == QSize(100, 100) && near(sheet.pixelColor(50, 50), shown, 40));
        // The cache entry is made from the same source, at the picture's proportions.
        const CacheEntry entry = entryOf(path);
        QVERIFY(near(entry.image.pixelColor(entry.image.width() / 2, entry.image.height() / 2), shown, 40));
        QCOMPARE(entry.image.size(), cacheSizeFor(entry.original));
    }

    void thePreviewIsTurnedAsThePictureIs()
    {
        // Stored landscape with red on top; orientation 6 turns it a quarter clockwise, so the
        // red half ends on the right.
        QImage halves = filled({160, 120}, Qt::green);
        QPainter(&halves).fillRect(0, 0, 160, 60, Qt::red);
        const QString path = test::writeBytes(pictures(), QStringLiteral("turned.jpg"),
                                              cameraJpeg(test::encodeJpeg(halves, {.quality = 90}), {1600, 1200}, {}, 6));
        const QImage sheet = makeThumbnail(path, m_cache);
        QVERIFY(near(sheet.pixelColor(90, 50), Qt::red, 40) && near(sheet.pixelColor(10, 50), Qt::green, 40));
        QCOMPARE((QList<QSize>{entryOf(path).original, entryOf(path).image.size()}), (QList<QSize>{{1200, 1600}, {96, 128}}));
    }

    // The picture itself is decoded at the smallest size that still gives a sharp entry.
    void theReductionIsTheLargestThatStillGivesWhatIsNeeded_data()
    {
        test::columns<QSize, int>("stored", "reduction");
        QTest::newRow("camera: an eighth") << QSize(4000, 3000) << 8;
        QTest::newRow("1024: an eighth is exactly 128") << QSize(1024, 1024) << 8;
        QTest::newRow("800: a quarter") << QSize(800, 800) << 4;
        QTest::newRow("thin strip: whole") << QSize(4000, 40) << 1;
        QTest::newRow("small: whole") << QSize(100, 100) << 1;
    }
    void theReductionIsTheLargestThatStillGivesWhatIsNeeded()
    {
        QFETCH(QSize, stored);
        QTEST(reductionFor(stored, {128, 128}), "reduction");
    }
};

PIXDOCK_REGISTER_TEST(TestThumbnailBuild)
#include "tst_ThumbnailBuild.moc"
