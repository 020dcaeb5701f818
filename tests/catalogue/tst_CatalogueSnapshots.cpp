// The list's rows are exactly the catalogue's, in the name order, in every state of the order
// kept in the file (none, current, behind another program's changes, made under another
// locale, changed while nothing logged it); a snapshot is one state of the catalogue that
// nothing done to the file later changes; a very long text is kept whole but shown short.
#include "CatalogueEngine.h"
#include "CatalogueTestSupport.h"


#include <map>

using namespace pixdock;
using namespace pixdock::catalogue;

namespace {

// Letters whose case folds oddly, wildcards and quotes, digits, a character beyond the BMP.
const QStringList Pieces = {"k", "K", "\u212A", "s", "ſ", "ß", "ẞ", "σ", "ς", "Σ", "é", "É", "в", "\u1C80",
                            "ı", "İ", "%", "_", "'", " ", "\U0001F600", "1", "10"};

// `count` names made of those pieces, written by another program with `location`.
void addAwkwardNames(const test::ForeignConnection &other, int count, int first, const QString &location)
{
    for (int n = first; n < first + count; ++n)
        QVERIFY(other.exec("INSERT INTO Info VALUES (?, ?, 'awkward')",
                           {Pieces.at(n % Pieces.size()) + Pieces.at(n / 3 % Pieces.size()) + Pieces.at(n * 7 % Pieces.size()), location}));
}

// What a session reads: the count it announced, its restarts, each row at its place, and how
// often a place was handed a row other than the one it had.
struct CollectingSink : SnapshotSink
{
    void expectRows(qint64 count) override { expected = count; }
    void append(qint64 position, std::string_view name, std::string_view location, std::string_view description) override
    {
        const CatalogueRow row{textOf(name), textOf(location), textOf(description)};
        // The first screen is handed again with the rest: the same row, or a fault.
        if (const auto [at, added] = placed.emplace(position, row); !added && at->second != row)
            ++handedAgain;
    }
    void restart() override { placed.clear(), ++restarts; }
    bool cancelled() const override { return false; }

    qint64 expected = -1, restarts = 0, handedAgain = 0;
    std::map<qint64, CatalogueRow> placed;
};

void upkeepUntilDone(CatalogueSession &session)
{
    for (int steps = 0; steps < 10000 && session.upkeepStep() == CatalogueSession::Upkeep::More; ++steps) {
    }
}

} // namespace

class TestCatalogueSnapshots : public test::CatalogueFileTest
{
    Q_OBJECT
private slots:
    void theListIsInTheNameOrderInEveryStateOfTheStoredOrder_data()
    {
        QTest::addColumn<QString>("state");
        for (const char *state : {"none", "current", "behind another program", "another locale", "unlogged"})
            QTest::newRow(state) << QString::fromLatin1(state);
    }
    void theListIsInTheNameOrderInEveryStateOfTheStoredOrder()
    {
        QFETCH(QString, state);
        const QString path = m_folder->cataloguePath();
        {
            // Names of every kind: NULL, numbers, a blob, broken UTF-8, letters whose case folds
            // oddly, numbers inside names.
            test::ForeignConnection other(path);
            for (const char *value : {"NULL", "42", "-7", "3.5", "X'00FF'", "''", "CAST(X'61FF62' AS TEXT)",
                                      "CAST(X'610062' AS TEXT)", "CAST(X'80' AS TEXT)", "CAST(X'EDA080' AS TEXT)"})
                QVERIFY(other.exec(QStringLiteral("INSERT INTO Info VALUES (%1, '/v', 'value')").arg(QLatin1String(value))));
            for (const char *name : {"ẞ", "ß", "ss", "SS", "\u212A", "k", "K", "10.jpg", "9.jpg", "a", "A", "a", "m1",
                                     "m2", "é.jpg", "É.JPG", "e.jpg", "zz.jpg", "ärger.jpg", "Ärmel.jpg", "ελιά.jpg",
                                     "éclair.jpg", "Eclair.jpg", "img01", "img1"})
                QVERIFY(other.exec("INSERT INTO Info VALUES (?, '/f', 'fixed')", {QString::fromUtf8(name)}));
            addAwkwardNames(other, 300, 0, "/r");
        }
        SqliteSession session(path);
        if (state != QLatin1String("none"))
            upkeepUntilDone(session);
        test::ForeignConnection other(path);
        if (state == QLatin1String("behind another program")) {
            QVERIFY(other.exec("DELETE FROM Info WHERE rowid % 7 = 0"));
            QVERIFY(other.exec("UPDATE Info SET FileName = upper(FileName) || '2' WHERE rowid % 11 = 0"));
            // Forty names that all belong between m1 and m2, added in their order: the stored
            // order has to make room between two neighbours again and again.
            for (int n = 1; n <= 40; ++n)
                QVERIFY(other.exec("INSERT INTO Info VALUES (?, '/m', 'between')",
                                   {QStringLiteral("m1_%1").arg(n, 3, 10, QLatin1Char('0'))}));
            // More changes than the upkeep places in one step.
            addAwkwardNames(other, 300, 1000, "/n");
        } else if (state == QLatin1String("another locale")) {
            test::switchLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
        } else if (state == QLatin1String("unlogged")) {
            // A tool that drops the trigger, writes, and puts the trigger back as it was.
            const QString trigger =
                other.value("SELECT sql FROM sqlite_master WHERE name = 'pixdock_after_insert'").toString();
            QVERIFY(other.exec("DROP TRIGGER pixdock_after_insert"));
            QVERIFY(other.exec("INSERT INTO Info VALUES ('aaa-unlogged.jpg', '/u', 'unseen')"));
            QVERIFY(other.exec(trigger));
        }
        const QList<CatalogueRow> expected = test::inNameOrder(test::tableRows(path));

        const auto readsInOrder = [&](int restarts) {
            CollectingSink sink;
            session.readNameOrder(sink);
            // The rows in the order of their places; a place that got no row shows as a marker row.
            QList<CatalogueRow> rows;
            for (const auto &[place, row] : sink.placed)
                rows.append(place == rows.size() ? row : CatalogueRow{"a place", "got no", "row"});
            QCOMPARE(rows, expected);
            QCOMPARE(QList<qint64>({sink.expected, sink.handedAgain, sink.restarts}), QList<qint64>({expected.size(), 0, restarts}));
        };
        // Only a stored order that misses rows is read again.
        readsInOrder(state == QLatin1String("unlogged") ? 1 : 0);
        // Brought up to date (changed rows placed one by one, or the order made anew), the stored
        // order alone gives the same.
        upkeepUntilDone(session);
        QCOMPARE(other.value("SELECT count(*) FROM pixdock_name_changes").toInt(), 0);
        QCOMPARE(other.value("SELECT count(*) FROM pixdock_name_order").toInt(), expected.size());
        readsInOrder(0);
    }

    void aSnapshotIsOneStateThatLaterChangesDoNotReach()
    {
        constexpr int ManyRows = 50000;
        OpenConnection();
        test::fillWithManyRows(m_folder->cataloguePath(), ManyRows);
        const QList<CatalogueRow> before = test::inNameOrder(test::tableRows(m_folder->cataloguePath()));
        auto rows = CatalogueService::instance().loadList();
        rows->waitForFirstScreen(1);
        QCOMPARE(rows->rowCount(), ManyRows);
        {
            // Another program changes the file while the copy is made: it waits for the copy's
            // read to end, so the copy is the state before.
            test::ForeignConnection other(m_folder->cataloguePath());
            QVERIFY(other.exec("DELETE FROM Info WHERE rowid % 3 = 0"));
            QVERIFY(other.exec("UPDATE Info SET Description = 'changed', FileName = 'aaa' || FileName"));
            rows->waitUntilLoaded();
            QVERIFY(!rows->failure());
            QCOMPARE(test::allRows(*rows), before);
            // Removed, the file gone: the window's copy stays what it was, no row empty.
            QVERIFY(other.exec("DELETE FROM Info"));
        }
        QVERIFY(QFile::remove(m_folder->cataloguePath()));
        QCOMPARE(test::allRows(*rows), before);
    }

    void aVeryLongTextIsKeptWholeAndShownShort()
    {
        OpenConnection();
        // A character beyond the BMP where the cut falls: the cut never splits it.
        const QString longText = QString(CellChars - 1, QLatin1Char('x')) + QStringLiteral("\U0001F600")
                                 + QString(10 * 1024 * 1024, QLatin1Char('x')) + QStringLiteral(" needle");
        addRow(sharedConnection(), QStringLiteral("long.jpg"), QStringLiteral("/p"), longText);
        addRow(sharedConnection(), QStringLiteral("short.jpg"), QStringLiteral("/p"), QStringLiteral("short"));
        const auto rows = test::loadedList();
        QCOMPARE(rows->cell(0, 2), longText);
        CatalogueGridModel model;
        model.setRows(rows);
        QCOMPARE(model.index(0, 2).data().toString(), longText.left(CellChars - 1) + QStringLiteral("\u2026"));
        QVERIFY(model.index(0, 2).data(Qt::ToolTipRole).toString().size() < TooltipChars + 100);
        QCOMPARE(model.index(1, 2).data().toString(), QStringLiteral("short"));
        QCOMPARE(test::allRows(*test::searched("NEEDLE")), (QList<CatalogueRow>{{"long.jpg", "/p", longText}}));
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueSnapshots)
#include "tst_CatalogueSnapshots.moc"
