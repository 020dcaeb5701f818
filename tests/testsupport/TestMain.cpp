// Runs every registered test class on the offscreen platform, in a home and XDG folders of
// its own, with message boxes and dialogs in answering mode, under the stall guard.
//   tests_x                     every class
//   tests_x ClassName [args]    one class, with QtTest's own arguments (a function name...)
//   tests_x --classes           the names of the classes it holds, one a line
#include "Locations.h"
#include "StallGuard.h"
#include "TestRegistry.h"
#include "TestState.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace pixdock::test {

namespace {
std::map<std::string, TestFactory> &registry()
{
    static std::map<std::string, TestFactory> classes;
    return classes;
}
} // namespace

int registerTestClass(const char *name, TestFactory factory)
{
    registry()[name] = std::move(factory);
    return 0;
}

} // namespace pixdock::test

namespace {
// The offscreen platform warns about window hints it cannot honour; that is noise in a test log.
QtMessageHandler g_defaultHandler = nullptr;
void filterPlatformNoise(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.contains(QLatin1String("This plugin does not support")))
        return;
    g_defaultHandler(type, context, text);
}
} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--classes") == 0) {
        for (const auto &entry : pixdock::test::registry())
            std::printf("%s\n", entry.first.c_str());
        return 0;
    }
    // Own home and XDG folders, so settings, caches and thumbnails never touch the user's.
    QTemporaryDir home;
    const QByteArray root = QFile::encodeName(home.path());
    qputenv("HOME", root);
    for (const auto &[sub, variable] : {std::pair{"config", "XDG_CONFIG_HOME"}, std::pair{"cache", "XDG_CACHE_HOME"},
                                        std::pair{"data", "XDG_DATA_HOME"}, std::pair{"runtime", "XDG_RUNTIME_DIR"}}) {
        QDir().mkpath(home.filePath(QLatin1String(sub)));
        qputenv(variable, root + '/' + sub);
    }
    QFile::setPermissions(home.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    g_defaultHandler = qInstallMessageHandler(filterPlatformNoise);
    pixdock::test::beforeApplication();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi);
    pixdock::test::enterAnsweringMode();
    // Every test that drives a window fails on a stall of the interface thread.
    pixdock::test::installStallGuard();
    // The program's files (manual, browser module) as the build tree holds them, one level up.
    pixdock::locations::setExecutableFolder(QStringLiteral(PIXDOCK_BUILD_DIR));

    auto &classes = pixdock::test::registry();
    QStringList args = app.arguments();
    // Test classes named first run alone, in the order given (to find one that disturbs another);
    // else every class runs.
    std::vector<std::string> named;
    while (args.size() > 1 && classes.count(args.at(1).toStdString()))
        named.push_back(args.takeAt(1).toStdString());
    if (named.empty()) {
        for (const auto &entry : classes)
            named.push_back(entry.first);
    }
    int status = 0;
    for (const std::string &name : named) {
        auto object = classes.at(name)();
        pixdock::test::stallGuardRuns(name.c_str());
        status |= QTest::qExec(object.get(), args);
    }
    return status | pixdock::test::reportStalls();
}
