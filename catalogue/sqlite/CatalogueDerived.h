// What this program keeps in db.fil beside table Info, every object named pixdock_...: the
// list's stored name order, the trigram index over the descriptions for the keyword search,
// and, filled by triggers, the rows changed since each was last brought up to date. The rows
// themselves stay in Info alone; a catalogue that cannot take these objects (read-only, an
// SQLite without FTS5) works without them, more slowly.
//
// Other programs (the sqlite3 shell, a sync tool) may write Info: the triggers use plain SQL
// only, so such a write never needs anything of ours, and what it changed is logged for the
// upkeep. A user's own object that happens to share a name with one of ours is never touched:
// ours are recognised by their exact statement.
#pragma once

#include <QString>
#include <QVariant>

#include <limits>
#include <optional>

struct sqlite3;

namespace pixdock::catalogue {

namespace derived {
// Key-value state: the identity of the stored order, how far the search index is built.
inline const QString State = QStringLiteral("pixdock_state");
// Rowids of Info in the name order, by rank (ranks with gaps, so a row can go between two).
inline const QString NameOrder = QStringLiteral("pixdock_name_order");
// Its index by rowid.
inline const QString NameOrderRows = QStringLiteral("pixdock_name_order_rows");
// Rows whose place in the name order is not known (added, removed, renamed since).
inline const QString NameChanges = QStringLiteral("pixdock_name_changes");
// The trigram index over Description (external content: it stores no text of its own).
inline const QString SearchIndex = QStringLiteral("pixdock_search");
// Rows changed since the search index last caught up, with the text it holds for them.
inline const QString SearchChanges = QStringLiteral("pixdock_search_changes");
// How many rows held each trigram when last counted: the search looks up its rarest trigrams
// first. The row under the empty trigram holds the row count at that time.
inline const QString TrigramCounts = QStringLiteral("pixdock_search_trigrams");

// State keys.
inline const QString NameOrderIdentity = QStringLiteral("name order");
inline const QString SearchIndexedThrough = QStringLiteral("search indexed through");
// Set while the segments the build of the search index left are being merged.
inline const QString SearchMerging = QStringLiteral("search merging");
// The search index holds every row up to this rowid (then the search needs no range scan).
inline constexpr qint64 EveryRow = std::numeric_limits<qint64>::max();
} // namespace derived

// What a reader finds of the derived data (in its read transaction).
struct DerivedData
{
    // The triggers are there as made: the change logs can be trusted.
    bool logged = false;
    // The stored order's identity (empty when there is none).
    QString nameOrder;
    bool searchIndex = false;
    // Rows up to this rowid are in the search index, but for those in the change log.
    std::optional<qint64> searchIndexedThrough;
};
DerivedData derivedData(sqlite3 *handle);

// Makes the objects that are missing, takes the place of the names an older version of this
// program used (dropping those only when they are exactly as it made them), and, when the
// triggers had gone, forgets what the logs can no longer vouch for. One quick write; raises
// when it cannot be done now (busy, read-only...).
void prepareDerivedData(sqlite3 *handle);

// A write transaction taken without waiting for other programs; rolled back unless committed.
class QuickWrite
{
public:
    explicit QuickWrite(sqlite3 *handle);
    ~QuickWrite();
    QuickWrite(const QuickWrite &) = delete;
    QuickWrite &operator=(const QuickWrite &) = delete;
    void commit();

private:
    sqlite3 *m_handle;
    bool m_committed = false;
};

// Runs a statement that has no result; raises on failure.
void runSql(sqlite3 *handle, const QString &sql);
// A state value (NULL when the key is not there), and setting one.
std::optional<qint64> stateNumber(sqlite3 *handle, const QString &key);
void setState(sqlite3 *handle, const QString &key, const QVariant &value);

} // namespace pixdock::catalogue
