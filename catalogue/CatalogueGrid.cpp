// The catalogue grid adapter over QTableView.
#include "CatalogueGrid.h"

#include "CatalogueGridHeader.h"
#include "CatalogueGridModel.h"
#include "CatalogueSnapshot.h"
#include "RunTimeError.h"
#include "Twips.h"

#include <QHeaderView>
#include <QItemSelectionModel>

namespace pixdock::catalogue {

CatalogueGrid::CatalogueGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new CatalogueGridModel(this))
{
    setHorizontalHeader(new CatalogueGridHeader(this));
    setModel(m_model);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setWordWrap(false);
    // Rows that arrive after the grid was given them (a snapshot's count comes with its first
    // screen): the current cell goes to the first data row, as when they are there at once.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_row == 0 && rows() > 1) {
            m_row = 1;
            m_col = 0;
            showCurrent();
        }
    });
}

void CatalogueGrid::setRows(std::shared_ptr<const GridRows> rows)
{
    m_model->setRows(std::move(rows));
    m_row = this->rows() > 1 ? 1 : 0;
    m_col = 0;
    showCurrent();
}

const GridRows &CatalogueGrid::gridRows() const { return *m_model->rows(); }

std::shared_ptr<const GridRows> CatalogueGrid::sharedRows() const { return m_model->sharedRows(); }

bool waitForGridRow(const QPointer<CatalogueGrid> &grid, int row)
{
    if (!grid)
        return false;
    std::shared_ptr<const GridRows> rows = grid->sharedRows();
    if (rows->isLoaded(row - 1))
        return true;
    auto snapshot = std::dynamic_pointer_cast<const CatalogueSnapshot>(rows);
    if (!snapshot)
        return false;
    const bool loaded = std::const_pointer_cast<CatalogueSnapshot>(snapshot)->waitForRow(row - 1);
    return loaded && grid && grid->sharedRows() == rows;
}

int CatalogueGrid::rows() const { return m_model->rowCount() + 1; }
int CatalogueGrid::cols() const { return m_model->columnCount(); }

void CatalogueGrid::checkRow(int row) const
{
    if (row < 0 || row >= rows())
        throw RunTimeError(err::InvalidGridRow, QStringLiteral("Invalid Row value"));
}

void CatalogueGrid::setRow(int row)
{
    checkRow(row);
    m_row = row;
    showCurrent();
}

void CatalogueGrid::setCol(int position)
{
    if (position < 0 || position >= cols())
        throw RunTimeError(InvalidGridColumn, QStringLiteral("Invalid Col value"));
    m_col = position;
    showCurrent();
}

QString CatalogueGrid::text() const { return textAt(m_row, m_col); }

int CatalogueGrid::logicalAt(int position) const
{
    if (position < 0 || position >= cols())
        throw RunTimeError(InvalidGridColumn, QStringLiteral("Invalid Col value"));
    return horizontalHeader()->logicalIndex(position);
}

QString CatalogueGrid::textAt(int row, int position) const
{
    checkRow(row);
    const int logical = logicalAt(position);
    return row == 0 ? gridRows().headerText(logical) : gridRows().cell(row - 1, logical);
}

QString CatalogueGrid::textOf(int row, const QString &columnName) const
{
    const int position = positionOf(columnName);
    if (position < 0)
        throw RunTimeError(InvalidGridColumn, QStringLiteral("The grid has no column %1.").arg(columnName));
    return textAt(row, position);
}

QString CatalogueGrid::columnNameAt(int position) const { return gridRows().headerText(logicalAt(position)); }

int CatalogueGrid::positionOf(const QString &columnName) const
{
    for (int logical = 0; logical < cols(); ++logical) {
        if (gridRows().headerText(logical) == columnName)
            return horizontalHeader()->visualIndex(logical);
    }
    return -1;
}

void CatalogueGrid::setColWidthTwips(int position, int twips)
{
    horizontalHeader()->resizeSection(logicalAt(position), std::max(0, twips::toPixels(twips)));
}

int CatalogueGrid::colWidthTwips(int position) const
{
    return twips::fromPixels(horizontalHeader()->sectionSize(logicalAt(position)));
}

void CatalogueGrid::setHeaderBold(bool bold) { m_model->setHeaderBold(bold); }
bool CatalogueGrid::headerBold() const { return m_model->headerBold(); }
void CatalogueGrid::setShading(bool on) { m_model->setShading(on); }

QColor CatalogueGrid::cellBackground(int row, int position) const
{
    checkRow(row);
    if (row == 0)
        return {};
    const QVariant v = m_model->index(row - 1, logicalAt(position)).data(Qt::BackgroundRole);
    return v.canConvert<QColor>() ? v.value<QColor>() : QColor();
}

void CatalogueGrid::setColumnsMovable(bool movable)
{
    static_cast<CatalogueGridHeader *>(horizontalHeader())->setColumnsMovable(movable);
}

void CatalogueGrid::showCurrent()
{
    m_moving = true;
    if (m_row >= 1 && cols() > 0)
        setCurrentIndex(m_model->index(m_row - 1, horizontalHeader()->logicalIndex(m_col)));
    else if (selectionModel())
        selectionModel()->clear();
    m_moving = false;
}

void CatalogueGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    // A click or a key moved the current cell: follow it.
    if (!m_moving && current.isValid()) {
        m_row = current.row() + 1;
        m_col = horizontalHeader()->visualIndex(current.column());
    }
}

} // namespace pixdock::catalogue
