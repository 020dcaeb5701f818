// Connections to a catalogue on a PostgreSQL server through Qt's QPSQL driver, and the
// server's failures in words that fit a server: each names the host and database the address
// gives, never the password.
#pragma once

#include "CatalogueAddress.h"
#include "RunTimeError.h"

#include <QSqlDatabase>
#include <QString>

class QSqlError;
struct pg_conn;

namespace pixdock::catalogue {

// How long a statement of a window's action waits for a lock that another session holds, and
// how long it may run at all, before the action gives up with a message.
inline constexpr int ServerLockTimeoutMs = 1000;
inline constexpr int ServerStatementTimeoutMs = 10000;
// How long connecting may take unless the address says otherwise.
inline constexpr int ServerConnectTimeoutSeconds = 10;

namespace server {
inline const QString Unreachable = QStringLiteral("The catalogue server cannot be reached.");
inline const QString Refused = QStringLiteral("The catalogue server refused the user name or password.");
inline const QString NoDatabase = QStringLiteral("The catalogue database does not exist on the server.");
inline const QString NoTable = QStringLiteral("The catalogue on the server has no table Info.");
inline const QString Locked = QStringLiteral("The catalogue on the server is locked by another session.");
inline const QString TooSlow = QStringLiteral("The catalogue server did not answer in time.");
inline const QString Lost = QStringLiteral("The connection to the catalogue server was lost.");
// Followed by the server's own words on what it refused.
inline const QString NotAllowed = QStringLiteral("The catalogue server does not allow this user to do that.");
inline const QString ReadOnly = QStringLiteral("The catalogue server accepts no changes (it is read-only).");
inline const QString Full = QStringLiteral("The catalogue server has no room left.");
} // namespace server

// The description of a server failure: the sentence, then the place ("database pictures on
// nas.local").
QString serverFailureText(const QString &sentence, const CatalogueAddress &address);

// Opens a connection under a Qt SQL connection name with the address's parts as given, then
// sets the session's timeouts. Raises the program's run-time error when that fails.
void openServerConnection(const QString &connectionName, const CatalogueAddress &address,
                          int statementTimeoutMs = ServerStatementTimeoutMs);

// The connection's libpq handle; raises when the connection is not an open QPSQL one.
pg_conn *serverHandle(const QSqlDatabase &db);

// Whether the connection has broken (server gone, network lost): it must be opened anew.
bool serverConnectionLost(const QSqlDatabase &db);

// The program's run-time error for a failure the server or libpq reported on an open
// connection (SQLSTATE and message).
RunTimeError serverError(const QString &sqlState, const QString &message, const CatalogueAddress &address,
                         bool connectionLost = false);
RunTimeError serverError(const QSqlError &error, const QSqlDatabase &db, const CatalogueAddress &address);

} // namespace pixdock::catalogue
