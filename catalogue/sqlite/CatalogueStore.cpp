// Connections to db.fil and running statements. The file is opened as an SQLite URI with
// mode=rw, so a missing file is an error and never becomes a new empty catalogue; the file is
// then checked by reading only, so a file that is not a catalogue is left untouched.
#include "CatalogueStore.h"

#include "CatalogueAddress.h"
#include "CatalogueLayout.h"
#include "CatalogueMessages.h"
#include "CatalogueService.h"
#include "CatalogueSqlite.h"
#include "CatalogueTrigramCase.h"
#include "SqliteFunctions.h"
#include "Locations.h"
#include "ServerSession.h"
#include "ModGlobal.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>
#include <sys/stat.h>

#include <atomic>

namespace pixdock::catalogue {

namespace {

QString describeCode(int code, const QString &databaseText)
{
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return message::Locked;
    case SQLITE_READONLY:
        return message::ReadOnlyFile;
    case SQLITE_IOERR:
        return message::ReadFailed;
    case SQLITE_CORRUPT:
        return message::Damaged;
    case SQLITE_FULL:
        return message::DiskFull;
    case SQLITE_CANTOPEN:
        return message::CannotOpen;
    case SQLITE_NOTADB:
        return message::NotADatabase;
    case SQLITE_NOMEM:
        return message::OutOfMemory;
    case SQLITE_TOOBIG:
        return message::TooLong;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return message::NoAccess;
    case SQLITE_SCHEMA:
        return message::LayoutChanged;
    case SQLITE_CONSTRAINT:
        return message::Refused.arg(databaseText);
    default:
        return message::Unknown.arg(databaseText.isEmpty() ? QStringLiteral("no details") : databaseText);
    }
}

QString catalogueUri(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(absolute, "/"))
           + QStringLiteral("?mode=rw");
}

RunTimeError notACatalogue(const QString &path, const QString &why)
{
    return RunTimeError(err::DatabaseError, QStringLiteral("%1 is not a picture catalogue: %2").arg(path, why));
}

int nextPrivateNumber()
{
    static std::atomic<int> number = 0;
    return ++number;
}

// Opens the file under the name; the file is not checked yet.
void openConnection(const QString &connectionName, const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(catalogueUri(path));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open())
        throw errorFrom(db.lastError());
    sqlite3 *handle = sqliteHandle(db);
    // Extended result codes tell a read-only folder from a read-only file.
    sqlite3_extended_result_codes(handle, 1);
    if (!registerCaselessText(handle))
        throw RunTimeError(err::DatabaseError, QStringLiteral("The catalogue's text comparison could not be set up."));
}

} // namespace

std::optional<FileIdentity> fileIdentity(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

RunTimeError errorFrom(const QSqlError &error)
{
    bool ok = false;
    const int native = error.nativeErrorCode().toInt(&ok);
    if (!ok || native == 0) {
        const QString text = error.text().trimmed();
        return RunTimeError(err::DatabaseError,
                            message::Unknown.arg(text.isEmpty() ? QStringLiteral("no details") : text));
    }
    return errorFromCode(native, error.databaseText());
}

RunTimeError errorFromCode(int resultCode, const QString &databaseText)
{
    const int code = resultCode & 0xff; // the primary code of an extended result code
    // A write needs a journal beside the file, so a folder the user cannot write stops it too.
    if (resultCode == SQLITE_READONLY_DIRECTORY)
        return RunTimeError(code, message::ReadOnlyFolder);
    // SQLite's own finding that the file it has open is no longer at its path.
    if (resultCode == SQLITE_READONLY_DBMOVED)
        return RunTimeError(code, message::Moved);
    return RunTimeError(code, describeCode(code, databaseText));
}

void closeCatalogueFile(const QString &connectionName)
{
    if (!QSqlDatabase::contains(connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

FileIdentity openCatalogueFile(const QString &connectionName, const QString &path)
{
    closeCatalogueFile(connectionName);
    // Another program may put a new file at the path while it opens: the identity read before
    // and after must agree, or it is opened again.
    for (int attempt = 0;; ++attempt) {
        const QFileInfo file(path);
        if (!file.exists())
            throw RunTimeError(err::DatabaseError, QStringLiteral("The catalogue file %1 was not found.").arg(path));
        if (!file.isFile())
            throw notACatalogue(path, QStringLiteral("it is not a file."));
        if (file.size() == 0)
            throw notACatalogue(path, QStringLiteral("the file is empty."));
        const std::optional<FileIdentity> before = fileIdentity(path);
        try {
            openConnection(connectionName, path);
            const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
            if (const QString wrong = layoutProblem(sqliteHandle(db)); !wrong.isEmpty())
                throw notACatalogue(path, wrong);
        } catch (...) {
            closeCatalogueFile(connectionName);
            throw;
        }
        const std::optional<FileIdentity> after = fileIdentity(path);
        if (before && after && *before == *after)
            return *after;
        closeCatalogueFile(connectionName);
        if (attempt == 2)
            throw RunTimeError(err::DatabaseError, message::Moved);
    }
}

void OpenConnection()
{
    gConnection.clear();
    const QString location = locations::cataloguePath();
    if (CatalogueAddress::namesServer(location)) {
        checkServerCatalogueAt(SharedConnectionName, CatalogueAddress::fromText(location));
    } else {
        openCatalogueFile(SharedConnectionName, location);
        // Learnt once, here at start-up, rather than during the first search.
        trigramCaseKnown();
    }
    gConnection = SharedConnectionName;
    CatalogueService::instance().start();
}

QSqlDatabase sharedConnection()
{
    if (gConnection.isEmpty() || !QSqlDatabase::contains(gConnection))
        throw RunTimeError(err::DatabaseError, QStringLiteral("The catalogue is not open."));
    QSqlDatabase db = QSqlDatabase::database(gConnection, false);
    if (!db.isOpen())
        throw RunTimeError(err::DatabaseError, QStringLiteral("The catalogue is not open."));
    return db;
}

PrivateConnection::PrivateConnection()
    : m_name(QStringLiteral("pixdock-private-%1").arg(nextPrivateNumber()))
{
    openCatalogueFile(m_name, locations::cataloguePath());
}

PrivateConnection::~PrivateConnection() { closeCatalogueFile(m_name); }

QSqlDatabase PrivateConnection::database() const { return QSqlDatabase::database(m_name, false); }

QSqlQuery runStatement(const QSqlDatabase &db, const Statement &statement)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(statement.text))
        throw errorFrom(q.lastError());
    for (const QVariant &value : statement.values)
        q.addBindValue(value);
    if (!q.exec())
        throw errorFrom(q.lastError());
    return q;
}

QList<CatalogueRow> readRows(const QSqlDatabase &db, const Statement &statement)
{
    QSqlQuery q = runStatement(db, statement);
    QList<CatalogueRow> rows;
    while (q.next())
        rows.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    if (q.lastError().isValid())
        throw errorFrom(q.lastError());
    return rows;
}

int fileNameCount(const QSqlDatabase &db, const QString &fileName)
{
    QSqlQuery q = runStatement(db, duplicateTestStatement(fileName));
    if (!q.next())
        throw errorFrom(q.lastError());
    return q.value(0).toInt();
}

void addRow(const QSqlDatabase &db, const QString &fileName, const QString &location,
            const QString &description)
{
    runStatement(db, insertStatement(fileName, location, description));
}

void removeRows(const QSqlDatabase &db, const QString &fileName, const QString &location)
{
    runStatement(db, deleteStatement(fileName, location));
}

} // namespace pixdock::catalogue
