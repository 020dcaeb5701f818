// pixdock-badpictures: makes the damaged-picture corpus and puts every file through a viewer
// window and the thumbnail maker, in a child process that is watched: a file that kills the
// child counts as a crash, one that keeps it busy past the time limit as a hang, and the run
// goes on with the next file. Prints the figures as Markdown tables.
//
//   pixdock-badpictures [--quick] [--mutants N] [--seed N] [--hang-seconds N] [--keep DIR]
//   pixdock-badpictures --probe LIST FIRST     (the child; one line per file on stdout)
#include "BadPictures.h"
#include "MessageBox.h"
#include "PictureProbe.h"
#include "TestState.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <iostream>

using namespace pixdock;
using namespace pixdock::reliability;

namespace {

QList<BadPicture> readList(const QString &listFile)
{
    QList<BadPicture> list;
    QFile f(listFile);
    if (!f.open(QIODevice::ReadOnly))
        return list;
    while (!f.atEnd()) {
        const QStringList parts = QString::fromUtf8(f.readLine().trimmed()).split(QLatin1Char('\t'));
        if (parts.size() == 4)
            list.append({parts[0], parts[1], parts[2], parts[3]});
    }
    return list;
}

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

int probeChild(int argc, char **argv, const QString &listFile, int first)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Decoders complain about every damaged file; the outcome is what counts here.
    qInstallMessageHandler(quiet);
    test::beforeApplication();
    QApplication app(argc, argv);
    test::enterAnsweringMode();
    const QList<BadPicture> list = readList(listFile);
    PictureProbe probe;
    for (int i = first; i < list.size(); ++i) {
        std::printf("begin %d\n", i);
        std::fflush(stdout);
        const PictureResult r = probe.probe(list.at(i));
        QString detail = r.detail;
        detail.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        std::printf("done %d\t%s\t%d\t%d\t%lld\t%lld\t%s\n", i, qPrintable(outcomeName(r.viewer)),
                    r.thumbnail ? 1 : 0, r.thumbnailConsistent ? 1 : 0, r.viewerMs, r.thumbnailMs,
                    detail.toUtf8().constData());
        std::fflush(stdout);
    }
    return 0;
}

struct Tally
{
    int files = 0;
    QMap<QString, int> outcomes;
    int thumbnails = 0;
    int crashes = 0;
    int hangs = 0;
    int inconsistent = 0;
};

struct Slowest
{
    qint64 ms = -1;
    QString path;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--probe") == 0)
        return probeChild(argc, argv, QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));

    // Writing the pictures needs the GUI library's image writers, not a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Damaged pictures through the viewer and the thumbnails."));
    parser.addHelpOption();
    QCommandLineOption quick(QStringLiteral("quick"), QStringLiteral("The small corpus of make test."));
    QCommandLineOption mutants(QStringLiteral("mutants"), QStringLiteral("Byte-flip mutants per format."),
                               QStringLiteral("N"));
    QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the byte flips."), QStringLiteral("N"));
    QCommandLineOption hang(QStringLiteral("hang-seconds"), QStringLiteral("Time one file may take."),
                            QStringLiteral("N"), QStringLiteral("60"));
    QCommandLineOption keep(QStringLiteral("keep"), QStringLiteral("Write the corpus here and keep it."),
                            QStringLiteral("DIR"));
    parser.addOptions({quick, mutants, seed, hang, keep});
    parser.process(app);

    CorpusPlan plan = parser.isSet(quick) ? quickPlan() : fullPlan();
    if (parser.isSet(mutants))
        plan.mutantsPerFormat = parser.value(mutants).toInt();
    if (parser.isSet(seed))
        plan.seed = parser.value(seed).toUInt();
    const int hangMs = parser.value(hang).toInt() * 1000;

    QTemporaryDir temp;
    const QString folder = parser.isSet(keep) ? parser.value(keep) : temp.path();
    QDir().mkpath(folder);
    const QList<BadPicture> corpus = makeCorpus(folder, plan);
    const QString listFile = QDir(folder).filePath(QStringLiteral("corpus.list"));
    {
        QFile f(listFile);
        f.open(QIODevice::WriteOnly);
        for (const BadPicture &p : corpus)
            f.write((QStringList{p.path, p.format, p.damage, p.intactPath}.join(QLatin1Char('\t')) + '\n').toUtf8());
    }

    QMap<QString, Tally> byFormat;
    QMap<QString, Tally> byDamage;
    Tally total;
    Slowest slowViewer;
    Slowest slowThumbnail;
    QStringList problems;
    auto count = [&](const BadPicture &p, const std::function<void(Tally &)> &f) {
        f(byFormat[p.format]);
        f(byDamage[p.damage.startsWith(QLatin1String("cut")) ? QStringLiteral("cut short") : p.damage]);
        f(total);
    };

    int next = 0;
    QElapsedTimer wall;
    wall.start();
    while (next < corpus.size()) {
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--probe"), listFile, QString::number(next)});
        if (!child.waitForStarted()) {
            std::cerr << "cannot start the probe\n";
            return 2;
        }
        int begun = -1;
        QElapsedTimer sinceBegin;
        sinceBegin.start();
        QByteArray pending;
        bool ended = false;
        while (!ended) {
            if (!child.canReadLine() && !child.waitForReadyRead(250)) {
                if (child.state() == QProcess::NotRunning) {
                    ended = true;
                } else if (begun >= 0 && sinceBegin.elapsed() > hangMs) {
                    child.kill();
                    child.waitForFinished();
                    count(corpus.at(begun), [](Tally &t) { ++t.files; ++t.hangs; });
                    problems << QStringLiteral("hang: ") + corpus.at(begun).path;
                    next = begun + 1;
                    begun = -1;
                    break;
                }
            }
            while (child.canReadLine()) {
                const QString line = QString::fromUtf8(child.readLine()).trimmed();
                if (line.startsWith(QLatin1String("begin "))) {
                    begun = line.mid(6).toInt();
                    sinceBegin.restart();
                    continue;
                }
                if (!line.startsWith(QLatin1String("done ")))
                    continue;
                const QStringList f = line.mid(5).split(QLatin1Char('\t'));
                const int i = f.value(0).toInt();
                const BadPicture &p = corpus.at(i);
                const QString outcome = f.value(1);
                const bool thumb = f.value(2) == QLatin1String("1");
                const bool consistent = f.value(3) == QLatin1String("1");
                const qint64 viewerMs = f.value(4).toLongLong();
                const qint64 thumbMs = f.value(5).toLongLong();
                count(p, [&](Tally &t) {
                    ++t.files;
                    ++t.outcomes[outcome];
                    t.thumbnails += thumb ? 1 : 0;
                    t.inconsistent += consistent ? 0 : 1;
                });
                if (outcome == QLatin1String("other"))
                    problems << QStringLiteral("other: %1 (%2): %3").arg(p.path, p.damage, f.value(6));
                if (!consistent)
                    problems << QStringLiteral("thumbnail cache disagrees: ") + p.path;
                if ((p.damage == QLatin1String("intact") || p.damage == QLatin1String("wrong extension"))
                    && outcome != QLatin1String("shown"))
                    problems << QStringLiteral("a sound picture was not shown: ") + p.path;
                if (viewerMs > slowViewer.ms)
                    slowViewer = {viewerMs, p.path};
                if (thumbMs > slowThumbnail.ms)
                    slowThumbnail = {thumbMs, p.path};
                next = i + 1;
                begun = -1;
            }
        }
        if (ended && begun >= 0) {
            count(corpus.at(begun), [](Tally &t) { ++t.files; ++t.crashes; });
            problems << QStringLiteral("crash (%1 %2): %3")
                            .arg(child.exitStatus() == QProcess::CrashExit ? QStringLiteral("signal")
                                                                           : QStringLiteral("exit"))
                            .arg(child.exitCode())
                            .arg(corpus.at(begun).path);
            next = begun + 1;
        } else if (ended && next < corpus.size() && begun < 0 && child.exitCode() != 0) {
            problems << QStringLiteral("the probe ended early with %1").arg(child.exitCode());
            break;
        }
    }

    QTextStream out(stdout);
    const QStringList columns = {QStringLiteral("shown"), QStringLiteral("partly shown"), QStringLiteral("too large"),
                                 QStringLiteral("invalid"), QStringLiteral("other")};
    auto table = [&](const QString &title, const QMap<QString, Tally> &rows) {
        out << "| " << title << " | files | crashes | hangs | " << columns.join(QStringLiteral(" | "))
            << " | thumbnails made |\n|---|---|---|---|---|---|---|---|---|---|\n";
        auto row = [&](const QString &name, const Tally &t) {
            out << "| " << name << " | " << t.files << " | " << t.crashes << " | " << t.hangs;
            for (const QString &c : columns)
                out << " | " << t.outcomes.value(c);
            out << " | " << t.thumbnails << " |\n";
        };
        for (auto it = rows.cbegin(); it != rows.cend(); ++it)
            row(it.key(), it.value());
        row(QStringLiteral("**all**"), total);
        out << "\n";
    };
    out << "Corpus: " << corpus.size() << " files, " << plan.mutantsPerFormat << " byte-flip mutants per format, seed "
        << plan.seed << "; " << wall.elapsed() / 1000 << " s in all.\n\n";
    table(QStringLiteral("format"), byFormat);
    table(QStringLiteral("damage"), byDamage);
    out << "Slowest viewer load: " << slowViewer.ms << " ms (" << QDir(folder).relativeFilePath(slowViewer.path)
        << "); slowest thumbnail: " << slowThumbnail.ms << " ms ("
        << QDir(folder).relativeFilePath(slowThumbnail.path) << ").\n";
    out << "Files tried: " << total.files << ", crashes: " << total.crashes << ", hangs: " << total.hangs
        << ", other outcomes: " << total.outcomes.value(QStringLiteral("other"))
        << ", thumbnail cache disagreements: " << total.inconsistent << "\n";
    for (const QString &p : problems)
        out << "PROBLEM " << p << "\n";
    out.flush();
    return problems.isEmpty() && total.files == corpus.size() ? 0 : 1;
}
