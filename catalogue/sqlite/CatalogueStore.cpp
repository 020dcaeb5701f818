// Connections to db.fil and running statements. The file is opened as an SQLite URI with
// mode=rw, so a missing file is an error and never becomes a new empty catalogue; the file is
// then checked by reading only, so a file that is not a catalogue is left untouched.
#include "CatalogueStore.h"

#include "CatalogueIndexes.h"
#include "CatalogueSqlite.h"
#include "CataloguePagedRows.h"
#include "CatalogueTrigramCase.h"
#include "CatalogueUnicode.h"
#include "Locations.h"
#include "ModGlobal.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <sqlite3.h>

namespace pixdock::catalogue {

namespace {

QString describeCode(int code, const QString &databaseText)
{
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("The catalogue is locked by another program.");
    case SQLITE_READONLY:
        return QStringLiteral("The catalogue cannot be changed: the file is read-only.");
    case SQLITE_IOERR:
        return QStringLiteral("The catalogue file could not be read or written.");
    case SQLITE_CORRUPT:
        return QStringLiteral("The catalogue file is damaged.");
    case SQLITE_FULL:
        return QStringLiteral("The catalogue cannot grow: the disk is full.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("The catalogue file could not be opened.");
    case SQLITE_NOTADB:
        return QStringLiteral("The catalogue file is not a database.");
    default:
        return databaseText.isEmpty() ? QStringLiteral("The catalogue reported an unknown error.")
                                      : QStringLiteral("The catalogue reported an error: %1.").arg(databaseText);
    }
}

QString catalogueUri(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(absolute, "/"))
           + QStringLiteral("?mode=rw");
}

void closeAndRemove(const QString &connectionName)
{
    if (!QSqlDatabase::contains(connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

RunTimeError notACatalogue(const QString &path, const QString &why)
{
    return RunTimeError(err::DatabaseError, QStringLiteral("%1 is not a picture catalogue: %2").arg(path, why));
}

// Reads the schema (nothing is written): the file must be a database holding table Info with
// the three columns.
void checkIsCatalogue(const QSqlDatabase &db, const QString &path)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("PRAGMA table_info(Info)")))
        throw errorFrom(q.lastError());
    QStringList columns;
    while (q.next())
        columns << q.value(1).toString().toLower();
    if (q.lastError().isValid())
        throw errorFrom(q.lastError());
    if (columns.isEmpty())
        throw notACatalogue(path, QStringLiteral("it holds no table Info."));
    for (const char *needed : {"filename", "location", "description"}) {
        if (!columns.contains(QLatin1String(needed)))
            throw notACatalogue(path, QStringLiteral("table Info has no column %1.").arg(QLatin1String(needed)));
    }
}

int nextPrivateNumber()
{
    static int number = 0;
    return ++number;
}

} // namespace

RunTimeError errorFrom(const QSqlError &error)
{
    bool ok = false;
    const int native = error.nativeErrorCode().toInt(&ok);
    if (!ok || native == 0) {
        const QString text = error.text().trimmed();
        return RunTimeError(err::DatabaseError,
                            text.isEmpty() ? QStringLiteral("The catalogue reported an unknown error.")
                                           : QStringLiteral("The catalogue reported an error: %1.").arg(text));
    }
    return errorFromCode(native, error.databaseText());
}

RunTimeError errorFromCode(int resultCode, const QString &databaseText)
{
    const int code = resultCode & 0xff; // the primary code of an extended result code
    // A write needs a journal beside the file, so a folder the user cannot write stops it too.
    if (resultCode == SQLITE_READONLY_DIRECTORY)
        return RunTimeError(code, QStringLiteral("The catalogue cannot be changed: its folder is read-only."));
    return RunTimeError(code, describeCode(code, databaseText));
}

void openCatalogueFile(const QString &connectionName, const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        throw RunTimeError(err::DatabaseError, QStringLiteral("The catalogue file %1 was not found.").arg(path));
    if (!file.isFile())
        throw notACatalogue(path, QStringLiteral("it is not a file."));
    if (file.size() == 0)
        throw notACatalogue(path, QStringLiteral("the file is empty."));

    closeAndRemove(connectionName);
    try {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(catalogueUri(path));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        if (!db.open())
            throw errorFrom(db.lastError());
        // Extended result codes tell a read-only folder from a read-only file.
        sqlite3_extended_result_codes(sqliteHandle(db), 1);
        if (!registerCaselessText(db))
            throw RunTimeError(err::DatabaseError,
                               QStringLiteral("The catalogue's text comparison could not be set up."));
        checkIsCatalogue(db, path);
        prepareDerivedData(db);
    } catch (...) {
        closeAndRemove(connectionName);
        throw;
    }
}

void OpenConnection()
{
    gConnection.clear();
    openCatalogueFile(SharedConnectionName, locations::cataloguePath());
    gConnection = SharedConnectionName;
    // Learnt once, here at start-up, rather than during the first search.
    trigramCaseKnown();
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

PrivateConnection::~PrivateConnection()
{
    closeAndRemove(m_name);
}

QSqlDatabase PrivateConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

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
    finishSnapshotLoads();
    runStatement(db, insertStatement(fileName, location, description));
}

void removeRows(const QSqlDatabase &db, const QString &fileName, const QString &location)
{
    finishSnapshotLoads();
    // Open lists and results keep showing the rows, so they keep a copy first.
    keepRowsBeforeRemoval(db, fileName, location);
    runStatement(db, deleteStatement(fileName, location));
}

} // namespace pixdock::catalogue
