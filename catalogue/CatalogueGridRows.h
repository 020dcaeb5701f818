// The rows a catalogue grid shows, behind a small interface so that the grid does not care
// whether they are a fixed list or a snapshot still being copied from the catalogue.
#pragma once

#include "CatalogueStore.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace pixdock::catalogue {

class GridRows
{
public:
    virtual ~GridRows() = default;
    virtual int columnCount() const = 0;
    // The header text of a column: the column's identity ("FileName", "Location"...).
    virtual QString headerText(int column) const = 0;
    // Data rows, not counting the header.
    virtual int rowCount() const = 0;
    // `row` counts data rows from 0; the whole text.
    virtual QString cell(int row, int column) const = 0;
    // At most `maxChars` characters of a cell; `cut` tells whether the text is longer.
    virtual QString cellPrefix(int row, int column, qsizetype maxChars, bool *cut) const;
    // Whether the row's texts are there yet (a snapshot still being copied may not have it).
    virtual bool isLoaded(int row) const { return row >= 0 && row < rowCount(); }
};

// A fixed list of catalogue rows.
class SnapshotRows : public GridRows
{
public:
    explicit SnapshotRows(QList<CatalogueRow> rows = {});
    int columnCount() const override { return 3; }
    QString headerText(int column) const override;
    int rowCount() const override { return int(m_rows.size()); }
    QString cell(int row, int column) const override;

private:
    QList<CatalogueRow> m_rows;
};

// The identities of the catalogue's columns.
namespace column {
inline const QString FileName = QStringLiteral("FileName");
inline const QString Location = QStringLiteral("Location");
inline const QString Description = QStringLiteral("Description");
} // namespace column

// The header text of a column of catalogue rows (FileName, Location, Description).
QString catalogueHeaderText(int column);
// A column of a catalogue row by position.
QString catalogueCell(const CatalogueRow &row, int column);

} // namespace pixdock::catalogue
