// Finding the file after or before a given one in its folder. Each call reads the folder
// afresh: its regular, not hidden files (links to them included), in the order a file
// manager shows them.
#pragma once

#include <QString>
#include <QStringList>

namespace pixdock {

// The first status-bar panel's text before any picture has been shown.
inline const QString NoImageLoaded = QStringLiteral("No Image Loaded");
// PreviousFileInFolder's answer for the first file of the folder.
inline const QString FirstImageText = QStringLiteral("This is the first image!");

// The name of the file that follows `name` in `folder`, or empty text when `name` is the
// last file or not in the folder. With an empty `name`, gives the first file and writes it
// into `name`. A folder that cannot be read shows "An error has occurred" and gives empty text.
QString NextFileInFolder(QString &folder, QString &name);
// The name of the file before `name`, FirstImageText for the first file, or empty text (empty
// or unreadable folder, "No Image Loaded", a name not in the folder). Shows nothing.
QString PreviousFileInFolder(const QString &folder, const QString &name);

namespace viewing {

// The folder's files, sorted. A missing folder lists nothing; any other failure to read it
// raises the program's run-time error.
QStringList folderListing(const QString &folder);

// The file-manager order: letters without regard to case, runs of digits by their value
// (img2 before img10); names equal under that rule are ordered by their exact text, so the
// order is total. Negative, zero or positive like strcmp.
int compareFileNames(const QString &a, const QString &b);

} // namespace viewing
} // namespace pixdock
