// Catalogue grid model.
#include "CatalogueGridModel.h"

#include <QFont>

namespace pixdock::catalogue {

CatalogueGridModel::CatalogueGridModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_rows(std::make_shared<SnapshotRows>())
{
}

void CatalogueGridModel::setRows(std::shared_ptr<const GridRows> rows)
{
    beginResetModel();
    m_rows = rows ? std::move(rows) : std::make_shared<SnapshotRows>();
    endResetModel();
}

void CatalogueGridModel::setHeaderBold(bool bold)
{
    m_headerBold = bold;
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
}

void CatalogueGridModel::setShading(bool on)
{
    m_shading = on;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
}

int CatalogueGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows->rowCount();
}

int CatalogueGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows->columnCount();
}

QVariant CatalogueGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_rows->cell(index.row(), index.column());
    case Qt::BackgroundRole:
        // Model row 1 is the grid's data row 2: the first shaded one.
        if (m_shading && index.row() % 2 == 1)
            return ShadedRowColour;
        return {};
    default:
        return {};
    }
}

QVariant CatalogueGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_rows->headerText(section);
    if (role == Qt::FontRole && m_headerBold) {
        QFont font;
        font.setBold(true);
        return font;
    }
    return {};
}

Qt::ItemFlags CatalogueGridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace pixdock::catalogue
