// The search through the trigram index gives exactly the rows of the plain search statement, in
// the same order, over rows this program and another one wrote, changed and removed after the
// index caught up; the index is built once on a worker, objects an older version made under
// other names are replaced while a user's own are left alone, and a catalogue that cannot take
// the index (locked; read-only is the damaged-catalogue tests') is still searched, by the scan.
#include "CatalogueDerived.h"
#include "CatalogueTestSupport.h"
#include "CatalogueSearch.h"
#include "CatalogueStatements.h"


using namespace pixdock;
using namespace pixdock::catalogue;

namespace {
constexpr qsizetype AllRows = std::numeric_limits<qsizetype>::max();

// The objects of the catalogue's schema, by name (tables, indexes, triggers).
QStringList schemaNames(const QString &cataloguePath)
{
    const char *names = "SELECT group_concat(name, ' ') FROM (SELECT name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' ORDER BY name)";
    return test::ForeignConnection(cataloguePath).value(names).toString().split(' ', Qt::SkipEmptyParts);
}

// Start-up's opening, and the upkeep it starts run to its end.
void openAndKeepUp()
{
    OpenConnection();
    CatalogueService::instance().waitForUpkeep();
}
} // namespace

class TestCatalogueSearchIndex : public test::CatalogueFileTest
{
    Q_OBJECT
private slots:
    // Descriptions in awkward letters, and bytes another program wrote that are no UTF-8 (an
    // overlong "A", a surrogate, a non-character, a NUL inside), which read as U+FFFD or as
    // text cut short, never as the letter they imitate.
    void theIndexFindsExactlyThePlainStatementsRows_data()
    {
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<bool>("viaIndex");
        QTest::newRow("index, every spelling of k") << "KIT" << true;
        QTest::newRow("index, sharp s both ways") << "STRAẞE,straße" << true;
        QTest::newRow("index, letters SQLite folds otherwise") << "ВОᲀ" << true;
        QTest::newRow("index, rows changed by another program") << "tten" << true;
        QTest::newRow("index, a number another program stored") << "234" << true;
        QTest::newRow("scan, short keyword") << "ki" << false;
        QTest::newRow("scan, empty keyword") << "zzz," << false;
        QTest::newRow("scan, a letter an overlong byte pair imitates") << "a,x" << false;
        QTest::newRow("what bytes that are no UTF-8 read as") << QString(QChar(0xFFFD)) << false;
        QTest::newRow("a NUL in a keyword") << QStringLiteral("k") + QChar(0) + QStringLiteral("kk") << false;
        QTest::newRow("half a surrogate pair") << QStringLiteral("kit") + QChar(0xD800) + QStringLiteral("kit,ᲀОВ")
                                               << false;
    }
    void theIndexFindsExactlyThePlainStatementsRows()
    {
        QFETCH(QString, keywords);
        QFETCH(bool, viaIndex);
        OpenConnection();
        for (const char *d : {"kit", "KIT", "\u212AIT", "ſkit", "Straße", "x"})
            addRow(sharedConnection(), QString::fromUtf8(d) + ".jpg", "/p", QString::fromUtf8(d));
        CatalogueService::instance().waitForUpkeep();
        {
            // Another program keeps trusted_schema off, as a careful program does: it refuses
            // virtual tables in triggers, so the triggers must not touch the index itself.
            test::ForeignConnection other(m_folder->cataloguePath());
            QVERIFY(other.exec("PRAGMA trusted_schema = OFF"));
            for (const char *d : {"STRASSE", "strasse", "вов", "ᲀОВ", "воᲀ", "None", "k i t"})
                QVERIFY(other.exec("INSERT INTO Info VALUES (?, '/q', ?)",
                                   {QString::fromUtf8(d) + ".jpg", QString::fromUtf8(d)}));
            for (const char *bytes : {"C181", "78EDA080", "EFBFBE", "6B006B6B", "6B6974EDA0806B6974"})
                QVERIFY(other.exec(QStringLiteral("INSERT INTO Info VALUES ('%1.jpg', '/b', CAST(X'%1' AS TEXT))")
                                       .arg(QLatin1String(bytes))));
            QVERIFY(other.exec("INSERT INTO Info VALUES ('null.jpg', '/n', NULL), ('number.jpg', '/n', 12345)"));
            QVERIFY(other.hold("UPDATE Info SET Description = 'kitten' WHERE FileName = 'x.jpg'; "
                               "DELETE FROM Info WHERE FileName = 'KIT.jpg'"));
        }
        const QStringList plain = test::namesOf(readRows(sharedConnection(), searchStatement(keywords)));
        QVERIFY(!plain.isEmpty());
        const SearchHits hits = findRowids(sharedConnection(), keywords, AllRows);
        QCOMPARE(test::namesOf(hits.rows), plain);
        QCOMPARE(hits.rowids.size(), hits.rows.size());
        QCOMPARE(hits.viaIndex, viaIndex);
        QCOMPARE(test::namesOf(test::allRows(*test::searched(keywords))), plain);
    }

    void theIndexIsBuiltOnceLeftAloneAndBuiltAgainWhenATriggerIsGone()
    {
        const QString path = m_folder->cataloguePath();
        QCOMPARE(schemaNames(path), QStringList{"Info"});
        openAndKeepUp();
        const QStringList built = schemaNames(path);
        for (const QString &name : {derived::State, derived::NameOrder, derived::NameChanges, derived::SearchIndex,
                                    derived::SearchChanges, derived::TrigramCounts})
            QVERIFY2(built.contains(name), qPrintable(built.join(' ')));
        const QByteArray before = test::fileBytes(path);
        test::resetProgramState();
        openAndKeepUp();
        QCOMPARE(test::fileBytes(path), before);

        // A tool dropped a trigger and wrote: the index is built again and finds the row.
        test::resetProgramState();
        QVERIFY(test::ForeignConnection(path).hold(
            "DROP TRIGGER pixdock_after_insert; INSERT INTO Info VALUES ('unseen.jpg', '/p', 'never logged')"));
        openAndKeepUp();
        const SearchHits hits = findRowids(sharedConnection(), QStringLiteral("logged"));
        QVERIFY(hits.viaIndex && hits.rowids.size() == 1);
    }

    void olderNamesAreReplacedAndAUsersOwnObjectsLeftAlone()
    {
        test::ForeignConnection other(m_folder->cataloguePath());
        // What the older version made, exactly as it made it...
        for (const char *sql :
             {"CREATE INDEX InfoFileNameOrder ON Info (FileName COLLATE NOCASE)",
              "CREATE TABLE InfoSearchChanges (Id INTEGER PRIMARY KEY, Row INTEGER, Indexed, WasIndexed INTEGER)",
              "CREATE TRIGGER InfoSearchAfterInsert AFTER INSERT ON Info BEGIN "
              "INSERT INTO InfoSearchChanges (Row, WasIndexed) VALUES (new.rowid, 0); END",
              // ...and the user's own trigger under one of its names, and a table of the user's.
              "CREATE TABLE Removed (FileName TEXT)",
              "CREATE TRIGGER InfoSearchAfterDelete AFTER DELETE ON Info BEGIN "
              "INSERT INTO Removed VALUES (old.FileName); END",
              "INSERT INTO Info VALUES ('a.jpg', '/p', 'one')"})
            QVERIFY(other.exec(QString::fromLatin1(sql)));
        openAndKeepUp();
        const QStringList names = schemaNames(m_folder->cataloguePath());
        for (const char *gone : {"InfoFileNameOrder", "InfoSearchChanges", "InfoSearchAfterInsert"})
            QVERIFY2(!names.contains(QLatin1String(gone)), gone);
        for (const char *kept : {"Removed", "InfoSearchAfterDelete", "pixdock_search", "pixdock_after_insert"})
            QVERIFY2(names.contains(QLatin1String(kept)), kept);
        // The user's trigger still does its work beside ours.
        QCOMPARE(CatalogueService::instance().removeRows(QStringLiteral("a.jpg"), QStringLiteral("/p")), 1);
        QCOMPARE(other.value("SELECT group_concat(FileName) FROM Removed").toString(), QStringLiteral("a.jpg"));
    }

    void aLockedCatalogueOpensAndIsSearchedWithoutTheIndex()
    {
        const QString path = m_folder->cataloguePath();
        QVERIFY(test::ForeignConnection(path).exec(
            "INSERT INTO Info VALUES ('x.jpg', '/p', 'Keyword here'), ('y.jpg', '/p', 'nothing')"));
        test::ForeignConnection writer(path);
        QVERIFY(writer.hold("BEGIN IMMEDIATE; INSERT INTO Info VALUES ('z.jpg', '/p', 'uncommitted keyword')"));
        OpenConnection();
        QCOMPARE(schemaNames(path), QStringList{"Info"});
        const SearchHits hits = findRowids(sharedConnection(), QStringLiteral("KEYWORD"), AllRows);
        QVERIFY(!hits.viaIndex);
        QCOMPARE(hits.rows, (QList<CatalogueRow>{{"x.jpg", "/p", "Keyword here"}}));
        // The list still loads, whole, without its stored order.
        QCOMPARE(test::allRows(*test::loadedList()), test::inNameOrder(readRows(sharedConnection(), listStatement())));
        QVERIFY(writer.exec("COMMIT"));

        // Free again: the upkeep builds the index.
        CatalogueService::instance().waitForUpkeep();
        QVERIFY(schemaNames(path).contains(derived::SearchIndex));
        QCOMPARE(findRowids(sharedConnection(), QStringLiteral("keyword")).rowids.size(), 2);
    }

};

PIXDOCK_REGISTER_TEST(TestCatalogueSearchIndex)
#include "tst_CatalogueSearchIndex.moc"
