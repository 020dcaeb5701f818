// A damaged, read-only or full catalogue: every window that meets it (or start-up) says clearly
// what went wrong, db.fil keeps its bytes and its folder its files unless a write succeeded, and
// no window waits longer than the busy timeout. Permission cases run the real windows in a
// helper process as an ordinary user, since root ignores permissions.
#include "CatalogueTestSupport.h"
#include "CatalogueScenarios.h"
#include "Locations.h"
#include "OrdinaryUser.h"

using namespace pixdock;
using namespace pixdock::reliability;

namespace {
// The longest a window may be held: the busy timeout, once per statement the action sends,
// with room for a slow (sanitizer) build.
constexpr qint64 LongestHoldMs = 2 * catalogue::BusyTimeoutMs + 2000;

bool writes(const QString &scenario) { return scenario == QLatin1String("add") || scenario == QLatin1String("remove"); }

// A catalogue of `rows` rows as a running Pixdock leaves it (with some rows, its stored order and
// search index made, so that opening it later changes nothing), then the row the scenarios'
// search and removal find, written as Pixdock writes it.
void fillCatalogue(const QString &path, int rows)
{
    const QString name = QStringLiteral("fill");
    catalogue::openCatalogueFile(name, path);
    if (rows > 0) {
        test::fillWithManyRows(path, rows);
        catalogue::SqliteSession session(path);
        while (session.upkeepStep() == catalogue::CatalogueSession::Upkeep::More) {
        }
    }
    catalogue::addRow(QSqlDatabase::database(name, false), QStringLiteral("probe.jpg"), QStringLiteral("/pictures"),
                      QStringLiteral("probe"));
    catalogue::closeCatalogueFile(name);
}

// The probe run as the ordinary user in a home of its own (the test's home and runtime
// folders are not the user's); its output, or why it gave none.
QString runProbeAs(const test::OrdinaryUser &user, const QString &programFolder, const QString &scenario)
{
    const QStringList command = user.commandLine(QStringLiteral(PIXDOCK_CATALOGUE_PROBE), {programFolder, scenario});
    QTemporaryDir home;
    user.give(home.path());
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    for (const char *name : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        env.insert(QLatin1String(name), home.path());
    probe.setProcessEnvironment(env);
    probe.start(command.first(), command.mid(1));
    if (!probe.waitForFinished(60000)) {
        probe.kill();
        probe.waitForFinished();
        return QStringLiteral("probe hung");
    }
    if (probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return QStringLiteral("probe failed (%1): ").arg(probe.exitCode()) + QString::fromLocal8Bit(probe.readAllStandardError().right(2000));
    return QString::fromUtf8(probe.readAllStandardOutput());
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
        mount.start("mount", {"-t", "tmpfs", "-o", "size=512k", "pixdock-full", at});
        mounted = mount.waitForFinished(30000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
        failure = QString::fromLocal8Bit(mount.readAll()).trimmed();
    }
    ~SmallDisk()
    {
        // Lazily when something still holds it, so no mount is ever left behind.
        if (mounted && QProcess::execute("umount", {path}) != 0)
            QProcess::execute("umount", {"-l", path});
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
    void aCatalogueItCannotUseIsReportedAndKeepsItsBytes_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("expected"); // a piece of the message, or "works"
        // Start-up refuses a damaged file (the kinds of refusal are the store's tests), and each
        // window met afterwards says so again; start-up's check of table Info already reads past
        // the cut. A read-only or full catalogue is still listed and searched.
        const QList<std::tuple<QString, QString, bool>> situations = {{"cut to 4 KB", "is damaged", true},
                                                                     {"read-only file", "the file is read-only", false},
                                                                     {"read-only folder", "its folder is read-only", false},
                                                                     {"full disk", "the disk is full", false}};
        for (const auto &[situation, text, damaged] : situations)
            for (const QString scenario : {"start", "add", "remove", "search", "list"})
                QTest::addRow("%s, %s", qPrintable(situation), qPrintable(scenario))
                    << situation << scenario << (damaged || writes(scenario) ? text : QStringLiteral("works"));
    }
    void aCatalogueItCannotUseIsReportedAndKeepsItsBytes()
    {
        QFETCH(QString, situation);
        QFETCH(QString, scenario);
        QFETCH(QString, expected);
        QTemporaryDir top;
        QString db = m_folder->cataloguePath();
        std::unique_ptr<SmallDisk> disk;
        const test::OrdinaryUser user = test::OrdinaryUser::get();
        const bool readOnly = situation.startsWith(QLatin1String("read-only"));
        const QFile::Permissions readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const QFile::Permissions folderOpen = readable | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        // The catalogue moved into a folder of the case's own: `at`'s db.fil.
        const auto moveTo = [&](const QString &at) {
            QVERIFY(QDir().mkpath(at) && QFile::copy(db, at + QStringLiteral("/db.fil")));
            db = at + QStringLiteral("/db.fil");
        };
        if (situation == QLatin1String("cut to 4 KB")) {
            fillCatalogue(db, 300);
            QVERIFY(QFile(db).resize(4096));
        } else if (readOnly) {
            if (!user.skipReason.isEmpty())
                QSKIP(qPrintable(user.skipReason));
            QVERIFY(QFile::setPermissions(top.path(), folderOpen | QFile::WriteOwner));
            const QString program = top.path() + QStringLiteral("/program");
            moveTo(program);
            fillCatalogue(db, 0);
            QVERIFY(user.give(db));
            if (situation == QLatin1String("read-only file")) {
                QVERIFY(user.give(program));
                QVERIFY(QFile::setPermissions(program, folderOpen | QFile::WriteOwner));
                QVERIFY(QFile::setPermissions(db, readable));
            } else {
                // The folder stays root's (or is made unwritable for the user running the tests).
                QVERIFY(QFile::setPermissions(db, readable | QFile::WriteOwner));
                QVERIFY(QFile::setPermissions(program, folderOpen));
            }
        } else {
            disk = std::make_unique<SmallDisk>(top.path() + QStringLiteral("/disk"));
            if (!disk->mounted)
                QSKIP(qPrintable("a small tmpfs cannot be mounted here (" + disk->failure
                                 + "); the full-disk case needs root allowed to mount"));
            moveTo(disk->path);
            fillCatalogue(db, 20);
            // A filler file written until the disk is full.
            QFile filler(disk->path + QStringLiteral("/filler"));
            while ((filler.isOpen() || filler.open(QIODevice::WriteOnly)) && filler.write(QByteArray(4096, 'x')) == 4096
                   && filler.flush()) {
            }
        }
        const QString folder = QFileInfo(db).path();
        const QByteArray before = test::fileBytes(db);
        const QStringList filesBefore = QDir(folder).entryList(QDir::Files);

        WindowReport report;
        if (readOnly) {
            const QString output = runProbeAs(user, folder, scenario);
            QVERIFY2(output.startsWith(QLatin1String("ok ")), qPrintable(output));
            report = WindowReport::fromText(output);
            QFile::setPermissions(folder, folderOpen | QFile::WriteOwner);
        } else {
            locations::setProgramFolder(folder);
            {
                test::HostFrame frame;
                report = scenarioByName(scenario);
                test::resetProgramState();
            }
            locations::setProgramFolder(QString());
        }
        const QString said = report.messages.join(" | ") + " / label: " + report.label;
        QVERIFY2(report.busyMs <= LongestHoldMs, qPrintable(QStringLiteral("held %1 ms").arg(report.busyMs)));
        QVERIFY2(report.ok == (expected == QLatin1String("works")), qPrintable(said));
        // A failure is said, in words that name it.
        QVERIFY2(report.ok || (!report.messages.isEmpty() && said.contains(expected)), qPrintable(said));
        QCOMPARE(test::fileBytes(db), before);
        QCOMPARE(QDir(folder).entryList(QDir::Files), filesBefore);
        if (readOnly && !writes(scenario) && scenario != QLatin1String("start"))
            QCOMPARE(report.rows, 1);
        if (situation == QLatin1String("full disk"))
            QCOMPARE(test::ForeignConnection(db).value("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    }
};

PIXDOCK_REGISTER_TEST(TestDamagedCatalogue)
#include "tst_DamagedCatalogue.moc"
