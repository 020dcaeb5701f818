// The file side of a copy, through Qt's SQLite driver. The file is opened as an SQLite URI, so
// a missing file is an error rather than a new empty catalogue.
#include "FileRowStreams.h"

#include "RunTimeError.h"

#include <QFileInfo>
#include <QSqlError>
#include <QUrl>
#include <QVariant>

namespace pixdock::catalogue {

namespace {

constexpr int CopyBusyTimeoutMs = 5000;

RunTimeError fileError(const QString &path, const QSqlError &error)
{
    return RunTimeError(err::DatabaseError,
                        QStringLiteral("The catalogue file %1 could not be read or written: %2.")
                            .arg(path, error.databaseText().isEmpty() ? error.text() : error.databaseText()));
}

QString textOf(const QVariant &value) { return value.isNull() ? QString() : value.toString(); }

QVariant valueOf(const QString &text)
{
    return text.isNull() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

void exec(QSqlQuery &q, const QString &statement, const QString &path)
{
    if (!q.exec(statement))
        throw fileError(path, q.lastError());
}

} // namespace

QSqlDatabase openFileForCopy(const QString &connectionName, const QString &path, bool forWriting)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo(absolute).isFile())
        throw RunTimeError(err::DatabaseError, QStringLiteral("The catalogue file %1 was not found.").arg(path));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(absolute, "/"))
                       + (forWriting ? QStringLiteral("?mode=rw") : QStringLiteral("?mode=ro")));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(CopyBusyTimeoutMs));
    if (!db.open())
        throw fileError(path, db.lastError());
    QSqlQuery q(db);
    exec(q, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'Info' COLLATE NOCASE"),
         path);
    if (!q.next() || q.value(0).toInt() == 0)
        throw RunTimeError(err::DatabaseError, QStringLiteral("%1 is not a picture catalogue: it holds no table Info.").arg(path));
    return db;
}

FileRowSource::FileRowSource(const QSqlDatabase &db, const QString &path, bool inTransaction)
    : m_db(db)
    , m_path(path)
    , m_query(std::make_unique<QSqlQuery>(db))
{
    if (!inTransaction) {
        QSqlQuery begin(m_db);
        exec(begin, QStringLiteral("BEGIN"), m_path);
        m_ownTransaction = true;
    }
    m_query->setForwardOnly(true);
    exec(*m_query, QStringLiteral("SELECT FileName, Location, Description FROM Info ORDER BY rowid"), m_path);
}

FileRowSource::~FileRowSource()
{
    m_query.reset();
    if (m_ownTransaction)
        QSqlQuery(m_db).exec(QStringLiteral("COMMIT"));
}

bool FileRowSource::next(CopiedRow &row)
{
    if (!m_query->next()) {
        if (m_query->lastError().isValid())
            throw fileError(m_path, m_query->lastError());
        return false;
    }
    row.fileName = textOf(m_query->value(0));
    row.location = textOf(m_query->value(1));
    row.description = textOf(m_query->value(2));
    return true;
}

FileRowTarget::FileRowTarget(const QSqlDatabase &db, const QString &path)
    : m_db(db)
    , m_path(path)
{
}

FileRowTarget::~FileRowTarget() { rollback(); }

void FileRowTarget::begin()
{
    QSqlQuery q(m_db);
    // The write lock from the start: nobody adds a row between the test and the copy.
    exec(q, QStringLiteral("BEGIN IMMEDIATE"), m_path);
    m_inTransaction = true;
    exec(q, QStringLiteral("SELECT EXISTS (SELECT 1 FROM Info)"), m_path);
    if (q.next() && q.value(0).toBool())
        throw RunTimeError(err::DatabaseError,
                           QStringLiteral("The catalogue %1 already holds pictures; a copy goes only into an empty one.")
                               .arg(m_path));
    m_insert = std::make_unique<QSqlQuery>(m_db);
    if (!m_insert->prepare(QStringLiteral("INSERT INTO Info (FileName, Location, Description) VALUES (?, ?, ?)")))
        throw fileError(m_path, m_insert->lastError());
}

void FileRowTarget::add(const CopiedRow &row)
{
    m_insert->bindValue(0, valueOf(row.fileName));
    m_insert->bindValue(1, valueOf(row.location));
    m_insert->bindValue(2, valueOf(row.description));
    if (!m_insert->exec())
        throw fileError(m_path, m_insert->lastError());
}

RowDigest FileRowTarget::readBack() { return FileRowSource(m_db, m_path, true).digestRest(); }

void FileRowTarget::commit()
{
    m_insert.reset();
    QSqlQuery q(m_db);
    exec(q, QStringLiteral("COMMIT"), m_path);
    m_inTransaction = false;
}

void FileRowTarget::rollback()
{
    m_insert.reset();
    if (m_inTransaction)
        QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
}

} // namespace pixdock::catalogue
