// Catalogue addresses: files and libpq URIs split as libpq splits them, and a password that
// no shown text ever holds. A socket folder as host is what the server tests connect through.
#include "CatalogueAddress.h"
#include "RunTimeError.h"
#include "TestRegistry.h"

#include <QTest>

using namespace pixdock;

class TestCatalogueAddress : public QObject
{
    Q_OBJECT
private slots:
    // What a text names, as one line: "host|port|database|user|password|driver options|shown
    // text|place" for a server, "file" for a file path (shown and placed as it is), or "refused:"
    // and a piece of the reason for a malformed URI (whose reason never holds the secret).
    void addressesSplitAsLibpqSplitsThem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("split");
        QTest::newRow("password and port, percent-encoded") << "postgres://anna:s3cr%40t:x@nas.local:5433/pics"
            << "nas.local|5433|pics|anna|s3cr@t:x|port='5433'|postgres://anna@nas.local:5433/pics|database pics on nas.local:5433";
        QTest::newRow("parameters override the parts, secrets are not shown")
            << "postgresql://old/pictures?host=/tmp/s&password=pw&connect_timeout=5&sslpassword=k"
            << "/tmp/s||pictures||pw|connect_timeout='5';sslpassword='k'|postgresql://old/pictures?host=/tmp/s&connect_timeout=5"
               "|database pictures on /tmp/s";
        QTest::newRow("several hosts and ports") << "postgresql://a:1,b,c:3/db"
            << "a,b,c|1,,3|db|||port='1,,3'|postgresql://a:1,b,c:3/db|database db on a,b,c";
        QTest::newRow("IPv6 host") << "postgresql://[::1]:5432/db"
            << "::1|5432|db|||port='5432'|postgresql://[::1]:5432/db|database db on ::1:5432";
        QTest::newRow("nothing but the prefix: libpq's defaults") << "postgresql://"
            << "||||||postgresql://|the default database on the default server";
        QTest::newRow("ssl=true and quoting in values") << "postgresql:///d?ssl=true&application_name=O'Brien%5Cx"
            << "||d|||sslmode='require';application_name='O\\'Brien\\\\x'|postgresql:///d?ssl=true&application_name=O'Brien%5Cx"
               "|database d on the default server";
        QTest::newRow("an empty password is still left out") << "postgresql://u:@h/d"
            << "h||d|u|||postgresql://u@h/d|database d on h";
        QTest::newRow("relative with a colon") << "cat:alogue.fil" << "file";
        QTest::newRow("scheme in other letter case, as libpq reads it") << "PostgreSQL://h/d" << "file";
        QTest::newRow("another scheme") << "sqlite:///x.fil" << "file";
        QTest::newRow("parameter without value") << "postgresql://u:secret@h/d?sslmode" << "refused: sslmode";
        QTest::newRow("two separators") << "postgresql://u:secret@h/d?a=b=c" << "refused: \"a\"";
        QTest::newRow("bad percent") << "postgresql://u:secret@h/d%zz" << "refused: database name";
        QTest::newRow("percent zero") << "postgresql://u:secret@h%00/d" << "refused: %00";
        QTest::newRow("unclosed IPv6") << "postgresql://u:secret@[::1/d" << "refused: IPv6";
        QTest::newRow("secret parameter holding ;") << "postgresql://h/d?password=x&sslpassword=se;cret" << "refused: sslpassword";
        QTest::newRow("bad percent in the password") << "postgresql://u:secret%g@h/d" << "refused: password";
    }
    void addressesSplitAsLibpqSplitsThem()
    {
        QFETCH(QString, text);
        QFETCH(QString, split);
        QCOMPARE(CatalogueAddress::namesServer(text), split != "file");
        try {
            const CatalogueAddress a = CatalogueAddress::fromText(text);
            QVERIFY(!split.startsWith("refused"));
            if (!a.isServer()) {
                QCOMPARE(QStringList({a.filePath(), a.shownText(), a.place()}), QStringList(3, text));
                QCOMPARE(split, "file");
                return;
            }
            QCOMPARE(QStringList({a.host(), a.port(), a.database(), a.user(), a.password(), a.driverOptions(),
                                  a.shownText(), a.place()}).join('|'), split);
            QCOMPARE(CatalogueAddress::shown(text), a.shownText());
        } catch (const RunTimeError &e) {
            QCOMPARE(e.number(), err::DatabaseError);
            QVERIFY2(split.startsWith("refused") && e.description().contains(split.mid(9)), qPrintable(e.description()));
            QVERIFY2(!e.description().contains(QLatin1String("cret")), qPrintable(e.description()));
        }
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueAddress)
#include "tst_CatalogueAddress.moc"
