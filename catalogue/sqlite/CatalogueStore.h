// The SQLite catalogue file db.fil: opening it (the shared connection and others), checking
// that it is a catalogue this program can use, running statements with their values bound,
// and turning the database's failures into run-time errors in plain words.
#pragma once

#include "CatalogueRow.h"
#include "CatalogueStatements.h"
#include "RunTimeError.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>
#include <sys/types.h>

class QSqlError;
class QSqlQuery;

namespace pixdock::catalogue {

// Qt SQL name of the shared connection that OpenConnection stores in gConnection.
inline const QString SharedConnectionName = QStringLiteral("pixdock-shared");
// How long a statement waits for a catalogue that another program has locked.
inline constexpr int BusyTimeoutMs = 1000;

// Which file a path names: its device and inode. A file replaced by a rename, or deleted and
// made again, is another file.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity &) const = default;
};
std::optional<FileIdentity> fileIdentity(const QString &path);

// Opens the shared catalogue connection (gConnection) on db.fil, or on the catalogue server the
// configured location names, and starts the catalogue's workers on it. Only an existing catalogue is opened: a missing, empty or foreign file, or
// one whose table Info this program cannot use, raises the program's run-time error naming
// what is wrong, and is left as it was.
void OpenConnection();

// The shared connection; raises a run-time error when OpenConnection has not succeeded.
QSqlDatabase sharedConnection();

// A connection of its own on db.fil, closed when the object goes.
class PrivateConnection
{
public:
    // Raises a run-time error, as OpenConnection does, when the catalogue cannot be opened.
    PrivateConnection();
    ~PrivateConnection();
    PrivateConnection(const PrivateConnection &) = delete;
    PrivateConnection &operator=(const PrivateConnection &) = delete;

    QSqlDatabase database() const;
    const QString &name() const { return m_name; }

private:
    QString m_name;
};

// Opens a catalogue file under a Qt SQL connection name, checks it as start-up does, and
// returns the identity of the file opened.
FileIdentity openCatalogueFile(const QString &connectionName, const QString &path);
// Closes and forgets a connection opened so.
void closeCatalogueFile(const QString &connectionName);

// Runs a statement with its values bound; the query is positioned before its first row.
QSqlQuery runStatement(const QSqlDatabase &db, const Statement &statement);
// Runs a statement that selects FileName, Location, Description and copies every row.
QList<CatalogueRow> readRows(const QSqlDatabase &db, const Statement &statement);

// The add and removal windows' statements, run directly on a connection.
int fileNameCount(const QSqlDatabase &db, const QString &fileName);
void addRow(const QSqlDatabase &db, const QString &fileName, const QString &location,
            const QString &description);
void removeRows(const QSqlDatabase &db, const QString &fileName, const QString &location);

// The program's run-time error for a failure the database reported: the SQLite result code
// as its number (err::DatabaseError when there is none) and a description in plain words.
RunTimeError errorFrom(const QSqlError &error);
// The same for an SQLite result code (primary or extended) and the database's own text.
RunTimeError errorFromCode(int resultCode, const QString &databaseText);

} // namespace pixdock::catalogue
