// A Pixdock of its own that only writes: it adds COUNT rows named PREFIX_n.jpg to the catalogue
// PIXDOCK_CATALOGUE names, removes every third one again two adds later (unless told "adds"),
// all through the program's own writer thread, and prints each change the catalogue
// acknowledged ("added NAME", "removed NAME COUNT") or refused ("failed ..."), line by line,
// between "began MS" and "ended MS" (the wall clock, in milliseconds since the epoch).
//   pixdock-concurrent-writer PREFIX COUNT [adds]
#include "CatalogueService.h"
#include "RunTimeError.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>
#include <functional>

using namespace pixdock;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s PREFIX COUNT [adds]\n", argv[0]);
        return 2;
    }
    const bool addsOnly = argc == 4 && qstrcmp(argv[3], "adds") == 0;
    const QString prefix = QString::fromLocal8Bit(argv[1]);
    const int count = QByteArray(argv[2]).toInt();
    const QString folder = QStringLiteral("/writers");
    catalogue::CatalogueService &service = catalogue::CatalogueService::instance();
    service.start();
    const auto name = [&](int n) { return QStringLiteral("%1_%2.jpg").arg(prefix).arg(n); };
    std::printf("began %lld\n", QDateTime::currentMSecsSinceEpoch());
    // One change, and what the catalogue said of it: its line, or "failed WHAT: why".
    const auto attempt = [](const QString &what, const std::function<QString()> &change) {
        try {
            std::printf("%s\n", qPrintable(change()));
        } catch (const RunTimeError &e) {
            std::printf("failed %s: %s\n", qPrintable(what), qPrintable(e.description()));
        }
        std::fflush(stdout);
    };
    for (int n = 0; n < count; ++n) {
        attempt("add " + name(n), [&] {
            service.addRow({name(n), folder, QStringLiteral("written by %1").arg(prefix)});
            return "added " + name(n);
        });
        if (!addsOnly && n >= 2 && (n - 2) % 3 == 0)
            attempt("remove " + name(n - 2),
                    [&] { return QStringLiteral("removed %1 %2").arg(name(n - 2)).arg(service.removeRows(name(n - 2), folder)); });
    }
    std::printf("ended %lld\n", QDateTime::currentMSecsSinceEpoch());
    service.stop();
    return 0;
}
