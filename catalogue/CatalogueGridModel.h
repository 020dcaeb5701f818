// The item model of a catalogue grid: the rows, a bold header and light grey shading of
// every second data row, starting with the second. A cell shows the first few hundred
// characters of its text, so no text, however long, makes a repaint slow; the tooltip shows
// more, the catalogue keeps it all. Rows of a snapshot not copied yet show as loading.
#pragma once

#include "CatalogueGridRows.h"

#include <QAbstractTableModel>
#include <QColor>

#include <memory>

namespace pixdock::catalogue {

// &H00C0C0C0, the shading of every second data row.
inline const QColor ShadedRowColour(192, 192, 192);
// The characters a cell shows, and its tooltip.
inline constexpr qsizetype CellChars = 300;
inline constexpr qsizetype TooltipChars = 4000;
// What a row not copied yet shows.
inline const QString LoadingText = QStringLiteral("Loading\u2026");

class CatalogueGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit CatalogueGridModel(QObject *parent = nullptr);

    void setRows(std::shared_ptr<const GridRows> rows);
    const GridRows *rows() const { return m_rows.get(); }
    std::shared_ptr<const GridRows> sharedRows() const { return m_rows; }
    void setHeaderBold(bool bold);
    bool headerBold() const { return m_headerBold; }
    void setShading(bool on);
    bool shading() const { return m_shading; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void followCount(int from, int to);
    void followRows(int first, int last);

    std::shared_ptr<const GridRows> m_rows;
    int m_count = 0;
    bool m_headerBold = false;
    bool m_shading = false;
};

} // namespace pixdock::catalogue
