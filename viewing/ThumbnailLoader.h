// Making one thumbnail: from the shared cache when it holds a fresh entry that serves the
// sheet, else from the picture (a JPEG from its embedded preview or at reduced size), storing
// the cache entry made beside the sheet picture. Safe on any thread.
#pragma once

#include "ThumbnailCache.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>

namespace pixdock::thumbnails {

// Every thumbnail on the sheet is this size, the picture squeezed into it.
inline constexpr QSize SheetSize{100, 100};

// The picture stretched or shrunk to `size` without keeping its proportions, averaging the
// pixels it shrinks (a two-colour picture becomes shades of grey, not noise), in a format the
// screen takes as it is.
QImage squeeze(const QImage &image, QSize size = SheetSize);

// Whether the first bytes of a file are those of a Windows icon or cursor.
bool isIconHeader(const QByteArray &head);

// Whether a cache entry of `entry` pixels, made from a picture of `original` pixels (invalid
// when the entry does not say), keeps enough of the picture for a sheet picture of `sheet`
// layout points: a long thin picture's entry does not.
bool entryServesSheet(QSize entry, QSize original, QSize sheet);

// The sheet thumbnail of the picture at `path`, of `sheet` pixels, or a null image when the file
// is missing, unreadable, not a picture or an icon. A build that is being cancelled sets
// `cancelled`; the decode then stops at its next read and the result is null.
QImage makeThumbnail(const QString &path, const ThumbnailCache &cache,
                     const std::atomic_bool *cancelled = nullptr, QSize sheet = SheetSize);

// Whether the picture at `path` has a thumbnail, known from a fresh cache entry without
// reading its pixels, or else by making the entry (and the sheet picture, which is returned
// in `made` when asked for).
bool hasThumbnail(const QString &path, const ThumbnailCache &cache, const std::atomic_bool *cancelled = nullptr,
                  QSize sheet = SheetSize, QImage *made = nullptr);

} // namespace pixdock::thumbnails
