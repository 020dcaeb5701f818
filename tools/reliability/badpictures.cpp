// pixdock-badpictures: makes the damaged-picture corpus and puts every file through a viewer
// window and the thumbnail maker, in a child process that is watched: a file that kills the
// child counts as a crash, one that keeps it busy past the time limit as a hang, and the run
// goes on with the next file. Prints the outcomes per format and per damage as Markdown tables.
//
//   pixdock-badpictures [--quick] [--mutants N] [--seed S] [--hang-seconds N]
//   pixdock-badpictures --probe FILE INTACT-FILE   (the child: probes one file, prints what came of it)
#include "PictureProbe.h"
#include "TestState.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QTextStream>

#include <cstdio>

using namespace pixdock;
using namespace pixdock::reliability;

// Counts by column: files, crashes, hangs, each viewer outcome, thumbnails made.
using Tally = QMap<QString, int>;

static void printTable(QTextStream &out, const QString &title, QMap<QString, Tally> rows, const Tally &total)
{
    QStringList columns = {QStringLiteral("files"), QStringLiteral("crashes"), QStringLiteral("hangs")};
    for (int o = 0; o <= int(ViewerOutcome::Other); ++o)
        columns << outcomeName(ViewerOutcome(o));
    columns << QStringLiteral("thumbnails made");
    out << "| " << title << " | " << columns.join(" | ") << " |\n" << QString("|---").repeated(columns.size() + 1) << "|\n";
    rows.insert(QStringLiteral("~"), total); // sorts last, shown as **all**
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
        out << "| " << (it.key() == u"~" ? QStringLiteral("**all**") : it.key());
        for (const QString &column : columns)
            out << " | " << it.value().value(column);
        out << " |\n";
    }
    out << "\n";
}

int main(int argc, char **argv)
{
    // Writing the pictures needs the GUI library's image writers, the child's viewer windows
    // the widgets; neither needs a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool child = argc == 4 && qstrcmp(argv[1], "--probe") == 0;
    if (child) // decoders complain about every damaged file, and that is no news here
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    test::beforeApplication();
    QApplication app(argc, argv);
    if (child) {
        test::enterAnsweringMode();
        PictureProbe probe;
        QElapsedTimer clock;
        clock.start();
        const PictureResult r = probe.probe({app.arguments().at(2), {}, {}, app.arguments().at(3)});
        std::printf("%s\t%d\t%d\t%lld\t%s\n", qPrintable(outcomeName(r.viewer)), int(r.thumbnail),
                    int(r.thumbnailConsistent), clock.elapsed(), r.detail.simplified().toUtf8().constData());
        return 0;
    }
    QCommandLineParser parser;
    parser.addHelpOption();
    for (const auto &[name, help, value] : {std::tuple{"quick", "The small corpus of make test.", ""},
                                           {"mutants", "Byte-flip mutants per format.", "N"},
                                           {"seed", "Seed of the byte flips.", "S"},
                                           {"hang-seconds", "Time one file may take (60 s).", "N"}})
        parser.addOption(QCommandLineOption(QLatin1String(name), QLatin1String(help), QLatin1String(value)));
    parser.process(app);
    const auto number = [&](const char *name, qint64 otherwise) {
        return parser.isSet(QLatin1String(name)) ? parser.value(QLatin1String(name)).toLongLong() : otherwise;
    };
    CorpusPlan plan = quickPlan();
    if (!parser.isSet(QStringLiteral("quick"))) // every cut, and 60 mutants per format
        plan = {{0.001, 0.01, 0.25, 0.5, 0.75, 0.99}, 60, plan.seed};
    plan.mutantsPerFormat = int(number("mutants", plan.mutantsPerFormat));
    plan.seed = quint32(number("seed", plan.seed));
    QTemporaryDir folder;
    const QList<BadPicture> corpus = makeCorpus(folder.path(), plan);

    QMap<QString, Tally> byFormat, byDamage;
    Tally total;
    QStringList problems;
    std::pair<qint64, QString> slowest{-1, QString()}; // time in ms, file
    QElapsedTimer wall;
    wall.start();
    // The children's temporary folders go inside this run's own, so that a child that crashes
    // leaves nothing behind once the run ends.
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    childEnvironment.insert(QStringLiteral("TMPDIR"), folder.filePath(QStringLiteral(".child-tmp")));
    QDir().mkpath(folder.filePath(QStringLiteral(".child-tmp")));
    for (const BadPicture &p : corpus) {
        // Each file in a child of its own: one that kills the child is a crash, one that keeps
        // it busy past the limit a hang (the child is killed).
        QProcess probe;
        probe.setProcessEnvironment(childEnvironment);
        probe.setStandardErrorFile(QProcess::nullDevice());
        probe.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe"), p.path, p.intactPath});
        const bool hung = probe.waitForStarted() && !probe.waitForFinished(int(number("hang-seconds", 60) * 1000));
        if (hung) {
            probe.kill();
            probe.waitForFinished();
        }
        const QStringList f = QString::fromUtf8(probe.readAllStandardOutput()).section(u'\n', 0, 0).split(u'\t');
        const bool crashed = probe.exitStatus() == QProcess::CrashExit || probe.exitCode() != 0 || f.size() < 5;
        const QString damage = p.damage.startsWith(u"cut") ? QStringLiteral("cut short") : p.damage;
        for (Tally *t : {&byFormat[p.format], &byDamage[damage], &total}) {
            ++(*t)[QStringLiteral("files")];
            ++(*t)[hung ? QStringLiteral("hangs") : crashed ? QStringLiteral("crashes") : f.at(0)];
            (*t)[QStringLiteral("thumbnails made")] += !hung && !crashed && f.at(1) == u"1";
        }
        if (hung || crashed) {
            problems << (hung ? QStringLiteral("hang: ") : QStringLiteral("crash: ")) + p.path;
            continue;
        }
        if (f.at(0) == u"other")
            problems << QStringLiteral("other: %1 (%2): %3").arg(p.path, p.damage, f.at(4));
        if (f.at(2) != u"1")
            problems << QStringLiteral("the thumbnail cache disagrees: ") + p.path;
        slowest = std::max(slowest, std::pair{f.at(3).toLongLong(), p.path});
    }

    QTextStream out(stdout);
    out << "Corpus: " << corpus.size() << " files, " << plan.mutantsPerFormat << " byte-flip mutants per format, seed "
        << plan.seed << "; " << wall.elapsed() / 1000 << " s in all.\n\n";
    printTable(out, QStringLiteral("format"), byFormat, total);
    printTable(out, QStringLiteral("damage"), byDamage, total);
    out << "Slowest file (viewer and thumbnails): " << slowest.first << " ms ("
        << QDir(folder.path()).relativeFilePath(slowest.second) << ").\nFiles tried: " << total.value("files")
        << ", crashes: " << total.value("crashes") << ", hangs: " << total.value("hangs")
        << ", other outcomes: " << total.value("other") << "\n";
    for (const QString &p : problems)
        out << "PROBLEM " << p << "\n";
    return problems.isEmpty() ? 0 : 1;
}
