// Reading the command line before anything else starts.
#include "CommandLine.h"

#include "Version.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace pixdock {

namespace {
constexpr int UsageStatus = 2;

QString usage(const QString &program)
{
    return QStringLiteral("Usage: %1 [OPTION...] [FILE...]\n"
                          "Pixdock, a picture viewer with a small picture catalogue.\n"
                          "Opens each FILE in a picture viewer of its own.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     Show this help and exit.\n"
                          "  -v, --version  Show the program's version and exit.\n")
        .arg(program);
}

// Qt's own options, which QApplication takes off the command line later.
void letQtOptionsThrough(QCommandLineParser &parser)
{
    for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                             "qwindowicon", "qwindowtitle", "style", "stylesheet", "session", "display", "name",
                             "title", "visual", "geometry", "qmljsdebugger"}) {
        QCommandLineOption option(QLatin1String(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption option{QString::fromLatin1(name)};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}
} // namespace

CommandLine readCommandLine(const QStringList &arguments)
{
    const QString program = arguments.isEmpty() ? QStringLiteral("pixdock") : QFileInfo(arguments.first()).fileName();
    QCommandLineParser parser;
    // Qt's options come with one dash (-platform offscreen), so one-dash words are options too.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    letQtOptionsThrough(parser);

    CommandLine line;
    if (!parser.parse(arguments)) {
        line.exitAtOnce = true;
        line.exitStatus = UsageStatus;
        line.toErrorStream = true;
        line.text = QStringLiteral("%1: %2\n").arg(program, parser.errorText()) + usage(program);
        return line;
    }
    if (parser.isSet(help)) {
        line.exitAtOnce = true;
        line.text = usage(program);
        return line;
    }
    if (parser.isSet(version)) {
        line.exitAtOnce = true;
        line.text = QStringLiteral("Pixdock %1.%2.%3\n").arg(versionMajor()).arg(versionMinor()).arg(versionRevision());
        return line;
    }
    line.files = parser.positionalArguments();
    return line;
}

} // namespace pixdock
