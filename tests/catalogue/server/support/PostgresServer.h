// A PostgreSQL server of its own for the tests and the benchmarks: a cluster made by initdb in
// a temporary folder, listening only on a Unix socket in that folder (no TCP port), run as the
// postgres user when the caller is root (the server refuses to run as root). A watchdog in a
// session of its own stops the server and removes the folder when this object goes, and also
// when the process that made it dies without a chance to clean up (a crash, a timeout's kill).
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

namespace pixdock::test {

class PostgresServer
{
public:
    struct Options
    {
        // A real server's durability (fsync on); the tests run without it, which is faster.
        bool durable = false;
        // The cluster's default ICU locale: the tests pick one whose lower() differs from
        // plain case folding, so that the program never leans on the server's locale.
        QString icuLocale = QStringLiteral("tr-TR");
        // Extra settings for postgresql.conf, one "name = value" each.
        QStringList settings;
    };

    PostgresServer();
    explicit PostgresServer(const Options &options);
    ~PostgresServer();
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    // One server for the whole process, started on first use and stopped when the application
    // object goes; for tests that do not stop or reconfigure it.
    static PostgresServer &shared();

    bool isRunning() const;
    // Why the server could not be made or started; empty while all went well.
    const QString &failure() const { return m_failure; }

    // The cluster's superuser, who owns every database made here; it logs in without password.
    static QString superUser();
    QString socketFolder() const;
    // A connection URI for a database of this server as the superuser (or `user`).
    QString uri(const QString &database, const QString &user = QString()) const;

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
    bool makeCluster();
    bool startWatchdog();
    bool writeConfiguration();
    bool runTool(const QString &tool, const QStringList &arguments, QString *output = nullptr,
                 const QString &input = QString(), int timeoutMs = 120000);
    QStringList commandAsServerUser(const QString &tool, const QStringList &arguments) const;
    QString dataFolder() const;
    QString toolPath(const QString &tool) const;

    Options m_options;
    QString m_folder;
    QString m_failure;
    bool m_running = false;
    std::unique_ptr<QProcess> m_watchdog;
    // Non-zero when the server runs as another user: the postgres user's ids.
    uint m_uid = 0;
    uint m_gid = 0;
    bool m_asOtherUser = false;
};

} // namespace pixdock::test
