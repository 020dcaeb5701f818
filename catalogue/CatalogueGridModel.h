// The item model of a catalogue grid: the rows, a bold header and light grey shading of
// every second data row, starting with the second.
#pragma once

#include "CatalogueGridRows.h"

#include <QAbstractTableModel>
#include <QColor>

#include <memory>

namespace pixdock::catalogue {

// &H00C0C0C0, the shading of every second data row.
inline const QColor ShadedRowColour(192, 192, 192);

class CatalogueGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit CatalogueGridModel(QObject *parent = nullptr);

    void setRows(std::shared_ptr<const GridRows> rows);
    const GridRows *rows() const { return m_rows.get(); }
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
    std::shared_ptr<const GridRows> m_rows;
    bool m_headerBold = false;
    bool m_shading = false;
};

} // namespace pixdock::catalogue
