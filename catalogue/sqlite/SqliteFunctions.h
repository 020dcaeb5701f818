// The text functions every catalogue connection gets: SQLite folds ASCII letters only, so the
// collation UNOCASE (equality without regard to case, for the duplicate question) and a `like`
// without regard to case for all of Unicode come from here.
#pragma once

struct sqlite3;

namespace pixdock::catalogue {

inline constexpr const char *CaselessCollation = "UNOCASE";

// Registers the collation and the two- and three-argument `like` on an open connection.
bool registerCaselessText(sqlite3 *handle);

} // namespace pixdock::catalogue
