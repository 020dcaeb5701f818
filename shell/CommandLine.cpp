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
                          "       %1 --create-catalogue CATALOGUE\n"
                          "       %1 --copy-catalogue FROM TO\n"
                          "Pixdock, a picture viewer with a small picture catalogue.\n"
                          "Opens each FILE in a picture viewer of its own.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     Show this help and exit.\n"
                          "  -v, --version  Show the program's version and exit.\n"
                          "  --create-catalogue CATALOGUE\n"
                          "                 Make an empty catalogue and exit: table Info on an empty\n"
                          "                 PostgreSQL database, or a new catalogue file.\n"
                          "  --copy-catalogue FROM TO\n"
                          "                 Copy every picture of one catalogue into another, empty one\n"
                          "                 in one transaction, check both hold the same rows, and exit.\n"
                          "\n"
                          "A CATALOGUE is the path of a catalogue file or a PostgreSQL connection URI\n"
                          "(postgresql://user@host/database). The program's catalogue is named by\n"
                          "PIXDOCK_CATALOGUE, else by Catalogue/Location in Pixdock.conf.\n")
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
    const QCommandLineOption create(QStringLiteral("create-catalogue"), QString(), QStringLiteral("CATALOGUE"));
    const QCommandLineOption copy(QStringLiteral("copy-catalogue"), QString(), QStringLiteral("FROM"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(create);
    parser.addOption(copy);
    letQtOptionsThrough(parser);

    CommandLine line;
    const auto refuse = [&](const QString &why) {
        line.exitAtOnce = true;
        line.exitStatus = UsageStatus;
        line.toErrorStream = true;
        line.text = QStringLiteral("%1: %2\n").arg(program, why) + usage(program);
        return line;
    };
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
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
    if (parser.isSet(create) && parser.isSet(copy))
        return refuse(QStringLiteral("--create-catalogue and --copy-catalogue cannot be given together."));
    if (parser.isSet(create)) {
        if (!parser.positionalArguments().isEmpty())
            return refuse(QStringLiteral("--create-catalogue takes one catalogue."));
        line.catalogueCommand = CommandLine::CatalogueCommand::Create;
        line.catalogue = parser.value(create);
        return line;
    }
    if (parser.isSet(copy)) {
        if (parser.positionalArguments().size() != 1)
            return refuse(QStringLiteral("--copy-catalogue takes two catalogues: FROM and TO."));
        line.catalogueCommand = CommandLine::CatalogueCommand::Copy;
        line.catalogue = parser.value(copy);
        line.copyTarget = parser.positionalArguments().constFirst();
        return line;
    }
    line.files = parser.positionalArguments();
    return line;
}

} // namespace pixdock
