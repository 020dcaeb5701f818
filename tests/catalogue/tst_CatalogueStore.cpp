// Opening db.fil, refusing files that are not a catalogue and using tables that are, all against
// real SQLite files in a temporary program folder. Names compared without regard to case are the
// add window's test's.
// A lock held by another program is the window tests' (TestCatalogueFaults).
#include "CatalogueTestSupport.h"

using namespace pixdock;
using namespace pixdock::catalogue;

class TestCatalogueStore : public test::CatalogueFileTest
{
    Q_OBJECT
private slots:

    // A file at the path that is no catalogue Pixdock can use is refused, said why, and left as
    // it is; a table Info with columns of the user's own is used.
    void aFileThatIsNoCatalogueIsRefusedAndATableOfItsOwnUsed_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // the file's bytes (none: no file), or the layout its statements make
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << "was not found";
        QTest::newRow("zero bytes") << QByteArray("") << "the file is empty";
        QTest::newRow("garbage") << QByteArray(4096, 'x') << "not a database";
        QTest::newRow("a database without table Info") << QByteArray("CREATE TABLE Pictures (Name TEXT)")
                                                       << "it holds no table Info.";
        QTest::newRow("Info a view") << QByteArray("CREATE TABLE t (FileName, Location, Description);"
                                                   "CREATE VIEW Info AS SELECT * FROM t")
                                     << "Info is a view, not a table.";
        QTest::newRow("Info without rowid")
            << QByteArray("CREATE TABLE Info (FileName TEXT PRIMARY KEY, Location TEXT, Description TEXT) WITHOUT ROWID")
            << "table Info is a WITHOUT ROWID table";
        QTest::newRow("a column Pixdock cannot fill")
            << QByteArray("CREATE TABLE Info (FileName TEXT, Location TEXT, Description TEXT, Rating INTEGER NOT NULL)")
            << "column Rating of table Info needs a value that Pixdock cannot give";
        QTest::newRow("a column missing") << QByteArray("CREATE TABLE Info (FileName TEXT, Location TEXT)")
                                          << "table Info has no column description.";
        // A table Info with columns of its own is used: nothing to say.
        for (const char *column : {"Rating INTEGER NOT NULL DEFAULT 0", "Notes TEXT", "Id INTEGER PRIMARY KEY NOT NULL",
                                   "Shout TEXT GENERATED ALWAYS AS (upper(FileName))"})
            QTest::addRow("used, with %s", column)
                << "CREATE TABLE Info (FileName TEXT, Location TEXT, Description TEXT, " + QByteArray(column) + ")" << "";
    }
    void aFileThatIsNoCatalogueIsRefusedAndATableOfItsOwnUsed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = m_folder->cataloguePath();
        QVERIFY(QFile::remove(path));
        if (bytes.startsWith("CREATE")) {
            test::ForeignConnection other(path);
            for (const QByteArray &sql : bytes.split(';'))
                QVERIFY(other.exec(QString::fromUtf8(sql)));
            bytes = test::fileBytes(path);
        } else if (!bytes.isNull()) {
            test::writeBytes(m_folder->path(), QStringLiteral("db.fil"), bytes);
        }
        if (message.isEmpty()) {
            // Rows are added, removed, listed and found in it.
            OpenConnection();
            CatalogueService &catalogue = CatalogueService::instance();
            const QList<CatalogueRow> kept{{"a.jpg", "/p", "kept"}};
            catalogue.addRow(kept.first());
            catalogue.addRow({QStringLiteral("b.jpg"), QStringLiteral("/p"), QStringLiteral("gone")});
            QCOMPARE(catalogue.removeRows(QStringLiteral("b.jpg"), QStringLiteral("/p")), 1);
            QCOMPARE(test::allRows(*test::loadedList()), kept);
            QCOMPARE(test::allRows(*test::searched(QStringLiteral("KEPT"))), kept);
            return;
        }
        const QStringList before = QDir(m_folder->path()).entryList(QDir::Files);
        try {
            OpenConnection();
            QFAIL("the file was accepted as a catalogue");
        } catch (const RunTimeError &e) {
            QVERIFY2(e.description().contains(message), qPrintable(e.description()));
        }
        QVERIFY(gConnection.isEmpty());
        QCOMPARE(test::fileBytes(path), bytes);
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), before);
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueStore)
#include "tst_CatalogueStore.moc"
