// Where the list and search windows get their rows: each opens a connection of its own, which
// the rows keep while the grid shows them.
#pragma once

#include "CatalogueGridRows.h"

#include <QString>

#include <memory>

namespace pixdock::catalogue {

// Every catalogue row, ordered by file name without regard to case, as a snapshot taken now.
// Raises the program's run-time error when the catalogue cannot be read.
std::shared_ptr<const GridRows> listRows();

// The rows whose description holds any of the comma-separated keywords, in table order;
// null when there are none. Raises when the catalogue cannot be searched.
std::shared_ptr<const GridRows> searchRows(const QString &keywordText);

} // namespace pixdock::catalogue
