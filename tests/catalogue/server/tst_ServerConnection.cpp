// Connecting to a catalogue server: each way start-up can fail says so in plain words, names
// the host and database, and never shows the password.
#include "CatalogueStore.h"
#include "Locations.h"
#include "ModGlobal.h"
#include "ServerConnection.h"
#include "ServerTestSupport.h"

#include <QScopeGuard>

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
        QTest::addColumn<QString>("change"); // to the address or the database
        QTest::addColumn<QString>("sentence");
        QTest::newRow("no server listening") << "host=" << catalogue::server::Unreachable;
        QTest::newRow("wrong password") << "password=wrong-pw" << catalogue::server::Refused;
        QTest::newRow("unknown user") << "user=nobody" << catalogue::server::Refused;
        QTest::newRow("no such database") << "database=nodb" << catalogue::server::NoDatabase;
        QTest::newRow("database without table Info") << "" << catalogue::server::NoTable;
        QTest::newRow("Info is a view") << "sql=CREATE VIEW Info AS SELECT 'a'::text AS FileName;"
                                        << QStringLiteral("Info is not a table.");
        QTest::newRow("Info made by another program")
            << "sql=CREATE TABLE Info (FileName text, Location text, Description text);" << QStringLiteral("has no column id");
    }
    void failuresSayWhatHappenedWithoutThePassword()
    {
        QFETCH(QString, change);
        QFETCH(QString, sentence);
        PostgresServer &server = PostgresServer::shared();
        const QString database = test::freshServerDatabase(QStringLiteral("faults"));
        static int roles = 0;
        const QString role = QStringLiteral("anna%1").arg(++roles);
        QVERIFY(server.addPasswordRole(role, Password));
        QVERIFY(server.runSql(database, QStringLiteral("GRANT ALL ON SCHEMA public TO %1;").arg(role)));
        QTemporaryDir nowhere;
        const QString what = change.section('=', 0, 0), value = change.section('=', 1);
        const QString host = what == "host" ? nowhere.path() : server.socketFolder();
        const QString password = what == "password" ? value : Password, name = what == "database" ? value : database;
        if (what == "sql")
            QVERIFY(server.runSql(database, value));
        const QString uri = QStringLiteral("postgresql://%1:%2@%3/%4")
                                .arg(encoded(what == "user" ? value : role), encoded(password), encoded(host), encoded(name));
        qputenv(locations::CatalogueVariable, uri.toUtf8());
        const auto forget = qScopeGuard([] { qunsetenv(locations::CatalogueVariable); });

        // What start-up runs.
        const QString said = test::failureOf([] { catalogue::OpenConnection(); });
        QVERIFY(gConnection.isEmpty());
        QVERIFY2(said.contains(sentence) && said.contains(QStringLiteral("database %1 on %2").arg(name, host))
                     && !said.contains(password),
                 qPrintable(said));
    }
};

PIXDOCK_REGISTER_TEST(TestServerConnection)
#include "tst_ServerConnection.moc"
