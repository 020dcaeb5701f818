// Text comparison without regard to case for all of Unicode. SQLite folds ASCII letters only,
// so every catalogue connection gets the collation UNOCASE and its own `like` from here.
#pragma once

#include <QStringView>

#include <optional>

class QSqlDatabase;

namespace pixdock::catalogue {

inline constexpr const char *CaselessCollation = "UNOCASE";

// Orders two texts by their case-folded code points: 0 when they differ in case only.
int compareIgnoringCase(QStringView a, QStringView b);

// LIKE without regard to case: % matches any run of characters, _ exactly one character
// (a whole code point), and the escape character makes the character after it literal.
bool likeMatches(QStringView pattern, QStringView text, std::optional<char32_t> escape = std::nullopt);

// Registers the collation and the two- and three-argument `like` on an open connection.
// Returns false when the connection is not an SQLite one.
bool registerCaselessText(const QSqlDatabase &db);

} // namespace pixdock::catalogue
