// The thumbnail sheet's view: cells of one size flowing from the left and wrapping into rows,
// scrolled up and down. Where a cell lies is plain arithmetic, so a sheet of 100,000 pictures
// costs no more to lay out, scroll or paint than a sheet of ten: only the cells on screen are
// looked at. It tells which rows are on screen whenever that changes; Return opens the
// selected picture as a double-click does.
#pragma once

#include <QAbstractItemView>

namespace pixdock {

class ThumbnailDelegate;

class ThumbnailSheetView : public QAbstractItemView
{
    Q_OBJECT
public:
    explicit ThumbnailSheetView(QSize picture, QWidget *parent = nullptr);

    QSize cellSize() const;
    int columns() const;
    // The first and last rows of the model with a cell at least partly on screen; last < first
    // when there is none.
    std::pair<int, int> visibleRows() const;

    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    void setModel(QAbstractItemModel *model) override;

signals:
    void visibleRowsChanged();
    // Return or Enter on the sheet.
    void returnPressed();

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &index) const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;

private:
    int rowCount() const;
    // The model row of the cell at a point of the sheet (not of the viewport), or -1.
    int rowAtSheetPoint(QPoint point) const;
    QRect cellRect(int row) const; // in the viewport
    void layoutChanged();

    ThumbnailDelegate *m_delegate;
    QSize m_picture;
    QList<QMetaObject::Connection> m_modelConnections;
};

} // namespace pixdock
