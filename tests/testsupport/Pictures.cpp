// Writing test pictures.
#include "Pictures.h"

#include "StallGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <stdexcept>

namespace pixdock::test {

QString writePicture(const QString &folder, const QString &name, QSize size, QColor colour)
{
    const StallGuardPause preparing; // the test's own preparation, not the program's work
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, size.width() - 1, size.height() - 1);
    painter.end();
    const QString path = QDir(folder).filePath(name), format = QFileInfo(name).suffix().toLower();
    if (!image.save(path, format.isEmpty() ? "png" : qPrintable(format)))
        throw std::runtime_error("cannot write test picture " + path.toStdString());
    return path;
}

QString writeBytes(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const StallGuardPause preparing; // the test's own preparation, not the program's work
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + path.toStdString());
    return path;
}

QByteArray tinyGif()
{
    // A screen and image of 1 x 1 with a two-colour table.
    return QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00"
                      "\x00\x00\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b", 43);
}

} // namespace pixdock::test
