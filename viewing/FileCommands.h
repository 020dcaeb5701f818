// The picture commands of the File menu, the toolbar and the control panel: open a picture,
// show its file size and pixel size, print it.
#pragma once

#include <QLocale>
#include <QSize>
#include <QString>

class QWidget;

namespace pixdock {
class CommonDialog;
}

namespace pixdock::viewing {

inline const QString GraphicsFilter =
    QStringLiteral("Graphics Files|*.bmp;*.ico;*.gif;*.jpg;|All Files (*.*)|*.*");

// Open: asks for a picture with `dialog` (starting in the user's Documents folder; its title
// and flags stay as the last command left them), makes it the current picture, closes the
// one viewer when only frame, panel and viewer are open, and opens a new viewer. Cancel and
// every failure end the command quietly. `panelVariant` is the control panel's copy, whose
// failure handler also covers preparing the dialog.
void openPictureCommand(CommonDialog &dialog, bool panelVariant);

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
