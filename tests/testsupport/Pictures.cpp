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
    const QString path = QDir(folder).filePath(name);
    const QByteArray format = QFileInfo(name).suffix().toLower().toLatin1();
    if (!image.save(path, format.isEmpty() ? "png" : format.constData()))
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
    static const unsigned char gif[] = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,
        0x00, 0xff, 0xff, 0xff, 0x21, 0xf9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00,
        0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b};
    return QByteArray(reinterpret_cast<const char *>(gif), sizeof gif);
}

} // namespace pixdock::test
