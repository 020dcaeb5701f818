// Making and copying catalogues: an empty catalogue made once and never over another, every
// row copied exactly between file and server, and a copy that cannot be exact changing nothing.
#include "CatalogueTransfer.h"
#include "CaseFolding.h"
#include "FileRowStreams.h"
#include "RunTimeError.h"
#include "ServerRowStreams.h"
#include "ServerTestSupport.h"
#include "TestRegistry.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace pixdock;
using catalogue::CopiedRow;
using test::PostgresServer;

namespace {

// Writes rows into a catalogue file through the SQLite driver, not through the program.
bool writeFileRows(const QString &path, const QList<CopiedRow> &rows)
{
    const QString name = QStringLiteral("test-write-rows");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        QSqlQuery q(db);
        ok = ok && q.prepare(QStringLiteral("INSERT INTO Info (FileName, Location, Description) VALUES (?, ?, ?)"));
        const auto value = [](const QString &v) { return v.isNull() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(v); };
        for (const CopiedRow &row : rows) {
            q.bindValue(0, value(row.fileName));
            q.bindValue(1, value(row.location));
            q.bindValue(2, value(row.description));
            ok = ok && q.exec();
        }
        ok = ok && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const RunTimeError &e) {
        return e.description();
    }
    return {};
}

} // namespace

class TestCatalogueTransfer : public QObject
{
    Q_OBJECT
private slots:
    void aCatalogueIsMadeOnceAndNeverOverAnother_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::newRow("file") << false;
        QTest::newRow("server") << true;
    }

    void aCatalogueIsMadeOnceAndNeverOverAnother()
    {
        QFETCH(bool, onServer);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("new.fil"));
        const QString database = onServer ? test::freshServerDatabase(QStringLiteral("create")) : QString();
        const QString address = onServer ? PostgresServer::shared().uri(database) : file;

        catalogue::createCatalogue(address);
        QVERIFY(onServer ? test::serverRows(database).isEmpty() : test::fileRows(file).isEmpty());
        const QList<CopiedRow> one{{QStringLiteral("a.jpg"), QStringLiteral("/p"), QStringLiteral("kept")}};
        if (onServer)
            QVERIFY(PostgresServer::shared().runSql(database, QStringLiteral("INSERT INTO Info (FileName, Location, Description) "
                                                                             "VALUES ('a.jpg', '/p', 'kept');")));
        else
            QVERIFY(writeFileRows(file, one));

        const QString refused = failureOf([&] { catalogue::createCatalogue(address); });
        QVERIFY2(refused.contains(QLatin1String("already")), qPrintable(refused));
        QCOMPARE(onServer ? test::serverRows(database) : test::fileRows(file), one);
    }

    void copiesRoundTripFileServerFileExactly()
    {
        QTemporaryDir folder;
        const QString first = folder.filePath(QStringLiteral("first.fil"));
        const QString last = folder.filePath(QStringLiteral("last.fil"));
        catalogue::createCatalogue(first);
        const QList<CopiedRow> rows = test::awkwardRows();
        QVERIFY(writeFileRows(first, rows));
        const QString database = test::freshServerDatabase(QStringLiteral("roundtrip"));
        const QString server = PostgresServer::shared().uri(database);
        catalogue::createCatalogue(server);

        const catalogue::CopyOutcome there = catalogue::copyCatalogue(first, server);
        QCOMPARE(there.rows, rows.size());
        QCOMPARE(test::serverRows(database), rows);
        const catalogue::CopyOutcome back = catalogue::copyCatalogue(server, last);
        QCOMPARE(back.checksum, there.checksum);
        QCOMPARE(test::fileRows(last), rows);

        // The server's copies of the texts are folded as the program folds.
        QString said;
        QVERIFY(PostgresServer::shared().runSql(
            database, QStringLiteral("SELECT count(*) FROM Info WHERE pixdock_description_folded IS NOT NULL;"), &said));
        QCOMPARE(said.toInt(), rows.size() - 1);
    }

    void aCopyThatCannotBeExactChangesNothing_data()
    {
        QTest::addColumn<QString>("fromKind");
        QTest::addColumn<QString>("toKind");
        QTest::addColumn<QList<CopiedRow>>("sourceRows");
        QTest::addColumn<QString>("why");
        const QList<CopiedRow> plain{{QStringLiteral("a.jpg"), QStringLiteral("/p"), QStringLiteral("d")}};
        QTest::newRow("file into a file that holds rows") << "file" << "full file" << plain << "already holds pictures";
        QTest::newRow("file into a server catalogue that holds rows")
            << "file" << "full server" << plain << "already holds pictures";
        QTest::newRow("into a server database without a catalogue")
            << "file" << "bare server" << plain << "has no table Info";
        QTest::newRow("a NUL character the server cannot store")
            << "file" << "server" << QList<CopiedRow>{{QStringLiteral("a.jpg"), QStringLiteral("/p"), QStringLiteral("d")},
                                                      {QStringLiteral("nul.jpg"), QStringLiteral("/p"), QString(QChar(0)) + QStringLiteral("x")}}
            << "Row 2 (nul.jpg)";
        QTest::newRow("a file onto itself") << "file" << "same file" << plain << "onto itself";
        QTest::newRow("from a missing file") << "missing file" << "file" << plain << "was not found";
    }

    void aCopyThatCannotBeExactChangesNothing()
    {
        QFETCH(QString, fromKind);
        QFETCH(QString, toKind);
        QFETCH(QList<CopiedRow>, sourceRows);
        QFETCH(QString, why);
        QTemporaryDir folder;
        const QString source = folder.filePath(QStringLiteral("source.fil"));
        catalogue::createCatalogue(source);
        QVERIFY(writeFileRows(source, sourceRows));
        const QList<CopiedRow> already{{QStringLiteral("there.jpg"), QStringLiteral("/q"), QStringLiteral("before")}};

        QString target = folder.filePath(QStringLiteral("target.fil"));
        QString database;
        if (toKind == QLatin1String("full file")) {
            catalogue::createCatalogue(target);
            QVERIFY(writeFileRows(target, already));
        } else if (toKind == QLatin1String("same file")) {
            target = source;
        } else if (toKind != QLatin1String("file")) {
            database = test::freshServerDatabase(QStringLiteral("refuse"));
            target = PostgresServer::shared().uri(database);
            if (toKind != QLatin1String("bare server"))
                catalogue::createCatalogue(target);
            if (toKind == QLatin1String("full server"))
                QVERIFY(PostgresServer::shared().runSql(database, QStringLiteral("INSERT INTO Info (FileName, Location, Description) "
                                                                                 "VALUES ('there.jpg', '/q', 'before');")));
        }
        const QString from = fromKind == QLatin1String("missing file") ? folder.filePath(QStringLiteral("nowhere.fil")) : source;

        const QString refused = failureOf([&] { catalogue::copyCatalogue(from, target); });
        QVERIFY2(refused.contains(why), qPrintable(refused));
        if (toKind == QLatin1String("full file"))
            QCOMPARE(test::fileRows(target), already);
        else if (toKind == QLatin1String("full server"))
            QCOMPARE(test::serverRows(database), already);
        else if (toKind == QLatin1String("server"))
            QCOMPARE(test::serverRows(database), QList<CopiedRow>());
        else if (toKind == QLatin1String("file"))
            QVERIFY(!QFileInfo::exists(target)); // made for the copy, removed with it
        QCOMPARE(test::fileRows(source), sourceRows);
    }

    void rowsWrittenByOtherProgramsAreFoldedAsPixdockFolds()
    {
        const QString database = test::freshServerDatabase(QStringLiteral("fold"));
        catalogue::createCatalogue(PostgresServer::shared().uri(database));
        // Every character that folding changes, in one description.
        QString all = QStringLiteral("ASCII Mixed ");
        for (const auto &[c, folded] : catalogue::caseFoldingPairs()) {
            Q_UNUSED(folded);
            all += QString::fromUcs4(&c, 1);
        }
        PostgresServer &server = PostgresServer::shared();
        QVERIFY2(server.runSql(database, QStringLiteral("INSERT INTO Info (FileName, Location, Description) VALUES "
                                                        "('ΣΊΣΥΦΟΣ.JPG', '/p', '%1');")
                                             .arg(all)),
                 qPrintable(server.failure()));
        QString folded;
        QVERIFY(server.runSql(database, QStringLiteral("SELECT pixdock_filename_folded || '|' || pixdock_description_folded FROM Info;"),
                              &folded));
        QCOMPARE(folded, catalogue::caseFolded(QStringLiteral("ΣΊΣΥΦΟΣ.JPG")) + QLatin1Char('|') + catalogue::caseFolded(all));

        QVERIFY(server.runSql(database, QStringLiteral("UPDATE Info SET Description = 'ẞ ΣΑΣ'; "
                                                       "SELECT pixdock_description_folded FROM Info;"),
                              &folded));
        QCOMPARE(folded, catalogue::caseFolded(QStringLiteral("ẞ ΣΑΣ")));
    }

};

PIXDOCK_REGISTER_TEST(TestCatalogueTransfer)
#include "tst_CatalogueTransfer.moc"
