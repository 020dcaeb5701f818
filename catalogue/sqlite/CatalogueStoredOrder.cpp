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
// Rows read along the stored ranks before the rest: more than a screen.
constexpr qint64 FirstScreenRows = 128;

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

// Hands rows to the sink at their places, with their three texts as the window shows them.
class RowWriter
{
public:
    explicit RowWriter(SnapshotSink &sink)
        : m_sink(sink)
    {
    }
    // The texts of the statement's columns from `first` on.
    void write(qint64 position, const SqlStatement &row, int first)
    {
        m_sink.append(position, row.displayUtf8At(first, m_a), row.displayUtf8At(first + 1, m_b),
                      row.displayUtf8At(first + 2, m_c));
    }

private:
    SnapshotSink &m_sink;
    std::string m_a, m_b, m_c;
};

// The logged rows: those still in Info with their names (to be placed by sorting) and all of
// their rowids (their stored places are stale).
void changedRows(sqlite3 *handle, std::vector<Named> &placed, std::vector<qint64> &stale)
{
    SqlStatement q(handle, QStringLiteral("SELECT c.Row, i.rowid IS NOT NULL, i.FileName FROM "
                                          "(SELECT DISTINCT Row FROM %1) c LEFT JOIN Info i ON i.rowid = c.Row "
                                          "ORDER BY c.Row")
                               .arg(NameChanges));
    while (q.step()) {
        stale.push_back(q.int64At(0));
        if (q.int64At(1) != 0)
            placed.push_back({q.int64At(0), q.textAt(2)});
    }
}

// The first `rows` rows, read along the stored ranks with the changed rows merged in: on screen
// before the rest is even ordered.
void firstScreen(sqlite3 *handle, SnapshotSink &sink, const std::vector<Named> &placed,
                 const std::vector<qint64> &stale, qint64 rows)
{
    RowWriter out(sink);
    SqlStatement byRowid(handle, QStringLiteral("SELECT FileName, Location, Description FROM Info WHERE rowid = ?1"));
    SqlStatement walk(handle, QStringLiteral("SELECT o.Row, i.FileName, i.Location, i.Description FROM %1 o "
                                             "JOIN Info i ON i.rowid = o.Row ORDER BY o.Rank")
                                  .arg(NameOrder));
    qint64 position = 0;
    size_t next = 0;
    auto writePlaced = [&] {
        byRowid.bind(1, placed[next++].rowid);
        if (byRowid.step())
            out.write(position++, byRowid, 0);
        byRowid.reset();
    };
    while (position < rows && walk.step()) {
        const qint64 rowid = walk.int64At(0);
        if (std::binary_search(stale.begin(), stale.end(), rowid))
            continue;
        if (next < placed.size()) {
            const QString name = walk.textAt(1);
            while (position < rows && next < placed.size()
                   && comesBefore(placed[next].name, placed[next].rowid, name, rowid))
                writePlaced();
        }
        if (position < rows)
            out.write(position++, walk, 1);
    }
    while (position < rows && next < placed.size())
        writePlaced();
}

// Every rowid in the name order: the stored ranks less the stale rows, with the changed rows
// put where their names belong (found by halving, looking names up as needed).
std::vector<qint64> wholeOrder(sqlite3 *handle, const std::vector<Named> &placed, const std::vector<qint64> &stale)
{
    std::vector<qint64> stored;
    {
        SqlStatement ranks(handle, QStringLiteral("SELECT Row FROM %1 ORDER BY Rank").arg(NameOrder));
        while (ranks.step()) {
            const qint64 rowid = ranks.int64At(0);
            if (!std::binary_search(stale.begin(), stale.end(), rowid))
                stored.push_back(rowid);
        }
    }
    if (placed.empty())
        return stored;
    SqlStatement name(handle, QStringLiteral("SELECT FileName FROM Info WHERE rowid = ?1"));
    auto nameOf = [&](qint64 rowid) {
        name.bind(1, rowid);
        const QString text = name.step() ? name.textAt(0) : QString();
        name.reset();
        return text;
    };
    std::vector<qint64> order;
    order.reserve(stored.size() + placed.size());
    size_t from = 0;
    for (const Named &p : placed) {
        size_t lo = from;
        size_t hi = stored.size();
        while (lo < hi) {
            const size_t mid = lo + (hi - lo) / 2;
            if (comesBefore(p.name, p.rowid, nameOf(stored[mid]), stored[mid]))
                hi = mid;
            else
                lo = mid + 1;
        }
        order.insert(order.end(), stored.begin() + qsizetype(from), stored.begin() + qsizetype(lo));
        order.push_back(p.rowid);
        from = lo;
    }
    order.insert(order.end(), stored.begin() + qsizetype(from), stored.end());
    return order;
}

// Reads Info once, in the order the file holds it, handing each row to its place in `order`.
// True when every row of Info found its place and every place its row.
bool copyInPlaces(sqlite3 *handle, SnapshotSink &sink, const std::vector<qint64> &order)
{
    std::vector<std::pair<qint64, qint64>> places(order.size()); // rowid, place
    for (size_t i = 0; i < order.size(); ++i)
        places[i] = {order[i], qint64(i)};
    std::sort(places.begin(), places.end());
    RowWriter out(sink);
    SqlStatement all(handle, QStringLiteral("SELECT rowid, FileName, Location, Description FROM Info ORDER BY rowid"));
    size_t next = 0;
    qint64 placedRows = 0;
    qint64 homeless = 0;
    while (all.step()) {
        if (sink.cancelled())
            return true;
        const qint64 rowid = all.int64At(0);
        while (next < places.size() && places[next].first < rowid)
            ++next;
        if (next < places.size() && places[next].first == rowid) {
            out.write(places[next++].second, all, 1);
            ++placedRows;
        } else {
            ++homeless;
        }
    }
    return homeless == 0 && placedRows == qint64(order.size());
}

// Every row's name read and sorted here: no stored order to go by.
std::vector<qint64> sortedAfresh(sqlite3 *handle, const SnapshotSink &sink)
{
    std::vector<Named> rows;
    {
        SqlStatement all(handle, QStringLiteral("SELECT rowid, FileName FROM Info ORDER BY rowid"));
        while (all.step() && !sink.cancelled())
            rows.push_back({all.int64At(0), all.textAt(1)});
    }
    sortByName(rows);
    std::vector<qint64> order;
    order.reserve(rows.size());
    for (const Named &r : rows)
        order.push_back(r.rowid);
    return order;
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
    runSql(handle, QStringLiteral("DROP INDEX %1").arg(NameOrderRows));
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
    insert.finalize();
    runSql(handle, QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (Row)").arg(NameOrderRows, NameOrder));
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

bool readInNameOrder(sqlite3 *handle, const DerivedData &derived, SnapshotSink &sink)
{
    if (derived.logged && derived.nameOrder == names::identity()) {
        std::vector<Named> placed;
        std::vector<qint64> stale;
        changedRows(handle, placed, stale);
        sortByName(placed);
        // The count from the stored order and the log (its small index is read far faster than
        // Info); the copy below finds out whether the two account for every row.
        const qint64 ordered = singleNumber(handle, QStringLiteral("SELECT count(*) FROM %1").arg(NameOrder));
        qint64 staleOrdered = 0;
        if (!stale.empty())
            staleOrdered = singleNumber(handle, QStringLiteral("SELECT count(*) FROM %1 WHERE Row IN "
                                                               "(SELECT Row FROM %2)")
                                                    .arg(NameOrder, NameChanges));
        sink.expectRows(ordered - staleOrdered + qint64(placed.size()));
        firstScreen(handle, sink, placed, stale, FirstScreenRows);
        if (copyInPlaces(handle, sink, wholeOrder(handle, placed, stale)))
            return true;
        // The stored order does not account for every row (changed while nothing logged it):
        // read everything again, sorted here.
        sink.restart();
        sink.expectRows(singleNumber(handle, QStringLiteral("SELECT count(*) FROM Info")));
        copyInPlaces(handle, sink, sortedAfresh(handle, sink));
        return false;
    }
    sink.expectRows(singleNumber(handle, QStringLiteral("SELECT count(*) FROM Info")));
    copyInPlaces(handle, sink, sortedAfresh(handle, sink));
    return true;
}

bool stepStoredOrder(sqlite3 *handle, bool verify)
{
    const DerivedData derived = derivedData(handle);
    if (!derived.logged)
        return false;
    const QString identity = names::identity();
    if (derived.nameOrder != identity) {
        rebuild(handle, identity);
        return true;
    }
    const qint64 changes = singleNumber(handle, QStringLiteral("SELECT count(*) FROM %1").arg(NameChanges));
    if (changes == 0) {
        if (!verify)
            return false;
        // With nothing logged, the order holds every row once: else rows changed while nothing
        // logged them (a tool dropped and restored a trigger), and the order is made anew.
        const qint64 rows = singleNumber(handle, QStringLiteral("SELECT count(*) FROM Info"));
        const qint64 ordered = singleNumber(
            handle, QStringLiteral("SELECT count(*) FROM %1 o JOIN Info i ON i.rowid = o.Row").arg(NameOrder));
        const qint64 entries = singleNumber(handle, QStringLiteral("SELECT count(*) FROM %1").arg(NameOrder));
        if (ordered == rows && entries == rows)
            return false;
        rebuild(handle, identity);
        return true;
    }
    const qint64 rows = singleNumber(handle, QStringLiteral("SELECT count(*) FROM Info"));
    if (changes > std::max(FewestRebuildChanges, rows / RebuildShareDivisor))
        rebuild(handle, identity);
    else
        placeChangedRows(handle);
    return true;
}

void distrustStoredOrder(sqlite3 *handle)
{
    try {
        QuickWrite write(handle);
        runSql(handle, QStringLiteral("DELETE FROM %1 WHERE Key = '%2'").arg(State, NameOrderIdentity));
        write.commit();
    } catch (const RunTimeError &) {
        // Busy or read-only: the next upkeep that checks the order finds it out anyway.
    }
}

} // namespace pixdock::catalogue
