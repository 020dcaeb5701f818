// The full-path rule of a catalogue row, and its inverse: splitting a picture's path into the
// folder and file name that the catalogue stores.
#pragma once

#include <QString>

namespace pixdock::catalogue {

// The picture a row names: the location less one trailing separator, "/", then the file name.
// (sunset.jpg, /photos) gives /photos/sunset.jpg; (a.jpg, /) and (a.jpg, "") give /a.jpg.
QString fullPathOf(const QString &location, const QString &fileName);

struct PicturePath
{
    QString folder;   // no trailing separator, except the root "/", which keeps it
    QString fileName; // the last component
};

// Splits a full picture path at its last separator: /photos/sunset.jpg gives (/photos,
// sunset.jpg), /a.jpg gives (/, a.jpg); a bare name has an empty folder.
PicturePath splitPicturePath(const QString &path);

} // namespace pixdock::catalogue
