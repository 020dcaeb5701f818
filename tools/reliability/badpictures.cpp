// pixdock-badpictures: makes the damaged-picture corpus and puts every file through a viewer
// window and the thumbnail maker, in a child process that is watched: a file that kills the
// child counts as a crash, one that keeps it busy past the time limit as a hang, and the run
// goes on with the next file. Prints the outcomes per format and per damage as Markdown tables.
//
//   pixdock-badpictures [--quick] [--mutants N] [--seed S] [--hang-seconds N]
//   pixdock-badpictures --probe LIST FIRST     (the child; "begin i" and "done i ..." lines)
#include "BadPictures.h"
#include "PictureProbe.h"
#include "TestState.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

using namespace pixdock;
using namespace pixdock::reliability;

namespace {

// The child: probes the listed files from FIRST on and says which file it begins before it
// begins it, so the parent knows which file a crash or a hang belongs to.
int probeChild(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Decoders complain about every damaged file; the outcome is what counts here.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    test::beforeApplication();
    QApplication app(argc, argv);
    test::enterAnsweringMode();
    QFile list(QString::fromLocal8Bit(argv[2]));
    if (!list.open(QIODevice::ReadOnly))
        return 2;
    const QStringList lines = QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    PictureProbe probe;
    for (int i = std::atoi(argv[3]); i < lines.size(); ++i) {
        const QStringList f = lines.at(i).split(QLatin1Char('\t'));
        std::printf("begin %d\n", i);
        std::fflush(stdout);
        const PictureResult r = probe.probe({f.value(0), f.value(1), f.value(2), f.value(3)});
        std::printf("done %d\t%s\t%d\t%d\t%s\n", i, qPrintable(outcomeName(r.viewer)), int(r.thumbnail),
                    int(r.thumbnailConsistent), r.detail.simplified().toUtf8().constData());
        std::fflush(stdout);
    }
    return 0;
}

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
    if (argc == 4 && qstrcmp(argv[1], "--probe") == 0)
        return probeChild(argc, argv);

    // Writing the pictures needs the GUI library's image writers, not a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption quick(QStringLiteral("quick"), QStringLiteral("The small corpus of make test."));
    const QCommandLineOption mutants(QStringLiteral("mutants"), QStringLiteral("Byte-flip mutants per format."),
                                     QStringLiteral("N"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the byte flips."), QStringLiteral("S"));
    const QCommandLineOption hang(QStringLiteral("hang-seconds"), QStringLiteral("Time one file may take."),
                                  QStringLiteral("N"), QStringLiteral("60"));
    parser.addOptions({quick, mutants, seed, hang});
    parser.process(app);

    CorpusPlan plan = quickPlan();
    if (!parser.isSet(quick)) { // every cut, and 60 mutants per format
        plan.cuts = {0.001, 0.01, 0.25, 0.5, 0.75, 0.99};
        plan.mutantsPerFormat = 60;
    }
    if (parser.isSet(mutants))
        plan.mutantsPerFormat = parser.value(mutants).toInt();
    if (parser.isSet(seed))
        plan.seed = parser.value(seed).toUInt();
    const qint64 hangMs = parser.value(hang).toLongLong() * 1000;

    QTemporaryDir folder;
    const QList<BadPicture> corpus = makeCorpus(folder.path(), plan);
    const QString listFile = folder.filePath(QStringLiteral("corpus.list"));
    QFile list(listFile);
    if (!list.open(QIODevice::WriteOnly))
        return 2;
    for (const BadPicture &p : corpus)
        list.write((QStringList{p.path, p.format, p.damage, p.intactPath}.join(QLatin1Char('\t')) + '\n').toUtf8());
    list.close();

    QMap<QString, Tally> byFormat, byDamage;
    Tally total;
    QStringList problems;
    qint64 slowestMs = -1;
    QString slowest;
    auto count = [&](const BadPicture &p, const auto &add) {
        const QString damage = p.damage.startsWith(QLatin1String("cut")) ? QStringLiteral("cut short") : p.damage;
        for (Tally *t : {&byFormat[p.format], &byDamage[damage], &total}) {
            ++t->files;
            add(*t);
        }
    };
    QElapsedTimer wall;
    wall.start();
    for (qsizetype next = 0; next < corpus.size();) {
        QProcess child;
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe"), listFile, QString::number(next)});
        if (!child.waitForStarted())
            return 2;
        int begun = -1;
        bool hung = false;
        QElapsedTimer sinceBegin;
        while (child.state() != QProcess::NotRunning || child.canReadLine()) {
            if (!child.canReadLine() && !child.waitForReadyRead(250)) {
                if (begun >= 0 && sinceBegin.elapsed() > hangMs) {
                    child.kill();
                    child.waitForFinished();
                    hung = true;
                    break;
                }
                continue;
            }
            const QStringList f = QString::fromUtf8(child.readLine()).chopped(1).split(QLatin1Char('\t'));
            const int i = f.at(0).section(QLatin1Char(' '), 1).toInt();
            if (f.at(0).startsWith(QLatin1String("begin "))) {
                begun = i;
                sinceBegin.start();
                continue;
            }
            if (!f.at(0).startsWith(QLatin1String("done ")) || f.size() < 5)
                continue;
            const BadPicture &p = corpus.at(i);
            count(p, [&](Tally &t) {
                ++t.outcomes[f.at(1)];
                t.thumbnails += f.at(2) == QLatin1String("1");
            });
            if (f.at(1) == QLatin1String("other"))
                problems << QStringLiteral("other: %1 (%2): %3").arg(p.path, p.damage, f.at(4));
            if (f.at(3) != QLatin1String("1"))
                problems << QStringLiteral("the thumbnail cache disagrees: ") + p.path;
            if ((p.damage == QLatin1String("intact") || p.damage == QLatin1String("wrong extension"))
                && f.at(1) != QLatin1String("shown"))
                problems << QStringLiteral("a sound picture was not shown: ") + p.path;
            if (sinceBegin.elapsed() > slowestMs) {
                slowestMs = sinceBegin.elapsed();
                slowest = p.path;
            }
            next = i + 1;
            begun = -1;
        }
        if (begun >= 0) { // the child died on this file, or was killed for keeping at it
            count(corpus.at(begun), [&](Tally &t) { ++(hung ? t.hangs : t.crashes); });
            problems << (hung ? QStringLiteral("hang: ") : QStringLiteral("crash: ")) + corpus.at(begun).path;
            next = begun + 1;
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
    out << "Slowest file (viewer and thumbnails): " << slowestMs << " ms (" << QDir(folder.path()).relativeFilePath(slowest)
        << ").\nFiles tried: " << total.files << ", crashes: " << total.crashes << ", hangs: " << total.hangs
        << ", other outcomes: " << total.outcomes.value(QStringLiteral("other")) << "\n";
    for (const QString &p : problems)
        out << "PROBLEM " << p << "\n";
    return problems.isEmpty() && total.files == corpus.size() ? 0 : 1;
}
