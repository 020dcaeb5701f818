// Catalogues on the tests' own PostgreSQL server.
#include "ServerCatalogue.h"

#include "CatalogueStore.h"
#include "CatalogueTransfer.h"
#include "PostgresServer.h"
#include "ServerConnection.h"
#include "ServerQueries.h"
#include "StallGuard.h"

#include <QUuid>

#include <stdexcept>

namespace pixdock::test {

bool catalogueOnServer() { return qgetenv("PIXDOCK_TEST_CATALOGUE_ENGINE") == "server"; }

QString freshServerCatalogue()
{
    // Making a database costs the server a checkpoint: the test's preparation, not the program's.
    const StallGuardPause preparing;
    PostgresServer &server = PostgresServer::shared();
    const QString name = "windows_" + QUuid::createUuid().toString(QUuid::Id128).left(12);
    if (!server.isRunning() || !server.createDatabase(name))
        throw std::runtime_error(("the tests' PostgreSQL server failed: " + server.failure()).toStdString());
    catalogue::createCatalogue(server.uri(name));
    return server.uri(name);
}

void addCatalogueRows(const QString &serverAddress, const QList<QStringList> &rows)
{
    const StallGuardPause preparing; // the test's own preparation, not the program's work
    using namespace catalogue;
    std::optional<ServerQueries> server; // else straight into the file
    if (!serverAddress.isEmpty())
        server.emplace(serverHandle(sharedConnection()), CatalogueAddress::fromText(serverAddress));
    for (const QStringList &row : rows)
        server ? server->addRow(row.value(0), row.value(1), row.value(2))
               : addRow(sharedConnection(), row.value(0), row.value(1), row.value(2));
}

} // namespace pixdock::test
