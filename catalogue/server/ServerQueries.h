// The catalogue's statements on a server, run through the connection's libpq handle: each
// prepared once per connection and run with its values bound, results read as UTF-8 without a
// QString per cell. The list reads keyset pages along the name-order index (never OFFSET); the
// search asks the trigram index with the folded keywords; the add window's duplicate question
// and the removal go through the b-tree on the folded names.
#pragma once

#include "CatalogueAddress.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <string_view>
#include <vector>

struct pg_conn;
struct pg_result;

namespace pixdock::catalogue {

// A row as the server sent it: views valid while the callback runs.
struct ServerRow
{
    std::string_view fileName;
    std::string_view location;
    std::string_view description;
};

// Called for each row in order; return false to stop reading.
using ServerRowVisitor = std::function<bool(const ServerRow &)>;

class ServerQueries
{
public:
    ServerQueries(pg_conn *connection, CatalogueAddress address);
    ~ServerQueries();
    ServerQueries(const ServerQueries &) = delete;
    ServerQueries &operator=(const ServerQueries &) = delete;

    // Statements without values or results (BEGIN, COMMIT, ROLLBACK...); raises on failure.
    void execute(const char *sql);
    // ROLLBACK that never raises, for the way out of a failed action.
    void abandon();

    // The rows there are.
    qint64 rowCount();
    // Every row in the list's order: names by the catalogue's name collation, NULL as the
    // empty name, rows of equal names in the order they were added. `firstPage` rows come in
    // the first statement, the rest in pages of `page`.
    void readNameOrder(const ServerRowVisitor &visit, int firstPage = 64, int page = 5000);
    // The rows whose description holds any of the keywords, literally and without regard to
    // case, in the order they were added.
    void readSearch(const QStringList &keywords, const ServerRowVisitor &visit, int page = 5000);
    // Every row in the order they were added.
    void readAddedOrder(const ServerRowVisitor &visit, int page = 5000);

    // How many rows carry this file name, without regard to case.
    int fileNameCount(const QString &fileName);
    void addRow(const QString &fileName, const QString &location, const QString &description);
    // Removes the rows of exactly this file name and folder; returns how many.
    int removeRows(const QString &fileName, const QString &location);

private:
    // The rows meeting the condition (its values $1...), in the order they were added, in pages
    // keyed by id.
    void readInAddedOrder(const QByteArray &name, const QByteArray &condition, std::vector<QByteArray> values,
                          const ServerRowVisitor &visit, int page);
    pg_result *run(const QByteArray &name, const QByteArray &sql, const std::vector<QByteArray> &values);
    void prepare(const QByteArray &name, const QByteArray &sql, int valueCount);
    [[noreturn]] void fail(pg_result *result);

    pg_conn *m_connection;
    CatalogueAddress m_address;
    QSet<QByteArray> m_prepared;
};

// The LIKE pattern the search gives the server for a keyword: the keyword folded, its %, _ and
// \ made plain characters, between two %.
QString serverSearchPattern(const QString &keyword);

} // namespace pixdock::catalogue
