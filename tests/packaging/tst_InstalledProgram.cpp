// The program as installed: `cmake --install` into a staging folder (DESTDIR), the tree moved
// elsewhere, then the installed binary started headless with a fresh home, as a user would
// start it, from a tree the user can write and from one whose program folder is read-only.
#include "OrdinaryUser.h"
#include "Pictures.h"
#include "TestRegistry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Runs a program to its end; returns its exit status (-1 when it did not end normally), and
// what it wrote to standard output and standard error.
int run(const QStringList &command, const QProcessEnvironment &env, QByteArray *said = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(command.first(), command.mid(1));
    const bool ended = process.waitForFinished(240000) && process.exitStatus() == QProcess::NormalExit;
    if (!ended) {
        process.kill();
        process.waitForFinished();
    }
    const QByteArray out = process.readAllStandardOutput(), err = process.readAllStandardError();
    if (said)
        *said = out + "|" + err;
    return ended ? process.exitCode() : (qWarning("%s", err.right(4000).constData()), -1);
}

const QFile::Permissions ReadOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
    | QFile::ReadOther | QFile::ExeOther;
bool openToAll(const QString &path) { return QFile::setPermissions(path, ReadOnly | QFile::WriteOwner); }
} // namespace

class TestInstalledProgram : public QObject
{
    Q_OBJECT
    QTemporaryDir m_root;
    QString m_prefix; // the moved tree
    QString bin(const QString &file = {}) const { return m_prefix + "/bin" + file; }

private slots:
    void initTestCase()
    {
        QVERIFY(openToAll(m_root.path()));
        // Installed as `make install` and the package build install, stripped, into a staging
        // folder; then moved elsewhere.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DESTDIR", m_root.filePath("stage"));
        QCOMPARE(run({PIXDOCK_CMAKE, "--install", PIXDOCK_BUILD_TREE, "--prefix", "/usr/local", "--strip"}, env), 0);
        m_prefix = m_root.filePath("moved");
        QVERIFY(QDir().rename(m_root.filePath("stage/usr/local"), m_prefix));
        // The probe plug-in, where the program (perhaps run as another user) can read it.
        QVERIFY(QDir().mkpath(m_root.filePath("plugins/generic")));
        QVERIFY(QFile::copy(PIXDOCK_PROBE_PLUGIN, m_root.filePath("plugins/generic/libpixdockprobe.so")));
    }

    // Every installed file is there, the desktop's own checkers accept the desktop entry and
    // the AppStream data, and nothing installed names a folder of the machine that built it.
    void theTreeHoldsEveryFileAndNoBuildPath()
    {
        QStringList files = {"bin/pixdock", "lib/pixdock/modules/libpixdock_browser.so", "share/pixdock/help/pixdock.qhc",
                             "share/pixdock/schema.sql", "share/pixdock/help/pixdock.qch", "etc/pixdock/registry.ini",
                             "share/applications/pixdock.desktop", "share/metainfo/org.pixdock.Pixdock.metainfo.xml",
                             "share/icons/hicolor/scalable/apps/pixdock.svg", "share/man/man1/pixdock.1.gz",
                             "share/doc/pixdock/copyright"};
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            files << QStringLiteral("share/icons/hicolor/%1x%1/apps/pixdock.png").arg(size);
        for (const QString &file : files)
            QVERIFY2(QFileInfo(m_prefix + '/' + file).isFile(), qPrintable(file));
        for (qsizetype i = 0; i < 3; ++i) {
            QFile installed(m_prefix + '/' + files.at(i));
            const QByteArray bytes = installed.open(QIODevice::ReadOnly) ? installed.readAll() : "";
            QVERIFY(!bytes.isEmpty() && !bytes.contains(PIXDOCK_SOURCE_TREE) && !bytes.contains(PIXDOCK_BUILD_TREE));
        }
        const auto env = QProcessEnvironment::systemEnvironment();
        QByteArray said;
        QCOMPARE(run({"desktop-file-validate", m_prefix + '/' + files.at(6)}, env, &said), 0);
        QCOMPARE(said, "|");
        QCOMPARE(run({"appstreamcli", "validate", "--no-net", m_prefix + '/' + files.at(7)}, env), 0);
    }

    // Started with a fresh home: --help, --version and a wrong option answer at once with no
    // display and no catalogue made; a real start makes the catalogue where it belongs, shows
    // the picture and the missing file's message, the manual and the browser module.
    void theInstalledProgramStarts_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // the answer, or where the catalogue is made
        QTest::newRow("--help") << "--help" << 0 << "Usage: pixdock [OPTION...] [FILE...]\n";
        QTest::newRow("--version") << "--version" << 0 << "Pixdock 1.0.0\n|";
        QTest::newRow("an unknown option") << "--frobnicate" << 2 << "|pixdock: Unknown option 'frobnicate'.\nUsage: pixdock";
        QTest::newRow("a tree the user can write: the catalogue beside the program") << "writable" << 0 << "bin/db.fil";
        QTest::newRow("a read-only program folder: the catalogue in the user's data folder") << "read-only" << 0 << "home/.local/share/Pixdock/db.fil";
    }
    void theInstalledProgramStarts()
    {
        QFETCH(QString, situation);
        QFETCH(QString, said);
        QFile::remove(bin("/db.fil"));
        const bool option = situation.startsWith("--");
        const auto user = situation == "read-only" ? pixdock::test::OrdinaryUser::get() : pixdock::test::OrdinaryUser();
        if (!user.skipReason.isEmpty())
            QSKIP(qPrintable(user.skipReason));
        QTemporaryDir home;
        QVERIFY(openToAll(home.path()) && user.give(home.path()));
        const QString picture = pixdock::test::writePicture(home.path(), "my photo.png", {30, 20});
        if (situation == "read-only")
            QVERIFY(QFile::setPermissions(bin(), ReadOnly));
        auto writable = qScopeGuard([this] { openToAll(bin()); });

        // A user's environment with a home of its own and no XDG folders of the test's.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "PIXDOCK_CATALOGUE",
                                 "QT_PLUGIN_PATH", "QT_QPA_GENERIC_PLUGINS", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(name);
        env.insert("HOME", home.path());
        const QString report = home.filePath("report.json");
        for (const auto &[name, value] : QList<std::pair<QString, QString>>{
                 {"QT_QPA_PLATFORM", "offscreen"}, {"QT_PLUGIN_PATH", m_root.filePath("plugins")},
                 {"QT_QPA_GENERIC_PLUGINS", "pixdockprobe"}, {"PIXDOCK_PROBE_REPORT", report},
                 {"PIXDOCK_PROBE_PICTURE", picture}, {"QTWEBENGINE_DISABLE_SANDBOX", "1"},
                 {"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking --disable-component-update"}})
            if (!option)
                env.insert(name, value);
        QByteArray out;
        const QStringList arguments = option ? QStringList{situation, "a.png"} : QStringList{"/nowhere/missing.png", picture};
        QTEST(run(user.commandLine(bin("/pixdock"), arguments), env, &out), "status");
        if (option) {
            QVERIFY2(out.startsWith(said.toLocal8Bit()), out.constData());
            QVERIFY(!QFileInfo::exists(bin("/db.fil")) && !QFileInfo::exists(home.filePath(".local/share/Pixdock")));
            return;
        }
        QFile file(report);
        const QJsonObject seen = QJsonDocument::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : "").object();
        const auto text = [&seen](const char *key) { return seen.value(QLatin1String(key)).toString(); };
        const QString catalogue = said.startsWith("home") ? home.filePath(said.mid(5)) : m_prefix + '/' + said;
        // The catalogue made, the missing file's message, the picture in its viewer and the
        // status text, the manual and the browser module installed beside the program.
        QCOMPARE(QStringList({text("failure"), text("statusMessage"), text("statusText"), text("browserModule")}),
                 QStringList({"", "A new, empty catalogue was made: " + catalogue, picture,
                              m_prefix + "/lib/pixdock/modules/libpixdock_browser.so"}));
        QFile made(catalogue);
        QCOMPARE(made.open(QIODevice::ReadOnly) ? made.read(16) : "", QByteArray("SQLite format 3\0", 16));
        QCOMPARE(seen.value("messages").toArray().toVariantList(), QVariantList({"File was not found"}));
        QVERIFY(seen.value("viewers").toArray().contains(QJsonValue("30x20")) && !text("manualTitle").isEmpty());
    }
};

PIXDOCK_REGISTER_TEST(TestInstalledProgram)
#include "tst_InstalledProgram.moc"
