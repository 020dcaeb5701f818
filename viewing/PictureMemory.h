// Memory for large pictures. Fresh memory comes from the kernel a page at a time, and the
// 12,000 page faults of a 12-megapixel picture cost more than half of its decode; asked for in
// huge pages (2 MB) where the kernel allows it, the same picture takes a few dozen.
#pragma once

#include <QImage>
#include <QSize>

namespace pixdock::viewing {

// An image of `size` in `format` whose pixels are not set yet; a null image when there is no
// memory for it. Large ones are backed by huge pages where the system offers them.
QImage allocatePicture(QSize size, QImage::Format format = QImage::Format_RGB32);

} // namespace pixdock::viewing
