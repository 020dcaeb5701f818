// The search through the trigram index gives exactly the rows of the plain search statement,
// in the same order, over random catalogues of awkward text written by this program and by
// others, also before the index has caught up with them; the index is built once on a worker,
// objects an older version made under other names are replaced while a user's own are left
// alone, and a catalogue that cannot take the index (read-only, locked) is still searched, by
// the plain scan.
#include "CatalogueDerived.h"
#include "CatalogueService.h"
#include "CatalogueSqlite.h"
#include "CatalogueScaleSupport.h"
#include "CatalogueSearch.h"
#include "CatalogueStatements.h"
#include "CatalogueStore.h"
#include "CatalogueUnicode.h"
#include "SqliteFunctions.h"
#include "ProgramFolder.h"
#include "TestRegistry.h"
#include "TestState.h"

#include <QSqlQuery>
#include <QTest>

#include <limits>
#include <memory>

using namespace pixdock;
using namespace pixdock::catalogue;

namespace {

constexpr qsizetype AllRows = std::numeric_limits<qsizetype>::max();

// A keyword text a user might type over these descriptions: pieces of them in other cases,
// sometimes several, sometimes short, empty or absent.
QString keywordText(QRandomGenerator &random, const QStringList &descriptions)
{
    QStringList keywords;
    const int count = 1 + int(random.bounded(3));
    for (int k = 0; k < count; ++k) {
        const QString &d = descriptions.at(random.bounded(int(descriptions.size())));
        // Mostly long enough for the index; one in six short, which needs the scan.
        const int length = random.bounded(6) == 0 ? 1 + int(random.bounded(2)) : 3 + int(random.bounded(6));
        QString keyword = d.mid(random.bounded(int(std::max<qsizetype>(1, d.size() - length + 1))), length);
        if (random.bounded(8) == 0)
            keyword = test::awkwardText(random, length);
        keywords << test::otherCase(random, keyword);
    }
    return keywords.join(QLatin1Char(','));
}

} // namespace

class TestCatalogueSearchIndex : public test::CatalogueFileTest
{
    Q_OBJECT
private slots:

    void indexedSearchEqualsThePlainStatement_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 4u, 5u, 6u})
            QTest::addRow("catalogue %u", seed) << seed;
    }
    void indexedSearchEqualsThePlainStatement()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        OpenConnection();
        CatalogueService::instance().waitForUpkeep();
        const QSqlDatabase db = sharedConnection();
        QStringList descriptions;
        {
            QSqlDatabase(db).transaction();
            for (int n = 0; n < 300; ++n) {
                descriptions << test::awkwardText(random, int(random.bounded(40)));
                addRow(db, QStringLiteral("p%1.jpg").arg(n), QStringLiteral("/f"), descriptions.last());
            }
            QSqlDatabase(db).commit();
        }
        // Another program writes too: values our program never stores, removals and changes. It
        // keeps trusted_schema off, as a careful program does: it refuses virtual tables in
        // triggers, so the triggers must not touch the index itself.
        {
            test::ForeignConnection other(m_folder->cataloguePath());
            QVERIFY(other.exec(QStringLiteral("PRAGMA trusted_schema = OFF")));
            QVERIFY(other.exec(QStringLiteral("BEGIN")));
            QVERIFY(other.exec(QStringLiteral("INSERT INTO Info VALUES ('null.jpg', '/f', NULL)")));
            QVERIFY(other.exec(QStringLiteral("INSERT INTO Info VALUES ('number.jpg', '/f', 12345)")));
            QVERIFY(other.exec(QStringLiteral(
                "INSERT INTO Info VALUES ('broken.jpg', '/f', CAST(X'61FF62C3A9C380' AS TEXT))")));
            QVERIFY(other.exec(
                QStringLiteral("INSERT INTO Info VALUES ('nul.jpg', '/f', CAST(X'6B006B6B' AS TEXT))")));
            for (int n = 0; n < 40; ++n) {
                descriptions << test::awkwardText(random, int(random.bounded(40)));
                QVERIFY(other.exec(QStringLiteral("INSERT INTO Info VALUES (?, '/g', ?)"),
                                   {QStringLiteral("o%1.jpg").arg(n), descriptions.last()}));
            }
            for (int n = 0; n < 20; ++n) {
                QVERIFY(other.exec(QStringLiteral("DELETE FROM Info WHERE FileName = ?"),
                                   {QStringLiteral("p%1.jpg").arg(random.bounded(300))}));
                descriptions << test::awkwardText(random, int(random.bounded(40)));
                QVERIFY(
                    other.exec(QStringLiteral("UPDATE Info SET Description = ? WHERE FileName = ?"),
                               {descriptions.last(), QStringLiteral("p%1.jpg").arg(random.bounded(300))}));
            }
            QVERIFY(other.exec(QStringLiteral("COMMIT")));
        }

        int viaIndex = 0;
        const int searches = 120;
        for (int s = 0; s < searches; ++s) {
            const QString text = keywordText(random, descriptions);
            const SearchHits hits = findRowids(db, text, AllRows);
            const QList<CatalogueRow> plain = readRows(db, searchStatement(text));
            QVERIFY2(hits.rows == plain,
                     qPrintable(QStringLiteral("keywords \"%1\": %2 rows, plain statement %3")
                                    .arg(text)
                                    .arg(hits.rows.size())
                                    .arg(plain.size())));
            QCOMPARE(hits.rowids.size(), hits.rows.size());
            QVERIFY(std::is_sorted(hits.rowids.cbegin(), hits.rowids.cend()));
            viaIndex += hits.viaIndex ? 1 : 0;
        }
        // Both roads were taken, enough to mean something.
        QVERIFY2(viaIndex >= searches / 3 && viaIndex < searches, qPrintable(QString::number(viaIndex)));
    }

    // Descriptions another program wrote: awkward letters, and bytes that are no UTF-8 (an
    // overlong "A", a surrogate, a non-character, a NUL inside), which read as U+FFFD or as
    // text cut short, never as the letter they imitate.
    void theSearchWindowsRowsAreThePlainStatements_data()
    {
        QTest::addColumn<QString>("keywords");
        QTest::newRow("index, every spelling of k") << "KIT";
        QTest::newRow("index, sharp s both ways") << "STRAẞE,straße";
        QTest::newRow("index, letters SQLite folds otherwise") << "ВОᲀ";
        QTest::newRow("scan, short keyword") << "ki";
        QTest::newRow("scan, empty keyword") << "zzz,";
        QTest::newRow("scan, a letter an overlong byte pair imitates") << "a,x";
        QTest::newRow("scan, what bytes that are no UTF-8 read as") << QString(QChar(0xFFFD));
        QTest::newRow("a NUL in a keyword") << QStringLiteral("k") + QChar(0) + QStringLiteral("kk");
        QTest::newRow("half a surrogate pair") << QStringLiteral("kit") + QChar(0xD800) + QStringLiteral("kit,ᲀОВ");
    }
    void theSearchWindowsRowsAreThePlainStatements()
    {
        QFETCH(QString, keywords);
        OpenConnection();
        CatalogueService::instance().waitForUpkeep();
        {
            test::ForeignConnection other(m_folder->cataloguePath());
            for (const char *d : {"kit", "KIT", "\u212AIT", "ſkit", "Straße", "STRASSE", "strasse", "вов", "ᲀОВ",
                                  "воᲀ", "None", "k i t"})
                QVERIFY(other.exec(QStringLiteral("INSERT INTO Info VALUES (?, '/p', ?)"),
                                   {QString::fromUtf8(d) + QStringLiteral(".jpg"), QString::fromUtf8(d)}));
            for (const char *bytes : {"C181", "78EDA080", "EFBFBE", "6B006B6B", "6B6974EDA0806B6974"})
                QVERIFY(other.exec(QStringLiteral("INSERT INTO Info VALUES ('%1.jpg', '/b', CAST(X'%1' AS TEXT))")
                                       .arg(QLatin1String(bytes))));
        }
        // The same rows in the same order (a noncharacter U+FFFE reads back as itself or as U+FFFD,
        // as the reader of the rows goes, so the names tell the rows).
        const auto names = [](const QList<CatalogueRow> &rows) {
            QStringList out;
            for (const CatalogueRow &row : rows)
                out << row.fileName;
            return out;
        };
        const QStringList plain = names(readRows(sharedConnection(), searchStatement(keywords)));
        QVERIFY(!plain.isEmpty());
        QCOMPARE(names(test::allRows(*test::searched(keywords))), plain);
    }

    void theIndexIsBuiltOnceLeftAloneAndBuiltAgainWhenATriggerIsGone()
    {
        const QStringList bare = test::schemaNames(m_folder->cataloguePath());
        QCOMPARE(bare, QStringList{"Info"});
        OpenConnection();
        CatalogueService::instance().waitForUpkeep();
        const QStringList built = test::schemaNames(m_folder->cataloguePath());
        for (const QString &name : {derived::State, derived::NameOrder, derived::NameChanges, derived::SearchIndex,
                                    derived::SearchChanges, derived::TrigramCounts})
            QVERIFY2(built.contains(name), qPrintable(built.join(' ')));
        test::resetProgramState();
        const QByteArray before = test::fileBytes(m_folder->cataloguePath());
        OpenConnection();
        CatalogueService::instance().waitForUpkeep();
        QCOMPARE(test::fileBytes(m_folder->cataloguePath()), before);

        // A tool dropped a trigger and wrote: the index is built again and finds the row.
        test::resetProgramState();
        {
            test::ForeignConnection other(m_folder->cataloguePath());
            QVERIFY(other.exec(QStringLiteral("DROP TRIGGER pixdock_after_insert")));
            QVERIFY(other.exec(QStringLiteral("INSERT INTO Info VALUES ('unseen.jpg', '/p', 'never logged')")));
        }
        OpenConnection();
        CatalogueService::instance().waitForUpkeep();
        const SearchHits hits = findRowids(sharedConnection(), QStringLiteral("logged"));
        QVERIFY(hits.viaIndex);
        QCOMPARE(hits.rowids.size(), 1);
    }

    void olderNamesAreReplacedAndAUsersOwnObjectsLeftAlone()
    {
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
                  "INSERT INTO Removed VALUES (old.FileName); END"})
                QVERIFY(other.exec(QString::fromLatin1(sql)));
            QVERIFY(other.exec(QStringLiteral("INSERT INTO Info VALUES ('a.jpg', '/p', 'one')")));
        }
        OpenConnection();
        CatalogueService::instance().waitForUpkeep();
        const QStringList names = test::schemaNames(m_folder->cataloguePath());
        for (const char *gone : {"InfoFileNameOrder", "InfoSearchChanges", "InfoSearchAfterInsert"})
            QVERIFY2(!names.contains(QLatin1String(gone)), gone);
        for (const char *kept : {"Removed", "InfoSearchAfterDelete", "pixdock_search", "pixdock_after_insert"})
            QVERIFY2(names.contains(QLatin1String(kept)), kept);
        // The user's trigger still does its work beside ours.
        QCOMPARE(CatalogueService::instance().removeRows(QStringLiteral("a.jpg"), QStringLiteral("/p")), 1);
        test::ForeignConnection other(m_folder->cataloguePath());
        QCOMPARE(other.value(QStringLiteral("SELECT group_concat(FileName) FROM Removed")).toString(),
                 QStringLiteral("a.jpg"));
    }

    void aLockedCatalogueOpensAndIsSearchedWithoutTheIndex()
    {
        {
            test::ForeignConnection filler(m_folder->cataloguePath());
            QVERIFY(filler.exec(QStringLiteral("INSERT INTO Info VALUES ('x.jpg', '/p', 'Keyword here')")));
            QVERIFY(filler.exec(QStringLiteral("INSERT INTO Info VALUES ('y.jpg', '/p', 'nothing')")));
        }
        test::ForeignConnection writer(m_folder->cataloguePath());
        QVERIFY(writer.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(
            writer.exec(QStringLiteral("INSERT INTO Info VALUES ('z.jpg', '/p', 'uncommitted keyword')")));
        OpenConnection();
        QCOMPARE(test::schemaNames(m_folder->cataloguePath()), QStringList{"Info"});
        const SearchHits hits = findRowids(sharedConnection(), QStringLiteral("KEYWORD"), AllRows);
        QVERIFY(!hits.viaIndex);
        QCOMPARE(hits.rows, (QList<CatalogueRow>{{"x.jpg", "/p", "Keyword here"}}));
        // The list still loads, whole, without its stored order.
        QCOMPARE(test::allRows(*test::loadedList()), test::inNameOrder(readRows(sharedConnection(), listStatement())));
        QVERIFY(writer.exec(QStringLiteral("COMMIT")));

        // Free again: the upkeep builds the index.
        CatalogueService::instance().waitForUpkeep();
        QVERIFY(test::schemaNames(m_folder->cataloguePath()).contains(derived::SearchIndex));
        QCOMPARE(findRowids(sharedConnection(), QStringLiteral("keyword")).rowids.size(), 2);
    }

    void aReadOnlyConnectionIsSearchedWithoutTheIndex()
    {
        {
            test::ForeignConnection filler(m_folder->cataloguePath());
            QVERIFY(filler.exec(QStringLiteral("INSERT INTO Info VALUES ('x.jpg', '/p', 'Read only')")));
        }
        test::ForeignConnection readOnly(m_folder->cataloguePath(), QStringLiteral("QSQLITE_OPEN_READONLY"));
        const QSqlDatabase db = readOnly.database();
        QVERIFY(registerCaselessText(sqliteHandle(db)));
        QVERIFY_THROWS_EXCEPTION(RunTimeError, prepareDerivedData(sqliteHandle(db)));
        QCOMPARE(test::schemaNames(m_folder->cataloguePath()), QStringList{"Info"});
        const SearchHits hits = findRowids(db, QStringLiteral("ONLY"), AllRows);
        QVERIFY(!hits.viaIndex);
        QCOMPARE(hits.rows, (QList<CatalogueRow>{{"x.jpg", "/p", "Read only"}}));
    }

    void caselessKeywordsAgreeWithLike_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {11u, 12u, 13u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void caselessKeywordsAgreeWithLike()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        for (int n = 0; n < 2000; ++n) {
            const QString text = test::awkwardText(random, int(random.bounded(12)));
            const QString keyword =
                test::otherCase(random, test::awkwardText(random, int(random.bounded(4))));
            const QByteArray utf8 = text.toUtf8();
            const bool test = CaselessKeywords({keyword}).anyIn(
                reinterpret_cast<const unsigned char *>(utf8.constData()), int(utf8.size()));
            QCOMPARE(test, likeMatches(containsPattern(keyword), text, U'\\'));
        }
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueSearchIndex)
#include "tst_CatalogueSearchIndex.moc"
