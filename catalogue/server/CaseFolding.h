// The catalogue's case folding as text: each code point folded on its own by Qt's simple case
// folding, the same folding the SQLite store compares with. A catalogue on a server keeps a
// folded copy of the names and descriptions, since no server function folds exactly so (lower()
// follows the server's locale and lowercases rather than folds: final sigma, µ, ſ, ϐ, Cherokee,
// the Turkish dotted and dotless i).
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <utility>

namespace pixdock::catalogue {

// The text with every code point case-folded; a lone surrogate stays as it is. A null text
// stays null.
QString caseFolded(QStringView text);
QString caseFolded(const QString &text);

// Every code point that folding changes, with what it becomes, in code point order.
const QList<std::pair<char32_t, char32_t>> &caseFoldingPairs();

} // namespace pixdock::catalogue
