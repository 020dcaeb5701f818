// Several Pixdock instances writing to one catalogue on a server at the same time: every change
// a writer was told it made is there afterwards, and nothing else.
#include "ServerTestSupport.h"


using namespace pixdock;
using test::PostgresServer;

class TestServerWriters : public QObject
{
    Q_OBJECT
private slots:
    void writersAtOnceLoseNothingAndAddNothingUnasked()
    {
        constexpr int Writers = 2, Adds = 150;
        const QString database = test::freshServerDatabase(QStringLiteral("writers"));
        const QString address = PostgresServer::shared().uri(database);
        catalogue::createCatalogue(address);

        QProcess writers[Writers];
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PIXDOCK_CATALOGUE"), address);
        for (int i = 0; i < Writers; ++i) {
            writers[i].setProcessEnvironment(environment);
            writers[i].start(PIXDOCK_CONCURRENT_WRITER, {QStringLiteral("w%1").arg(i), QString::number(Adds)});
        }
        // Each writer's acknowledged adds, less its acknowledged removals; anything else refused.
        QStringList expected, refused;
        for (QProcess &writer : writers) {
            QVERIFY2(writer.waitForFinished(120000), qPrintable(writer.errorString()));
            QCOMPARE(writer.exitCode(), 0);
            for (const QString &line : QString::fromUtf8(writer.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
                const QStringList words = line.split(' ');
                if (words.first() == QLatin1String("added"))
                    expected << words.at(1);
                else if (words.first() == QLatin1String("removed") && words.at(2) == QLatin1String("1"))
                    expected.removeOne(words.at(1));
                else if (words.first() != QLatin1String("began") && words.first() != QLatin1String("ended"))
                    refused << line;
            }
        }
        // Locally nothing keeps a writer waiting past the timeouts.
        QVERIFY2(refused.isEmpty(), qPrintable(refused.join('\n')));
        QCOMPARE(expected.size(), Writers * (Adds - Adds / 3));

        QStringList present;
        for (const QString &row : test::catalogueRows(database, true))
            present << row.section(" | ", 0, 0);
        expected.sort();
        present.sort();
        QCOMPARE(present, expected);
    }
};

PIXDOCK_REGISTER_TEST(TestServerWriters)
#include "tst_ServerWriters.moc"
