// Telling a drop of picture files from anything else.
#include "PictureDrops.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

namespace pixdock {

QStringList picturesDropped(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    QStringList pictures;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        const QString path = url.toLocalFile();
        if (!QFileInfo(path).isFile() || QImageReader::imageFormat(path).isEmpty())
            return {};
        pictures << path;
    }
    return pictures;
}

} // namespace pixdock
