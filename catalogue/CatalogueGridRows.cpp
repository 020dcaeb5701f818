// Snapshot rows of a catalogue grid.
#include "CatalogueGridRows.h"

namespace pixdock::catalogue {

SnapshotRows::SnapshotRows(QList<CatalogueRow> rows)
    : m_rows(std::move(rows))
{
}

QString catalogueHeaderText(int column)
{
    switch (column) {
    case 0:
        return column::FileName;
    case 1:
        return column::Location;
    case 2:
        return column::Description;
    default:
        return {};
    }
}

QString catalogueCell(const CatalogueRow &row, int column)
{
    switch (column) {
    case 0:
        return row.fileName;
    case 1:
        return row.location;
    case 2:
        return row.description;
    default:
        return {};
    }
}

QString GridRows::cellPrefix(int row, int column, qsizetype maxChars, bool *cut) const
{
    QString text = cell(row, column);
    const bool longer = text.size() > maxChars;
    if (longer)
        text.truncate(maxChars > 0 && text.at(maxChars - 1).isHighSurrogate() ? maxChars - 1 : maxChars);
    if (cut)
        *cut = longer;
    return text;
}

QString SnapshotRows::headerText(int column) const { return catalogueHeaderText(column); }

QString SnapshotRows::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return catalogueCell(m_rows.at(row), column);
}

} // namespace pixdock::catalogue
