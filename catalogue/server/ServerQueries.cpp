// Prepared statements on the libpq handle and the keyset walk of the list.
#include "ServerQueries.h"

#include "CaseFolding.h"
#include "RunTimeError.h"
#include "ServerConnection.h"
#include "ServerSchema.h"

#include <libpq-fe.h>

#include <limits>
#include <memory>

namespace pixdock::catalogue {

namespace {

using namespace serverschema;

struct ResultDeleter
{
    void operator()(PGresult *r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// The list's sort key: NULL sorts as the empty name.
const QByteArray NameKey = QByteArrayLiteral("COALESCE(FileName, '') COLLATE pixdock_names");
const QByteArray Texts = QByteArrayLiteral("FileName, Location, Description");

std::string_view valueAt(const PGresult *r, int row, int column)
{
    return std::string_view(PQgetvalue(r, row, column), size_t(PQgetlength(r, row, column)));
}

// A text value for the server: the empty text for a box left empty, as the file catalogue keeps it.
QByteArray textValue(const QString &text) { return text.toUtf8(); }

ServerRow rowAt(const PGresult *r, int row)
{
    return {valueAt(r, row, 0), valueAt(r, row, 1), valueAt(r, row, 2)};
}

} // namespace

QString serverSearchPattern(const QString &keyword)
{
    const QString folded = caseFolded(QStringView(keyword));
    QString pattern;
    pattern.reserve(folded.size() + 2);
    pattern += QLatin1Char('%');
    for (const QChar c : folded) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    pattern += QLatin1Char('%');
    return pattern;
}

ServerQueries::ServerQueries(pg_conn *connection, CatalogueAddress address)
    : m_connection(connection)
    , m_address(std::move(address))
{
}

ServerQueries::~ServerQueries() = default;

void ServerQueries::fail(PGresult *result)
{
    const Result owned(result);
    const QString state = result ? QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QString();
    const QString message = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(m_connection));
    throw serverError(state, message, m_address, PQstatus(m_connection) == CONNECTION_BAD);
}

void ServerQueries::execute(const char *sql)
{
    PGresult *r = PQexec(m_connection, sql);
    if (PQresultStatus(r) != PGRES_COMMAND_OK)
        fail(r);
    PQclear(r);
}

void ServerQueries::abandon()
{
    if (PQstatus(m_connection) == CONNECTION_OK && PQtransactionStatus(m_connection) != PQTRANS_IDLE)
        PQclear(PQexec(m_connection, "ROLLBACK"));
}

void ServerQueries::prepare(const QByteArray &name, const QByteArray &sql, int valueCount)
{
    if (m_prepared.contains(name))
        return;
    PGresult *r = PQprepare(m_connection, name.constData(), sql.constData(), valueCount, nullptr);
    // Prepared on this connection before, by an earlier object: the same name, the same text.
    const bool preparedBefore = qstrcmp(PQresultErrorField(r, PG_DIAG_SQLSTATE), "42P05") == 0;
    if (PQresultStatus(r) != PGRES_COMMAND_OK && !preparedBefore)
        fail(r);
    PQclear(r);
    m_prepared.insert(name);
}

PGresult *ServerQueries::run(const QByteArray &name, const QByteArray &sql, const std::vector<QByteArray> &values)
{
    prepare(name, sql, int(values.size()));
    std::vector<const char *> pointers;
    std::vector<int> lengths;
    for (const QByteArray &value : values) {
        pointers.push_back(value.constData());
        lengths.push_back(int(value.size()));
    }
    PGresult *r = PQexecPrepared(m_connection, name.constData(), int(values.size()), pointers.data(), lengths.data(),
                                 nullptr, 0);
    const ExecStatusType status = PQresultStatus(r);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
        fail(r);
    return r;
}

qint64 ServerQueries::rowCount()
{
    const Result r(run("pixdock_count", "SELECT count(*) FROM Info", {}));
    return QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
}

namespace {

// Hands every row of a page to `visit`; false when it asked to stop.
bool visitPage(const PGresult *r, const ServerRowVisitor &visit)
{
    for (int i = 0; i < PQntuples(r); ++i) {
        if (!visit(rowAt(r, i)))
            return false;
    }
    return true;
}

} // namespace

void ServerQueries::readNameOrder(const ServerRowVisitor &visit, int firstPage, int page)
{
    // The key of the last row read; the next page starts after it.
    QByteArray afterName;
    QByteArray afterId = QByteArray::number(std::numeric_limits<qint64>::min());
    for (int limit = firstPage;; limit = page) {
        const Result r(run("pixdock_name_page",
                           "SELECT " + Texts + ", id, COALESCE(FileName, '') FROM Info WHERE (" + NameKey
                               + ", id) > ($1, $2) ORDER BY " + NameKey + ", id LIMIT $3",
                           {afterName, afterId, QByteArray::number(limit)}));
        const int rows = PQntuples(r.get());
        if (!visitPage(r.get(), visit) || rows < limit)
            return;
        afterId = QByteArray(PQgetvalue(r.get(), rows - 1, 3));
        afterName = QByteArray(PQgetvalue(r.get(), rows - 1, 4), PQgetlength(r.get(), rows - 1, 4));
    }
}

void ServerQueries::readInAddedOrder(const QByteArray &name, const QByteArray &condition,
                                     std::vector<QByteArray> values, const ServerRowVisitor &visit, int page)
{
    const QByteArray idValue = "$" + QByteArray::number(qsizetype(values.size()) + 1);
    const QByteArray limitValue = "$" + QByteArray::number(qsizetype(values.size()) + 2);
    const QByteArray sql = "SELECT " + Texts + ", id FROM Info WHERE (" + condition + ") AND id > " + idValue
                           + " ORDER BY id LIMIT " + limitValue;
    values.push_back(QByteArray::number(std::numeric_limits<qint64>::min()));
    values.push_back(QByteArray::number(page));
    for (;;) {
        const Result r(run(name, sql, values));
        const int rows = PQntuples(r.get());
        if (!visitPage(r.get(), visit) || rows < page)
            return;
        values[values.size() - 2] = QByteArray(PQgetvalue(r.get(), rows - 1, 3));
    }
}

void ServerQueries::readSearch(const QStringList &keywords, const ServerRowVisitor &visit, int page)
{
    QByteArray condition;
    std::vector<QByteArray> values;
    for (const QString &keyword : keywords) {
        if (!condition.isEmpty())
            condition += " OR ";
        condition += DescriptionFolded.toLatin1() + " LIKE $" + QByteArray::number(qsizetype(values.size()) + 1);
        values.push_back(serverSearchPattern(keyword).toUtf8());
    }
    readInAddedOrder("pixdock_search_" + QByteArray::number(keywords.size()), condition, std::move(values), visit,
                     page);
}

void ServerQueries::readAddedOrder(const ServerRowVisitor &visit, int page)
{
    readInAddedOrder("pixdock_added_page", "TRUE", {}, visit, page);
}

int ServerQueries::fileNameCount(const QString &fileName)
{
    const Result r(run("pixdock_name_count", "SELECT count(*) FROM Info WHERE " + FileNameFolded.toLatin1() + " = $1",
                       {textValue(caseFolded(QStringView(fileName)))}));
    return QByteArray(PQgetvalue(r.get(), 0, 0)).toInt();
}

void ServerQueries::addRow(const QString &fileName, const QString &location, const QString &description)
{
    PQclear(run("pixdock_add",
                "INSERT INTO Info (" + Texts + ", " + FileNameFolded.toLatin1() + ", " + DescriptionFolded.toLatin1()
                    + ") VALUES ($1, $2, $3, $4, $5)",
                {textValue(fileName), textValue(location), textValue(description),
                 textValue(caseFolded(QStringView(fileName))), textValue(caseFolded(QStringView(description)))}));
}

int ServerQueries::removeRows(const QString &fileName, const QString &location)
{
    // Found through the folded name's index, then compared exactly, as the file system compares.
    const Result r(run("pixdock_remove",
                       "DELETE FROM Info WHERE " + FileNameFolded.toLatin1()
                           + " = $1 AND FileName = $2 COLLATE \"C\" AND Location = $3 COLLATE \"C\"",
                       {textValue(caseFolded(QStringView(fileName))), textValue(fileName), textValue(location)}));
    return QByteArray(PQcmdTuples(r.get())).toInt();
}

} // namespace pixdock::catalogue
