// The catalogue store: opening db.fil (the shared connection and private ones), running the
// statements with their values bound, and turning the database's failures into run-time errors.
#pragma once

#include "CatalogueStatements.h"
#include "RunTimeError.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <memory>

class QSqlError;
class QSqlQuery;

namespace pixdock::catalogue {

// One row of table Info.
struct CatalogueRow
{
    QString fileName;
    QString location;
    QString description;
    bool operator==(const CatalogueRow &) const = default;
};

// Qt SQL name of the shared connection that OpenConnection stores in gConnection.
inline const QString SharedConnectionName = QStringLiteral("pixdock-shared");
// How long a statement waits for a catalogue that another program has locked.
inline constexpr int BusyTimeoutMs = 1000;

// Opens the shared catalogue connection (gConnection) on db.fil in the program folder.
// Only an existing catalogue is opened: a missing, empty or foreign file, or one without
// table Info, raises the program's run-time error and is left as it was.
void OpenConnection();

// The shared connection; raises a run-time error when OpenConnection has not succeeded.
QSqlDatabase sharedConnection();

// A connection of its own on db.fil (the list and search windows each open one), closed
// when the object goes.
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

// Opens a catalogue file under a Qt SQL connection name (used by both kinds of connection).
void openCatalogueFile(const QString &connectionName, const QString &path);

// Runs a statement with its values bound; the query is positioned before its first row.
QSqlQuery runStatement(const QSqlDatabase &db, const Statement &statement);
// Runs a statement that selects FileName, Location, Description and copies every row.
QList<CatalogueRow> readRows(const QSqlDatabase &db, const Statement &statement);

// The add and removal windows' actions.
int fileNameCount(const QSqlDatabase &db, const QString &fileName);
void addRow(const QSqlDatabase &db, const QString &fileName, const QString &location,
            const QString &description);
void removeRows(const QSqlDatabase &db, const QString &fileName, const QString &location);

// The program's run-time error for a failure the database reported: the SQLite result code
// as its number (err::DatabaseError when there is none) and a plain description.
RunTimeError errorFrom(const QSqlError &error);
// The same for an SQLite result code (primary or extended) and the database's own text.
RunTimeError errorFromCode(int resultCode, const QString &databaseText);

} // namespace pixdock::catalogue
