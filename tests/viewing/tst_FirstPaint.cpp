// A large JPEG in the viewer: the part the frame shows is on screen before the rest is
// decoded, every pixel shown is the picture's own (turned, CMYK, progressive alike), the
// scroll bars are laid out for the whole picture at once, scrolling to a part not yet decoded
// shows it once it is, and the next file of the folder is still made ready; and the decoding
// of parts behind it.
#include "JpegCompletion.h"
#include "PictureOrientation.h"
#include "ViewingTestCase.h"

#include <QBuffer>
#include <QImageReader>

namespace {
// A region of a JPEG decoded by libjpeg-turbo; the whole picture for an empty region.
QImage decode(QByteArray bytes, QRect region = {})
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    JpegDecoder decoder(&buffer);
    return !decoder.readHeader() ? QImage() : region.isNull() ? decoder.decode() : decoder.decodeRegion(region);
}

constexpr int DecodeTimeout = 30000;

// What the picture box shows of `area` (in picture pixels), on the window's background, in the
// screen's pixels: one for each picture pixel, whatever the screen's density.
QImage shownPart(PictureBox *box, QRect area)
{
    const qreal density = box->devicePixelRatioF();
    const QRect points = QRectF(QPointF(area.topLeft()) / density, QSizeF(area.size()) / density).toAlignedRect();
    QImage shown = box->grab(points).toImage().convertToFormat(QImage::Format_RGB32);
    shown.setDevicePixelRatio(1);
    return shown.copy(QRect(QPoint(0, 0), area.size()));
}

} // namespace

class TestFirstPaint : public test::ViewerTestCase
{
    Q_OBJECT
private slots:
    void aLargeJpegShowsItsVisiblePartFirstWithNoWrongPixel_data()
    {
        test::columns<QByteArray, QSize, bool>("jpeg", "shown", "partFirst");
        const QImage picture = test::detailedPicture({2400, 1800}, 9);
        const auto turned = [&](int orientation) {
            return test::withApp1(test::encodeJpeg(picture), test::exifBlock({.orientation = orientation}));
        };
        const QSize landscape(2400, 1800);
        QTest::newRow("baseline 4:2:0") << test::encodeJpeg(picture) << landscape << true;
        QTest::newRow("turned a quarter") << turned(6) << landscape.transposed() << true;
        QTest::newRow("mirrored") << turned(2) << landscape << true;
        QTest::newRow("CMYK") << test::encodeJpeg(picture, {.cmyk = true}) << landscape << true;
        QTest::newRow("grey 4:4:4") << test::encodeJpeg(picture, {.grey = true}) << landscape << true;
        // Laid out by its header at once, shown when a worker has decoded it whole.
        QTest::newRow("progressive, read whole") << test::encodeJpeg(picture, {.progressive = true}) << landscape << false;
        // A marker in the middle of the first rows' data: libjpeg ends the scan there and fills
        // in the rest, and a decode of a part could fill it otherwise.
        QByteArray damaged = test::encodeJpeg(picture);
        damaged.replace(damaged.indexOf(QByteArray("\xFF\xDA", 2)) + 400, 2, QByteArray("\xFF\xE5", 2));
        QTest::newRow("damaged near its top: as the whole decode makes it") << damaged << landscape << false;
    }
    void aLargeJpegShowsItsVisiblePartFirstWithNoWrongPixel()
    {
        const auto [jpeg, shown, partFirst] = test::fetch<QByteArray, QSize, bool>("jpeg", "shown", "partFirst");
        const QString path = test::writeBytes(folder(), QStringLiteral("large.jpg"), jpeg);
        const QString next = picture("next.png");
        // The picture as Qt's own reader gives it, turned upright.
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage reference = reader.read().convertToFormat(QImage::Format_RGB32);

        frmViewer *viewer = openNew(path);
        PictureBox *box = viewer->picFramed();
        const qreal density = box->devicePixelRatioF();
        // At twice the density the frame shows a quarter of the picture or more: it is read whole.
        const bool firstPart = partFirst && density < 2;
        QCOMPARE(box->showsPicture(), firstPart);
        QCOMPARE(box->size(), box->shownSize(shown));
        // The bars are those of the whole picture from the first moment.
        QVERIFY(viewer->hScroll()->isVisibleTo(viewer) && viewer->vScroll()->isVisibleTo(viewer));
        const int frameHeight = viewer->heightTwips() - 2000;
        const double shownHeight = std::llround(twips::fromPixels(1) * shown.height() / density);
        QCOMPARE(viewer->vScroll()->maximum(), int(std::lrint((shownHeight - frameHeight - 1) * 1.1)));
        if (!firstPart)
            box->waitForPicture();

        // What the frame shows is there at once, exactly.
        const QRect visible = QRect(QPoint(0, 0), (QSizeF(viewer->framePicHolder()->size()) * density).toSize())
                                  .intersected(reference.rect());
        QCOMPARE(shownPart(box, visible), reference.copy(visible));

        // Far down and right: the picture's own pixels or nothing, never a wrong one, and the
        // part itself once it is decoded.
        viewer->hScroll()->setValue(viewer->hScroll()->maximum());
        viewer->vScroll()->setValue(viewer->vScroll()->maximum());
        const QRect corner(shown.width() - 300, shown.height() - 200, 300, 200);
        const QRgb background = box->palette().color(box->backgroundRole()).rgb();
        const QImage early = shownPart(box, corner);
        for (int y = 0; y < corner.height(); ++y)
            for (int x = 0; x < corner.width(); ++x)
                QVERIFY(early.pixel(x, y) == reference.pixel(corner.x() + x, corner.y() + y) || early.pixel(x, y) == background);
        QTRY_VERIFY_WITH_TIMEOUT(box->isComplete(), DecodeTimeout);
        QCOMPARE(shownPart(box, corner), reference.copy(corner));
        QCOMPARE(box->picture(), reference);
        // Once it is complete, the next file of the folder is made ready.
        PicturePreloader::instance().waitUntilIdle();
        QVERIFY(PicturePreloader::instance().isReady(next));
    }

    void theRestOfAFileChangedSinceItsFirstPartIsNotShown()
    {
        const QString path = test::writeBytes(folder(), "a.jpg", test::encodeJpeg(test::detailedPicture({640, 480})));
        // The stamp of the first part's reading, and a file that has changed since.
        FileStamp before = stampOf(path).value();
        before.modifiedNs -= 1'000'000'000;
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        JpegCompletion completion(fd, before, {640, 480}, QImageIOHandler::TransformationNone);
        ::close(fd);
        QSignalSpy failed(&completion, &JpegCompletion::failed);
        QSignalSpy finished(&completion, &JpegCompletion::finished);
        QVERIFY(failed.wait(DecodeTimeout));
        QCOMPARE(finished.size(), 0);
    }

    // A region of the upright picture, taken from the right stored part and turned, has exactly
    // the whole picture's pixels, whatever the sampling, the colour model or the turn.
    void aRegionHasExactlyTheWholePicturesPixels_data()
    {
        test::columns<QByteArray, int>("jpeg", "orientation");
        const QImage picture = test::detailedPicture({333, 251});
        QTest::newRow("4:2:0") << test::encodeJpeg(picture) << 1;
        QTest::newRow("4:2:2") << test::encodeJpeg(picture, {90, 2, 1}) << 1;
        QTest::newRow("4:4:0") << test::encodeJpeg(picture, {90, 1, 2}) << 1;
        QTest::newRow("grey") << test::encodeJpeg(picture, {.grey = true}) << 1;
        QTest::newRow("CMYK") << test::encodeJpeg(picture, {.cmyk = true}) << 1;
        for (int orientation = 1; orientation <= 8; ++orientation)
            QTest::addRow("4:4:4, orientation %d", orientation) << test::encodeJpeg(picture, {90, 1, 1}) << orientation;
    }
    void aRegionHasExactlyTheWholePicturesPixels()
    {
        const auto [jpeg, orientation] = test::fetch<QByteArray, int>("jpeg", "orientation");
        const auto turn = transformationOf(orientation);
        const QImage upright = turnedUpright(decode(jpeg), turn);
        const QSize size = uprightSize({333, 251}, turn);
        QCOMPARE(upright.size(), size);
        // Whole, at the corners, on and off the blocks' edges, of odd sizes.
        for (const QRect &region : {QRect(QPoint(0, 0), size), QRect(0, 0, 64, 48), QRect(0, 0, 1, 1),
                                    QRect(size.width() - 1, size.height() - 1, 1, 1), QRect(16, 16, 16, 16), QRect(15, 17, 33, 31),
                                    QRect(size.width() - 33, 0, 33, size.height()), QRect(7, 9, size.width() - 7, 1),
                                    QRect(size.width() / 3, size.height() / 2, 5, size.height() / 2)}) {
            const QRect stored = storedRectOf(region, {333, 251}, turn);
            QCOMPARE(stored.size(), uprightSize(region.size(), turn));
            QCOMPARE(turnedUpright(decode(jpeg, stored), turn), upright.copy(region));
        }
    }
};

PIXDOCK_REGISTER_TEST(TestFirstPaint)
#include "tst_FirstPaint.moc"
