// The desktop's shared thumbnail cache ($XDG_CACHE_HOME/thumbnails): finding, checking and
// writing the 128-pixel entries that Pixdock shares with file managers and other viewers.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

namespace pixdock::thumbnails {

// The longest side of an entry in the "normal" folder.
inline constexpr int CacheSide = 128;

// What the cache needs to know about a picture file: its URI and the facts an entry must match.
struct PictureStamp
{
    QString path;
    QByteArray uri;
    qint64 mtime = 0; // seconds since the epoch
    qint64 size = 0;  // bytes
};

// Reads the file's modification time and size; false when it is not a readable regular file.
bool stampPicture(const QString &path, PictureStamp &stamp);

// file:// followed by the absolute path, percent-encoded byte by byte as GLib's
// g_filename_to_uri() does, so that the entries' names are the ones file managers compute.
QByteArray fileUri(const QString &path);

// $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails when the variable is unset or relative.
QString cacheRoot();

// What the cache holds for one picture file.
struct CacheEntry
{
    bool fresh = false; // an entry for this very version of the file
    QImage image;       // its pixels (only from read())
    QSize size;         // the entry's size
    QSize original;     // the picture's size as the entry records it; invalid when it does not
};

class ThumbnailCache
{
public:
    // A cache rooted at `root` (normally cacheRoot(), read once when a build starts).
    explicit ThumbnailCache(QString root = cacheRoot());

    const QString &root() const { return m_root; }
    // Where the "normal" entry of a URI lives: <root>/normal/<md5 of the URI>.png.
    QString entryPath(const QByteArray &uri) const;

    // The cached picture of a file, from "normal" or else "large"; not fresh (and a null image)
    // when there is none or it was made from another version of the file (modification time
    // or size differ).
    CacheEntry read(const PictureStamp &stamp) const;
    // The same without decoding the entry's pixels when its texts come before them, as they do
    // in the entries of Pixdock and of most thumbnailers.
    CacheEntry peek(const PictureStamp &stamp) const;

    // Stores a thumbnail of at most 128 pixels a side with the file's URI and modification time.
    // Written to a temporary name beside the entry and renamed, so a reader never sees half a
    // file. Returns false when the cache cannot be written; the caller carries on without it.
    bool write(const PictureStamp &stamp, const QImage &image, QSize original = {}) const;

    // Pictures inside the cache itself are never thumbnailed into it.
    bool holds(const QString &path) const;

private:
    CacheEntry find(const PictureStamp &stamp, bool pixels) const;
    CacheEntry readEntry(const QString &file, const PictureStamp &stamp, bool pixels) const;
    bool ensureFolder() const;

    QString m_root;
};

// The size an entry gets for a picture of `original` size: fit into 128 x 128 keeping the
// proportions, never enlarged, never empty.
QSize cacheSizeFor(QSize original);

// A PNG file's bytes with tEXt chunks (key, value pairs, Latin-1) placed right after its header.
QByteArray withTextChunks(const QByteArray &png, const QList<QPair<QByteArray, QByteArray>> &texts);

// What the start of a PNG file says before its pixels: the size in its header and the tEXt
// chunks that come before the first pixel data, read without decoding anything. `complete` is
// false when the bytes end before the pixel data begins (more of the file is needed).
struct PngHead
{
    bool png = false;
    bool complete = false;
    QSize size;
    QHash<QByteArray, QByteArray> texts;
};
PngHead readPngHead(const QByteArray &start);

} // namespace pixdock::thumbnails
