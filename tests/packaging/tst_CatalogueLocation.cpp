// Where the catalogue is, and when the program makes it: the user's choice, the build tree, an
// installed tree the user can write, and a file that is there already. A tree the user cannot
// write (the user's data folder) is run as an ordinary user by the install test.
#include "CatalogueCreation.h"
#include "Locations.h"
#include "Pictures.h"
#include "ProgramFolder.h"
#include "RunTimeError.h"
#include "TestRegistry.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace pixdock;

class TestCatalogueLocation : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_tree;
    QString bin() const { return m_tree->filePath(QStringLiteral("bin")); }

private slots:
    void init()
    {
        m_tree = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(bin()));
        locations::setExecutableFolder(bin());
    }
    void cleanup()
    {
        qunsetenv(locations::CatalogueVariable);
        QSettings(QStringLiteral("Pixdock"), QStringLiteral("Pixdock")).remove(QLatin1String(locations::CatalogueSetting));
        QFile::setPermissions(bin(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Pixdock").removeRecursively();
        locations::setExecutableFolder(QString());
        m_tree.reset();
    }

    void theCatalogueIsFoundAndMadeWhereItBelongs_data()
    {
        QTest::addColumn<QString>("schema"); // installed beside bin: "whole", "damaged"; "" for the build tree
        QTest::addColumn<QString>("programFolder"); // "writable", "read-only", "read-only with db.fil"
        QTest::addColumn<QString>("chosen");        // who names a catalogue: "", "environment", "settings", "both"
        QTest::addColumn<QString>("where");         // "beside", "chosen", "configured"
        QTest::addColumn<bool>("made");
        QTest::newRow("build tree: beside the program, never made") << "" << "writable" << "" << "beside" << false;
        QTest::newRow("installed, a folder the user can write: beside, made") << "whole" << "writable" << "" << "beside" << true;
        QTest::newRow("installed, read-only holding db.fil: that one") << "whole" << "read-only with db.fil" << "" << "beside" << false;
        QTest::newRow("chosen by the user: that file, never made") << "whole" << "read-only" << "environment" << "chosen" << false;
        QTest::newRow("named in Pixdock.conf: that catalogue, never made") << "whole" << "writable" << "settings" << "configured" << false;
        QTest::newRow("the environment before Pixdock.conf") << "" << "writable" << "both" << "chosen" << false;
        // The start stops with a message naming the file, and leaves no file behind.
        QTest::newRow("installed with a damaged schema: reported, nothing made") << "damaged" << "writable" << "" << "beside" << false;
    }

    void theCatalogueIsFoundAndMadeWhereItBelongs()
    {
        QFETCH(QString, schema);
        QFETCH(QString, programFolder);
        QFETCH(QString, chosen);
        QFETCH(QString, where);
        QFETCH(bool, made);
        // An installed tree has its shared files (the schema among them) beside bin.
        const QString shared = m_tree->filePath("share/pixdock");
        QVERIFY(schema.isEmpty() || (QDir().mkpath(shared) && (schema == "whole" ? QFile::copy(test::schemaFile(), shared + "/schema.sql")
                : !test::writeBytes(shared, "schema.sql", "CREATE TABLE Info (FileName TEXT").isEmpty())));
        const QByteArray before = programFolder == "read-only with db.fil" ? "a file that is not a catalogue" : "";
        if (!before.isEmpty())
            test::writeBytes(bin(), "db.fil", before);
        if (programFolder != "writable")
            QVERIFY(QFile::setPermissions(bin(), QFile::ReadOwner | QFile::ExeOwner));
        const QString chosenFile = m_tree->filePath("disk/db.fil");
        if (chosen == "environment" || chosen == "both")
            qputenv(locations::CatalogueVariable, QFile::encodeName(chosenFile));
        // A server's URI, as Pixdock.conf would name a shared catalogue.
        const QString configured = QStringLiteral("postgresql://anna@nas.local/pictures");
        if (chosen == "settings" || chosen == "both")
            QSettings(QStringLiteral("Pixdock"), QStringLiteral("Pixdock")).setValue(QLatin1String(locations::CatalogueSetting), configured);

        const QString expected = where == "beside" ? bin() + "/db.fil" : where == "chosen" ? chosenFile : configured;
        QCOMPARE(locations::cataloguePath(), expected);
        QString said;
        try {
            QCOMPARE(catalogue::makeMissingCatalogue(), made ? expected : QString());
        } catch (const RunTimeError &e) {
            said = e.description();
        }
        QVERIFY2(schema == "damaged" ? said.startsWith("The catalogue file " + expected + " could not be made: ") : said.isEmpty(),
                 qPrintable(said));
        if (schema == "damaged") {
            QCOMPARE(QDir(bin()).entryList(QDir::Files | QDir::Hidden), QStringList());
            return;
        }
        // Made once: the next start finds it and says nothing. What was there stays as it was.
        QCOMPARE(catalogue::makeMissingCatalogue(), QString());
        QFile result(expected);
        QCOMPARE(result.open(QIODevice::ReadOnly) ? result.read(16) : QByteArray("no file"),
                 made ? QByteArray("SQLite format 3\0", 16) : before.isEmpty() ? QByteArray("no file") : before.left(16));
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueLocation)
#include "tst_CatalogueLocation.moc"
