// The viewing benchmark's data, made by the benchmark itself and the same on every run:
// a large folder of camera-like file names, and folders of pictures to step through.
#pragma once

#include <QString>
#include <QStringList>

namespace pixdock::bench {

// `count` different file names of the kinds cameras, phones, scanners and people give
// (IMG_0042.JPG, DSC01234.jpg, "Holiday 2019 (12).jpeg"...), from a seeded generator.
QStringList generatedFileNames(int count, quint64 seed);

// Fills `folder` with `names`, each a hard link to one of `pictures` in turn (a copy where
// links are refused), so that a folder of 100,000 pictures takes the disk space of a few.
void fillFolder(const QString &folder, const QStringList &names, const QStringList &pictures);

// Waits until the folder's and the files' last change is old enough for the program to
// trust what it remembers of them (a folder just written is read afresh on every step).
void waitUntilSettled(const QStringList &paths);

} // namespace pixdock::bench
