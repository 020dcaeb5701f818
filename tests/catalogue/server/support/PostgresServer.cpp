// The tests' own PostgreSQL server: initdb, pg_ctl and psql of the installed PostgreSQL, a
// cluster in a temporary folder, and a watchdog that removes it whatever happens to the caller.
#include "PostgresServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <pwd.h>
#include <unistd.h>

namespace pixdock::test {

namespace {

// The group whose members log in with a password; everyone else is trusted on the socket.
const QString PasswordGroup = QStringLiteral("pixdock_password_users");

// The watchdog waits for its input to end (this object going, or the process dying), then
// stops the server and removes the folder. It runs in a session of its own, so a kill of the
// test's process group does not reach it, and the waiting and cleaning run in a process of
// their own that has left the test's process tree, so a test runner that kills the tree on a
// timeout does not stop it either. The shell lasts until the cleanup ends, through the pipe.
const char *WatchdogScript = R"(setsid -f bash -c 'read -r _ || true; "${@:2}" >/dev/null 2>&1; rm -rf -- "$1"' cleanup "$@" | cat
)";

} // namespace

PostgresServer::PostgresServer(bool durable)
{
    if (makeCluster(durable) && start())
        runSql("postgres", QStringLiteral("CREATE ROLE %1 NOLOGIN;").arg(PasswordGroup));
}

PostgresServer::~PostgresServer()
{
    // The watchdog's input ends: it stops the server and removes the folder.
    if (!m_watchdog)
        return;
    m_watchdog->closeWriteChannel();
    if (!m_watchdog->waitForFinished(120000))
        m_watchdog->kill();
}

PostgresServer &PostgresServer::shared()
{
    static PostgresServer *server = nullptr;
    if (!server) {
        server = new PostgresServer;
        qAddPostRoutine([] {
            delete server;
            server = nullptr;
        });
    }
    return *server;
}

QString PostgresServer::uri(const QString &database) const
{
    const auto encoded = [](const QString &part) { return QString::fromLatin1(QUrl::toPercentEncoding(part)); };
    return QStringLiteral("postgresql://%1@%2/%3").arg(superUser(), encoded(m_folder), encoded(database));
}

QStringList PostgresServer::command(const QString &tool, const QStringList &arguments, bool asServerUser) const
{
    const QString bin = qEnvironmentVariable("PIXDOCK_PG_BINDIR", QStringLiteral(PIXDOCK_PG_BINDIR));
    return (asServerUser ? m_asServerUser : QStringList()) + QStringList{bin + QLatin1Char('/') + tool} + arguments;
}

bool PostgresServer::runTool(const QString &tool, const QStringList &arguments, bool asServerUser, QString *output,
                             const QString &input)
{
    const QStringList line = command(tool, arguments, asServerUser);
    QProcess process;
    process.start(line.first(), line.mid(1));
    process.write(input.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished(10000);
        return fail(QStringLiteral("%1 did not start or finish in time: %2").arg(tool, process.errorString()));
    }
    const QString said = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    if (output)
        *output = said;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        m_failure = QStringLiteral("%1 failed: %2 %3").arg(tool, said, QString::fromUtf8(process.readAllStandardError()).trimmed());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PostgresServer::makeCluster(bool durable)
{
    if (!QFile::exists(command("initdb", {}, false).first()))
        return fail(QStringLiteral("PostgreSQL is not installed in %1").arg(PIXDOCK_PG_BINDIR));
    const passwd *pw = ::geteuid() == 0 ? ::getpwnam("postgres") : nullptr;
    if (::geteuid() == 0 && !pw)
        return fail(QStringLiteral("running as root and there is no postgres user to run the server"));
    m_asServerUser = pw ? QStringList{"setpriv", QStringLiteral("--reuid=%1").arg(pw->pw_uid),
                                      QStringLiteral("--regid=%1").arg(pw->pw_gid), "--clear-groups", "--"}
                        : QStringList();
    // A socket's path holds about a hundred bytes: a long temporary folder gives way to /tmp.
    QTemporaryDir folder((QDir::tempPath().size() < 60 ? QDir::tempPath() : QStringLiteral("/tmp")) + "/pixdock-pg-XXXXXX");
    if (!folder.isValid())
        return fail(QStringLiteral("no temporary folder for the server: %1").arg(folder.errorString()));
    folder.setAutoRemove(false); // the watchdog removes it
    m_folder = folder.path();
    m_watchdog = std::make_unique<QProcess>();
    m_watchdog->setStandardOutputFile(QProcess::nullDevice());
    m_watchdog->setStandardErrorFile(QProcess::nullDevice());
    m_watchdog->start("setsid", QStringList{"bash", "-c", WatchdogScript, "pixdock-pg-watchdog", m_folder}
                                    + command("pg_ctl", {"-D", data(), "-m", "immediate", "-w", "stop"}));
    if (!m_watchdog->waitForStarted(30000)) {
        const QString why = m_watchdog->errorString();
        m_watchdog.reset();
        QDir(m_folder).removeRecursively();
        return fail(QStringLiteral("the server's watchdog does not start: %1").arg(why));
    }
    // The server's user owns the folder; root, the tests' user in CI, reaches it all the same.
    if (pw && ::chown(QFile::encodeName(m_folder).constData(), pw->pw_uid, pw->pw_gid) != 0)
        return fail(QStringLiteral("cannot give %1 to the postgres user").arg(m_folder));
    if (!runTool("initdb", {"-D", data(), "-U", superUser(), "--auth=trust", "-E", "UTF8", "--locale=C.UTF-8", "-N",
                            "--locale-provider=icu", "--icu-locale=tr-TR"}))
        return false;
    QStringList settings{"listen_addresses = ''", QStringLiteral("unix_socket_directories = '%1'").arg(m_folder),
                         "unix_socket_permissions = 0777",
                         // Independent of the size of /dev/shm, which containers keep small.
                         "dynamic_shared_memory_type = mmap", "log_min_messages = warning"};
    if (!durable)
        settings << "fsync = off" << "full_page_writes = off" << "synchronous_commit = off";
    QFile conf(data() + QStringLiteral("/postgresql.conf"));
    QFile hba(data() + QStringLiteral("/pg_hba.conf"));
    if (!conf.open(QIODevice::Append) || !hba.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(QStringLiteral("cannot write the server's configuration in %1").arg(data()));
    conf.write(QStringLiteral("\n%1\n").arg(settings.join(QLatin1Char('\n'))).toUtf8());
    hba.write(QStringLiteral("local all +%1 scram-sha-256\nlocal all all trust\n").arg(PasswordGroup).toUtf8());
    return true;
}

bool PostgresServer::start()
{
    const QString log = m_folder + QStringLiteral("/server.log");
    m_running = runTool("pg_ctl", {"-D", data(), "-l", log, "-w", "-t", "60", "start"});
    if (QFile file(log); !m_running && file.open(QIODevice::ReadOnly))
        m_failure += QLatin1Char('\n') + QString::fromUtf8(file.readAll().right(4000)).trimmed();
    return m_running;
}

bool PostgresServer::stop()
{
    const bool stopped = runTool("pg_ctl", {"-D", data(), "-m", "fast", "-w", "stop"});
    m_running = m_running && !stopped;
    return stopped;
}

bool PostgresServer::runSql(const QString &database, const QString &sql, QString *output)
{
    // psql as the tests' own user: it reaches the server through the socket, not as its owner.
    return runTool("psql", {"-X", "-q", "-A", "-t", "-v", "ON_ERROR_STOP=1", "-h", m_folder, "-U", superUser(), "-d",
                            database, "-f", "-"},
                   false, output, sql);
}

bool PostgresServer::createDatabase(const QString &name)
{
    return runSql("postgres", QStringLiteral("CREATE DATABASE \"%1\" TEMPLATE template0;").arg(QString(name).replace('"', "\"\"")));
}

bool PostgresServer::addPasswordRole(const QString &role, const QString &password)
{
    return runSql("postgres", QStringLiteral("CREATE ROLE \"%1\" LOGIN PASSWORD '%2' IN ROLE %3;")
                                  .arg(role, QString(password).replace('\'', "''"), PasswordGroup));
}

} // namespace pixdock::test
