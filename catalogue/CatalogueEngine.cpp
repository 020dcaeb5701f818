// Choosing the engine for the configured catalogue: a server for a postgresql:// address, the
// SQLite file for a path.
#include "CatalogueEngine.h"

#include "CatalogueAddress.h"
#include "Locations.h"
#include "ServerSession.h"
#include "SqliteSession.h"

namespace pixdock::catalogue {

std::unique_ptr<CatalogueSession> openSession()
{
    const QString location = locations::cataloguePath();
    if (CatalogueAddress::namesServer(location))
        return std::make_unique<ServerSession>(CatalogueAddress::fromText(location));
    return std::make_unique<SqliteSession>(location);
}

} // namespace pixdock::catalogue
