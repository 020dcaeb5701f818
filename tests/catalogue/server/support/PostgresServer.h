// A PostgreSQL server of its own for the tests and the benchmarks: a cluster made by initdb in
// a temporary folder, listening only on a Unix socket in that folder (no TCP port), run as the
// postgres user when the caller is root (the server refuses to run as root). A watchdog in a
// session of its own stops the server and removes the folder when this object goes, and also
// when the process that made it dies without a chance to clean up (a crash, a timeout's kill).
// The cluster's ICU locale is tr-TR, whose lower() differs from plain case folding, so that the
// program never leans on the server's locale.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

namespace pixdock::test {

class PostgresServer
{
public:
    // `durable`: a real server's durability (fsync on); the tests run without it, which is faster.
    explicit PostgresServer(bool durable = false);
    ~PostgresServer();
    Q_DISABLE_COPY_MOVE(PostgresServer)

    // One server for the whole process, started on first use and stopped when the application
    // object goes; for tests that do not stop or reconfigure it.
    static PostgresServer &shared();

    bool isRunning() const { return m_running; }
    // Why the server could not be made or started; empty while all went well.
    const QString &failure() const { return m_failure; }

    // The cluster's superuser, who owns every database made here; it logs in without password.
    static QString superUser() { return QStringLiteral("pixdock"); }
    QString socketFolder() const { return m_folder; }
    // A connection URI for a database of this server as the superuser.
    QString uri(const QString &database) const;

    // Makes an empty database; false (and failure() says why) when that fails.
    bool createDatabase(const QString &name);
    // Runs SQL through psql as the superuser; false when psql reports an error. `output`
    // receives what psql printed (unaligned, tuples only).
    bool runSql(const QString &database, const QString &sql, QString *output = nullptr);
    // A role that must log in with this password (scram-sha-256); every other role needs none.
    bool addPasswordRole(const QString &role, const QString &password);

    // Stops the server (fast shutdown) and starts it again on the same cluster, for the cases
    // of a server that goes away while the program runs.
    bool stop();
    bool start();

private:
    bool makeCluster(bool durable);
    // Runs one of PostgreSQL's programs, as the server's user when `asServerUser`.
    bool runTool(const QString &tool, const QStringList &arguments, bool asServerUser = true,
                 QString *output = nullptr, const QString &input = QString());
    QStringList command(const QString &tool, const QStringList &arguments, bool asServerUser = true) const;
    QString data() const { return m_folder + QStringLiteral("/data"); }
    // Keeps why the server is not usable; false, for the caller to return.
    bool fail(const QString &why)
    {
        m_failure = why;
        return false;
    }

    QString m_folder;
    QString m_failure;
    bool m_running = false;
    std::unique_ptr<QProcess> m_watchdog;
    // The setpriv prefix that runs a program as the postgres user when the caller is root.
    QStringList m_asServerUser;
};

} // namespace pixdock::test
