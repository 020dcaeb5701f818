// Finding the file after or before a given one in its folder: its regular, not hidden files
// (links to them included), in the order a file manager shows them. Every answer is the one
// a fresh reading of the folder gives; a folder that has not changed since it was last read
// is not read again (FolderListingCache).
#pragma once

#include "Frame.h"

#include <QString>
#include <QStringList>

namespace pixdock {

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
// raises the program's run-time error. Always reads the folder.
QStringList folderListing(const QString &folder);

// A reading of a folder: its files, sorted, and its links, whose targets can come and go
// without the folder itself changing.
struct FolderScan
{
    struct Link
    {
        QString name;
        bool listed = false; // leads to a regular file
    };
    QStringList names;
    QList<Link> links;
};
FolderScan scanFolder(const QString &folder);
// Whether the link `name` in `folder` leads to a regular file now.
bool linkLeadsToFile(const QString &folder, const QString &name);

// Where `name` stands in a listing sorted by compareFileNames, or -1 when it is not there
// (compared exactly).
qsizetype indexInListing(const QStringList &sorted, const QString &name);

// The program's one order of names (names::compare): letters without regard to case and beside
// their accented forms as the user's language sorts them, runs of digits by their value (img2
// before img10), names equal under that rule by their exact text, so the order is total.
// Negative, zero or positive like strcmp.
int compareFileNames(const QString &a, const QString &b);

} // namespace viewing
} // namespace pixdock
