// The catalogue's derived data: two indexes that give the list its order by file name and a
// trigram index over the descriptions for the keyword search. They are built from table Info
// when a connection opens and finds them missing; the rows themselves stay in Info alone, and
// a catalogue that cannot take them (read-only, locked, an SQLite without FTS5) works without
// them, more slowly.
//
// Other programs (the sqlite3 shell...) may write Info: the indexes on FileName use only the
// built-in NOCASE collation, and the triggers only append to a plain change table, so such a
// write never needs anything of ours. The search index catches up from that change table
// before it is used.
#pragma once

#include <QString>

class QSqlDatabase;
struct sqlite3;

namespace pixdock::catalogue {

namespace derived {
// Index of all rows in file-name order (ASCII letters folded).
inline const QString NameOrderIndex = QStringLiteral("InfoFileNameOrder");
// Index of the rows whose file name holds anything but ASCII: they are re-sorted in full.
inline const QString WideNameIndex = QStringLiteral("InfoFileNameWide");
// The trigram index over Description (external content: it stores no text of its own).
inline const QString SearchIndex = QStringLiteral("InfoSearch");
// Rows of Info changed since the search index last caught up.
inline const QString SearchChanges = QStringLiteral("InfoSearchChanges");
// How many rows hold each trigram, as counted when the index was built (and again whenever the
// catalogue has since grown or shrunk by half): the search looks up its rarest trigrams first.
// The row under the empty trigram holds the row count at that time.
inline const QString TrigramCounts = QStringLiteral("InfoSearchTrigrams");
// The condition of the wide-name index, repeated by the statement that reads it.
inline const QString WideNameCondition = QStringLiteral("length(CAST(FileName AS BLOB)) <> length(FileName)");
} // namespace derived

// Creates whatever derived data is missing or not as this program makes it. Never raises and
// never waits for a lock: a catalogue that cannot be written is left as it is.
void prepareDerivedData(const QSqlDatabase &db);

// Whether both file-name indexes are there as this program makes them.
bool hasNameOrderIndexes(sqlite3 *handle);

// Whether the search index is there and current: changes other connections made since it last
// caught up are taken in first (a write); false when that cannot be done now.
bool searchIndexReady(sqlite3 *handle);

} // namespace pixdock::catalogue
