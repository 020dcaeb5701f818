// pixdock-catalogue-writer: appends and removes catalogue rows through the real store, for
// ever, printing each acknowledged change (flushed) so that whoever kills it knows which
// changes the store had reported done.
//
//   pixdock-catalogue-writer DB FIRST
//
// Prints "ready journal=<mode> synchronous=<n>" once the catalogue is open, then "added N"
// after row N was appended and "removed N" after row N was removed. Row N's values are
// writerRow(N); after each append of a row divisible by 3 the row before it is removed.
#include "CatalogueStore.h"
#include "KillCheck.h"

#include <QCoreApplication>
#include <QSqlQuery>

#include <cstdio>

using namespace pixdock::catalogue;
using namespace pixdock::reliability;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DB FIRST\n", argv[0]);
        return 2;
    }
    // Every line goes out as it is written, so a kill loses none that was printed.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    try {
        openCatalogueFile(QStringLiteral("writer"), app.arguments().at(1));
        const QSqlDatabase db = QSqlDatabase::database(QStringLiteral("writer"), false);
        // Each query ends at once: a statement left open would hold every later change uncommitted.
        const auto pragma = [&db](const char *name) {
            QSqlQuery q(QStringLiteral("PRAGMA ") + QLatin1String(name), db);
            return q.next() ? q.value(0).toString() : QString();
        };
        std::printf("ready journal=%s synchronous=%s\n", qPrintable(pragma("journal_mode")), qPrintable(pragma("synchronous")));
        for (qint64 first = app.arguments().at(2).toLongLong(), n = first;; ++n) {
            const WriterRow row = writerRow(n), before = writerRow(n - 1);
            addRow(db, row.fileName, row.location, row.description);
            std::printf("added %lld\n", n);
            if (n % 3 == 0 && n - 1 >= first) {
                removeRows(db, before.fileName, before.location);
                std::printf("removed %lld\n", n - 1);
            }
        }
    } catch (const pixdock::RunTimeError &e) {
        std::printf("error %d %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
}
