// The list's order, read without sorting the catalogue: the rowids of all rows ordered by file
// name without regard to case (Unicode case folding, rows of equal names by rowid), exactly as
// "ORDER BY FileName COLLATE UNOCASE, rowid" gives them.
//
// The index on FileName COLLATE NOCASE already holds the rows in that order as far as ASCII
// goes. The rows whose names hold anything else come from the small partial index; they are
// folded and sorted here, and merged into the walk along the big index. The whole read runs in
// one read transaction, so the order, the count and the rows fetched meanwhile are one
// snapshot; it can be done in slices, so that the first screen shows before the last row is
// known.
#pragma once

#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

struct sqlite3;

namespace pixdock::catalogue {

class NameOrderLoad
{
public:
    // Starts the read transaction, counts the rows and reads the names beyond ASCII.
    // Raises the program's run-time error when the catalogue cannot be read.
    explicit NameOrderLoad(sqlite3 *handle);
    // Ends the transaction if the walk did not.
    ~NameOrderLoad();
    NameOrderLoad(const NameOrderLoad &) = delete;
    NameOrderLoad &operator=(const NameOrderLoad &) = delete;

    qint64 rowCount() const { return m_count; }
    bool finished() const { return m_finished; }

    // Appends rowids in order to `order` until it holds `wanted` of them, the time runs out, or
    // the walk ends (then the transaction ends too: later reads see the catalogue as it is).
    void advance(std::vector<qint64> &order, size_t wanted,
                 std::chrono::steady_clock::duration budget = std::chrono::steady_clock::duration::max());

private:
    struct Wide
    {
        qint64 rowid;
        quint32 keyStart;
        quint32 keyLength;
    };
    struct Walk;

    void readWideNames();
    bool wideComesFirst(const Wide &wide, const std::vector<char32_t> &key, qint64 rowid) const;
    bool isWide(qint64 rowid) const;
    void finish(std::vector<qint64> &order);

    sqlite3 *m_handle;
    qint64 m_count = 0;
    bool m_finished = false;
    bool m_inTransaction = false;
    // The folded names of the wide rows, one after another, and the rows in their order.
    std::vector<char32_t> m_keys;
    std::vector<Wide> m_wide;
    size_t m_nextWide = 0;
    // The wide rows' rowids, ascending, to pass them by in the walk.
    std::vector<qint64> m_wideRowids;
    std::unique_ptr<Walk> m_walk;
};

} // namespace pixdock::catalogue
