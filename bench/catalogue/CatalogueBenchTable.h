// What the catalogue benchmarks share: their settings from the command line or the environment,
// and the Markdown table they print.
#pragma once

#include <QString>
#include <QStringList>

namespace pixdock::bench {

// The number at `position` of the arguments, else the variable's, else `fallback`.
qint64 positiveSetting(const QStringList &arguments, int position, const char *variable, qint64 fallback);

QString ms(double value);
QString verdict(bool met);
void tableRow(const QString &figure, const QString &mine, const QString &anchor, const QString &ratio,
              const QString &goal);

} // namespace pixdock::bench
