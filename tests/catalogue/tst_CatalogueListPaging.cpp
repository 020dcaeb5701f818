// The list read through the file-name indexes: the same order as the list statement for any
// names (NULLs, numbers, blobs, broken UTF-8, letters whose case folds oddly), a snapshot at
// 50,000 rows whose count and ends are right and which rows added or removed later do not
// change, and the list window stepped to its end at that size.
#include "CatalogueGrid.h"
#include "CataloguePagedRows.h"
#include "CatalogueRowSources.h"
#include "CatalogueScaleSupport.h"
#include "CatalogueStatements.h"
#include "CatalogueStepping.h"
#include "CatalogueStore.h"
#include "CatalogueWindowHost.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "ProgramFolder.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "WindowList.h"
#include "frmImgList.h"

#include <QSqlQuery>
#include <QTest>

#include <memory>

using namespace pixdock;
using namespace pixdock::catalogue;

namespace {

constexpr int ManyRows = 50000;

// Rows written by another program in one transaction: names in mixed case, one in ten beyond
// ASCII, all distinct.
void fillWithManyRows(const QString &path, int count)
{
    test::ForeignConnection other(path);
    QSqlDatabase db = other.database();
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO Info (FileName, Location, Description) VALUES (?, ?, ?)"));
    QRandomGenerator random(7);
    const QStringList wide = {QStringLiteral("é"), QStringLiteral("Ä"), QStringLiteral("ẞ"),
                              QStringLiteral("Σ"), QStringLiteral("ſ"), QStringLiteral("\u212A")};
    for (int n = 0; n < count; ++n) {
        QString name = QStringLiteral("%1pic%2.jpg").arg(QChar(u'a' + char16_t(random.bounded(26)))).arg(n);
        if (random.bounded(2) == 0)
            name = name.toUpper();
        if (random.bounded(10) == 0)
            name.insert(1, wide.at(random.bounded(int(wide.size()))));
        insert.addBindValue(name);
        insert.addBindValue(QStringLiteral("/pictures/%1").arg(n % 97));
        insert.addBindValue(QStringLiteral("description %1").arg(n));
        QVERIFY(insert.exec());
    }
    QVERIFY(db.commit());
}

const PagedRows &paged(const std::shared_ptr<const GridRows> &rows)
{
    const auto *p = dynamic_cast<const PagedRows *>(rows.get());
    if (!p)
        qFatal("the list was not read through its indexes");
    return *p;
}

} // namespace

class TestCatalogueListPaging : public QObject
{
    Q_OBJECT
private slots:
    void init() { test::resetProgramState(); }
    void cleanup() { test::resetProgramState(); }

    void namesOfEveryKindAreInTheListStatementsOrder_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("randomNames");
        QTest::newRow("copied whole") << 1u << 300;
        QTest::newRow("read in slices") << 2u << PagedRows::EagerRows + 500;
    }
    void namesOfEveryKindAreInTheListStatementsOrder()
    {
        QFETCH(quint32, seed);
        QFETCH(int, randomNames);
        test::ProgramFolder folder;
        OpenConnection();
        {
            test::ForeignConnection other(folder.cataloguePath());
            QSqlDatabase db = other.database();
            db.transaction();
            for (const char *value : {"NULL", "42", "-7", "3.5", "X'00FF'", "''", "CAST(X'61FF62' AS TEXT)",
                                      "CAST(X'610062' AS TEXT)", "CAST(X'80' AS TEXT)", "CAST(X'C3' AS TEXT)",
                                      "CAST(X'EDA080' AS TEXT)", "CAST(X'F4908080' AS TEXT)"})
                QVERIFY(other.exec(
                    QStringLiteral("INSERT INTO Info VALUES (%1, '/v', 'value')").arg(QLatin1String(value))));
            const QStringList fixed = {"ẞ",     "ß",     "ss", "SS", "\u212A", "k", "K", "ſ",
                                       "s",     "😀",     "𐐀",  "𐐨",  "a",      "A", "a", "é.jpg",
                                       "É.JPG", "e.jpg", "Z",  "zz", "ǅ",      "ǆ", "Ǆ"};
            for (const QString &name : fixed)
                QVERIFY(other.exec(QStringLiteral("INSERT INTO Info VALUES (?, '/f', 'fixed')"), {name}));
            QRandomGenerator random(seed);
            for (int n = 0; n < randomNames; ++n)
                QVERIFY(
                    other.exec(QStringLiteral("INSERT INTO Info VALUES (?, '/r', ?)"),
                               {test::awkwardText(random, 1 + int(random.bounded(6))), QString::number(n)}));
            db.commit();
        }
        const std::shared_ptr<const GridRows> rows = listRows();
        paged(rows);
        QCOMPARE(test::allRows(*rows), readRows(sharedConnection(), listStatement()));
    }

    void aLargeListIsASnapshotReadInSlices()
    {
        test::ProgramFolder folder;
        OpenConnection();
        fillWithManyRows(folder.cataloguePath(), ManyRows);
        const QList<CatalogueRow> reference = readRows(sharedConnection(), listStatement());
        QCOMPARE(reference.size(), ManyRows);

        const std::shared_ptr<const GridRows> rows = listRows();
        QCOMPARE(rows->rowCount(), ManyRows);
        QVERIFY(paged(rows).loading());
        QCOMPARE(test::allRows(*rows).first(), reference.first());

        // A write completes the order first, so that the list's read never holds it up.
        addRow(sharedConnection(), QStringLiteral("aaa-added.jpg"), QStringLiteral("/new"),
               QStringLiteral("added"));
        QVERIFY(!paged(rows).loading());
        const CatalogueRow removedHere = reference.at(25000);
        removeRows(sharedConnection(), removedHere.fileName, removedHere.location);
        // Another program's removal of a row not yet on screen: that row shows empty.
        const CatalogueRow removedElsewhere = reference.at(40000);
        {
            test::ForeignConnection other(folder.cataloguePath());
            QVERIFY(other.exec(QStringLiteral("DELETE FROM Info WHERE FileName = ?"),
                               {removedElsewhere.fileName}));
        }

        QList<CatalogueRow> expected = reference;
        expected[40000] = CatalogueRow{};
        QCOMPARE(rows->rowCount(), ManyRows);
        const QList<CatalogueRow> shown = test::allRows(*rows);
        QCOMPARE(shown.last(), reference.last());
        QCOMPARE(shown.at(25000), removedHere);
        QCOMPARE(shown, expected);

        // A list loaded now has the changes, and completes its order on the event loop.
        const std::shared_ptr<const GridRows> fresh = listRows();
        QCOMPARE(fresh->rowCount(), ManyRows - 1);
        QTRY_VERIFY(!paged(fresh).loading());
        QCOMPARE(fresh->cell(0, 0), QStringLiteral("aaa-added.jpg"));
        QCOMPARE(test::allRows(*fresh), readRows(sharedConnection(), listStatement()));
    }

    void theListWindowAtScaleStepsToItsLastRow()
    {
        test::CatalogueWindowHost host;
        fillWithManyRows(host.folder().cataloguePath(), ManyRows);
        const QList<CatalogueRow> reference = readRows(sharedConnection(), listStatement());
        frmImgList *list = sharedWindow<frmImgList>();
        list->showWindow();
        CatalogueGrid *grid = list->grid();
        QCOMPARE(grid->rows(), ManyRows + 1);
        QCOMPARE(grid->textOf(1, column::FileName), reference.first().fileName);

        gListRow = ManyRows - 1;
        stepCatalogueForward();
        const CatalogueRow &last = reference.last();
        QCOMPARE(host.openedPictures, QStringList{last.location + QLatin1Char('/') + last.fileName});
        stepCatalogueForward();
        QCOMPARE(MessageBox::shownTexts(), QStringList{"This is the last image in the list."});
        QCOMPARE(gListRow, ManyRows);
        QCOMPARE(grid->row(), ManyRows);
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueListPaging)
#include "tst_CatalogueListPaging.moc"
