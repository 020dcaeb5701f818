// The file-system service behind clsFiles: path splitting and single-file operations on
// native paths, each failure raised as the program's run-time error.
#pragma once

#include <QString>

namespace pixdock::viewing::fs {

QString parentFolderName(const QString &path);
QString fileName(const QString &path);
QString extensionName(const QString &path);
// Joins a folder and a name with one separator between them (the root keeps its own).
QString joinPath(const QString &folder, const QString &name);

// Deletes one file without forcing: a read-only file (no write permission for its owner)
// raises 70, a missing file or a folder 53.
void deleteFile(const QString &path);
// Moves one file. A destination that ends with a separator names the folder to move into.
// An existing target raises 58; a move of a file onto itself does nothing.
void moveFile(const QString &from, const QString &to);
// Copies one file, replacing an existing target unless it is read-only or the source itself.
void copyFile(const QString &from, const QString &to);
void createFolder(const QString &path);
bool fileExists(const QString &path);
bool folderExists(const QString &path);
// Whether a folder listing shows the file: a regular file (or a link to one) whose name
// does not begin with a dot.
bool listedAsNormalFile(const QString &path);

} // namespace pixdock::viewing::fs
