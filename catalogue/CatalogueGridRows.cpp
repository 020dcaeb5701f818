// Snapshot rows of a catalogue grid.
#include "CatalogueGridRows.h"

namespace pixdock::catalogue {

SnapshotRows::SnapshotRows(QList<CatalogueRow> rows)
    : m_rows(std::move(rows))
{
}

QString SnapshotRows::headerText(int column) const
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

QString SnapshotRows::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    const CatalogueRow &r = m_rows.at(row);
    switch (column) {
    case 0:
        return r.fileName;
    case 1:
        return r.location;
    case 2:
        return r.description;
    default:
        return {};
    }
}

} // namespace pixdock::catalogue
