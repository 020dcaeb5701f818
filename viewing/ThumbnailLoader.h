// Making one thumbnail: from the shared cache when it holds a fresh entry, else by decoding
// the picture at reduced size (and storing the result in the cache). Safe on any thread.
#pragma once

#include "ThumbnailCache.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>

namespace pixdock::thumbnails {

// Every thumbnail on the sheet is exactly this size, the picture squeezed into it.
inline constexpr QSize SheetSize{100, 100};

// The picture stretched or shrunk to 100 x 100 without keeping its proportions.
QImage squeeze(const QImage &image);

// Whether the first bytes of a file are those of a Windows icon or cursor.
bool isIconHeader(const QByteArray &head);

// The sheet thumbnail of the picture at `path`, or a null image when the file is missing,
// unreadable, not a picture or an icon. A build that is being cancelled sets `cancelled`;
// the decode then stops at its next read and the result is null.
QImage makeThumbnail(const QString &path, const ThumbnailCache &cache,
                     const std::atomic_bool *cancelled = nullptr);

} // namespace pixdock::thumbnails
