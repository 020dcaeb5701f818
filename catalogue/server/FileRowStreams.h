// Rows read from and written to a catalogue file (SQLite) for a copy.
#pragma once

#include "CopyRows.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>

namespace pixdock::catalogue {

// Opens a catalogue file under a connection name of its own: read-only for a source, for
// reading and writing for a target. Raises the program's run-time error.
QSqlDatabase openFileForCopy(const QString &connectionName, const QString &path, bool forWriting);

// Every row of the file in rowid order, inside one read transaction (its own, unless the
// connection is already inside one).
class FileRowSource : public RowSource
{
public:
    FileRowSource(const QSqlDatabase &db, const QString &path, bool inTransaction = false);
    ~FileRowSource() override;
    bool next(CopiedRow &row) override;

private:
    QSqlDatabase m_db;
    QString m_path;
    std::unique_ptr<QSqlQuery> m_query;
    bool m_ownTransaction = false;
};

class FileRowTarget : public RowTarget
{
public:
    FileRowTarget(const QSqlDatabase &db, const QString &path);
    ~FileRowTarget() override;
    void begin() override;
    void add(const CopiedRow &row) override;
    void finishAdding() override {}
    RowDigest readBack() override;
    void commit() override;
    void rollback() override;

private:
    QSqlDatabase m_db;
    QString m_path;
    std::unique_ptr<QSqlQuery> m_insert;
    bool m_inTransaction = false;
};

} // namespace pixdock::catalogue
