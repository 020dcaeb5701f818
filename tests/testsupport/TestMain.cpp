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
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <map>

static std::map<std::string, pixdock::test::TestFactory> &registry()
{
    static std::map<std::string, pixdock::test::TestFactory> classes;
    return classes;
}

int pixdock::test::registerTestClass(const char *name, TestFactory factory)
{
    registry()[name] = std::move(factory);
    return 0;
}

int main(int argc, char **argv)
{
    auto &classes = registry();
    if (argc == 2 && qstrcmp(argv[1], "--classes") == 0) {
        for (const auto &entry : classes)
            std::printf("%s\n", entry.first.c_str());
        return 0;
    }
    // Own home and XDG folders, so settings, caches and thumbnails never touch the user's.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const auto &[sub, variable] : {std::pair{"config", "XDG_CONFIG_HOME"}, std::pair{"cache", "XDG_CACHE_HOME"},
                                        std::pair{"data", "XDG_DATA_HOME"}, std::pair{"runtime", "XDG_RUNTIME_DIR"}}) {
        QDir().mkpath(home.filePath(QLatin1String(sub)));
        qputenv(variable, QFile::encodeName(home.filePath(QLatin1String(sub))));
    }
    QFile::setPermissions(home.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    pixdock::test::beforeApplication();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi);
    pixdock::test::enterAnsweringMode();
    // Every test that drives a window fails on a stall of the interface thread.
    pixdock::test::installStallGuard();
    // The program's files (manual, browser module) as the build tree holds them, one level up.
    pixdock::locations::setExecutableFolder(QStringLiteral(PIXDOCK_BUILD_DIR));

    // Test classes named first run alone (to find one that disturbs another); else every class runs.
    QStringList args = app.arguments(), named;
    while (args.size() > 1 && classes.count(args.at(1).toStdString()))
        named << args.takeAt(1);
    int status = 0;
    for (const auto &[name, make] : classes) {
        if (!named.isEmpty() && !named.contains(QString::fromStdString(name)))
            continue;
        pixdock::test::stallGuardRuns(name.c_str());
        status |= QTest::qExec(make().get(), args);
    }
    return status | pixdock::test::reportStalls();
}
