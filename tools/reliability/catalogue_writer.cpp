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
#include <cstdlib>

using namespace pixdock;
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
    const qint64 first = std::atoll(argv[2]);
    try {
        openCatalogueFile(QStringLiteral("writer"), QString::fromLocal8Bit(argv[1]));
        const QSqlDatabase db = QSqlDatabase::database(QStringLiteral("writer"), false);
        const auto pragma = [&db](const QString &name) {
            QSqlQuery q(db);
            return q.exec(QStringLiteral("PRAGMA ") + name) && q.next() ? q.value(0).toString() : QString();
        };
        std::printf("ready journal=%s synchronous=%s\n", qPrintable(pragma(QStringLiteral("journal_mode"))),
                    qPrintable(pragma(QStringLiteral("synchronous"))));
        for (qint64 n = first;; ++n) {
            const WriterRow row = writerRow(n);
            addRow(db, row.fileName, row.location, row.description);
            std::printf("added %lld\n", n);
            if (n % 3 == 0 && n - 1 >= first) {
                const WriterRow before = writerRow(n - 1);
                removeRows(db, before.fileName, before.location);
                std::printf("removed %lld\n", n - 1);
            }
        }
    } catch (const RunTimeError &e) {
        std::printf("error %d %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
}
