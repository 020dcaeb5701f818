// A damaged, read-only or full catalogue: every window that meets it (or start-up) says clearly
// what went wrong, db.fil keeps its bytes unless a write succeeded, and no window waits longer
// than the busy timeout. Permission cases run the real windows in a helper process as an
// ordinary user, since root ignores permissions.
#include "CatalogueScenarios.h"
#include "CatalogueStore.h"
#include "HostFrame.h"
#include "Locations.h"
#include "Pictures.h"
#include "CatalogueScaleSupport.h"
#include "ProgramFolder.h"
#include "ReliabilityHelpers.h"
#include "TestRegistry.h"
#include "TestState.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace pixdock;
using namespace pixdock::reliability;

namespace {
const QStringList Scenarios = {QStringLiteral("start"), QStringLiteral("add"), QStringLiteral("remove"),
                               QStringLiteral("search"), QStringLiteral("list")};
// The longest a window may be held: the busy timeout, once per statement the action sends,
// with room for a slow (sanitizer) build.
constexpr qint64 LongestHoldMs = 2 * catalogue::BusyTimeoutMs + 2000;

void damage(const QString &kind, const test::ProgramFolder &folder)
{
    const QString path = folder.cataloguePath();
    if (kind == QLatin1String("cut to 4 KB")) {
        test::fillCatalogue(path, 300);
        QFile f(path);
        QVERIFY(f.resize(4096));
        return;
    }
    QVERIFY(QFile::remove(path));
    QByteArray bytes(20000, '\0');
    QRandomGenerator random(7);
    for (char &b : bytes)
        b = char(random.bounded(256));
    test::writeBytes(folder.path(), QStringLiteral("db.fil"), bytes);
}

// One row for the search and the removal to find.
void addProbeRow(const QString &db)
{
    const QString name = QStringLiteral("fill");
    catalogue::openCatalogueFile(name, db);
    catalogue::addRow(QSqlDatabase::database(name, false), QStringLiteral("probe.jpg"), QStringLiteral("/pictures"),
                      QStringLiteral("probe"));
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

QString integrityOf(const QString &path)
{
    QString result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("integrity"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next())
                result = q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("integrity"));
    return result;
}

// A small tmpfs, mounted while the object lives.
struct SmallDisk
{
    explicit SmallDisk(const QString &at)
        : path(at)
    {
        QDir().mkpath(at);
        QProcess mount;
        mount.setProcessChannelMode(QProcess::MergedChannels);
        mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                              QStringLiteral("size=512k"), QStringLiteral("pixdock-full"), at});
        mounted = mount.waitForFinished(30000) && mount.exitStatus() == QProcess::NormalExit
                  && mount.exitCode() == 0;
        if (!mounted)
            failure = QString::fromLocal8Bit(mount.readAll()).trimmed();
    }
    ~SmallDisk()
    {
        // Lazily when something still holds it, so no mount is ever left behind.
        if (mounted && QProcess::execute(QStringLiteral("umount"), {path}) != 0)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), path});
    }
    // Writes a filler file until the disk is full.
    void fill() const
    {
        QFile filler(path + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly))
            return;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    QString path;
    bool mounted = false;
    QString failure;
};

} // namespace

class TestDamagedCatalogue : public test::CatalogueFileTest
{
    Q_OBJECT
private slots:
    void aDamagedCatalogueIsReportedAndLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("expected"); // a piece of the message, or "works"
        // Start-up refuses the file (the kinds of refusal are the store's tests); each window
        // met afterwards says so again and writes nothing.
        for (const QString &scenario : Scenarios)
            QTest::addRow("random bytes, %s", qPrintable(scenario))
                << QStringLiteral("random bytes") << scenario << QStringLiteral("not a database");
        // Start-up's check of table Info already reads past the cut.
        for (const QString &scenario : Scenarios)
            QTest::addRow("cut to 4 KB, %s", qPrintable(scenario))
                << QStringLiteral("cut to 4 KB") << scenario << QStringLiteral("is damaged");
    }
    void aDamagedCatalogueIsReportedAndLeftAlone()
    {
        QFETCH(QString, kind);
        QFETCH(QString, scenario);
        QFETCH(QString, expected);
        damage(kind, *m_folder);
        if (QTest::currentTestFailed())
            return;
        const QByteArray before = test::sha256Of(m_folder->cataloguePath());
        const QStringList filesBefore = QDir(m_folder->path()).entryList(QDir::Files);

        WindowReport report;
        {
            test::HostFrame frame;
            report = scenarioByName(scenario);
            test::resetProgramState();
        }
        checkReport(report, expected);
        QCOMPARE(test::sha256Of(m_folder->cataloguePath()), before);
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), filesBefore);
    }

    void aReadOnlyCatalogueOrFolderIsReportedToAnOrdinaryUser_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("expected");
        for (const QString &kind : {QStringLiteral("read-only file"), QStringLiteral("read-only folder")}) {
            for (const QString &scenario : Scenarios) {
                const bool writes = scenario == QLatin1String("add") || scenario == QLatin1String("remove");
                const QString text = kind == QLatin1String("read-only file") ? QStringLiteral("the file is read-only")
                                                                             : QStringLiteral("its folder is read-only");
                QTest::addRow("%s, %s", qPrintable(kind), qPrintable(scenario))
                    << kind << scenario << (writes ? text : QStringLiteral("works"));
            }
        }
    }
    void aReadOnlyCatalogueOrFolderIsReportedToAnOrdinaryUser()
    {
        QFETCH(QString, kind);
        QFETCH(QString, scenario);
        QFETCH(QString, expected);
        const test::OrdinaryUser user = test::OrdinaryUser::get();
        if (!user.skipReason.isEmpty())
            QSKIP(qPrintable(user.skipReason));

        QTemporaryDir top;
        QVERIFY(QFile::setPermissions(top.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup
                                                      | QFile::ExeGroup));
        const QString program = top.path() + QStringLiteral("/program");
        QVERIFY(QDir().mkpath(program));
        const QString db = program + QStringLiteral("/db.fil");
        QVERIFY(QFile::copy(m_folder->cataloguePath(), db));
        addProbeRow(db);
        const QFile::Permissions readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const QFile::Permissions folderOpen = readable | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        QVERIFY(user.give(db));
        if (kind == QLatin1String("read-only file")) {
            QVERIFY(user.give(program));
            QVERIFY(QFile::setPermissions(program, folderOpen | QFile::WriteOwner));
            QVERIFY(QFile::setPermissions(db, readable));
        } else {
            // The folder stays root's (or is made unwritable for the user running the tests).
            QVERIFY(QFile::setPermissions(db, readable | QFile::WriteOwner));
            QVERIFY(QFile::setPermissions(program, folderOpen));
        }
        const QByteArray before = test::sha256Of(db);

        const QString output = test::runProbeAs(user, program, scenario);
        QVERIFY2(output.startsWith(QLatin1String("ok ")), qPrintable(output));
        const WindowReport report = WindowReport::fromText(output);
        QFile::setPermissions(program, folderOpen | QFile::WriteOwner);
        checkReport(report, expected);
        QCOMPARE(test::sha256Of(db), before);
        if (scenario == QLatin1String("search") || scenario == QLatin1String("list"))
            QCOMPARE(report.rows, 1);
    }

    void aFullDiskIsReportedAndTheCatalogueStaysWhole_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("expected");
        for (const QString &scenario : Scenarios) {
            const bool writes = scenario == QLatin1String("add") || scenario == QLatin1String("remove");
            QTest::newRow(qPrintable(scenario))
                << scenario << (writes ? QStringLiteral("the disk is full") : QStringLiteral("works"));
        }
    }
    void aFullDiskIsReportedAndTheCatalogueStaysWhole()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, expected);
        QTemporaryDir top;
        const SmallDisk disk(top.path() + QStringLiteral("/disk"));
        if (!disk.mounted)
            QSKIP(qPrintable(QStringLiteral("a small tmpfs cannot be mounted here (%1); the full-disk case needs "
                                            "root allowed to mount")
                                 .arg(disk.failure)));
        const QString db = disk.path + QStringLiteral("/db.fil");
        QVERIFY(QFile::copy(m_folder->cataloguePath(), db));
        test::fillCatalogue(db, 20);
        addProbeRow(db);
        disk.fill();
        const QByteArray before = test::sha256Of(db);

        locations::setProgramFolder(disk.path);
        WindowReport report;
        {
            test::HostFrame frame;
            report = scenarioByName(scenario);
            test::resetProgramState();
        }
        locations::setProgramFolder(QString());
        checkReport(report, expected);
        QCOMPARE(test::sha256Of(db), before);
        QCOMPARE(integrityOf(db), QStringLiteral("ok"));
    }

private:
    static void checkReport(const WindowReport &report, const QString &expected)
    {
        const QString said = report.messages.join(QStringLiteral(" | ")) + QStringLiteral(" / label: ") + report.label;
        qInfo("%s: held %lld ms; %s", QTest::currentDataTag(), report.busyMs,
              qPrintable(QString(said).replace(QLatin1String("\r\n"), QLatin1String(" "))));
        QVERIFY2(report.busyMs <= LongestHoldMs, qPrintable(QStringLiteral("held %1 ms").arg(report.busyMs)));
        if (expected == QLatin1String("works")) {
            QVERIFY2(report.ok, qPrintable(said));
            return;
        }
        QVERIFY2(!report.ok, qPrintable(said));
        QVERIFY2(!report.messages.isEmpty(), qPrintable(QStringLiteral("nothing was said: ") + said));
        QVERIFY2(said.contains(expected), qPrintable(said));
    }
};

PIXDOCK_REGISTER_TEST(TestDamagedCatalogue)
#include "tst_DamagedCatalogue.moc"
