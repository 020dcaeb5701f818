// Decoding parts of JPEGs with libjpeg-turbo: a region of the upright picture, taken from the
// right stored part and turned, has exactly the whole picture's pixels, whatever the sampling,
// the colour model or the turn. (The whole picture against Qt's reader is the viewer's
// first-paint test.)
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
// The whole picture for an empty region.
QImage decode(const QByteArray &bytes, QRect region = {})
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    JpegDecoder decoder(&buffer);
    if (!decoder.readHeader())
        return {};
    return region.isNull() ? decoder.decode() : decoder.decodeRegion(region);
}
} // namespace

class TestJpegDecoder : public QObject
{
    Q_OBJECT
private slots:
    void aRegionHasExactlyTheWholePicturesPixels_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<int>("orientation");
        const QImage picture = test::detailedPicture({333, 251});
        QTest::newRow("4:2:0") << test::encodeJpeg(picture) << 1;
        QTest::newRow("4:2:2") << test::encodeJpeg(picture, {90, 2, 1}) << 1;
        QTest::newRow("4:4:0") << test::encodeJpeg(picture, {90, 1, 2}) << 1;
        QTest::newRow("grey") << test::encodeJpeg(picture, {.grey = true}) << 1;
        QTest::newRow("CMYK") << test::encodeJpeg(picture, {.cmyk = true}) << 1;
        QTest::newRow("low quality") << test::encodeJpeg(picture, {20, 2, 2}) << 1;
        for (int orientation = 1; orientation <= 8; ++orientation)
            QTest::addRow("4:4:4, orientation %d", orientation) << test::encodeJpeg(picture, {90, 1, 1}) << orientation;
    }
    void aRegionHasExactlyTheWholePicturesPixels()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(int, orientation);
        const auto turn = transformationOf(orientation);
        const QImage upright = turnedUpright(decode(jpeg), turn);
        const QSize size = uprightSize({333, 251}, turn);
        QCOMPARE(upright.size(), size);
        QList<QRect> regions = {{QPoint(0, 0), size}, {0, 0, 64, 48}, {0, 0, 1, 1}, {size.width() - 1, size.height() - 1, 1, 1},
                                {16, 16, 16, 16}, {15, 17, 33, 31}, {size.width() - 33, 0, 33, size.height()}};
        QRandomGenerator random(7);
        for (int i = 0; i < 16; ++i) {
            const int x = random.bounded(size.width()), y = random.bounded(size.height());
            regions.append(QRect(x, y, 1 + random.bounded(size.width() - x), 1 + random.bounded(size.height() - y)));
        }
        for (const QRect &region : regions) {
            const QRect stored = storedRectOf(region, {333, 251}, turn);
            QCOMPARE(stored.size(), uprightSize(region.size(), turn));
            QVERIFY2(turnedUpright(decode(jpeg, stored), turn) == upright.copy(region),
                     qPrintable(QStringLiteral("region %1,%2 %3x%4").arg(region.x()).arg(region.y()).arg(region.width()).arg(region.height())));
        }
    }
};

PIXDOCK_REGISTER_TEST(TestJpegDecoder)
#include "tst_JpegDecoder.moc"
