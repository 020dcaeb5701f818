// Choosing the engine for the configured catalogue: today always the SQLite file.
#include "CatalogueEngine.h"

#include "Locations.h"
#include "SqliteSession.h"

namespace pixdock::catalogue {

std::unique_ptr<CatalogueSession> openSession()
{
    return std::make_unique<SqliteSession>(locations::cataloguePath());
}

} // namespace pixdock::catalogue
