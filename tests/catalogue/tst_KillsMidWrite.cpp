// A writer that appends and removes catalogue rows through the real store is killed with
// SIGKILL at random moments: after every kill the catalogue passes SQLite's integrity check,
// holds every row whose append was acknowledged (and none whose removal was), and every row is
// whole. PIXDOCK_KILLS sets the number of kills (make reliability: 200).
#include "CatalogueTestSupport.h"

#include <QDeadlineTimer>

#include <random>

using namespace pixdock;
using namespace pixdock::reliability;

class TestKillsMidWrite : public test::CatalogueFileTest
{
    Q_OBJECT
private slots:
    void aKilledWriterNeverCostsAnAcknowledgedRow()
    {
        const int kills = qEnvironmentVariableIntValue("PIXDOCK_KILLS") > 0 ? qEnvironmentVariableIntValue("PIXDOCK_KILLS") : 12;
        const QString db = m_folder->cataloguePath();
        KillLedger ledger;
        std::mt19937 random(20240607);
        for (int k = 0; k < kills; ++k) {
            const qint64 first = ledger.nextFirst();
            QProcess writer;
            writer.start(QStringLiteral(PIXDOCK_CATALOGUE_WRITER), {db, QString::number(first)});
            QByteArray output;
            // Wait for the catalogue to be open, then a random moment of writing.
            while (!output.contains("ready") && !output.contains("error") && writer.waitForReadyRead(20000))
                output += writer.readAllStandardOutput();
            QVERIFY2(output.contains("ready"), output.constData());
            for (const QDeadlineTimer writing(int(random() % 600)); !writing.hasExpired();) {
                writer.waitForReadyRead(int(std::max<qint64>(1, writing.remainingTime())));
                output += writer.readAllStandardOutput();
            }
            writer.kill();
            QVERIFY(writer.waitForFinished(20000));
            output += writer.readAllStandardOutput();
            QVERIFY2(!output.contains("error"), output.right(300).constData());
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            ledger.record(first, output);
            const QStringList problems = ledger.check(db);
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("kill %1: ").arg(k + 1) + problems.join("; ")));
        }
        // Rollback journal, full synchronous writes: see docs/RELIABILITY.md.
        QCOMPARE(ledger.storeSettings(), QStringLiteral("journal=delete synchronous=2"));
        QVERIFY(ledger.acknowledgedAdds() > 0);
        qInfo("kills %d: integrity ok after every one; %d appends and %d removals acknowledged, %d rows now",
              kills, ledger.acknowledgedAdds(), ledger.acknowledgedRemoves(), ledger.rowsNow());
    }
};

PIXDOCK_REGISTER_TEST(TestKillsMidWrite)
#include "tst_KillsMidWrite.moc"
