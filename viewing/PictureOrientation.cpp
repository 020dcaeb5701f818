// The turns of EXIF orientation as transforms of the picture's plane.
#include "PictureOrientation.h"

#include <QTransform>

namespace pixdock::viewing {

namespace {

using Turn = QImageIOHandler::Transformations;

// Maps points of the stored picture (continuous coordinates, 0..width, 0..height) to the
// upright picture.
QTransform planeTurn(QSize stored, Turn turn)
{
    const qreal w = stored.width();
    const qreal h = stored.height();
    QTransform m;
    if (turn & QImageIOHandler::TransformationMirror)
        m *= QTransform(-1, 0, 0, 1, w, 0);
    if (turn & QImageIOHandler::TransformationFlip)
        m *= QTransform(1, 0, 0, -1, 0, h);
    // A quarter turn clockwise: x' = height - y, y' = x.
    if (turn & QImageIOHandler::TransformationRotate90)
        m *= QTransform(0, 1, -1, 0, h, 0);
    return m;
}

} // namespace

QImageIOHandler::Transformations transformationOf(int exifOrientation)
{
    switch (exifOrientation) {
    case 2: return QImageIOHandler::TransformationMirror;
    case 3: return QImageIOHandler::TransformationRotate180;
    case 4: return QImageIOHandler::TransformationFlip;
    case 5: return QImageIOHandler::TransformationFlipAndRotate90;
    case 6: return QImageIOHandler::TransformationRotate90;
    case 7: return QImageIOHandler::TransformationMirrorAndRotate90;
    case 8: return QImageIOHandler::TransformationRotate270;
    default: return QImageIOHandler::TransformationNone;
    }
}

QSize uprightSize(QSize stored, QImageIOHandler::Transformations turn)
{
    return (turn & QImageIOHandler::TransformationRotate90) ? stored.transposed() : stored;
}

QImage turnedUpright(const QImage &stored, QImageIOHandler::Transformations turn)
{
    if (turn == QImageIOHandler::TransformationNone || stored.isNull())
        return stored;
    // Three quarters in one pass rather than a half turn and a quarter.
    if (turn == QImageIOHandler::TransformationRotate270)
        return stored.transformed(QTransform().rotate(270));
    QImage image = stored;
    if (turn & (QImageIOHandler::TransformationMirror | QImageIOHandler::TransformationFlip))
        image = image.mirrored(turn & QImageIOHandler::TransformationMirror,
                               turn & QImageIOHandler::TransformationFlip);
    if (turn & QImageIOHandler::TransformationRotate90)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

QRect storedRectOf(QRect upright, QSize stored, QImageIOHandler::Transformations turn)
{
    const QRectF area(upright.x(), upright.y(), upright.width(), upright.height());
    // The turns only move and swap whole pixels, so the corners land on whole numbers.
    return planeTurn(stored, turn).inverted().mapRect(area).toAlignedRect();
}

} // namespace pixdock::viewing
