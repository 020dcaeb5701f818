// Runs every registered test class on the offscreen platform, in a home and XDG folders of
// its own, with message boxes and dialogs in answering mode, under the stall guard.
//   tests_x                     every class
//   tests_x ClassName [args]    one class, with QtTest's own arguments (a function name...)
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
    // Own home and XDG folders, so settings, caches and thumbnails never touch the user's.
    QTemporaryDir home;
    const QByteArray root = QFile::encodeName(home.path());
    for (const char *sub : {"config", "cache", "data", "runtime"})
        QDir().mkpath(home.path() + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
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
    int status = 0;
    // Test classes named first run alone, in the order given (to find one that disturbs another).
    std::vector<std::string> named;
    while (args.size() > 1 && classes.count(args.at(1).toStdString()))
        named.push_back(args.takeAt(1).toStdString());
    if (!named.empty()) {
        for (const std::string &name : named) {
            auto object = classes.at(name)();
            pixdock::test::stallGuardRuns(name.c_str());
            status |= QTest::qExec(object.get(), args);
        }
        return status | pixdock::test::reportStalls();
    }
    for (auto &[name, factory] : classes) {
        auto object = factory();
        pixdock::test::stallGuardRuns(name.c_str());
        status |= QTest::qExec(object.get(), args);
    }
    return status | pixdock::test::reportStalls();
}
