// The picture commands of the File menu, the toolbar and the control panel: open a picture,
// show its file size and pixel size, print it.
#pragma once

#include <QLocale>
#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

namespace pixdock {
class CommonDialog;
}

namespace pixdock::viewing {

// The Open dialog's filter: "Graphics Files" with every format the picture reader reads, each
// suffix in small and capital letters ("*.jpg;*.JPG;*.jpeg;*.JPEG;..."), then "All Files (*.*)".
QString graphicsFilter();

// The Open dialog's starting folder: the current picture's folder when there is one, else the
// user's Documents folder when it exists, else the home folder.
QString openStartingFolder();

// Open: asks for a picture with `dialog` (file name empty; its title and flags stay as the
// last command left them), makes it the current picture, closes the one viewer when only
// frame, panel and viewer are open, and opens a new viewer. Cancel and every failure end the
// command quietly. `panelVariant` is the control panel's copy, whose failure handler also
// covers preparing the dialog.
void openPictureCommand(CommonDialog &dialog, bool panelVariant);

// Opens picture files given from outside (the command line, a drop) as Open would, one new
// viewer each: the first closes a lone viewer as Open does, the others stay beside it. A file
// that is missing or no picture gets the viewer's usual message.
void openPictureFiles(const QStringList &paths);

// Properties: the current picture's file size ("12.3 KB") and its size in pixels as the viewer
// shows it ("640 X 480 pixels"), read from the file; only the file size for a file that is no
// readable picture. Ends silently without a current picture or file. Opens no window.
void pictureProperties();

// The size in pixels of the picture at `path` once turned upright by its EXIF orientation,
// from the file's header where it tells the size; invalid for a file that is no readable picture.
QSize uprightPictureSize(const QString &path);

// Print: asks for a printer and prints the picture of `activeChild` (a viewer, or its
// sub-window) stretched into a 7500 by 4500 twip box at 500, 500 twips from the printable
// origin. Nothing happens without an active child; cancel prints nothing; failing steps are left out.
void printPicture(CommonDialog &dialog, QWidget *activeChild);

// Bytes as kilobytes of 1000, to one decimal, an exact half going to the even digit, no
// trailing zero, in the locale's decimal notation: 12345 gives "12.3 KB", 2000 "2 KB".
QString kilobytesText(qint64 bytes, const QLocale &locale = QLocale());

} // namespace pixdock::viewing
