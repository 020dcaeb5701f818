// A JPEG's thumbnail without decoding the picture at full size: from the preview the camera
// embedded in its EXIF block when that preview is large enough and shows the whole picture,
// else from the picture decoded at 1/8, 1/4 or 1/2 of its size.
#pragma once

#include <QImage>
#include <QSize>

#include <atomic>

class QIODevice;

namespace pixdock::thumbnails {

struct JpegThumbnailSource
{
    QImage upright;   // the picture, upright, at least `needed` where the picture is that large
    QSize original;   // the picture's upright size in pixels
    bool fromPreview = false;
};

// Whether an embedded preview of `preview` pixels may stand for a picture stored at `picture`
// pixels when a thumbnail needs `needed` pixels (all three as stored, before any turn): at
// least as large as needed, no larger than the picture, and of the picture's proportions within
// 1% (a preview with black bars is not).
bool previewServes(QSize preview, QSize picture, QSize needed);

// The smallest reduction libjpeg decodes quickly (8, 4, 2 or 1) that still gives at least
// `needed` pixels of a picture of `stored` pixels.
int reductionFor(QSize stored, QSize needed);

// Reads the JPEG on `device` for a sheet picture of `sheet` pixels and the cache entry beside
// it: at least as large as either on each side (where the picture is that large). A null
// `upright` when the file is no JPEG that can be read, or when `cancelled` is set on the way.
JpegThumbnailSource readJpegForThumbnail(QIODevice *device, QSize sheet,
                                         const std::atomic_bool *cancelled = nullptr);

} // namespace pixdock::thumbnails
