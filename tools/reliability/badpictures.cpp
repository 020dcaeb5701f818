// pixdock-badpictures: makes the damaged-picture corpus and puts every file through a viewer
// window and the thumbnail maker, in a child process that is watched: a file that kills the
// child counts as a crash, one that keeps it busy past the time limit as a hang, and the run
// goes on with the next file. Prints the outcomes per format and per damage as Markdown tables.
//
//   pixdock-badpictures [--quick] [--mutants N] [--seed S] [--hang-seconds N]
//   pixdock-badpictures --probe FIRST --in FOLDER [options]   (the child: remakes the same corpus
//                                               in FOLDER and prints a "done i ..." line per file)
#include "BadPictures.h"
#include "PictureProbe.h"
#include "TestState.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

using namespace pixdock;
using namespace pixdock::reliability;

namespace {

struct Tally
{
    int files = 0, crashes = 0, hangs = 0, thumbnails = 0;
    QMap<QString, int> outcomes;
};

void printTable(QTextStream &out, const QString &title, const QMap<QString, Tally> &rows, const Tally &total)
{
    out << "| " << title << " | files | crashes | hangs";
    for (int o = 0; o <= int(ViewerOutcome::Other); ++o)
        out << " | " << outcomeName(ViewerOutcome(o));
    out << " | thumbnails made |\n|---|---|---|---|---|---|---|---|---|---|\n";
    auto row = [&](const QString &name, const Tally &t) {
        out << "| " << name << " | " << t.files << " | " << t.crashes << " | " << t.hangs;
        for (int o = 0; o <= int(ViewerOutcome::Other); ++o)
            out << " | " << t.outcomes.value(outcomeName(ViewerOutcome(o)));
        out << " | " << t.thumbnails << " |\n";
    };
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        row(it.key(), it.value());
    row(QStringLiteral("**all**"), total);
    out << "\n";
}

} // namespace

int main(int argc, char **argv)
{
    // Writing the pictures needs the GUI library's image writers, the child's viewer windows
    // the widgets; neither needs a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && qstrcmp(argv[1], "--probe") == 0) // decoders complain about every damaged file
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    test::beforeApplication();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const auto option = [](const char *name, const char *help, const char *value = nullptr) {
        return QCommandLineOption(QLatin1String(name), QLatin1String(help), QLatin1String(value));
    };
    parser.addOptions({option("quick", "The small corpus of make test."),
                       option("mutants", "Byte-flip mutants per format.", "N"),
                       option("seed", "Seed of the byte flips.", "S"),
                       option("hang-seconds", "Time one file may take (60 s).", "N"),
                       option("probe", "Be the child, from file FIRST on.", "FIRST"), option("in", "The child's corpus.", "FOLDER")});
    parser.process(app);

    CorpusPlan plan = quickPlan();
    if (!parser.isSet(QStringLiteral("quick"))) // every cut, and 60 mutants per format
        plan = {{0.001, 0.01, 0.25, 0.5, 0.75, 0.99}, 60, plan.seed};
    const auto number = [&](const char *name, qint64 otherwise) {
        return parser.isSet(QLatin1String(name)) ? parser.value(QLatin1String(name)).toLongLong() : otherwise;
    };
    plan.mutantsPerFormat = int(number("mutants", plan.mutantsPerFormat));
    plan.seed = quint32(number("seed", plan.seed));
    const qint64 hangMs = number("hang-seconds", 60) * 1000;

    QTemporaryDir folder;
    const QString in = parser.value(QStringLiteral("in"));
    const QList<BadPicture> corpus = makeCorpus(in.isEmpty() ? folder.path() : in, plan);
    if (parser.isSet(QStringLiteral("probe"))) {
        // The child: probes the files from FIRST on, in order, and says what came of each; the
        // first file it has not reported on is the one a crash or a hang belongs to.
        test::enterAnsweringMode();
        std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line goes out as it is written
        PictureProbe probe;
        QElapsedTimer clock;
        for (qsizetype i = number("probe", 0); i < corpus.size(); ++i) {
            clock.start();
            const PictureResult r = probe.probe(corpus.at(i));
            std::printf("done %lld\t%s\t%d\t%d\t%lld\t%s\n", qint64(i), qPrintable(outcomeName(r.viewer)),
                        int(r.thumbnail), int(r.thumbnailConsistent), clock.elapsed(),
                        r.detail.simplified().toUtf8().constData());
        }
        return 0;
    }

    QMap<QString, Tally> byFormat, byDamage;
    Tally total;
    QStringList problems;
    std::pair<qint64, QString> slowest{-1, QString()}; // time in ms, file
    auto count = [&](const BadPicture &p, const auto &add) {
        for (Tally *t : {&byFormat[p.format], &byDamage[p.damage.startsWith(QLatin1String("cut")) ? QStringLiteral("cut short") : p.damage], &total}) {
            ++t->files;
            add(*t);
        }
    };
    QElapsedTimer wall;
    wall.start();
    // The children's temporary folders go inside this run's own, so that a child that crashes
    // leaves nothing behind once the run ends.
    const QString childTemp = QDir(folder.path()).filePath(QStringLiteral(".child-tmp"));
    QDir().mkpath(childTemp);
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    childEnvironment.insert(QStringLiteral("TMPDIR"), childTemp);
    for (qsizetype next = 0; next < corpus.size();) {
        QProcess child;
        child.setProcessEnvironment(childEnvironment);
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(QCoreApplication::applicationFilePath(),
                    QStringList{QStringLiteral("--probe"), QString::number(next), QStringLiteral("--in"), folder.path()}
                        + app.arguments().mid(1));
        if (!child.waitForStarted())
            return 2;
        bool hung = false;
        QElapsedTimer sinceLast;
        sinceLast.start();
        while (!hung && (child.state() != QProcess::NotRunning || child.canReadLine())) {
            if (!child.canReadLine() && !child.waitForReadyRead(250)) {
                // A file that keeps the child busy past the limit is a hang: the child is killed.
                if ((hung = sinceLast.elapsed() > hangMs)) {
                    child.kill();
                    child.waitForFinished();
                }
                continue;
            }
            const QStringList f = QString::fromUtf8(child.readLine()).chopped(1).split(QLatin1Char('\t'));
            if (!f.at(0).startsWith(QLatin1String("done ")) || f.size() < 6)
                continue;
            sinceLast.start();
            const BadPicture &p = corpus.at(next = f.at(0).mid(5).toInt());
            count(p, [&](Tally &t) {
                ++t.outcomes[f.at(1)];
                t.thumbnails += f.at(2) == QLatin1String("1");
            });
            if (f.at(1) == QLatin1String("other"))
                problems << QStringLiteral("other: %1 (%2): %3").arg(p.path, p.damage, f.at(5));
            if (f.at(3) != QLatin1String("1"))
                problems << QStringLiteral("the thumbnail cache disagrees: ") + p.path;
            if ((p.damage == QLatin1String("intact") || p.damage == QLatin1String("wrong extension"))
                && f.at(1) != QLatin1String("shown"))
                problems << QStringLiteral("a sound picture was not shown: ") + p.path;
            slowest = std::max(slowest, std::pair{f.at(4).toLongLong(), p.path});
            ++next;
        }
        child.waitForFinished();
        if (next < corpus.size() && (hung || child.exitStatus() == QProcess::CrashExit)) {
            // The child died on the file it had not reported on, or was killed for keeping at it.
            count(corpus.at(next), [&](Tally &t) { ++(hung ? t.hangs : t.crashes); });
            problems << (hung ? QStringLiteral("hang: ") : QStringLiteral("crash: ")) + corpus.at(next++).path;
        } else if (next < corpus.size()) {
            problems << QStringLiteral("the probe ended before the last file");
            break;
        }
    }

    QTextStream out(stdout);
    out << "Corpus: " << corpus.size() << " files, " << plan.mutantsPerFormat << " byte-flip mutants per format, seed "
        << plan.seed << "; " << wall.elapsed() / 1000 << " s in all.\n\n";
    printTable(out, QStringLiteral("format"), byFormat, total);
    printTable(out, QStringLiteral("damage"), byDamage, total);
    out << "Slowest file (viewer and thumbnails): " << slowest.first << " ms ("
        << QDir(folder.path()).relativeFilePath(slowest.second)
        << ").\nFiles tried: " << total.files << ", crashes: " << total.crashes << ", hangs: " << total.hangs
        << ", other outcomes: " << total.outcomes.value(QStringLiteral("other")) << "\n";
    for (const QString &p : problems)
        out << "PROBLEM " << p << "\n";
    return problems.isEmpty() && total.files == corpus.size() ? 0 : 1;
}
