// The server session: snapshot reads in one repeatable-read transaction, writes as single
// statements, connections opened anew after the server dropped them.
#include "ServerSession.h"

#include "NameOrder.h"
#include "ServerConnection.h"
#include "ServerQueries.h"
#include "ServerSchema.h"

#include <QSqlDatabase>

#include <libpq-fe.h>
#include <poll.h>

#include <atomic>
#include <string>
#include <vector>

namespace pixdock::catalogue {

namespace {

int nextSessionNumber()
{
    static std::atomic<int> number = 0;
    return ++number;
}

// One read transaction: every page of a snapshot sees the same state of the catalogue.
class ReadTransaction
{
public:
    explicit ReadTransaction(ServerQueries &queries)
        : m_queries(queries)
    {
        m_queries.execute("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    }
    ~ReadTransaction()
    {
        if (!m_done)
            m_queries.abandon();
    }
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;
    void finish()
    {
        m_done = true;
        m_queries.execute("COMMIT");
    }

private:
    ServerQueries &m_queries;
    bool m_done = false;
};

// An idle connection has nothing to read unless the server sent something on its own: its
// notice that it is shutting down, or the end of the connection. Either way it is opened anew.
bool droppedWhileIdle(const QSqlDatabase &db)
{
    if (serverConnectionLost(db))
        return true;
    PGconn *h = serverHandle(db);
    pollfd socket{PQsocket(h), POLLIN, 0};
    return socket.fd < 0 || ::poll(&socket, 1, 0) != 0 || PQtransactionStatus(h) != PQTRANS_IDLE;
}

// Every row sorted here by the name order, for a catalogue whose server sorts otherwise (its
// collation made under another language, or another version of the collation library).
void readSortedHere(ServerQueries &queries, SnapshotSink &sink)
{
    std::vector<std::string> texts;
    QStringList names;
    queries.readAddedOrder([&](const ServerRow &row) {
        names.append(QString::fromUtf8(row.fileName.data(), qsizetype(row.fileName.size())));
        texts.emplace_back(row.fileName);
        texts.emplace_back(row.location);
        texts.emplace_back(row.description);
        return !sink.cancelled();
    });
    if (sink.cancelled())
        return;
    const std::vector<qsizetype> order = names::sortedOrder(names);
    for (size_t position = 0; position < order.size() && !sink.cancelled(); ++position) {
        const size_t i = size_t(order[position]) * 3;
        sink.append(qint64(position), texts[i], texts[i + 1], texts[i + 2]);
    }
}

QString linkKey(const CatalogueAddress &address) { return address.shownText() + QLatin1Char('\n') + address.password(); }

} // namespace

// A connection and the statements prepared on it.
struct ServerLink
{
    ServerLink(const CatalogueAddress &address)
        : key(linkKey(address))
        , name(QStringLiteral("pixdock-server-session-%1").arg(nextSessionNumber()))
    {
        openServerConnection(name, address);
        queries = std::make_unique<ServerQueries>(serverHandle(database()), address);
    }
    ~ServerLink()
    {
        queries.reset();
        if (!QSqlDatabase::contains(name))
            return;
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    QSqlDatabase database() const { return QSqlDatabase::database(name, false); }

    QString key;
    QString name;
    std::unique_ptr<ServerQueries> queries;
};

namespace {
// The connection this thread's last session left, idle, for the next one.
thread_local std::unique_ptr<ServerLink> t_idleLink;
} // namespace

ServerSession::ServerSession(CatalogueAddress address)
    : m_address(std::move(address))
{
    open();
}

ServerSession::~ServerSession()
{
    if (m_link && !serverConnectionLost(m_link->database())
        && PQtransactionStatus(serverHandle(m_link->database())) == PQTRANS_IDLE)
        t_idleLink = std::move(m_link);
}

void ServerSession::open()
{
    std::unique_ptr<ServerLink> idle = std::move(t_idleLink);
    if (idle && idle->key == linkKey(m_address) && !droppedWhileIdle(idle->database()))
        m_link = std::move(idle);
    else
        m_link = std::make_unique<ServerLink>(m_address);
}

void ServerSession::close() { m_link.reset(); }

ServerQueries &ServerSession::queries() { return *m_link->queries; }

template <typename Action>
auto ServerSession::act(Action action)
{
    if (!m_link || droppedWhileIdle(m_link->database())) {
        close();
        m_link = std::make_unique<ServerLink>(m_address);
    }
    try {
        return action(queries());
    } catch (...) {
        if (serverConnectionLost(m_link->database()))
            close();
        else
            queries().abandon();
        throw;
    }
}

void ServerSession::readNameOrder(SnapshotSink &sink)
{
    act([&](ServerQueries &queries) {
        ReadTransaction reading(queries);
        sink.expectRows(queries.rowCount());
        // The server's order is taken as long as it is the program's name order; the first pair
        // it puts otherwise has the rows sorted here instead.
        qint64 position = 0;
        QString previous;
        bool inOrder = true;
        queries.readNameOrder([&](const ServerRow &row) {
            QString name = QString::fromUtf8(row.fileName.data(), qsizetype(row.fileName.size()));
            if (position > 0 && names::compare(previous, name) > 0) {
                inOrder = false;
                return false;
            }
            sink.append(position++, row.fileName, row.location, row.description);
            previous = std::move(name);
            return !sink.cancelled();
        });
        if (!inOrder) {
            sink.restart();
            readSortedHere(queries, sink);
        }
        reading.finish();
    });
}

void ServerSession::readSearch(const QStringList &keywords, SnapshotSink &sink)
{
    act([&](ServerQueries &queries) {
        ReadTransaction reading(queries);
        qint64 position = 0;
        queries.readSearch(keywords, [&](const ServerRow &row) {
            sink.append(position++, row.fileName, row.location, row.description);
            return !sink.cancelled();
        });
        reading.finish();
    });
}

int ServerSession::fileNameCount(const QString &fileName)
{
    return act([&](ServerQueries &queries) { return queries.fileNameCount(fileName); });
}

void ServerSession::addRow(const CatalogueRow &row)
{
    act([&](ServerQueries &queries) { queries.addRow(row.fileName, row.location, row.description); });
}

int ServerSession::removeRows(const QString &fileName, const QString &location)
{
    return act([&](ServerQueries &queries) { return queries.removeRows(fileName, location); });
}

void checkServerCatalogueAt(const QString &connectionName, const CatalogueAddress &address)
{
    openServerConnection(connectionName, address);
    try {
        checkServerCatalogue(QSqlDatabase::database(connectionName, false), address);
    } catch (...) {
        QSqlDatabase::database(connectionName, false).close();
        QSqlDatabase::removeDatabase(connectionName);
        throw;
    }
}

} // namespace pixdock::catalogue
