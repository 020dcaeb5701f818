// The program as installed: `cmake --install` into a staging folder (DESTDIR), the tree moved
// elsewhere, then the installed binary started headless with a fresh home, as a user would
// start it, from a tree the user can write and from one whose program folder is read-only.
#include "OrdinaryUser.h"
#include "Pictures.h"
#include "TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString MissingPicture = QStringLiteral("/nowhere/missing.png");

// Runs a program to its end; returns its exit status, or -1 when it did not end normally.
int run(const QStringList &command, const QProcessEnvironment &env, QByteArray *out = nullptr,
        QByteArray *err = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(command.first(), command.mid(1));
    const bool ended = process.waitForFinished(240000);
    if (!ended)
        process.kill();
    process.waitForFinished();
    if (out)
        *out = process.readAllStandardOutput();
    if (err)
        *err = process.readAllStandardError();
    if (!ended || process.exitStatus() != QProcess::NormalExit) {
        qWarning("%s", process.readAllStandardError().right(4000).constData());
        return -1;
    }
    return process.exitCode();
}

// A user's environment with a home of its own and no XDG folders of the test's.
QProcessEnvironment userEnvironment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR",
                             "PIXDOCK_CATALOGUE", "QT_PLUGIN_PATH", "QT_QPA_GENERIC_PLUGINS"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("HOME"), home);
    return env;
}

bool openToAll(const QString &path)
{
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                           | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}
} // namespace

class TestInstalledProgram : public QObject
{
    Q_OBJECT
    QTemporaryDir m_root;
    QString m_prefix; // the moved tree
    QString binFolder() const { return m_prefix + QStringLiteral("/bin"); }
    QString program() const { return binFolder() + QStringLiteral("/pixdock"); }

private slots:
    void initTestCase()
    {
        QVERIFY(openToAll(m_root.path()));
        // Installed as `make install` and the package build install, stripped, into a staging
        // folder; then moved elsewhere.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), m_root.filePath(QStringLiteral("stage")));
        QCOMPARE(run({QStringLiteral(PIXDOCK_CMAKE), QStringLiteral("--install"), QStringLiteral(PIXDOCK_BUILD_TREE),
                      QStringLiteral("--prefix"), QStringLiteral("/usr/local"), QStringLiteral("--strip")},
                     env),
                 0);
        m_prefix = m_root.filePath(QStringLiteral("moved"));
        QVERIFY(QDir().rename(m_root.filePath(QStringLiteral("stage/usr/local")), m_prefix));
        // The probe plug-in, where the program (perhaps run as another user) can read it.
        QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("plugins/generic"))));
        QVERIFY(QFile::copy(QStringLiteral(PIXDOCK_PROBE_PLUGIN), m_root.filePath(QStringLiteral("plugins/generic/")
                                                                                  + QFileInfo(QStringLiteral(PIXDOCK_PROBE_PLUGIN)).fileName())));
    }

    // Every installed file is there, the desktop's own checkers accept the desktop entry and
    // the AppStream data, and nothing installed names a folder of the machine that built it.
    void theTreeHoldsEveryFileAndNoBuildPath()
    {
        QStringList files = {"bin/pixdock", "lib/pixdock/modules/libpixdock_browser.so", "share/pixdock/schema.sql",
                             "share/pixdock/help/pixdock.qhc", "share/pixdock/help/pixdock.qch",
                             "etc/pixdock/registry.ini", "share/applications/pixdock.desktop",
                             "share/metainfo/org.pixdock.Pixdock.metainfo.xml",
                             "share/icons/hicolor/scalable/apps/pixdock.svg", "share/man/man1/pixdock.1.gz",
                             "share/doc/pixdock/copyright"};
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            files << QStringLiteral("share/icons/hicolor/%1x%1/apps/pixdock.png").arg(size);
        for (const QString &file : files)
            QVERIFY2(QFileInfo(m_prefix + QLatin1Char('/') + file).isFile(), qPrintable(file));

        const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QByteArray out;
        QCOMPARE(run({"desktop-file-validate", m_prefix + "/share/applications/pixdock.desktop"}, env, &out), 0);
        QCOMPARE(out, QByteArray());
        QCOMPARE(run({"appstreamcli", "validate", "--no-net", m_prefix + "/share/metainfo/org.pixdock.Pixdock.metainfo.xml"}, env), 0);

        for (const char *file : {"bin/pixdock", "lib/pixdock/modules/libpixdock_browser.so", "share/pixdock/help/pixdock.qhc"}) {
            QFile installed(m_prefix + QLatin1Char('/') + QLatin1String(file));
            QVERIFY(installed.open(QIODevice::ReadOnly));
            const QByteArray bytes = installed.readAll();
            for (const char *tree : {PIXDOCK_SOURCE_TREE, PIXDOCK_BUILD_TREE})
                QVERIFY2(!bytes.contains(tree), qPrintable(QStringLiteral("%1 names %2").arg(file, tree)));
        }
    }

    // --help, --version and a wrong option answer at once: no display needed (none is given),
    // no catalogue made.
    void theCommandLineAnswersWithoutStarting_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("--help") << "--help" << 0 << "Usage: pixdock [OPTION...] [FILE...]";
        QTest::newRow("--version") << "--version" << 0 << "Pixdock 1.0.0";
        QTest::newRow("an unknown option") << "--frobnicate" << 2 << "Unknown option 'frobnicate'";
    }

    void theCommandLineAnswersWithoutStarting()
    {
        QFETCH(QString, option);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir home;
        QProcessEnvironment env = userEnvironment(home.path());
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QLatin1String(name));
        QByteArray out;
        QByteArray err;
        QCOMPARE(run({program(), option, QStringLiteral("a.png")}, env, &out, &err), status);
        QVERIFY2(QString::fromLocal8Bit(status == 0 ? out : err).contains(said), (out + err).constData());
        if (status != 0)
            QVERIFY(err.contains("Usage: pixdock"));
        QVERIFY(!QFileInfo::exists(binFolder() + "/db.fil"));
        QVERIFY(!QFileInfo::exists(home.filePath(".local/share/Pixdock")));
    }

    void theInstalledProgramStartsAndOpensAPicture_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("a tree the user can write: the catalogue beside the program") << false;
        QTest::newRow("a read-only program folder: the catalogue in the user's data folder") << true;
    }

    void theInstalledProgramStartsAndOpensAPicture()
    {
        QFETCH(bool, readOnly);
        QFile::remove(binFolder() + "/db.fil");
        const pixdock::test::OrdinaryUser user = readOnly ? pixdock::test::OrdinaryUser::get() : pixdock::test::OrdinaryUser();
        if (!user.skipReason.isEmpty())
            QSKIP(qPrintable(user.skipReason));
        QTemporaryDir home;
        QVERIFY(openToAll(home.path()) && user.give(home.path()));
        const QString picture = pixdock::test::writePicture(home.path(), QStringLiteral("my photo.png"), {30, 20});
        const QString report = home.filePath(QStringLiteral("report.json"));
        if (readOnly)
            QVERIFY(QFile::setPermissions(binFolder(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                           | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        auto writable = qScopeGuard([this] { openToAll(binFolder()); });

        QProcessEnvironment env = userEnvironment(home.path());
        for (const auto &[name, value] : QList<std::pair<QString, QString>>{
                 {"QT_QPA_PLATFORM", "offscreen"}, {"QT_PLUGIN_PATH", m_root.filePath("plugins")},
                 {"QT_QPA_GENERIC_PLUGINS", "pixdockprobe"}, {"PIXDOCK_PROBE_REPORT", report},
                 {"PIXDOCK_PROBE_PICTURE", picture}, {"QTWEBENGINE_DISABLE_SANDBOX", "1"},
                 {"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking --disable-component-update"}})
            env.insert(name, value);
        const QStringList command = user.commandLine(program(), {MissingPicture, picture});
        QCOMPARE(run(command, env), 0);

        QFile file(report);
        const QJsonObject seen = QJsonDocument::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : "").object();
        QCOMPARE(seen.value("failure").toString(), QString());
        const QString catalogue = readOnly ? home.filePath(QStringLiteral(".local/share/Pixdock/db.fil"))
                                           : binFolder() + QStringLiteral("/db.fil");
        QCOMPARE(seen.value("statusMessage").toString(), "A new, empty catalogue was made: " + catalogue);
        QFile made(catalogue);
        QCOMPARE(made.open(QIODevice::ReadOnly) ? made.read(16) : "", QByteArray("SQLite format 3\0", 16));
        // The missing file got the viewer's message; the picture has its viewer and the status text.
        QCOMPARE(seen.value("messages").toArray().toVariantList(), QVariantList({"File was not found"}));
        QCOMPARE(seen.value("statusText").toString(), picture);
        QVERIFY(seen.value("viewers").toArray().contains(QJsonValue("30x20")));
        QVERIFY(!seen.value("manualTitle").toString().isEmpty());
        QCOMPARE(seen.value("browserModule").toString(), m_prefix + "/lib/pixdock/modules/libpixdock_browser.so");
    }
};

PIXDOCK_REGISTER_TEST(TestInstalledProgram)
#include "tst_InstalledProgram.moc"
