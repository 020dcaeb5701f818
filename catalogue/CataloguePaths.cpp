// Joining and splitting picture paths the way the catalogue stores them.
#include "CataloguePaths.h"

namespace pixdock::catalogue {

namespace {
const QChar Separator = QLatin1Char('/');
} // namespace

QString fullPathOf(const QString &location, const QString &fileName)
{
    QString folder = location;
    if (folder.endsWith(Separator))
        folder.chop(1);
    return folder + Separator + fileName;
}

PicturePath splitPicturePath(const QString &path)
{
    const qsizetype last = path.lastIndexOf(Separator);
    if (last < 0)
        return {QString(), path};
    // The root keeps its separator, like a drive root.
    const QString folder = last == 0 ? QString(Separator) : path.left(last);
    return {folder, path.mid(last + 1)};
}

} // namespace pixdock::catalogue
