// The tests' own PostgreSQL server: reachable on its socket only, and gone with its folder
// when its owner ends, however it ends.
#include "PostgresServer.h"
#include "TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using pixdock::test::PostgresServer;

namespace {

// The postmaster's process id, from the first line of postmaster.pid.
qint64 postmasterPid(const QString &socketFolder)
{
    QFile pidFile(socketFolder + QStringLiteral("/data/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return 0;
    return pidFile.readLine().trimmed().toLongLong();
}

// A process that has ended but not been reaped yet (a zombie) counts as gone.
bool processExists(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype afterName = line.lastIndexOf(')');
    return afterName > 0 && line.mid(afterName + 2, 1) != "Z";
}

} // namespace

class TestPostgresServer : public QObject
{
    Q_OBJECT
private slots:
    void listensOnItsSocketOnlyAndGoesWithItsFolder()
    {
        QString folder;
        qint64 pid = 0;
        {
            PostgresServer server;
            QVERIFY2(server.isRunning(), qPrintable(server.failure()));
            folder = server.socketFolder();
            QVERIFY(QFileInfo(folder + QStringLiteral("/.s.PGSQL.5432")).exists());
            QString said;
            QVERIFY2(server.runSql(QStringLiteral("postgres"),
                                   QStringLiteral("SELECT current_setting('listen_addresses') = '', current_user;"),
                                   &said),
                     qPrintable(server.failure()));
            QCOMPARE(said, QStringLiteral("t|pixdock"));
            pid = postmasterPid(folder);
            QVERIFY(processExists(pid));
            // Never root's: the server refuses to run as root.
            QVERIFY(QFileInfo(folder + QStringLiteral("/data")).ownerId() != 0);
        }
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(!processExists(pid));
    }

    void stopsAndStartsAgainOnTheSameCluster()
    {
        PostgresServer server;
        QVERIFY2(server.isRunning(), qPrintable(server.failure()));
        QVERIFY(server.createDatabase(QStringLiteral("kept")));
        QVERIFY(server.runSql(QStringLiteral("kept"), QStringLiteral("CREATE TABLE t (x int); INSERT INTO t VALUES (7);")));
        QVERIFY2(server.stop(), qPrintable(server.failure()));
        QVERIFY(!server.runSql(QStringLiteral("kept"), QStringLiteral("SELECT 1;")));
        QVERIFY2(server.start(), qPrintable(server.failure()));
        QString said;
        QVERIFY(server.runSql(QStringLiteral("kept"), QStringLiteral("SELECT x FROM t;"), &said));
        QCOMPARE(said, QStringLiteral("7"));
    }

    void aSessionHoldsWhatItTakes()
    {
        PostgresServer &server = PostgresServer::shared();
        QVERIFY2(server.isRunning(), qPrintable(server.failure()));
        QVERIFY(server.createDatabase(QStringLiteral("session")));
        QVERIFY(server.runSql(QStringLiteral("session"), QStringLiteral("CREATE TABLE t (x int);")));
        {
            auto session = server.openSession(QStringLiteral("session"));
            QVERIFY2(session->run(QStringLiteral("BEGIN; LOCK TABLE t IN ACCESS EXCLUSIVE MODE;")),
                     qPrintable(session->failure()));
            QVERIFY(!server.runSql(QStringLiteral("session"),
                                   QStringLiteral("SET lock_timeout = 200; INSERT INTO t VALUES (1);")));
            QVERIFY(server.failure().contains(QLatin1String("lock timeout")));
            QVERIFY(!session->run(QStringLiteral("SELECT * FROM nowhere;")));
        }
        // The session's end gave the lock back.
        QVERIFY(server.runSql(QStringLiteral("session"), QStringLiteral("SET lock_timeout = 5000; INSERT INTO t VALUES (1);")));
    }

    void aKilledOwnerLeavesNoServerBehind()
    {
        QProcess holder;
        holder.start(QStringLiteral(PIXDOCK_PG_HOLDER), QStringList());
        QVERIFY(holder.waitForStarted(30000));
        QVERIFY2(holder.waitForReadyRead(120000), qPrintable(QString::fromUtf8(holder.readAllStandardError())));
        const QString folder = QString::fromUtf8(holder.readLine()).trimmed();
        QVERIFY(QFileInfo(folder + QStringLiteral("/.s.PGSQL.5432")).exists());
        const qint64 pid = postmasterPid(folder);
        QVERIFY(processExists(pid));

        holder.kill();
        QVERIFY(holder.waitForFinished(30000));
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folder), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), 30000);
    }
};

PIXDOCK_REGISTER_TEST(TestPostgresServer)
#include "tst_PostgresServer.moc"
