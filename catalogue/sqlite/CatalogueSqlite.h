// Direct access to the SQLite handle under a Qt SQL connection, for the work where Qt's
// per-value conversions would cost more than the work itself: copying a million rows into a
// snapshot, stepping search candidates, keeping the stored order and the search index.
#pragma once

#include "CatalogueStore.h"
#include "RunTimeError.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace pixdock::catalogue {

// The connection's sqlite3 handle; raises a run-time error when it is not an open SQLite one.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

// The program's run-time error for a result code of the handle.
RunTimeError errorFromHandle(sqlite3 *handle, int resultCode);

// Runs statements without results (BEGIN, COMMIT, CREATE...); raises on failure.
void executeSql(sqlite3 *handle, const char *sql);

// A read transaction for the life of the object, so that many small statements share one lock
// and one page cache. Nothing happens when the connection is already inside a transaction.
class ReadTransaction
{
public:
    explicit ReadTransaction(sqlite3 *handle);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    sqlite3 *m_handle = nullptr;
};

// One prepared statement, finalized when the object goes. Values are bound by position from 1.
class SqlStatement
{
public:
    SqlStatement() = default;
    SqlStatement(sqlite3 *handle, const QString &sql);
    ~SqlStatement();
    SqlStatement(SqlStatement &&other) noexcept;
    SqlStatement &operator=(SqlStatement &&other) noexcept;
    SqlStatement(const SqlStatement &) = delete;
    SqlStatement &operator=(const SqlStatement &) = delete;

    bool isValid() const { return m_statement != nullptr; }
    void bind(int position, qint64 value);
    void bind(int position, const QString &value);
    // Moves to the next row: true while there is one; raises on failure.
    bool step();
    // Back before the first row, keeping the bound values.
    void reset();
    void finalize();

    int columnType(int column) const;
    qint64 int64At(int column) const;
    // The value as Qt SQL would give it as a QString (NULL as a null QString).
    QString textAt(int column) const;
    // The value as UTF-8 that decodes to exactly textAt(): SQLite's own bytes when they are
    // well-formed text, else textAt() encoded into `scratch`. Not valid after the next step.
    std::string_view displayUtf8At(int column, std::string &scratch) const;
    // The UTF-8 bytes SQLite holds for the value (numbers as their text); not valid after the
    // next step.
    const unsigned char *utf8At(int column) const;
    int bytesAt(int column) const;

private:
    sqlite3 *m_handle = nullptr;
    sqlite3_stmt *m_statement = nullptr;
};

} // namespace pixdock::catalogue
