// Rows read from and written to a catalogue on a server for a copy, through COPY on the
// connection's libpq handle: a million rows in seconds, where one INSERT per row would take
// minutes.
#pragma once

#include "CatalogueAddress.h"
#include "CopyRows.h"

#include <QByteArray>
#include <QSqlDatabase>

struct pg_conn;

namespace pixdock::catalogue {

// One row as a line of COPY's text format, and back; exposed for the tests of the format.
QByteArray copyLine(const CopiedRow &row, const QString &fileNameFolded, const QString &descriptionFolded);
CopiedRow rowFromCopyLine(QByteArrayView line);

// Whether the server can store the text: no NUL character, no broken UTF-16.
bool serverCanStore(const QString &text);

// Every row in id order, inside one read transaction (its own unless `inTransaction`).
class ServerRowSource : public RowSource
{
public:
    ServerRowSource(const QSqlDatabase &db, const CatalogueAddress &address, bool inTransaction = false);
    ~ServerRowSource() override;
    bool next(CopiedRow &row) override;

private:
    QSqlDatabase m_db;
    CatalogueAddress m_address;
    pg_conn *m_connection = nullptr;
    bool m_ownTransaction = false;
    bool m_copying = false;
};

class ServerRowTarget : public RowTarget
{
public:
    ServerRowTarget(const QSqlDatabase &db, const CatalogueAddress &address);
    ~ServerRowTarget() override;
    void begin() override;
    void add(const CopiedRow &row) override;
    void finishAdding() override;
    RowDigest readBack() override;
    void commit() override;
    void rollback() override;

private:
    void run(const QString &statement);
    void flush();

    QSqlDatabase m_db;
    CatalogueAddress m_address;
    pg_conn *m_connection = nullptr;
    QByteArray m_buffer;
    qint64 m_rows = 0;
    bool m_inTransaction = false;
    bool m_copying = false;
    bool m_indexesDropped = false;
};

} // namespace pixdock::catalogue
