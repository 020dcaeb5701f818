// Opening a large JPEG by what the viewer's frame shows first: only that part is decoded
// before the picture goes on screen, and the rest follows from a worker.
#pragma once

#include "JpegCompletion.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

namespace pixdock::viewing {

struct FirstPaint
{
    QSize size;    // the whole picture's, upright
    QImage piece;  // its top left part, as much as the frame shows
    std::unique_ptr<JpegCompletion> completion;
};

// The part of the picture at `path` that a frame of `visible` pixels shows at the top left,
// decoded, with the decode of the rest begun. Nothing when the picture takes the usual road:
// anything but a baseline JPEG, a picture the frame shows a quarter of or more (decoding it
// whole is as quick), one too large to open, or one whose header or first rows cannot be
// read (the usual road then says what is wrong) or hold damaged data. Failing to open the file
// raises the loader's errors.
std::optional<FirstPaint> paintFirstWhatShows(const QString &path, QSize visible);

// Whether the file at `path` starts as a JPEG (read without waiting; false when unreadable).
bool startsAsJpeg(const QString &path);

} // namespace pixdock::viewing
