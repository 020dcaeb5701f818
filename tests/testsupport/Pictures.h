// Picture files for tests, written by Qt into a folder of the test's.
#pragma once

#include <QColor>
#include <QSize>
#include <QString>

namespace pixdock::test {

// Writes a picture of that size in the format its suffix names (bmp, ico, jpg, png...);
// returns the full path.
QString writePicture(const QString &folder, const QString &name, QSize size,
                     QColor colour = Qt::darkCyan);
// Writes raw bytes (a text file named .jpg, a truncated picture...); returns the full path.
QString writeBytes(const QString &folder, const QString &name, const QByteArray &bytes);
// The bytes of the smallest GIF: a 1 by 1 picture.
QByteArray tinyGif();

} // namespace pixdock::test
