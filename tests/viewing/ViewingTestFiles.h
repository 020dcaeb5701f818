// Awkward files for the viewing tests: pictures that lie about their size, cut-off pictures,
// pipes, pictures turned by their EXIF orientation.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace pixdock {
class ChildWindow;
}

namespace pixdock::test {

// A picture of one colour.
inline QImage filled(QSize size, QColor colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(colour);
    return image;
}
// Whether two colours are within `tolerance` in each channel.
inline bool near(QColor a, QColor b, int tolerance)
{
    return qAbs(a.red() - b.red()) < tolerance && qAbs(a.green() - b.green()) < tolerance && qAbs(a.blue() - b.blue()) < tolerance;
}
// A small PNG whose header claims this size.
QByteArray pngClaiming(QSize size);
// The first `fraction` of a picture's bytes as Qt writes it in that format.
QByteArray truncatedPicture(const char *format, QSize size, double fraction);
// A JPEG stored `stored` (width x height) whose EXIF orientation says it is turned a quarter.
QString writeTurnedJpeg(const QString &folder, const QString &name, QSize stored);
// Writes a file of a kind: "picture" (of `size`), "text", "empty", "cut" (a cut-off PNG),
// "huge" (a PNG claiming 65535 x 65535), "pipe" or "folder"; any other kind writes nothing.
void writeKind(const QString &folder, const QString &name, const QString &kind, QSize size = {30, 20});
// A child window that is not a viewer, captioned `caption`, loaded and shown.
ChildWindow *openOtherWindow(const QString &caption);
// Every file of a folder, walked with NextFileInFolder from the start.
QStringList walkedWithNext(const QString &folder);

} // namespace pixdock::test
