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

} // namespace pixdock::bench
