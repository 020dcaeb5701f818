// The grid of the list and search windows: a table view over catalogue rows, addressed the
// way the windows and the stepping commands need it. Row 0 is the header row, data rows are
// 1 to rows() - 1. Columns are addressed by position (what the user sees, after any column
// moves) or by identity (the header text, e.g. "FileName").
#pragma once

#include "CatalogueGridRows.h"

#include <QColor>
#include <QPointer>
#include <QTableView>

#include <memory>

namespace pixdock::catalogue {

class CatalogueGridModel;

// The grid's refusal of a column outside its columns.
inline constexpr int InvalidGridColumn = 30010;

class CatalogueGrid : public QTableView
{
    Q_OBJECT
public:
    explicit CatalogueGrid(QWidget *parent = nullptr);

    // Shows these rows; the current cell goes to the first data row (or the header when
    // there is none), position 0.
    void setRows(std::shared_ptr<const GridRows> rows);
    const GridRows &gridRows() const;
    std::shared_ptr<const GridRows> sharedRows() const;

    // Data rows + 1 (the header).
    int rows() const;
    int cols() const;

    int row() const { return m_row; }
    // Moves the current cell to `row`; a row outside 0..rows()-1 is refused with the
    // run-time error 30009 and changes nothing.
    void setRow(int row);
    int col() const { return m_col; }
    // Moves the current cell to the column at `position` (refused with 30010 when outside).
    void setCol(int position);
    // The current cell's text; on row 0 the header text of the current column.
    QString text() const;

    // The text at a row and column position, or at a row in the column of that identity.
    QString textAt(int row, int position) const;
    QString textOf(int row, const QString &columnName) const;
    // The column's identity at a position and the position of an identity (-1 when none).
    QString columnNameAt(int position) const;
    int positionOf(const QString &columnName) const;

    // Column widths by position, in twips.
    void setColWidthTwips(int position, int twips);
    int colWidthTwips(int position) const;

    // Formatting: the header row bold, every second data row (2, 4...) light grey.
    void setHeaderBold(bool bold);
    void setShading(bool on);
    // The cell's background: ShadedRowColour on a shaded row, an invalid colour otherwise.
    QColor cellBackground(int row, int position) const;
    bool headerBold() const;

    // Whether the user may reorder columns by dragging their headers.
    void setColumnsMovable(bool movable);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void checkRow(int row) const;
    int logicalAt(int position) const;
    void showCurrent();

    CatalogueGridModel *m_model;
    int m_row = 0;
    int m_col = 0;
    bool m_moving = false;
};

// Waits, with the event loop running, until data row `row` of the grid (1 is the first) has
// been copied, when the grid shows a snapshot still loading. False when the row will not come
// or the grid went meanwhile.
bool waitForGridRow(const QPointer<CatalogueGrid> &grid, int row);

} // namespace pixdock::catalogue
