// Awkward files for the viewing tests.
#include "ViewingTestFiles.h"

#include "BadPictures.h"
#include "ChildWindow.h"
#include "ViewingTestCase.h"

#include <QBuffer>

#include <stdexcept>

namespace pixdock::test {

QByteArray pngClaiming(QSize size)
{
    return reliability::withClaimedSize("png", reliability::intactPicture("png"), size.width(), size.height());
}

QByteArray truncatedPicture(const char *format, QSize size, double fraction)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!detailedPicture(size).save(&buffer, format))
        throw std::runtime_error("cannot write test picture");
    return bytes.left(qsizetype(bytes.size() * fraction));
}

QString writeTurnedJpeg(const QString &folder, const QString &name, QSize stored)
{
    // Orientation 6: "turn a quarter clockwise to show".
    return writeBytes(folder, name, withApp1(encodeJpeg(filled(stored, Qt::blue)), exifBlock({.orientation = 6})));
}

void writeKind(const QString &folder, const QString &name, const QString &kind, QSize size)
{
    if (kind == "picture")
        writePicture(folder, name, size);
    else if (kind == "pipe" && ::mkfifo(QFile::encodeName(QDir(folder).filePath(name)).constData(), 0600) != 0)
        throw std::runtime_error("cannot make pipe");
    else if (kind == "folder")
        QDir(folder).mkdir(name);
    else if (QStringList{"text", "empty", "cut", "huge"}.contains(kind))
        writeBytes(folder, name, kind == "text" ? QByteArray("not a picture\n") : kind == "cut" ? truncatedPicture("png", {100, 100}, 0.4)
                                 : kind == "huge" ? pngClaiming({65535, 65535}) : QByteArray());
}

QStringList walkedWithNext(const QString &folder)
{
    QStringList walked;
    QString f = folder, name;
    for (QString next = NextFileInFolder(f, name); !next.isEmpty(); next = NextFileInFolder(f, name))
        walked << (name = next);
    return walked;
}

ChildWindow *openOtherWindow(const QString &caption)
{
    auto *w = new ChildWindow;
    w->setWindowTitle(caption);
    w->load();
    w->showWindow();
    return w;
}

} // namespace pixdock::test
