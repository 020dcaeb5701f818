// The catalogue engine over a PostgreSQL server: a session is one connection, opened in the
// thread that uses it. Each read is one repeatable-read transaction, so a snapshot is one state
// of the catalogue however many pages it takes; each write is one statement, committed on its
// own. A connection the server dropped (restarted, network gone) is opened anew by the next
// action; the action that met the loss says so. A thread keeps its last connection, statements
// prepared, for its next session: the load threads would otherwise pay for a new server process
// with every list and search.
#pragma once

#include "CatalogueAddress.h"
#include "CatalogueEngine.h"

#include <functional>
#include <memory>

namespace pixdock::catalogue {

class ServerQueries;
struct ServerLink;

class ServerSession : public CatalogueSession
{
public:
    // Connects; raises the server's failure in plain words when that fails.
    explicit ServerSession(CatalogueAddress address);
    ~ServerSession() override;
    ServerSession(const ServerSession &) = delete;
    ServerSession &operator=(const ServerSession &) = delete;

    void readNameOrder(SnapshotSink &sink) override;
    void readSearch(const QStringList &keywords, SnapshotSink &sink) override;
    int fileNameCount(const QString &fileName) override;
    void addRow(const CatalogueRow &row) override;
    int removeRows(const QString &fileName, const QString &location) override;
    // The server keeps its indexes itself.
    Upkeep upkeepStep() override { return Upkeep::Done; }

private:
    void open();
    void close();
    // Runs one action on a live connection: a connection found dropped while idle is opened
    // anew first; one lost during the action is opened anew by the next.
    template <typename Action>
    auto act(Action action);

    ServerQueries &queries();

    CatalogueAddress m_address;
    std::unique_ptr<ServerLink> m_link;
};

// Start-up's connection: opened under the name, and kept open only when the server holds a
// catalogue Pixdock can use; raises what is wrong.
void checkServerCatalogueAt(const QString &connectionName, const CatalogueAddress &address);

} // namespace pixdock::catalogue
