// The catalogue benchmarks' settings and table rows.
#include "CatalogueBenchTable.h"

#include <cstdio>

namespace pixdock::bench {

qint64 positiveSetting(const QStringList &arguments, int position, const char *variable, qint64 fallback)
{
    bool ok = false;
    qint64 n = arguments.size() > position ? arguments.at(position).toLongLong(&ok) : 0;
    if (!ok || n <= 0)
        n = qEnvironmentVariable(variable).toLongLong(&ok);
    return ok && n > 0 ? n : fallback;
}

QString ms(double value) { return QStringLiteral("%1 ms").arg(value, 0, 'f', value < 10 ? 2 : 1); }

QString verdict(bool met) { return met ? QStringLiteral("met") : QStringLiteral("**missed**"); }

void tableRow(const QString &figure, const QString &mine, const QString &anchor, const QString &ratio,
              const QString &goal)
{
    std::printf("| %s | %s | %s | %s | %s |\n", qPrintable(figure), qPrintable(mine), qPrintable(anchor),
                qPrintable(ratio), qPrintable(goal));
    std::fflush(stdout);
}

} // namespace pixdock::bench
