// One row of the catalogue's table Info.
#pragma once

#include <QString>

namespace pixdock::catalogue {

struct CatalogueRow
{
    QString fileName;
    QString location;
    QString description;
    bool operator==(const CatalogueRow &) const = default;
};

} // namespace pixdock::catalogue
