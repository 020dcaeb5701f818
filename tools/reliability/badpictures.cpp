// pixdock-badpictures: makes the damaged-picture corpus and puts every file through a viewer
// window and the thumbnail maker, in a child process that is watched: a file that kills the
// child counts as a crash, one that keeps it busy past the time limit as a hang, and the run
// goes on with the next file. Prints the outcomes per format and per damage as Markdown tables.
//
//   pixdock-badpictures [--quick] [--mutants N] [--seed S] [--hang-seconds N]
//   pixdock-badpictures --probe FIRST --in FOLDER [options]   (the child: remakes the same corpus
//                                               in FOLDER and prints a "done i ..." line per file)
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

namespace {

struct Tally
{
    int files = 0, crashes = 0, hangs = 0, thumbnails = 0;
    QMap<QString, int> outcomes;
};

void printTable(QTextStream &out, const QString &title, QMap<QString, Tally> rows, const Tally &total)
{
    out << "| " << title << " | files | crashes | hangs";
    for (int o = 0; o <= int(ViewerOutcome::Other); ++o)
        out << " | " << outcomeName(ViewerOutcome(o));
    out << " | thumbnails made |\n|---|---|---|---|---|---|---|---|---|---|\n";
    rows.insert(QStringLiteral("~"), total); // sorts last, shown as **all**
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
        const Tally &t = it.value();
        out << "| " << (it.key() == u"~" ? QStringLiteral("**all**") : it.key()) << " | " << t.files << " | " << t.crashes << " | " << t.hangs;
        for (int o = 0; o <= int(ViewerOutcome::Other); ++o)
            out << " | " << t.outcomes.value(outcomeName(ViewerOutcome(o)));
        out << " | " << t.thumbnails << " |\n";
    }
    out << "\n";
}

} // namespace

int main(int argc, char **argv)
{
    // Writing the pictures needs the GUI library's image writers, the child's viewer windows
    // the widgets; neither needs a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool child = argc > 1 && qstrcmp(argv[1], "--probe") == 0;
    if (child) // decoders complain about every damaged file
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    test::beforeApplication();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    for (const auto &[name, help, value] : {std::tuple{"quick", "The small corpus of make test.", ""},
                                           {"mutants", "Byte-flip mutants per format.", "N"}, {"seed", "Seed of the byte flips.", "S"},
                                           {"hang-seconds", "Time one file may take (60 s).", "N"},
                                           {"probe", "Be the child, from file FIRST on.", "FIRST"}, {"in", "The child's corpus.", "FOLDER"}})
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
    const QString in = child ? parser.value(QStringLiteral("in")) : folder.path();
    const QList<BadPicture> corpus = makeCorpus(in, plan);
    if (child) {
        // Probes the files from FIRST on, in order, and says what came of each; the first file
        // it has not reported on is the one a crash or a hang belongs to.
        test::enterAnsweringMode();
        std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line goes out as it is written
        PictureProbe probe;
        QElapsedTimer clock;
        for (qsizetype i = number("probe", 0); i < corpus.size(); ++i) {
            clock.start();
            const PictureResult r = probe.probe(corpus.at(i));
            std::printf("done %lld\t%s\t%d\t%d\t%lld\t%s\n", qint64(i), qPrintable(outcomeName(r.viewer)), int(r.thumbnail),
                        int(r.thumbnailConsistent), clock.elapsed(), r.detail.simplified().toUtf8().constData());
        }
        return 0;
    }

    QMap<QString, Tally> byFormat, byDamage;
    Tally total;
    QStringList problems;
    std::pair<qint64, QString> slowest{-1, QString()}; // time in ms, file
    auto count = [&](const BadPicture &p, const auto &add) {
        for (Tally *t : {&byFormat[p.format], &byDamage[p.damage.startsWith(u"cut") ? QStringLiteral("cut short") : p.damage], &total}) {
            ++t->files;
            add(*t);
        }
    };
    QElapsedTimer wall;
    wall.start();
    // The children's temporary folders go inside this run's own, so that a child that crashes
    // leaves nothing behind once the run ends.
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    childEnvironment.insert(QStringLiteral("TMPDIR"), in + QStringLiteral("/.child-tmp"));
    QDir().mkpath(in + QStringLiteral("/.child-tmp"));
    for (qsizetype next = 0; next < corpus.size();) {
        QProcess probe;
        probe.setProcessEnvironment(childEnvironment);
        probe.setStandardErrorFile(QProcess::nullDevice());
        probe.start(QCoreApplication::applicationFilePath(),
                    QStringList{QStringLiteral("--probe"), QString::number(next), QStringLiteral("--in"), in} + app.arguments().mid(1));
        if (!probe.waitForStarted())
            return 2;
        bool hung = false;
        QElapsedTimer sinceLast;
        sinceLast.start();
        while (!hung && (probe.state() != QProcess::NotRunning || probe.canReadLine())) {
            if (!probe.canReadLine() && !probe.waitForReadyRead(250)) {
                // A file that keeps the child busy past the limit is a hang: the child is killed.
                if ((hung = sinceLast.elapsed() > number("hang-seconds", 60) * 1000)) {
                    probe.kill();
                    probe.waitForFinished();
                }
                continue;
            }
            const QStringList f = QString::fromUtf8(probe.readLine()).chopped(1).split(u'\t');
            if (!f.at(0).startsWith(u"done ") || f.size() < 6)
                continue;
            sinceLast.start();
            const BadPicture &p = corpus.at(next = f.at(0).mid(5).toInt());
            count(p, [&](Tally &t) {
                ++t.outcomes[f.at(1)];
                t.thumbnails += f.at(2) == u"1";
            });
            if (f.at(1) == u"other")
                problems << QStringLiteral("other: %1 (%2): %3").arg(p.path, p.damage, f.at(5));
            if (f.at(3) != u"1")
                problems << QStringLiteral("the thumbnail cache disagrees: ") + p.path;
            if ((p.damage == u"intact" || p.damage == u"wrong extension") && f.at(1) != u"shown")
                problems << QStringLiteral("a sound picture was not shown: ") + p.path;
            slowest = std::max(slowest, std::pair{f.at(4).toLongLong(), p.path});
            ++next;
        }
        probe.waitForFinished();
        if (next < corpus.size() && (hung || probe.exitStatus() == QProcess::CrashExit)) {
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
    out << "Slowest file (viewer and thumbnails): " << slowest.first << " ms (" << QDir(in).relativeFilePath(slowest.second)
        << ").\nFiles tried: " << total.files << ", crashes: " << total.crashes << ", hangs: " << total.hangs
        << ", other outcomes: " << total.outcomes.value(QStringLiteral("other")) << "\n";
    for (const QString &p : problems)
        out << "PROBLEM " << p << "\n";
    return problems.isEmpty() && total.files == corpus.size() ? 0 : 1;
}
