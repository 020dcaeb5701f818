// The sheet view's geometry, keys, selection and painting.
#include "ThumbnailSheetView.h"

#include "ThumbnailDelegate.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace pixdock {

ThumbnailSheetView::ThumbnailSheetView(QSize picture, QWidget *parent)
    : QAbstractItemView(parent)
    , m_delegate(new ThumbnailDelegate(picture, this))
    , m_picture(picture)
{
    setItemDelegate(m_delegate);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setAcceptDrops(false);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

QSize ThumbnailSheetView::cellSize() const { return m_delegate->cellSize(font()); }

int ThumbnailSheetView::columns() const { return std::max(1, viewport()->width() / cellSize().width()); }

int ThumbnailSheetView::rowCount() const { return model() ? model()->rowCount() : 0; }

std::pair<int, int> ThumbnailSheetView::visibleRows() const
{
    const int count = rowCount();
    const QSize cell = cellSize();
    const int height = isVisible() ? viewport()->height() : contentsRect().height();
    if (count == 0 || height <= 0)
        return {0, -1};
    const int top = verticalOffset();
    const int firstLine = top / cell.height();
    const int lastLine = (top + height - 1) / cell.height();
    const int first = firstLine * columns();
    const int last = std::min(count - 1, (lastLine + 1) * columns() - 1);
    return first < count ? std::pair{first, last} : std::pair{0, -1};
}

QRect ThumbnailSheetView::cellRect(int row) const
{
    const QSize cell = cellSize();
    const int cols = columns();
    return QRect((row % cols) * cell.width(), (row / cols) * cell.height() - verticalOffset(), cell.width(),
                 cell.height());
}

int ThumbnailSheetView::rowAtSheetPoint(QPoint point) const
{
    const QSize cell = cellSize();
    if (point.x() < 0 || point.y() < 0)
        return -1;
    const int column = point.x() / cell.width();
    if (column >= columns())
        return -1;
    const qint64 row = qint64(point.y() / cell.height()) * columns() + column;
    return row < rowCount() ? int(row) : -1;
}

QRect ThumbnailSheetView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != model())
        return {};
    return cellRect(index.row());
}

void ThumbnailSheetView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    const QRect cell = cellRect(index.row());
    const int height = viewport()->height();
    QScrollBar *bar = verticalScrollBar();
    switch (hint) {
    case PositionAtTop: bar->setValue(bar->value() + cell.top()); break;
    case PositionAtBottom: bar->setValue(bar->value() + cell.bottom() + 1 - height); break;
    case PositionAtCenter: bar->setValue(bar->value() + cell.center().y() - height / 2); break;
    case EnsureVisible:
        if (cell.top() < 0)
            bar->setValue(bar->value() + cell.top());
        else if (cell.bottom() >= height)
            bar->setValue(bar->value() + std::min(cell.top(), cell.bottom() + 1 - height));
        break;
    }
}

QModelIndex ThumbnailSheetView::indexAt(const QPoint &point) const
{
    const int row = rowAtSheetPoint(point + QPoint(0, verticalOffset()));
    return row >= 0 ? model()->index(row, 0, rootIndex()) : QModelIndex();
}

QModelIndex ThumbnailSheetView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int count = rowCount();
    if (count == 0)
        return {};
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    if (current < 0)
        return model()->index(0, 0, rootIndex());
    const int cols = columns();
    const int page = cols * std::max(1, viewport()->height() / cellSize().height());
    int row = current;
    switch (cursorAction) {
    case MoveLeft:
    case MovePrevious: row = current - 1; break;
    case MoveRight:
    case MoveNext: row = current + 1; break;
    case MoveUp: row = current - cols; break;
    case MoveDown: row = current + cols; break;
    case MovePageUp: row = std::max(current % cols, current - page); break;
    case MovePageDown: row = std::min(count - 1, current + page); break;
    case MoveHome: row = 0; break;
    case MoveEnd: row = count - 1; break;
    }
    // A move past either end stays where it is.
    if (row < 0 || row >= count)
        row = current;
    return model()->index(row, 0, rootIndex());
}

int ThumbnailSheetView::horizontalOffset() const { return 0; }

int ThumbnailSheetView::verticalOffset() const { return verticalScrollBar()->value(); }

bool ThumbnailSheetView::isIndexHidden(const QModelIndex &) const { return false; }

void ThumbnailSheetView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    const QRect area = rect.normalized().translated(0, verticalOffset());
    const QSize cell = cellSize();
    const int cols = columns();
    const int count = rowCount();
    QItemSelection selection;
    const int firstLine = std::max(0, area.top() / cell.height());
    const int lastLine = std::min((count - 1) / cols, area.bottom() / cell.height());
    const int firstColumn = std::max(0, area.left() / cell.width());
    const int lastColumn = std::min(cols - 1, area.right() / cell.width());
    for (int line = firstLine; count > 0 && line <= lastLine && firstColumn <= lastColumn; ++line) {
        const int first = line * cols + firstColumn;
        const int last = std::min(count - 1, line * cols + lastColumn);
        if (first <= last)
            selection.select(model()->index(first, 0, rootIndex()), model()->index(last, 0, rootIndex()));
    }
    selectionModel()->select(selection, command);
}

QRegion ThumbnailSheetView::visualRegionForSelection(const QItemSelection &selection) const
{
    const auto [first, last] = visibleRows();
    QRegion region;
    for (const QItemSelectionRange &range : selection) {
        for (int row = std::max(first, range.top()); row <= std::min(last, range.bottom()); ++row)
            region += cellRect(row);
    }
    return region;
}

void ThumbnailSheetView::updateGeometries()
{
    const QSize cell = cellSize();
    const int lines = (rowCount() + columns() - 1) / columns();
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, std::max(0, lines * cell.height() - viewport()->height()));
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(std::max(1, cell.height() / 4));
    QAbstractItemView::updateGeometries();
}

void ThumbnailSheetView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().brush(QPalette::Base));
    const auto [first, last] = visibleRows();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex current = currentIndex();
    for (int row = first; row <= last; ++row) {
        const QRect cell = cellRect(row);
        if (!event->rect().intersects(cell))
            continue;
        const QModelIndex index = model()->index(row, 0, rootIndex());
        option.rect = cell;
        option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        if (selectionModel() && selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (index == current)
            option.state |= QStyle::State_HasFocus;
        itemDelegate()->paint(&painter, option, index);
    }
}

void ThumbnailSheetView::resizeEvent(QResizeEvent *event)
{
    QAbstractItemView::resizeEvent(event);
    emit visibleRowsChanged();
}

void ThumbnailSheetView::scrollContentsBy(int dx, int dy)
{
    QAbstractItemView::scrollContentsBy(dx, dy);
    emit visibleRowsChanged();
}

void ThumbnailSheetView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit returnPressed();
        event->accept();
        return;
    }
    QAbstractItemView::keyPressEvent(event);
}

void ThumbnailSheetView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    layoutChanged();
}

void ThumbnailSheetView::setModel(QAbstractItemModel *newModel)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_modelConnections))
        disconnect(connection);
    m_modelConnections.clear();
    QAbstractItemView::setModel(newModel);
    if (!newModel)
        return;
    m_modelConnections = {
        connect(newModel, &QAbstractItemModel::rowsRemoved, this, &ThumbnailSheetView::layoutChanged),
        connect(newModel, &QAbstractItemModel::modelReset, this, &ThumbnailSheetView::layoutChanged),
        connect(newModel, &QAbstractItemModel::layoutChanged, this, &ThumbnailSheetView::layoutChanged),
    };
    layoutChanged();
}

void ThumbnailSheetView::layoutChanged()
{
    updateGeometries();
    viewport()->update();
    emit visibleRowsChanged();
}

} // namespace pixdock
