// Decoding parts of JPEGs with libjpeg-turbo: a region has exactly the whole picture's pixels,
// never a wrong one, whatever the sampling, the colour model or the turn. (The whole picture
// against Qt's reader is the viewer's first-paint test.)
#include "ExifJpeg.h"
#include "JpegDecoder.h"
#include "PictureOrientation.h"
#include "TestRegistry.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

using namespace pixdock;
using namespace pixdock::viewing;

namespace {

struct Decoded
{
    JpegHeader header;
    QImage image;
};

Decoded decodeWhole(const QByteArray &bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    JpegDecoder decoder(&buffer);
    if (!decoder.readHeader())
        return {};
    return {decoder.header(), decoder.decode()};
}

QImage decodeRegion(const QByteArray &bytes, QRect region)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    JpegDecoder decoder(&buffer);
    return decoder.readHeader() ? decoder.decodeRegion(region) : QImage();
}

// Where two pictures of one size differ first, or an empty text.
QString firstDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return QStringLiteral("sizes %1x%2 and %3x%4").arg(a.width()).arg(a.height()).arg(b.width()).arg(b.height());
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("pixel %1,%2").arg(x).arg(y);
        }
    }
    return {};
}

} // namespace

class TestJpegDecoder : public QObject
{
    Q_OBJECT
private slots:
    void aRegionHasExactlyTheWholePicturesPixels_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        const QImage picture = test::detailedPicture({333, 251});
        QTest::newRow("4:2:0") << test::encodeJpeg(picture);
        QTest::newRow("4:2:2") << test::encodeJpeg(picture, {90, 2, 1});
        QTest::newRow("4:4:4") << test::encodeJpeg(picture, {90, 1, 1});
        QTest::newRow("4:4:0") << test::encodeJpeg(picture, {90, 1, 2});
        QTest::newRow("grey") << test::encodeJpeg(picture, {.grey = true});
        QTest::newRow("CMYK") << test::encodeJpeg(picture, {.cmyk = true});
        QTest::newRow("low quality") << test::encodeJpeg(picture, {20, 2, 2});
    }
    void aRegionHasExactlyTheWholePicturesPixels()
    {
        QFETCH(QByteArray, jpeg);
        const QImage whole = decodeWhole(jpeg).image;
        QVERIFY(!whole.isNull());
        QList<QRect> regions = {{0, 0, 333, 251}, {0, 0, 64, 48}, {0, 0, 1, 1}, {332, 250, 1, 1},
                                {16, 16, 16, 16}, {15, 17, 33, 31}, {300, 0, 33, 251}, {0, 200, 333, 51}};
        QRandomGenerator random(7);
        for (int i = 0; i < 24; ++i) {
            const int x = random.bounded(333), y = random.bounded(251);
            regions.append(QRect(x, y, 1 + random.bounded(333 - x), 1 + random.bounded(251 - y)));
        }
        for (const QRect &region : regions) {
            const QImage part = decodeRegion(jpeg, region);
            const QString difference = firstDifference(part, whole.copy(region));
            QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("region %1,%2 %3x%4: %5")
                                                          .arg(region.x()).arg(region.y())
                                                          .arg(region.width()).arg(region.height()).arg(difference)));
        }
    }

    void aRegionOfTheUprightPictureComesFromTheRightStoredPart_data()
    {
        QTest::addColumn<int>("orientation");
        for (int orientation = 1; orientation <= 8; ++orientation)
            QTest::addRow("orientation %d", orientation) << orientation;
    }
    void aRegionOfTheUprightPictureComesFromTheRightStoredPart()
    {
        QFETCH(int, orientation);
        const QByteArray jpeg = test::encodeJpeg(test::detailedPicture({150, 90}, 3), {90, 1, 1});
        const Decoded whole = decodeWhole(jpeg);
        const auto turn = transformationOf(orientation);
        const QImage upright = turnedUpright(whole.image, turn);
        QCOMPARE(upright.size(), uprightSize(QSize(150, 90), turn));
        for (const QRect &region : {QRect(0, 0, 40, 30), QRect(7, 11, 23, 17), QRect(QPoint(0, 0), upright.size())}) {
            const QRect stored = storedRectOf(region, whole.header.size, turn);
            QCOMPARE(stored.size(), uprightSize(region.size(), turn));
            const QImage part = turnedUpright(decodeRegion(jpeg, stored), turn);
            QCOMPARE(part, upright.copy(region));
        }
    }
};

PIXDOCK_REGISTER_TEST(TestJpegDecoder)
#include "tst_JpegDecoder.moc"
