// Catalogue grid model.
#include "CatalogueGridModel.h"

#include "CatalogueSnapshot.h"

#include <QFont>

namespace pixdock::catalogue {

namespace {

const QColor LoadingColour(128, 128, 128);

// A long tooltip wraps (as rich text) instead of running off the screen.
QString tooltipText(const QString &text, bool cut)
{
    const QString shown = cut ? text + QStringLiteral("\u2026") : text;
    if (shown.size() <= 80)
        return shown;
    return QStringLiteral("<p style='white-space:pre-wrap'>") + shown.toHtmlEscaped() + QStringLiteral("</p>");
}

} // namespace

CatalogueGridModel::CatalogueGridModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_rows(std::make_shared<SnapshotRows>())
{
}

void CatalogueGridModel::setRows(std::shared_ptr<const GridRows> rows)
{
    beginResetModel();
    if (const auto *old = dynamic_cast<const CatalogueSnapshot *>(m_rows.get()))
        disconnect(old, nullptr, this, nullptr);
    m_rows = rows ? std::move(rows) : std::make_shared<SnapshotRows>();
    m_count = m_rows->rowCount();
    if (const auto *snapshot = dynamic_cast<const CatalogueSnapshot *>(m_rows.get())) {
        connect(snapshot, &CatalogueSnapshot::rowCountChanged, this, &CatalogueGridModel::followCount);
        connect(snapshot, &CatalogueSnapshot::rowsChanged, this, &CatalogueGridModel::followRows);
        connect(snapshot, &CatalogueSnapshot::rowsReset, this, [this] {
            beginResetModel();
            m_count = m_rows->rowCount();
            endResetModel();
        });
    }
    endResetModel();
}

void CatalogueGridModel::followCount(int from, int to)
{
    Q_UNUSED(from);
    if (m_count == 0 && to > 0) {
        // The first count of a snapshot: a reset is far cheaper for a view than inserting a
        // million rows.
        beginResetModel();
        m_count = to;
        endResetModel();
    } else if (to > m_count) {
        beginInsertRows({}, m_count, to - 1);
        m_count = to;
        endInsertRows();
    } else if (to < m_count) {
        beginRemoveRows({}, to, m_count - 1);
        m_count = to;
        endRemoveRows();
    }
}

void CatalogueGridModel::followRows(int first, int last)
{
    last = std::min(last, m_count - 1);
    if (first <= last)
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
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

int CatalogueGridModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_count; }

int CatalogueGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows->columnCount();
}

QVariant CatalogueGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_count)
        return {};
    const bool loaded = m_rows->isLoaded(index.row());
    switch (role) {
    case Qt::DisplayRole: {
        if (!loaded)
            return index.column() == 0 ? LoadingText : QString();
        bool cut = false;
        const QString text = m_rows->cellPrefix(index.row(), index.column(), CellChars, &cut);
        return cut ? text + QStringLiteral("\u2026") : text;
    }
    case Qt::ToolTipRole: {
        if (!loaded)
            return {};
        bool cut = false;
        const QString text = m_rows->cellPrefix(index.row(), index.column(), TooltipChars, &cut);
        return tooltipText(text, cut);
    }
    case Qt::ForegroundRole:
        return loaded ? QVariant() : QVariant(LoadingColour);
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
