// Turning a picture upright as its EXIF orientation says, and finding which part of the
// stored picture lands where once it is turned: the same turns Qt's readers apply.
#pragma once

#include <QImage>
#include <QImageIOHandler>
#include <QRect>
#include <QSize>

namespace pixdock::viewing {

// The turn for an EXIF orientation value (1 to 8); any other value leaves the picture as stored.
QImageIOHandler::Transformations transformationOf(int exifOrientation);

// The size of a stored picture once turned.
QSize uprightSize(QSize stored, QImageIOHandler::Transformations turn);

// The picture turned: mirrored and flipped first, then a quarter turn clockwise.
QImage turnedUpright(const QImage &stored, QImageIOHandler::Transformations turn);

// The part of a stored picture of size `stored` whose pixels make up `upright` once turned.
QRect storedRectOf(QRect upright, QSize stored, QImageIOHandler::Transformations turn);

} // namespace pixdock::viewing
