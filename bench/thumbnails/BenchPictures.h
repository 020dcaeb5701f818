// Camera-like test pictures for the benchmarks: large JPEG files of a soft scene with sensor
// noise, made once and kept in a folder for later runs.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace pixdock::bench {

// The paths of `count` pictures of `size` in `folder`, making the ones that are not there yet
// (on every core). Each picture differs from the others.
QStringList cameraPictures(const QString &folder, int count, QSize size = QSize(4000, 3000));

// The same pictures as cameras write them: with an EXIF block carrying a `preview`-sized JPEG
// preview of the whole picture (IFD1).
QStringList cameraPicturesWithPreview(const QString &folder, int count, QSize size = QSize(4000, 3000),
                                      QSize preview = QSize(160, 120));

// `count` small pictures of `size` (a simpler scene, no noise), each different.
QStringList smallPictures(const QString &folder, int count, QSize size = QSize(160, 120));

} // namespace pixdock::bench
