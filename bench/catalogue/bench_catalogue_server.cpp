// Catalogue-on-a-server benchmark: a generated catalogue of N rows (default 1,000,000) made as a
// db.fil, copied to a PostgreSQL server of the benchmark's own (started as the tests start
// theirs, with a real server's durability), then searched and listed there by the program's own
// code. Each search is timed beside the same search as a plain sequential ILIKE scan on the same
// server in the same run, and its rows are checked against the SQLite store's on the file; the
// list's rows too. Last, four writer processes add rows together.
//   bench_catalogue_server [N [R]]  N rows (or PIXDOCK_BENCH_SERVER_ROWS), each figure the best
//                                   of R runs (default 3, or PIXDOCK_BENCH_RUNS)
// Prints one Markdown table; exits 1 when the rows differ from the file's.
#include "CatalogueBenchData.h"
#include "CatalogueBenchTable.h"
#include "CatalogueEngine.h"
#include "CatalogueService.h"
#include "CatalogueSnapshot.h"
#include "CatalogueStatements.h"
#include "CatalogueStore.h"
#include "CatalogueTransfer.h"
#include "Locations.h"
#include "PostgresServer.h"
#include "SqliteSession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

using namespace pixdock;
using namespace pixdock::bench;
using catalogue::CatalogueRow;

namespace {

double msSince(const QElapsedTimer &clock) { return double(clock.nsecsElapsed()) / 1e6; }


// The rows an engine hands, in their places.
class CollectedRows : public catalogue::SnapshotSink
{
public:
    void expectRows(qint64 count) override { m_rows.reserve(size_t(count)); }
    void append(qint64 position, std::string_view fileName, std::string_view location,
                std::string_view description) override
    {
        if (size_t(position) >= m_rows.size())
            m_rows.resize(size_t(position) + 1);
        const auto text = [](std::string_view v) { return QString::fromUtf8(v.data(), qsizetype(v.size())); };
        m_rows[size_t(position)] = {text(fileName), text(location), text(description)};
    }
    void restart() override { m_rows.clear(); }
    bool cancelled() const override { return false; }
    QList<CatalogueRow> rows() const { return QList<CatalogueRow>(m_rows.begin(), m_rows.end()); }

private:
    std::vector<CatalogueRow> m_rows;
};

QList<CatalogueRow> snapshotRows(const catalogue::CatalogueSnapshot &snapshot)
{
    QList<CatalogueRow> rows;
    rows.reserve(snapshot.rowCount());
    for (int r = 0; r < snapshot.rowCount(); ++r)
        rows.append(snapshot.row(r));
    return rows;
}

// The file's rows for a search, read by the SQLite store itself.
QList<CatalogueRow> fileSearch(const QString &file, const QString &keywordText)
{
    catalogue::SqliteSession session(file);
    CollectedRows rows;
    session.readSearch(catalogue::splitKeywords(keywordText), rows);
    return rows.rows();
}

// The same search as a plain sequential ILIKE scan on the server, every row read whole.
QList<CatalogueRow> scanSearch(const QString &keywordText)
{
    QSqlDatabase db = catalogue::sharedConnection();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    QStringList conditions;
    const QStringList keywords = catalogue::splitKeywords(keywordText);
    for (int i = 0; i < keywords.size(); ++i)
        conditions << QStringLiteral("Description ILIKE ?");
    q.prepare(QStringLiteral("SELECT FileName, Location, Description FROM Info WHERE ") + conditions.join(" OR ")
              + QStringLiteral(" ORDER BY id"));
    for (QString keyword : keywords) {
        keyword.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('%'), QStringLiteral("\\%"))
            .replace(QLatin1Char('_'), QStringLiteral("\\_"));
        q.addBindValue(QLatin1Char('%') + keyword + QLatin1Char('%'));
    }
    QList<CatalogueRow> rows;
    if (!q.exec())
        std::printf("the scan failed: %s\n", qPrintable(q.lastError().text()));
    while (q.next())
        rows.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    return rows;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 rows = positiveSetting(app.arguments(), 1, "PIXDOCK_BENCH_SERVER_ROWS", 1000000);
    const int runs = int(positiveSetting(app.arguments(), 2, "PIXDOCK_BENCH_RUNS", 3));
    constexpr quint64 Seed = 1;

    test::PostgresServer server(/*durable=*/true);
    if (!server.isRunning()) {
        std::printf("the benchmark's PostgreSQL server does not run: %s\n", qPrintable(server.failure()));
        return 1;
    }
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("db.fil"));
    std::printf("Catalogue server benchmark: making a catalogue of %lld rows ...\n", rows);
    std::fflush(stdout);
    const bench::Vocabulary vocabulary(Seed);
    if (!bench::makeEmptyCatalogue(file) || bench::fillBenchCatalogue(file, vocabulary, rows, Seed).rows != rows) {
        std::printf("the catalogue file could not be made\n");
        return 1;
    }
    if (!server.createDatabase(QStringLiteral("pictures"))) {
        std::printf("no database: %s\n", qPrintable(server.failure()));
        return 1;
    }
    const QString address = server.uri(QStringLiteral("pictures"));
    double copySeconds = 0;
    try {
        catalogue::createCatalogue(address);
        QElapsedTimer clock;
        clock.start();
        catalogue::copyCatalogue(file, address);
        copySeconds = double(clock.nsecsElapsed()) / 1e9;
        qputenv(locations::CatalogueVariable, address.toUtf8());
        catalogue::OpenConnection();
        QSqlQuery(catalogue::sharedConnection()).exec(QStringLiteral("VACUUM ANALYZE Info"));
    } catch (const RunTimeError &e) {
        std::printf("the server catalogue could not be made: %s\n", qPrintable(e.description()));
        return 1;
    }

    bool identical = true;
    std::printf("\n%lld rows, best of %d, %d cores, PostgreSQL 15 on a Unix socket, fsync on\n\n", rows, runs,
                QThread::idealThreadCount());
    std::printf("| figure | Pixdock on the server | anchor (same run, same data) | ratio | goal |\n"
                "|---|---|---|---|---|\n");
    tableRow(QStringLiteral("pixdock --copy-catalogue of db.fil to the server (%1 rows)").arg(rows),
             QStringLiteral("%1 s").arg(copySeconds, 0, 'f', 1), QStringLiteral("-"), QStringLiteral("-"),
             QStringLiteral("≤ 60 s: ") + verdict(copySeconds <= 60));

    struct Case
    {
        QString what;
        QString keywords;
        double limitMs;
    };
    const QList<Case> cases = {
        {QStringLiteral("one selective keyword"), bench::wordFrom(vocabulary, 1500), 20},
        {QStringLiteral("three OR'ed keywords"),
         QStringList{bench::wordFrom(vocabulary, 800), bench::wordFrom(vocabulary, 2000), bench::wordFrom(vocabulary, 3500)}.join(','),
         40},
    };
    for (const Case &c : cases) {
        double mine = std::numeric_limits<double>::max();
        double scan = std::numeric_limits<double>::max();
        std::shared_ptr<catalogue::CatalogueSnapshot> found;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer clock;
            clock.start();
            found = catalogue::CatalogueService::instance().search(c.keywords);
            found->waitUntilLoaded();
            mine = std::min(mine, msSince(clock));
            clock.start();
            scanSearch(c.keywords);
            scan = std::min(scan, msSince(clock));
        }
        const bool same = !found->failure() && snapshotRows(*found) == fileSearch(file, c.keywords);
        identical = identical && same;
        const double ratio = scan / mine;
        tableRow(QStringLiteral("search, %1 \"%2\" (%3 rows)").arg(c.what, c.keywords).arg(found->rowCount()),
                 ms(mine), ms(scan) + QStringLiteral(" (sequential ILIKE scan)"),
                 QStringLiteral("%1x").arg(ratio, 0, 'f', 0),
                 QStringLiteral("≤ %1 ms, ≥ 20x faster: ").arg(c.limitMs) + verdict(mine <= c.limitMs && ratio >= 20)
                     + QStringLiteral("; rows ")
                     + (same ? QStringLiteral("identical to the file's") : QStringLiteral("**differ**")));
    }

    double firstScreen = std::numeric_limits<double>::max();
    double whole = std::numeric_limits<double>::max();
    std::shared_ptr<catalogue::CatalogueSnapshot> list;
    for (int run = 0; run < runs; ++run) {
        list.reset();
        QElapsedTimer clock;
        clock.start();
        list = catalogue::CatalogueService::instance().loadList();
        list->waitForFirstScreen(64);
        firstScreen = std::min(firstScreen, msSince(clock));
        list->waitUntilLoaded();
        whole = std::min(whole, msSince(clock));
    }
    QList<CatalogueRow> fileList;
    {
        catalogue::SqliteSession session(file);
        CollectedRows collected;
        session.readNameOrder(collected);
        fileList = collected.rows();
    }
    const bool sameList = !list->failure() && snapshotRows(*list) == fileList;
    identical = identical && sameList;
    tableRow(QStringLiteral("list window, %1 rows: first screen (64 rows and the count) in the snapshot").arg(list->rowCount()),
             ms(firstScreen), QStringLiteral("-"), QStringLiteral("-"),
             QStringLiteral("≤ 100 ms: ") + verdict(firstScreen <= 100) + QStringLiteral("; rows ")
                 + (sameList ? QStringLiteral("identical to the file's") : QStringLiteral("**differ**")));
    tableRow(QStringLiteral("list window: the whole snapshot copied (keyset pages, load thread)"), ms(whole),
             QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("(for information)"));
    list.reset();

    constexpr int Writers = 4;
    const int adds = int(positiveSetting({}, 0, "PIXDOCK_BENCH_WRITER_ADDS", 1000));
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < Writers; ++i) {
        auto writer = std::make_unique<QProcess>();
        writer->start(QStringLiteral(PIXDOCK_CONCURRENT_WRITER),
                      {QStringLiteral("bench%1").arg(i), QString::number(adds), QStringLiteral("adds")});
        writers.push_back(std::move(writer));
    }
    int acknowledged = 0;
    qint64 began = std::numeric_limits<qint64>::max();
    qint64 ended = 0;
    for (const auto &writer : writers) {
        writer->waitForFinished(600000);
        for (const QByteArray &line : writer->readAllStandardOutput().split('\n')) {
            if (line.startsWith("added "))
                ++acknowledged;
            else if (line.startsWith("began "))
                began = std::min(began, line.mid(6).toLongLong());
            else if (line.startsWith("ended "))
                ended = std::max(ended, line.mid(6).toLongLong());
        }
    }
    const double seconds = std::max<qint64>(1, ended - began) / 1e3;
    const double perSecond = acknowledged / seconds;
    tableRow(QStringLiteral("%1 writer processes adding together (%2 adds acknowledged of %3, from the first "
                            "add to the last answer)")
                 .arg(Writers)
                 .arg(acknowledged)
                 .arg(Writers * adds),
             QStringLiteral("%1 adds/s").arg(perSecond, 0, 'f', 0), QStringLiteral("-"), QStringLiteral("-"),
             QStringLiteral("≥ 500 adds/s: ") + verdict(perSecond >= 500 && acknowledged == Writers * adds));
    catalogue::CatalogueService::instance().stop();
    return identical ? 0 : 1;
}
