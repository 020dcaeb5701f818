// The three places that sort picture names agree: the folder listing of real files, the
// catalogue's list window and the order the catalogue keeps in its file, for random awkward
// names in several locales; and all three follow when the locale changes while they are open.
#include "CatalogueGrid.h"
#include "CatalogueService.h"
#include "CatalogueStore.h"
#include "FolderListing.h"
#include "FolderListingCache.h"
#include "HostFrame.h"
#include "ProgramFolder.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "WindowList.h"
#include "frmImgList.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace pixdock;

namespace {


// File names of awkward letters, digits and marks, none hidden, all different.
QStringList randomNames(quint32 seed)
{
    static const QStringList pieces = {"a", "A", "z", "Z", "é", "É", "e\u0301", "ä", "Ä", "å", "ö", "ß", "ss", "ı",
                                       "İ", "σ", "Σ", "λ", "ж", "0", "1", "01", "9", "10", "99", "100", " ", "_",
                                       "-", "(", "😀", "ǅ", "x"};
    QRandomGenerator random(seed);
    QStringList names = {"zz.jpg", "10.jpg", "9.jpg", "ärger.jpg", "Ärmel.jpg", "éclair.jpg", "Eclair.jpg",
                         "ελιά.jpg", "apfel.jpg", "a.jpg", "A.jpg"};
    while (names.size() < 150) {
        QString name = QStringLiteral("p");
        for (int i = 0, n = 1 + int(random.bounded(5)); i < n; ++i)
            name += pieces.at(random.bounded(int(pieces.size())));
        name += QStringLiteral(".jpg");
        if (!names.contains(name))
            names << name;
    }
    return names;
}

QStringList listWindowNames()
{
    frmImgList *list = sharedWindow<frmImgList>();
    list->showWindow();
    catalogue::CatalogueGrid *grid = list->grid();
    if (!catalogue::waitForGridRow(grid, grid->rows() - 1))
        return {};
    QStringList names;
    for (int row = 1; row < grid->rows(); ++row)
        names << grid->textOf(row, catalogue::column::FileName);
    list->unload();
    return names;
}

QStringList storedOrder(const QString &cataloguePath)
{
    QStringList names;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("stored-order"));
        db.setDatabaseName(cataloguePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        QSqlQuery q(db);
        if (db.open() && q.exec(QStringLiteral("SELECT i.FileName FROM pixdock_name_order o JOIN Info i "
                                               "ON i.rowid = o.Row ORDER BY o.Rank"))) {
            while (q.next())
                names << q.value(0).toString();
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("stored-order"));
    return names;
}

} // namespace

class TestNameOrderAgreement : public QObject
{
    Q_OBJECT
private slots:
    void init() { test::resetProgramState(); }
    void cleanup()
    {
        test::resetProgramState();
        test::switchLocale(QLocale::c());
    }

    void theFolderTheListAndTheStoredOrderAgree_data()
    {
        QTest::addColumn<QLocale>("first");
        QTest::addColumn<QLocale>("then");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("C, then Swedish") << QLocale::c() << QLocale(QLocale::Swedish, QLocale::Sweden) << 1u;
        QTest::newRow("German, then Turkish")
            << QLocale(QLocale::German, QLocale::Germany) << QLocale(QLocale::Turkish, QLocale::Turkey) << 2u;
    }
    void theFolderTheListAndTheStoredOrderAgree()
    {
        QFETCH(QLocale, first);
        QFETCH(QLocale, then);
        QFETCH(quint32, seed);
        test::switchLocale(first);
        test::ProgramFolder program;
        QTemporaryDir pictures;
        const QStringList names = randomNames(seed);
        for (const QString &name : names) {
            QFile file(pictures.filePath(name));
            QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(name));
        }
        test::HostFrame frame;
        catalogue::OpenConnection();
        for (const QString &name : names)
            catalogue::addRow(catalogue::sharedConnection(), name, pictures.path(), QStringLiteral("d"));

        QStringList before;
        for (const QLocale &locale : {first, then}) {
            if (locale != first)
                test::switchLocale(locale);
            catalogue::CatalogueService::instance().waitForUpkeep();
            const QStringList folder = *viewing::FolderListingCache::shared().listing(pictures.path());
            QCOMPARE(folder.size(), names.size());
            QCOMPARE(listWindowNames(), folder);
            QCOMPARE(storedOrder(program.cataloguePath()), folder);
            if (!before.isEmpty())
                QVERIFY(folder != before); // ä moved after z
            before = folder;
        }
    }
};

PIXDOCK_REGISTER_TEST(TestNameOrderAgreement)
#include "tst_NameOrderAgreement.moc"
