// Catalogue benchmark: a generated catalogue of N rows (default 1,000,000), searched and
// listed by the program's own code, each figure beside its anchor measured in the same run on
// the same data: the search statement run as a plain LIKE scan, and the list read whole into a
// QString per cell, sorted and put into the grid's model.
//   bench_catalogue [N [R]]  N rows (or PIXDOCK_BENCH_ROWS), each figure the best of R runs
//                            (default 3, or PIXDOCK_BENCH_RUNS); PIXDOCK_BENCH_SEED picks
//                            other data (default 1).
// Prints one Markdown table; exits 1 when the program's rows differ from the anchor's.
#include "CatalogueBenchData.h"
#include "CatalogueBenchTable.h"
#include "CatalogueBenchRuns.h"
#include "CatalogueService.h"
#include "CatalogueStore.h"
#include "Locations.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>

using namespace pixdock;
using namespace pixdock::bench;

namespace {

// The three letters found in the most descriptions of a sample: a keyword in most rows.
QString commonestTrigram()
{
    QSqlQuery q(catalogue::sharedConnection());
    q.exec(QStringLiteral("SELECT Description FROM Info LIMIT 20000"));
    QHash<QString, int> rowsWith;
    while (q.next()) {
        const QString text = q.value(0).toString().toCaseFolded();
        QSet<QString> seen;
        for (qsizetype i = 0; i + 3 <= text.size(); ++i)
            seen.insert(text.mid(i, 3));
        for (const QString &t : std::as_const(seen))
            ++rowsWith[t];
    }
    QString best;
    int most = -1;
    for (auto it = rowsWith.cbegin(); it != rowsWith.cend(); ++it) {
        if (it.value() > most || (it.value() == most && it.key() < best)) {
            best = it.key();
            most = it.value();
        }
    }
    return best;
}



struct SearchCase
{
    QString what;
    QString keywords;
    enum Goal { Selective, NoSlower } goal;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 rows = positiveSetting(app.arguments(), 1, "PIXDOCK_BENCH_ROWS", 1000000);
    const int runs = int(positiveSetting(app.arguments(), 2, "PIXDOCK_BENCH_RUNS", 3));
    const auto seed = quint64(positiveSetting({}, 0, "PIXDOCK_BENCH_SEED", 1));

    QTemporaryDir folder;
    locations::setProgramFolder(folder.path());
    std::printf("Catalogue benchmark: making a catalogue of %lld rows in %s ...\n", rows,
                qPrintable(folder.path()));
    std::fflush(stdout);
    const bench::Vocabulary vocabulary(seed);
    if (!bench::makeEmptyCatalogue(locations::cataloguePath())) {
        std::printf("the catalogue could not be made\n");
        return 1;
    }
    const bench::GeneratedCatalogue made =
        bench::fillBenchCatalogue(locations::cataloguePath(), vocabulary, rows, seed);
    if (made.rows != rows) {
        std::printf("the catalogue could not be filled\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    try {
        catalogue::OpenConnection();
    } catch (const RunTimeError &e) {
        std::printf("the catalogue could not be opened: %s\n", qPrintable(e.description()));
        return 1;
    }
    const double openMs = double(clock.nsecsElapsed()) / 1e6;
    // The stored order and the search index are made on the writer thread, the program usable.
    catalogue::CatalogueService::instance().waitForUpkeep();
    const double upkeepSeconds = double(clock.nsecsElapsed()) / 1e9;
    std::printf("made in %.1f s; opened in %.0f ms; the stored order and search index made on the worker in "
                "%.1f s\n",
                made.seconds, openMs, upkeepSeconds);
    std::fflush(stdout);

    const QList<SearchCase> cases = {
        {QStringLiteral("one selective keyword"), bench::wordFrom(vocabulary, 1500), SearchCase::Selective},
        {QStringLiteral("three OR'ed keywords"),
         QStringList{bench::wordFrom(vocabulary, 800), bench::wordFrom(vocabulary, 2000), bench::wordFrom(vocabulary, 3500)}.join(
             QLatin1Char(',')),
         SearchCase::Selective},
        {QStringLiteral("one selective keyword beyond ASCII, in capitals"),
         bench::wordFrom(vocabulary, 1000, true).toUpper(), SearchCase::Selective},
        {QStringLiteral("a keyword of 1 character"), QStringLiteral("y"), SearchCase::NoSlower},
        {QStringLiteral("a keyword of 2 characters"), QStringLiteral("ou"), SearchCase::NoSlower},
        {QStringLiteral("a keyword found in most rows"), commonestTrigram(), SearchCase::NoSlower},
    };

    bool identical = true;
    QList<QStringList> table;
    std::printf("\n%lld rows (seed %llu), best of %d, %d cores, offscreen\n\n", rows,
                static_cast<unsigned long long>(seed), runs, QThread::idealThreadCount());
    std::printf(
        "| figure | Pixdock | anchor (same run, same data) | ratio | goal |\n|---|---|---|---|---|\n");
    std::fflush(stdout);
    for (const SearchCase &c : cases) {
        const bench::SearchFigure f = bench::measureSearch(c.keywords, runs);
        identical = identical && f.identical;
        const double ratio = f.anchorMs / f.pixdockMs;
        const bool met =
            c.goal == SearchCase::Selective ? f.pixdockMs <= 20 && ratio >= 15 : ratio >= 1 / 1.2;
        const QString goal = (c.goal == SearchCase::Selective ? QStringLiteral("≤ 20 ms, ≥ 15x faster: ")
                                                              : QStringLiteral("≤ 1.2x the scan: "))
                             + verdict(met) + QStringLiteral("; rows ")
                             + (f.identical ? QStringLiteral("identical") : QStringLiteral("**differ**"));
        tableRow(QStringLiteral("search, %1 \"%2\" (%3 rows, %4)")
                     .arg(c.what, c.keywords)
                     .arg(f.rows)
                     .arg(f.viaIndex ? QStringLiteral("index") : QStringLiteral("scan")),
                 ms(f.pixdockMs), ms(f.anchorMs) + QStringLiteral(" (plain LIKE scan)"),
                 QStringLiteral("%1x").arg(ratio, 0, 'f', ratio < 10 ? 2 : 0), goal);
        std::fflush(stdout);
    }

    const bench::ListFigure list = bench::measureList(runs);
    identical = identical && list.identical;
    const QString same = QStringLiteral("; rows ") + (list.identical ? QStringLiteral("identical") : QStringLiteral("**differ**"));
    tableRow(QStringLiteral("list window, %1 rows: first screen of the snapshot, painted").arg(list.rows),
             ms(list.firstScreenMs), ms(list.anchorMs) + QStringLiteral(" (every row read, sorted, into the model)"),
             QStringLiteral("%1x").arg(list.anchorMs / list.firstScreenMs, 0, 'f', 0),
             QStringLiteral("≤ 100 ms: ") + verdict(list.firstScreenMs <= 100) + same);
    tableRow(QStringLiteral("list window: the whole snapshot copied (on the load thread)"), ms(list.fullCopyMs),
             ms(list.anchorMs), QStringLiteral("%1x").arg(list.anchorMs / list.fullCopyMs, 0, 'f', 1),
             QStringLiteral("≤ 3 s: ") + verdict(list.fullCopyMs <= 3000));
    tableRow(QStringLiteral("list window: memory the process grew by (the snapshot's rows: %1 MB)")
                 .arg(list.snapshotMb, 0, 'f', 1),
             QStringLiteral("%1 MB").arg(list.memoryMb, 0, 'f', 1),
             QStringLiteral("%1 MB").arg(list.anchorMemoryMb, 0, 'f', 1),
             QStringLiteral("%1x").arg(list.anchorMemoryMb / std::max(list.memoryMb, 0.1), 0, 'f', 1),
             QStringLiteral("≤ 150 MB: ") + verdict(list.memoryMb <= 150));
    tableRow(QStringLiteral("list window: the interface thread's longest stall while the snapshot loads"),
             ms(list.longestStallMs), QStringLiteral("-"), QStringLiteral("-"),
             QStringLiteral("≤ 100 ms: ") + verdict(list.longestStallMs <= 100));
    tableRow(QStringLiteral("first open of a catalogue without the stored order and index: start-up's part"),
             ms(openMs), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("(for information)"));
    tableRow(QStringLiteral("first open: making the stored order and the search index (writer thread)"),
             QStringLiteral("%1 s").arg(upkeepSeconds, 0, 'f', 1), QStringLiteral("-"), QStringLiteral("-"),
             QStringLiteral("(for information)"));
    return identical ? 0 : 1;
}
