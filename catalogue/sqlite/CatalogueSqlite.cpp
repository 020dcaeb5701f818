// Prepared statements on the raw SQLite handle, converting values the way Qt SQL does.
#include "CatalogueSqlite.h"

#include "CatalogueRowChunk.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include <utility>

namespace pixdock::catalogue {

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.isOpen() && db.driver() ? db.driver()->handle() : QVariant();
    sqlite3 *h = nullptr;
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        h = *static_cast<sqlite3 *const *>(handle.constData());
    if (!h)
        throw RunTimeError(err::DatabaseError, QStringLiteral("The catalogue is not open."));
    return h;
}

RunTimeError errorFromHandle(sqlite3 *handle, int resultCode)
{
    const QString text = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString();
    return errorFromCode(resultCode, text);
}

void executeSql(sqlite3 *handle, const char *sql)
{
    const int rc = sqlite3_exec(handle, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw errorFromHandle(handle, rc);
}

ReadTransaction::ReadTransaction(sqlite3 *handle)
{
    if (sqlite3_get_autocommit(handle)) {
        executeSql(handle, "BEGIN");
        m_handle = handle;
    }
}

ReadTransaction::~ReadTransaction()
{
    if (m_handle)
        sqlite3_exec(m_handle, "COMMIT", nullptr, nullptr, nullptr);
}

SqlStatement::SqlStatement(sqlite3 *handle, const QString &sql)
    : m_handle(handle)
{
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &m_statement, nullptr);
    if (rc != SQLITE_OK) {
        const RunTimeError error = errorFromHandle(handle, rc);
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        throw error;
    }
}

SqlStatement::~SqlStatement() { finalize(); }

SqlStatement::SqlStatement(SqlStatement &&other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr))
    , m_statement(std::exchange(other.m_statement, nullptr))
{
}

SqlStatement &SqlStatement::operator=(SqlStatement &&other) noexcept
{
    if (this != &other) {
        finalize();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_statement = std::exchange(other.m_statement, nullptr);
    }
    return *this;
}

void SqlStatement::finalize()
{
    if (m_statement)
        sqlite3_finalize(m_statement);
    m_statement = nullptr;
}

void SqlStatement::bind(int position, qint64 value)
{
    const int rc = sqlite3_bind_int64(m_statement, position, value);
    if (rc != SQLITE_OK)
        throw errorFromHandle(m_handle, rc);
}

void SqlStatement::bind(int position, const QString &value)
{
    // Bound as UTF-16, as Qt SQL binds a QString, so functions see the same text either way.
    const int rc = value.isNull()
                       ? sqlite3_bind_text16(m_statement, position, u"", 0, SQLITE_STATIC)
                       : sqlite3_bind_text16(m_statement, position, value.utf16(),
                                             int(value.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        throw errorFromHandle(m_handle, rc);
}

bool SqlStatement::step()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const RunTimeError error = errorFromHandle(m_handle, rc);
    sqlite3_reset(m_statement);
    throw error;
}

void SqlStatement::reset() { sqlite3_reset(m_statement); }

int SqlStatement::columnType(int column) const { return sqlite3_column_type(m_statement, column); }

qint64 SqlStatement::int64At(int column) const { return sqlite3_column_int64(m_statement, column); }

QString SqlStatement::textAt(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(m_statement, column));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_statement, column)).toString();
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
        return QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column));
    }
    default: {
        const auto *data = static_cast<const char16_t *>(sqlite3_column_text16(m_statement, column));
        const int bytes = sqlite3_column_bytes16(m_statement, column);
        return QString(reinterpret_cast<const QChar *>(data ? data : u""), bytes / 2);
    }
    }
}

std::string_view SqlStatement::displayUtf8At(int column, std::string &scratch) const
{
    const int type = sqlite3_column_type(m_statement, column);
    if (type == SQLITE_NULL)
        return {};
    if (type == SQLITE_TEXT || type == SQLITE_INTEGER || type == SQLITE_BLOB) {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
        const std::string_view bytes(data ? data : "", size_t(sqlite3_column_bytes(m_statement, column)));
        if (isValidUtf8(bytes))
            return bytes;
    }
    const QByteArray utf8 = textAt(column).toUtf8();
    scratch.assign(utf8.constData(), size_t(utf8.size()));
    return scratch;
}

const unsigned char *SqlStatement::utf8At(int column) const
{
    return sqlite3_column_text(m_statement, column);
}

int SqlStatement::bytesAt(int column) const { return sqlite3_column_bytes(m_statement, column); }

} // namespace pixdock::catalogue
