// Reading the stored name order with the changed rows merged in, and keeping it current.
#include "CatalogueStoredOrder.h"

#include "CatalogueEngine.h"
#include "CatalogueSqlite.h"
#include "NameOrder.h"

#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

namespace pixdock::catalogue {

namespace {

using namespace derived;

// Ranks are this far apart when the order is made, so rows can go between.
constexpr qint64 Spacing = qint64(1) << 24;
// Changed rows placed per upkeep step; beyond this share of the catalogue, rebuild instead.
constexpr int PlacedPerStep = 256;
constexpr qint64 FewestRebuildChanges = 2000;
constexpr qint64 RebuildShareDivisor = 20;

struct Named
{
    qint64 rowid = 0;
    QString name;
};

qint64 singleNumber(sqlite3 *handle, const QString &sql)
{
    SqlStatement q(handle, sql);
    return q.step() ? q.int64At(0) : 0;
}

// Sorts rows given in rowid order into the name order, equal names keeping rowid order.
void sortByName(std::vector<Named> &rows)
{
    QStringList names;
    names.reserve(qsizetype(rows.size()));
    for (const Named &r : rows)
        names.append(r.name);
    const std::vector<qsizetype> order = names::sortedOrder(names);
    names.clear();
    std::vector<Named> sorted;
    sorted.reserve(rows.size());
    for (const qsizetype i : order)
        sorted.push_back(std::move(rows[size_t(i)]));
    rows = std::move(sorted);
}

bool comesBefore(const QString &name, qint64 rowid, const QString &otherName, qint64 otherRowid)
{
    const int c = names::compare(name, otherName);
    return c != 0 ? c < 0 : rowid < otherRowid;
}

// Hands rows to the sink with their three texts as the window shows them.
class RowWriter
{
public:
    RowWriter(sqlite3 *handle, SnapshotSink &sink)
        : m_sink(sink)
        , m_byRowid(handle, QStringLiteral("SELECT FileName, Location, Description FROM Info WHERE rowid = ?1"))
    {
    }
    // The texts of the statement's columns from `first` on.
    void write(const SqlStatement &row, int first)
    {
        m_sink.append(row.displayUtf8At(first, m_a), row.displayUtf8At(first + 1, m_b),
                      row.displayUtf8At(first + 2, m_c));
        ++m_written;
    }
    void writeRowid(qint64 rowid)
    {
        m_byRowid.bind(1, rowid);
        if (m_byRowid.step())
            write(m_byRowid, 0);
        m_byRowid.reset();
    }
    qint64 written() const { return m_written; }

private:
    SnapshotSink &m_sink;
    SqlStatement m_byRowid;
    std::string m_a, m_b, m_c;
    qint64 m_written = 0;
};

// Every row, in the order of the stored ranks, with the rows in `placed` (sorted by name) merged
// in and the rows in `skipped` (sorted rowids: rows whose stored place is stale) left out.
qint64 walkStoredOrder(sqlite3 *handle, SnapshotSink &sink, const std::vector<Named> &placed,
                       const std::vector<qint64> &skipped)
{
    RowWriter out(handle, sink);
    SqlStatement walk(handle, QStringLiteral("SELECT o.Row, i.FileName, i.Location, i.Description FROM %1 o "
                                             "JOIN Info i ON i.rowid = o.Row ORDER BY o.Rank")
                                  .arg(NameOrder));
    size_t next = 0;
    while (walk.step()) {
        if (sink.cancelled())
            return out.written();
        const qint64 rowid = walk.int64At(0);
        if (std::binary_search(skipped.begin(), skipped.end(), rowid))
            continue;
        if (next < placed.size()) {
            const QString name = walk.textAt(1);
            while (next < placed.size() && comesBefore(placed[next].name, placed[next].rowid, name, rowid))
                out.writeRowid(placed[next++].rowid);
        }
        out.write(walk, 1);
    }
    for (; next < placed.size() && !sink.cancelled(); ++next)
        out.writeRowid(placed[next].rowid);
    return out.written();
}

// Every row read and sorted here: no stored order to go by.
qint64 sortEverything(sqlite3 *handle, SnapshotSink &sink)
{
    std::vector<Named> rows;
    {
        SqlStatement all(handle, QStringLiteral("SELECT rowid, FileName FROM Info ORDER BY rowid"));
        while (all.step()) {
            if (sink.cancelled())
                return 0;
            rows.push_back({all.int64At(0), all.textAt(1)});
        }
    }
    sortByName(rows);
    RowWriter out(handle, sink);
    for (const Named &r : rows) {
        if (sink.cancelled())
            break;
        out.writeRowid(r.rowid);
    }
    return out.written();
}

// The logged rows: those still in Info with their names (to be placed by sorting) and all of
// their rowids (their stored places are stale).
void changedRows(sqlite3 *handle, std::vector<Named> &placed, std::vector<qint64> &skipped)
{
    SqlStatement q(handle, QStringLiteral("SELECT c.Row, i.rowid IS NOT NULL, i.FileName FROM "
                                          "(SELECT DISTINCT Row FROM %1) c LEFT JOIN Info i ON i.rowid = c.Row "
                                          "ORDER BY c.Row")
                               .arg(NameChanges));
    while (q.step()) {
        skipped.push_back(q.int64At(0));
        if (q.int64At(1) != 0)
            placed.push_back({q.int64At(0), q.textAt(2)});
    }
}

// ---- keeping the stored order --------------------------------------------------------------

void rebuild(sqlite3 *handle, const QString &identity)
{
    qint64 through = 0;
    std::vector<Named> rows;
    {
        const ReadTransaction reading(handle);
        through = singleNumber(handle, QStringLiteral("SELECT coalesce(max(Id), 0) FROM %1").arg(NameChanges));
        SqlStatement all(handle, QStringLiteral("SELECT rowid, FileName FROM Info ORDER BY rowid"));
        while (all.step())
            rows.push_back({all.int64At(0), all.textAt(1)});
    }
    sortByName(rows);
    QuickWrite write(handle);
    runSql(handle, QStringLiteral("DELETE FROM %1").arg(NameOrder));
    SqlStatement insert(handle, QStringLiteral("INSERT INTO %1 (Rank, Row) VALUES (?1, ?2)").arg(NameOrder));
    qint64 rank = 0;
    for (const Named &r : rows) {
        rank += Spacing;
        insert.bind(1, rank);
        insert.bind(2, r.rowid);
        insert.step();
        insert.reset();
    }
    // Rows changed since the read stay logged: they are placed later.
    runSql(handle, QStringLiteral("DELETE FROM %1 WHERE Id <= %2").arg(NameChanges).arg(through));
    setState(handle, NameOrderIdentity, identity);
    write.commit();
}

struct Entry
{
    qint64 rank = 0;
    qint64 row = 0;
    QString name;
};

// Places changed rows one by one, inside the caller's write transaction.
class Placer
{
public:
    Placer(sqlite3 *handle, std::unordered_set<qint64> stale)
        : m_handle(handle)
        , m_stale(std::move(stale))
        , m_from(handle, QStringLiteral("SELECT o.Rank, o.Row, i.FileName FROM %1 o JOIN Info i ON i.rowid = o.Row "
                                        "WHERE o.Rank >= ?1 ORDER BY o.Rank")
                             .arg(NameOrder))
        , m_insert(handle, QStringLiteral("INSERT INTO %1 (Rank, Row) VALUES (?1, ?2)").arg(NameOrder))
    {
    }

    void place(qint64 row, const QString &name)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (const std::optional<qint64> rank = freeRankFor(row, name)) {
                m_insert.bind(1, *rank);
                m_insert.bind(2, row);
                m_insert.step();
                m_insert.reset();
                // Its place now follows its present name: later rows may be compared with it.
                m_stale.erase(row);
                return;
            }
        }
        throw RunTimeError(err::DatabaseError, QStringLiteral("The stored name order has no room left."));
    }

private:
    // The first entry from `rank` on whose place is current.
    std::optional<Entry> firstFrom(qint64 rank)
    {
        m_from.reset();
        m_from.bind(1, rank);
        std::optional<Entry> found;
        while (m_from.step()) {
            if (!m_stale.count(m_from.int64At(1))) {
                found = Entry{m_from.int64At(0), m_from.int64At(1), m_from.textAt(2)};
                break;
            }
        }
        m_from.reset();
        return found;
    }

    // A rank for the row between the entries it belongs between; none when they are adjacent
    // (then room was made around them and the caller asks again).
    std::optional<qint64> freeRankFor(qint64 row, const QString &name)
    {
        const qint64 count = singleNumber(m_handle, QStringLiteral("SELECT count(*) FROM %1").arg(NameOrder));
        if (count == 0)
            return Spacing;
        const qint64 lowest = singleNumber(m_handle, QStringLiteral("SELECT min(Rank) FROM %1").arg(NameOrder));
        const qint64 highest = singleNumber(m_handle, QStringLiteral("SELECT max(Rank) FROM %1").arg(NameOrder));
        // The smallest rank whose first current entry comes after the row (or none is left).
        qint64 lo = lowest;
        qint64 hi = highest + 1;
        while (lo < hi) {
            const qint64 mid = lo + (hi - lo) / 2;
            const std::optional<Entry> e = firstFrom(mid);
            if (!e || comesBefore(name, row, e->name, e->row))
                hi = mid;
            else
                lo = mid + 1;
        }
        const std::optional<Entry> next = firstFrom(lo);
        if (!next)
            return highest + Spacing;
        SqlStatement before(m_handle, QStringLiteral("SELECT max(Rank) FROM %1 WHERE Rank < ?1").arg(NameOrder));
        before.bind(1, next->rank);
        if (!before.step() || before.columnType(0) == SQLITE_NULL)
            return next->rank - Spacing;
        const qint64 previous = before.int64At(0);
        if (next->rank - previous >= 2)
            return previous + (next->rank - previous) / 2;
        makeRoomAround(next->rank);
        return std::nullopt;
    }

    // Spreads the entries around `rank` evenly over the ranks they span, widening the window
    // until there is room; at worst every entry is ranked afresh.
    void makeRoomAround(qint64 rank)
    {
        for (qint64 half = 32;; half *= 8) {
            std::vector<std::pair<qint64, qint64>> window; // rank, row
            {
                SqlStatement below(m_handle, QStringLiteral("SELECT Rank, Row FROM %1 WHERE Rank < ?1 ORDER BY Rank "
                                                            "DESC LIMIT ?2")
                                                 .arg(NameOrder));
                below.bind(1, rank);
                below.bind(2, half);
                while (below.step())
                    window.emplace_back(below.int64At(0), below.int64At(1));
                std::reverse(window.begin(), window.end());
            }
            const bool fromFirst = qint64(window.size()) < half;
            {
                SqlStatement above(m_handle,
                                   QStringLiteral("SELECT Rank, Row FROM %1 WHERE Rank >= ?1 ORDER BY Rank LIMIT ?2")
                                       .arg(NameOrder));
                above.bind(1, rank);
                above.bind(2, half);
                while (above.step())
                    window.emplace_back(above.int64At(0), above.int64At(1));
            }
            const bool toLast = qint64(window.size()) < 2 * half;
            const bool everything = fromFirst && toLast;
            const qint64 n = qint64(window.size());
            qint64 first = window.front().first;
            qint64 step = n > 1 ? (window.back().first - first) / (n - 1) : Spacing;
            if (everything && step < 4) {
                first = Spacing;
                step = Spacing;
            } else if (step < 4) {
                continue;
            }
            runSql(m_handle, QStringLiteral("DELETE FROM %1 WHERE Rank >= %2 AND Rank <= %3")
                                 .arg(NameOrder)
                                 .arg(window.front().first)
                                 .arg(window.back().first));
            for (qint64 i = 0; i < n; ++i) {
                m_insert.bind(1, first + i * step);
                m_insert.bind(2, window[size_t(i)].second);
                m_insert.step();
                m_insert.reset();
            }
            return;
        }
    }

    sqlite3 *m_handle;
    std::unordered_set<qint64> m_stale;
    SqlStatement m_from;
    SqlStatement m_insert;
};

void placeChangedRows(sqlite3 *handle)
{
    QuickWrite write(handle);
    std::unordered_set<qint64> stale;
    {
        SqlStatement all(handle, QStringLiteral("SELECT DISTINCT Row FROM %1").arg(NameChanges));
        while (all.step())
            stale.insert(all.int64At(0));
    }
    qint64 through = 0;
    std::vector<qint64> rows;
    {
        SqlStatement batch(handle, QStringLiteral("SELECT Id, Row FROM %1 ORDER BY Id LIMIT %2")
                                       .arg(NameChanges)
                                       .arg(PlacedPerStep));
        while (batch.step()) {
            through = batch.int64At(0);
            rows.push_back(batch.int64At(1));
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    {
        SqlStatement remove(handle, QStringLiteral("DELETE FROM %1 WHERE Row = ?1").arg(NameOrder));
        for (const qint64 row : rows) {
            remove.bind(1, row);
            remove.step();
            remove.reset();
        }
    }
    Placer placer(handle, std::move(stale));
    SqlStatement name(handle, QStringLiteral("SELECT FileName FROM Info WHERE rowid = ?1"));
    for (const qint64 row : rows) {
        name.bind(1, row);
        const bool there = name.step();
        const QString text = there ? name.textAt(0) : QString();
        name.reset();
        if (there)
            placer.place(row, text);
    }
    runSql(handle, QStringLiteral("DELETE FROM %1 WHERE Id <= %2").arg(NameChanges).arg(through));
    write.commit();
}

} // namespace

void readInNameOrder(sqlite3 *handle, const DerivedData &derived, SnapshotSink &sink)
{
    const qint64 count = singleNumber(handle, QStringLiteral("SELECT count(*) FROM Info"));
    sink.expectRows(count);
    if (derived.logged && derived.nameOrder == names::identity()) {
        std::vector<Named> placed;
        std::vector<qint64> skipped;
        changedRows(handle, placed, skipped);
        sortByName(placed);
        const qint64 written = walkStoredOrder(handle, sink, placed, skipped);
        if (written == count || sink.cancelled())
            return;
        // The stored order does not account for every row (changed while nothing logged it):
        // read everything again, sorted here.
        sink.restart();
    }
    sortEverything(handle, sink);
}

bool stepStoredOrder(sqlite3 *handle)
{
    const DerivedData derived = derivedData(handle);
    if (!derived.logged)
        return false;
    const QString identity = names::identity();
    const qint64 changes = singleNumber(handle, QStringLiteral("SELECT count(*) FROM %1").arg(NameChanges));
    if (derived.nameOrder != identity) {
        rebuild(handle, identity);
        return true;
    }
    const qint64 rows = singleNumber(handle, QStringLiteral("SELECT count(*) FROM Info"));
    if (changes == 0) {
        // With nothing logged, the order holds every row once: else rows changed while nothing
        // logged them (a tool dropped and restored a trigger), and the order is made anew.
        const qint64 ordered = singleNumber(
            handle, QStringLiteral("SELECT count(*) FROM %1 o JOIN Info i ON i.rowid = o.Row").arg(NameOrder));
        const qint64 entries = singleNumber(handle, QStringLiteral("SELECT count(*) FROM %1").arg(NameOrder));
        if (ordered == rows && entries == rows)
            return false;
        rebuild(handle, identity);
        return true;
    }
    if (changes > std::max(FewestRebuildChanges, rows / RebuildShareDivisor))
        rebuild(handle, identity);
    else
        placeChangedRows(handle);
    return true;
}

} // namespace pixdock::catalogue
