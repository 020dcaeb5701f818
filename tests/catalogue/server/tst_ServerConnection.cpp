// Connecting to a catalogue server: each way start-up can fail says so in plain words, names
// the host and database, and never shows the password.
#include "CatalogueStore.h"
#include "Locations.h"
#include "ModGlobal.h"
#include "RunTimeError.h"
#include "ServerConnection.h"
#include "ServerTestSupport.h"
#include "TestRegistry.h"

#include <QScopeGuard>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>

using namespace pixdock;
using test::PostgresServer;

namespace {
const QString Password = QStringLiteral("pw-7'x;y");

QString encoded(const QString &part) { return QString::fromLatin1(QUrl::toPercentEncoding(part)); }
} // namespace

class TestServerConnection : public QObject
{
    Q_OBJECT
private slots:
    void failuresSayWhatHappenedWithoutThePassword_data()
    {
        QTest::addColumn<QString>("case_");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("no server listening") << "unreachable" << catalogue::server::Unreachable;
        QTest::newRow("server stopped before start-up") << "stopped" << catalogue::server::Unreachable;
        QTest::newRow("wrong password") << "password" << catalogue::server::Refused;
        QTest::newRow("unknown user") << "user" << catalogue::server::Refused;
        QTest::newRow("no such database") << "database" << catalogue::server::NoDatabase;
        QTest::newRow("database without table Info") << "table" << catalogue::server::NoTable;
        QTest::newRow("Info is a view") << "view" << QStringLiteral("Info is not a table.");
        QTest::newRow("Info made by another program") << "foreign" << QStringLiteral("has no column id");
    }

    void failuresSayWhatHappenedWithoutThePassword()
    {
        QFETCH(QString, case_);
        QFETCH(QString, sentence);
        PostgresServer &server = PostgresServer::shared();
        QVERIFY2(server.isRunning(), qPrintable(server.failure()));
        const QString database = test::freshServerDatabase(QStringLiteral("faults"));
        static int roles = 0;
        const QString role = QStringLiteral("anna%1").arg(++roles);
        QVERIFY(server.addPasswordRole(role, Password));
        QVERIFY(server.runSql(database, QStringLiteral("GRANT ALL ON SCHEMA public TO %1;").arg(role)));
        QTemporaryDir nowhere;
        QString host = server.socketFolder();
        QString user = role;
        QString password = Password;
        QString name = database;
        if (case_ == QLatin1String("unreachable"))
            host = nowhere.path();
        else if (case_ == QLatin1String("password"))
            password = QStringLiteral("wrong-pw");
        else if (case_ == QLatin1String("user"))
            user = QStringLiteral("nobody");
        else if (case_ == QLatin1String("database"))
            name = QStringLiteral("nodb");
        else if (case_ == QLatin1String("view"))
            QVERIFY(server.runSql(database, QStringLiteral("CREATE VIEW Info AS SELECT 'a'::text AS FileName;")));
        else if (case_ == QLatin1String("foreign"))
            QVERIFY(server.runSql(database, QStringLiteral("CREATE TABLE Info (FileName text, Location text, Description text);")));
        const QString uri =
            QStringLiteral("postgresql://%1:%2@%3/%4").arg(encoded(user), encoded(password), encoded(host), encoded(name));
        qputenv(locations::CatalogueVariable, uri.toUtf8());
        const auto forget = qScopeGuard([] { qunsetenv(locations::CatalogueVariable); });
        const bool stop = case_ == QLatin1String("stopped");
        if (stop)
            QVERIFY(server.stop());
        const auto restart = qScopeGuard([&] {
            if (stop)
                server.start();
        });

        try {
            // What start-up runs.
            catalogue::OpenConnection();
            QFAIL("the connection did not fail");
        } catch (const RunTimeError &e) {
            QVERIFY(gConnection.isEmpty());
            QVERIFY2(e.description().contains(sentence), qPrintable(e.description()));
            QVERIFY2(e.description().contains(QStringLiteral("database %1 on %2").arg(name, host)), qPrintable(e.description()));
            QVERIFY2(!e.description().contains(password), qPrintable(e.description()));
        }
    }
};

PIXDOCK_REGISTER_TEST(TestServerConnection)
#include "tst_ServerConnection.moc"
