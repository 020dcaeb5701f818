// COPY in and out on a catalogue server. Into an empty catalogue the indexes are dropped and
// built again after the load, inside the same transaction (building a trigram index at once is
// several times faster than growing it row by row); a user who does not own the table, and so
// may not drop them, gets the slower load with the indexes in place.
#include "ServerRowStreams.h"

#include "CaseFolding.h"
#include "RunTimeError.h"
#include "ServerConnection.h"
#include "ServerSchema.h"

#include <QSqlError>
#include <QSqlQuery>

#include <libpq-fe.h>

namespace pixdock::catalogue {

namespace {

constexpr qsizetype CopyChunkBytes = 1 << 20;
const QString Columns = QStringLiteral("FileName, Location, Description");

void appendField(QByteArray &line, const QString &value)
{
    if (value.isNull()) {
        line += "\\N";
        return;
    }
    const QByteArray utf8 = value.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '\\': line += "\\\\"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        case '\t': line += "\\t"; break;
        default: line += c;
        }
    }
}

int digitValue(char c, int base)
{
    const int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : 99;
    return v < base ? v : -1;
}

QString fieldFromCopy(QByteArrayView field)
{
    if (field == "\\N")
        return {};
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c != '\\' || i + 1 >= field.size()) {
            out += c;
            continue;
        }
        const char e = field[++i];
        switch (e) {
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'v': out += '\v'; break;
        case 'x': {
            int value = 0;
            int digits = 0;
            while (digits < 2 && i + 1 < field.size() && digitValue(field[i + 1], 16) >= 0)
                value = value * 16 + digitValue(field[++i], 16), ++digits;
            out += digits ? char(value) : 'x';
            break;
        }
        default:
            if (digitValue(e, 8) >= 0) {
                int value = digitValue(e, 8);
                for (int digits = 1; digits < 3 && i + 1 < field.size() && digitValue(field[i + 1], 8) >= 0; ++digits)
                    value = value * 8 + digitValue(field[++i], 8);
                out += char(value);
            } else {
                out += e;
            }
        }
    }
    return QString::fromUtf8(out);
}

RunTimeError copyError(pg_conn *connection, const CatalogueAddress &address, PGresult *result = nullptr)
{
    const QString state = result ? QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QString();
    const QString message = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(connection));
    return serverError(state, message, address, PQstatus(connection) == CONNECTION_BAD);
}

// Waits for the outcome of a COPY and raises unless it succeeded.
void finishCopy(pg_conn *connection, const CatalogueAddress &address)
{
    RunTimeError failure(0, QString());
    bool failed = false;
    while (PGresult *result = PQgetResult(connection)) {
        if (!failed && PQresultStatus(result) != PGRES_COMMAND_OK) {
            failure = copyError(connection, address, result);
            failed = true;
        }
        PQclear(result);
    }
    if (failed)
        throw failure;
}

void startCopy(pg_conn *connection, const QString &statement, ExecStatusType expected, const CatalogueAddress &address)
{
    PGresult *result = PQexec(connection, statement.toUtf8().constData());
    if (PQresultStatus(result) != expected) {
        const RunTimeError error = copyError(connection, address, result);
        PQclear(result);
        throw error;
    }
    PQclear(result);
}

void runOn(const QSqlDatabase &db, const QString &statement, const CatalogueAddress &address)
{
    QSqlQuery q(db);
    if (!q.exec(statement))
        throw serverError(q.lastError(), db, address);
}

} // namespace

QByteArray copyLine(const CopiedRow &row, const QString &fileNameFolded, const QString &descriptionFolded)
{
    QByteArray line;
    line.reserve(2 * (row.fileName.size() + row.location.size() + row.description.size()) + 16);
    appendField(line, row.fileName);
    line += '\t';
    appendField(line, row.location);
    line += '\t';
    appendField(line, row.description);
    line += '\t';
    appendField(line, fileNameFolded);
    line += '\t';
    appendField(line, descriptionFolded);
    line += '\n';
    return line;
}

CopiedRow rowFromCopyLine(QByteArrayView line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    CopiedRow row;
    const qsizetype first = line.indexOf('\t');
    const qsizetype second = first < 0 ? -1 : line.indexOf('\t', first + 1);
    if (second < 0)
        throw RunTimeError(err::DatabaseError, QStringLiteral("The catalogue server sent a row that could not be read."));
    row.fileName = fieldFromCopy(line.first(first));
    row.location = fieldFromCopy(line.sliced(first + 1, second - first - 1));
    row.description = fieldFromCopy(line.sliced(second + 1));
    return row;
}

bool serverCanStore(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isNull())
            return false;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

ServerRowSource::ServerRowSource(const QSqlDatabase &db, const CatalogueAddress &address, bool inTransaction)
    : m_db(db)
    , m_address(address)
    , m_connection(serverHandle(db))
{
    if (!inTransaction) {
        runOn(m_db, QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"), m_address);
        m_ownTransaction = true;
    }
    startCopy(m_connection, QStringLiteral("COPY (SELECT %1 FROM Info ORDER BY id) TO STDOUT").arg(Columns), PGRES_COPY_OUT,
              m_address);
    m_copying = true;
}

ServerRowSource::~ServerRowSource()
{
    if (m_copying) {
        // Reading on to the end is how libpq leaves COPY OUT early.
        char *data = nullptr;
        while (PQgetCopyData(m_connection, &data, 0) > 0)
            PQfreemem(data);
        while (PGresult *result = PQgetResult(m_connection))
            PQclear(result);
    }
    if (m_ownTransaction)
        QSqlQuery(m_db).exec(QStringLiteral("COMMIT"));
}

bool ServerRowSource::next(CopiedRow &row)
{
    if (!m_copying)
        return false;
    char *data = nullptr;
    const int length = PQgetCopyData(m_connection, &data, 0);
    if (length > 0) {
        try {
            row = rowFromCopyLine(QByteArrayView(data, length));
        } catch (...) {
            PQfreemem(data);
            throw;
        }
        PQfreemem(data);
        return true;
    }
    m_copying = false;
    if (length == -2)
        throw copyError(m_connection, m_address);
    finishCopy(m_connection, m_address);
    return false;
}

ServerRowTarget::ServerRowTarget(const QSqlDatabase &db, const CatalogueAddress &address)
    : m_db(db)
    , m_address(address)
    , m_connection(serverHandle(db))
{
}

ServerRowTarget::~ServerRowTarget() { rollback(); }

void ServerRowTarget::run(const QString &statement) { runOn(m_db, statement, m_address); }

void ServerRowTarget::begin()
{
    run(QStringLiteral("BEGIN"));
    m_inTransaction = true;
    // Nobody reads or writes Info while it fills: the copy is all there or not at all.
    run(QStringLiteral("LOCK TABLE Info IN ACCESS EXCLUSIVE MODE"));
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("SELECT EXISTS (SELECT 1 FROM Info)")))
        throw serverError(q.lastError(), m_db, m_address);
    if (q.next() && q.value(0).toBool())
        throw RunTimeError(err::DatabaseError,
                           serverFailureText(QStringLiteral("The catalogue on the server already holds pictures; "
                                                            "a copy goes only into an empty one."),
                                             m_address));
    run(QStringLiteral("SAVEPOINT pixdock_indexes"));
    try {
        for (const QString &index : {serverschema::SearchIndex, serverschema::FoldedNameIndex, serverschema::NameOrderIndex})
            run(QStringLiteral("DROP INDEX IF EXISTS %1").arg(index));
        m_indexesDropped = true;
    } catch (const RunTimeError &) {
        run(QStringLiteral("ROLLBACK TO SAVEPOINT pixdock_indexes"));
    }
    run(QStringLiteral("SET LOCAL maintenance_work_mem = '256MB'"));
    run(QStringLiteral("SET LOCAL statement_timeout = 0"));
    startCopy(m_connection,
              QStringLiteral("COPY Info (%1, %2, %3) FROM STDIN")
                  .arg(Columns, serverschema::FileNameFolded, serverschema::DescriptionFolded),
              PGRES_COPY_IN, m_address);
    m_copying = true;
}

void ServerRowTarget::add(const CopiedRow &row)
{
    for (const QString *text : {&row.fileName, &row.location, &row.description}) {
        if (!serverCanStore(*text))
            throw RunTimeError(err::DatabaseError,
                               QStringLiteral("Row %1 (%2) holds a character that the catalogue server cannot store "
                                              "(a NUL character or broken UTF-16); nothing was copied.")
                                   .arg(m_rows + 1)
                                   .arg(QString(row.fileName).replace(QChar(0), QLatin1Char('?'))));
    }
    m_buffer += copyLine(row, caseFolded(row.fileName), caseFolded(row.description));
    ++m_rows;
    if (m_buffer.size() >= CopyChunkBytes)
        flush();
}

void ServerRowTarget::flush()
{
    if (m_buffer.isEmpty())
        return;
    if (PQputCopyData(m_connection, m_buffer.constData(), int(m_buffer.size())) != 1)
        throw copyError(m_connection, m_address);
    m_buffer.clear();
}

void ServerRowTarget::finishAdding()
{
    flush();
    m_copying = false;
    if (PQputCopyEnd(m_connection, nullptr) != 1)
        throw copyError(m_connection, m_address);
    finishCopy(m_connection, m_address);
    if (m_indexesDropped) {
        for (const QString &statement : serverIndexStatements())
            run(statement);
    }
    // The planner learns the new rows now, not when autovacuum comes by.
    run(QStringLiteral("ANALYZE Info"));
}

RowDigest ServerRowTarget::readBack() { return ServerRowSource(m_db, m_address, true).digestRest(); }

void ServerRowTarget::commit()
{
    run(QStringLiteral("COMMIT"));
    m_inTransaction = false;
}

void ServerRowTarget::rollback()
{
    if (m_copying) {
        PQputCopyEnd(m_connection, "the copy was given up");
        while (PGresult *result = PQgetResult(m_connection))
            PQclear(result);
        m_copying = false;
    }
    if (m_inTransaction)
        QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
}

} // namespace pixdock::catalogue
