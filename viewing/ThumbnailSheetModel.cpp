// The sheet's rows, their texts and pictures, and their drag data.
#include "ThumbnailSheetModel.h"

#include "CataloguePaths.h"

#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <numeric>

namespace pixdock {

ThumbnailSheetModel::ThumbnailSheetModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void ThumbnailSheetModel::setPictures(const QStringList &paths)
{
    beginResetModel();
    m_paths = paths;
    m_rows.resize(paths.size());
    std::iota(m_rows.begin(), m_rows.end(), 0);
    endResetModel();
}

void ThumbnailSheetModel::setImageSource(std::function<QImage(int)> source) { m_source = std::move(source); }

int ThumbnailSheetModel::pictureAt(int row) const { return row >= 0 && row < m_rows.size() ? m_rows.at(row) : -1; }

int ThumbnailSheetModel::rowOf(int picture) const
{
    const auto it = std::lower_bound(m_rows.cbegin(), m_rows.cend(), picture);
    return it != m_rows.cend() && *it == picture ? int(it - m_rows.cbegin()) : -1;
}

QString ThumbnailSheetModel::keyAt(int row) const
{
    const int picture = pictureAt(row);
    return picture >= 0 ? m_paths.at(picture) : QString();
}

void ThumbnailSheetModel::pictureChanged(int picture)
{
    if (const int row = rowOf(picture); row >= 0)
        emit dataChanged(index(row), index(row), {Qt::DecorationRole});
}

void ThumbnailSheetModel::dropPicture(int picture)
{
    const int row = rowOf(picture);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

int ThumbnailSheetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ThumbnailSheetModel::data(const QModelIndex &index, int role) const
{
    const int picture = pictureAt(index.row());
    if (!index.isValid() || picture < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return catalogue::splitPicturePath(m_paths.at(picture)).fileName;
    case Qt::ToolTipRole:
    case KeyRole:
        return m_paths.at(picture);
    case Qt::DecorationRole:
        if (m_source) {
            if (const QImage image = m_source(picture); !image.isNull())
                return image;
        }
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags ThumbnailSheetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList ThumbnailSheetModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list"), QStringLiteral("text/plain")};
}

QMimeData *ThumbnailSheetModel::mimeData(const QModelIndexList &indexes) const
{
    QList<QUrl> urls;
    QStringList paths;
    for (const QModelIndex &index : indexes) {
        paths.append(keyAt(index.row()));
        urls.append(QUrl::fromLocalFile(paths.last()));
    }
    auto *data = new QMimeData;
    data->setUrls(urls);
    data->setText(paths.join(QLatin1Char('\n')));
    return data;
}

Qt::DropActions ThumbnailSheetModel::supportedDragActions() const { return Qt::CopyAction; }

} // namespace pixdock
