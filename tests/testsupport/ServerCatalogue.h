// Catalogues on the tests' own PostgreSQL server, for tests that run once against db.fil and
// once against a server (PIXDOCK_TEST_CATALOGUE_ENGINE=server).
#pragma once

#include <QStringList>

namespace pixdock::test {

// Whether this run's catalogue tests are to use a catalogue on the server.
bool catalogueOnServer();

// A fresh, empty catalogue in a database of its own on the tests' server; its address.
QString freshServerCatalogue();

// Rows of (file name, location, description) added to the open catalogue, as another program
// would: straight into the file, or through the server connection when `serverAddress` is set.
void addCatalogueRows(const QString &serverAddress, const QList<QStringList> &rows);

} // namespace pixdock::test
