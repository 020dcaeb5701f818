// Reading a picture file for display: every format Qt's image plugins read, upright as its
// EXIF orientation says, with the failures the viewer tells apart.
#pragma once

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <atomic>

namespace pixdock::viewing {

// How much memory one picture may take, in megabytes; Qt's own default (256) refuses
// ordinary camera panoramas.
inline constexpr int PictureMemoryLimitMB = 1024;
// A picture that would need more memory than that.
inline constexpr int PictureTooLarge = 7;

// Raises Qt's image allocation limit to PictureMemoryLimitMB.
void raisePictureMemoryLimit();

// Reads the picture at `path`. An empty path gives an empty picture. Failures raise the
// program's run-time error: 76 the folder does not exist; 53 the file does not exist;
// 481 the file is not a picture that can be read (also pipes, devices and other non-files);
// PictureTooLarge; 70 or 75 the file cannot be read. Never waits on a pipe. Once `cancelled`
// is set, the decode ends soon as a failure (481).
QImage loadPicture(const QString &path, const std::atomic_bool *cancelled = nullptr);
// The size of the picture at `path`, upright, from its header alone: what loadPicture's
// picture will measure. Raises loadPicture's errors for what a header shows (a file that is
// missing, unreadable, no picture, or too large); an invalid size for a format whose header
// tells none.
// The size `reader`'s header tells, turned upright as its EXIF orientation says; invalid when
// the header tells none.
QSize uprightHeaderSize(QImageReader &reader);
// `file` is left open on the picture, for its pixels to be read from the file measured.
QSize loadPictureSize(QFile &file, const QString &path);

// The parts of loadPicture, for reading a picture elsewhere (the preloader's worker).
// Opens `path` for reading when it is a regular file, without ever waiting on it; returns
// the descriptor. Failures as loadPicture's.
int openPictureFile(const QString &path);
// The same, handing the descriptor to `file`, which closes it; raises the access error when
// the file object refuses it.
void openPictureFile(QFile &file, const QString &path, QIODevice::OpenMode mode = QIODevice::ReadOnly);
// Reads the picture on `device` as loadPicture does: the content decides the format, EXIF
// orientation is applied, a picture whose pixels would take more than `maxBytes` is refused
// (PictureTooLarge) before any pixel is read, a JPEG of more scans than any encoder writes is
// refused as no picture before any is decoded. Once `cancelled` is set, the decode ends soon as
// a failure (481).
QImage readPicture(QIODevice *device, qint64 maxBytes = qint64(PictureMemoryLimitMB) * 1024 * 1024,
                   const std::atomic_bool *cancelled = nullptr);

} // namespace pixdock::viewing
