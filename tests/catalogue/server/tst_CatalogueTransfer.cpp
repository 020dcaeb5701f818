// Copying catalogues: every row copied exactly between file and server, a copy that cannot be
// exact changing nothing, and rows other programs write to the server folded as Pixdock folds.
#include "CaseFolding.h"
#include "ServerTestSupport.h"

using namespace pixdock;
using catalogue::CopiedRow;
using test::PostgresServer;

const QString InsertThere = QStringLiteral("INSERT INTO Info (FileName, Location, Description) VALUES ('there.jpg', '/q', 'before');");
const QList<CopiedRow> There{{"there.jpg", "/q", "before"}};
// The target ("file": a new file, copied to from a missing one), the source's rows, and a piece
// of the refusal.
struct Refusal { QString to; QList<CopiedRow> sourceRows; QString why; };

class TestCatalogueTransfer : public QObject
{
    Q_OBJECT
private slots:
    // Every awkward row goes file, server, file unchanged.
    void copiesRoundTripFileServerFileExactly()
    {
        QTemporaryDir folder;
        const QString first = folder.filePath("first.fil");
        catalogue::createCatalogue(first);
        const QList<CopiedRow> rows = test::awkwardRows();
        QVERIFY(test::writeFileRows(first, rows));
        const QString database = test::freshServerDatabase("roundtrip");
        PostgresServer &server = PostgresServer::shared();
        catalogue::createCatalogue(server.uri(database));
        const catalogue::CopyOutcome there = catalogue::copyCatalogue(first, server.uri(database));
        QCOMPARE(there.rows, rows.size());
        QCOMPARE(test::catalogueRows(database, true), test::texts(rows));
        QCOMPARE(catalogue::copyCatalogue(server.uri(database), folder.filePath("last.fil")).checksum, there.checksum);
        QCOMPARE(test::catalogueRows(folder.filePath("last.fil")), test::texts(rows));
        // The server's copies of the texts are folded as the program folds, also for rows other
        // programs write: every character that folding changes, in one description.
        QString said;
        QVERIFY(server.runSql(database, "SELECT count(*) FROM Info WHERE pixdock_description_folded IS NOT NULL;", &said));
        QCOMPARE(said.toInt(), rows.size() - 1);
        QString all = QStringLiteral("ASCII Mixed ");
        for (const auto &pair : catalogue::caseFoldingPairs())
            all += QString::fromUcs4(&pair.first, 1);
        QVERIFY2(server.runSql(database, "DELETE FROM Info; INSERT INTO Info (FileName, Location, Description) VALUES "
                                         "('ΣΊΣΥΦΟΣ.JPG', '/p', '" + all + "');"),
                 qPrintable(server.failure()));
        QVERIFY(server.runSql(database, "SELECT pixdock_filename_folded || '|' || pixdock_description_folded FROM Info;", &said));
        QCOMPARE(said, catalogue::caseFolded("ΣΊΣΥΦΟΣ.JPG") + '|' + catalogue::caseFolded(all));
        QVERIFY(server.runSql(database, "UPDATE Info SET Description = 'ẞ ΣΑΣ'; SELECT pixdock_description_folded FROM Info;",
                              &said));
        QCOMPARE(said, catalogue::caseFolded("ẞ ΣΑΣ"));
    }

    void aCopyThatCannotBeExactChangesNothing_data()
    {
        QTest::addColumn<Refusal>("refusal");
        const QList<CopiedRow> plain{{"a.jpg", "/p", "d"}};
        QTest::newRow("into a file that holds rows") << Refusal{"full file", plain, "already holds pictures"};
        QTest::newRow("into a server catalogue that holds rows") << Refusal{"full server", plain, "already holds pictures"};
        QTest::newRow("into a server database without a catalogue") << Refusal{"bare server", plain, "has no table Info"};
        QTest::newRow("a NUL character the server cannot store")
            << Refusal{"server", {{"a.jpg", "/p", "d"}, {"nul.jpg", "/p", QString(QChar(0)) + "x"}}, "Row 2 (nul.jpg)"};
        QTest::newRow("a file onto itself") << Refusal{"same file", plain, "onto itself"};
        QTest::newRow("from a missing file") << Refusal{"file", plain, "was not found"};
    }
    void aCopyThatCannotBeExactChangesNothing()
    {
        QFETCH(Refusal, refusal);
        const auto &[to, sourceRows, why] = refusal;
        QTemporaryDir folder;
        const QString source = folder.filePath("source.fil");
        catalogue::createCatalogue(source);
        QVERIFY(test::writeFileRows(source, sourceRows));
        QString target = to == "same file" ? source : folder.filePath("target.fil");
        const QString database = to.contains("server") ? test::freshServerDatabase("refuse") : QString();
        if (to == "full file") {
            catalogue::createCatalogue(target);
            QVERIFY(test::writeFileRows(target, There));
        } else if (!database.isEmpty()) {
            target = PostgresServer::shared().uri(database);
            if (to != "bare server")
                catalogue::createCatalogue(target);
            if (to == "full server")
                QVERIFY(PostgresServer::shared().runSql(database, InsertThere));
        }
        const QString refused = test::failureOf(
            [&] { catalogue::copyCatalogue(to == "file" ? folder.filePath("nowhere.fil") : source, target); });
        QVERIFY2(refused.contains(why), qPrintable(refused));
        if (to == "full file")
            QCOMPARE(test::catalogueRows(target), test::texts(There));
        else if (to == "full server" || to == "server")
            QCOMPARE(test::catalogueRows(database, true), test::texts(to == "server" ? QList<CopiedRow>() : There));
        else if (to == "file")
            QVERIFY(!QFileInfo::exists(target)); // made for the copy, removed with it
        QCOMPARE(test::catalogueRows(source), test::texts(sourceRows));
    }

};

PIXDOCK_REGISTER_TEST(TestCatalogueTransfer)
#include "tst_CatalogueTransfer.moc"
