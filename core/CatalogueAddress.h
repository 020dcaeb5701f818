// What names the catalogue: the path of an SQLite file, or a libpq connection URI
// (postgresql://user@host/database?sslmode=require) for a catalogue on a PostgreSQL server.
// The URI's parts are kept as given, so libpq's own defaults (PGHOST, PGUSER, ~/.pgpass,
// PGPASSFILE, PGSERVICE, pg_service.conf) still apply to whatever the URI leaves out. A password
// in the URI is kept for the connection only: every text meant to be shown leaves it out.
#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace pixdock {

class CatalogueAddress
{
public:
    // Reads the text; raises the program's run-time error, whose description never holds the
    // password, when a server URI is malformed.
    static CatalogueAddress fromText(const QString &text);

    // Whether the text names a server (a URI with the postgresql:// or postgres:// prefix).
    static bool namesServer(const QString &text);
    // The text as it may be shown or logged: the password of a server URI left out, also from
    // a URI that does not parse.
    static QString shown(const QString &text);

    bool isServer() const { return m_server; }
    // The file's path; empty for a server.
    const QString &filePath() const { return m_filePath; }

    // A server URI's parts, percent-decoded; a part the URI leaves out is empty. Several hosts
    // and ports stay comma-separated, as libpq takes them.
    const QString &host() const { return m_host; }
    const QString &port() const { return m_port; }
    const QString &database() const { return m_database; }
    const QString &user() const { return m_user; }
    const QString &password() const { return m_password; }
    // The remaining query parameters (sslmode, connect_timeout, service...), in order.
    const QList<std::pair<QString, QString>> &parameters() const { return m_parameters; }

    // The URI (or the path) without the password: what messages and the title may show.
    const QString &shownText() const { return m_shown; }
    // The place a message names: "database pictures on nas.local", with libpq's defaults
    // named as such when the URI leaves host or database out.
    QString place() const;

    // The parameters (and the port) as the Qt PostgreSQL driver's connect options:
    // key='value' pairs joined by ';', quoted as libpq's connection strings quote.
    QString driverOptions() const;

private:
    bool m_server = false;
    QString m_filePath;
    QString m_host;
    QString m_port;
    QString m_database;
    QString m_user;
    QString m_password;
    QList<std::pair<QString, QString>> m_parameters;
    QString m_shown;
};

} // namespace pixdock
