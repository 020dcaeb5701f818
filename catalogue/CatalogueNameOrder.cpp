// Walking the file-name index and merging in the re-sorted names beyond ASCII.
#include "CatalogueNameOrder.h"

#include "CatalogueIndexes.h"
#include "CatalogueSqlite.h"
#include "CatalogueUnicode.h"

#include <sqlite3.h>

#include <algorithm>

namespace pixdock::catalogue {

namespace {

int compareKeys(const char32_t *a, size_t aLength, const char32_t *b, size_t bLength)
{
    const size_t common = std::min(aLength, bLength);
    for (size_t i = 0; i < common; ++i) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
}

// The same against a name of ASCII characters (no NUL), folded on the way.
int compareWithAscii(const char32_t *a, size_t aLength, const unsigned char *b, size_t bLength)
{
    const size_t common = std::min(aLength, bLength);
    for (size_t i = 0; i < common; ++i) {
        const unsigned char c = b[i];
        const char32_t folded = (c >= 'A' && c <= 'Z') ? char32_t(c + ('a' - 'A')) : char32_t(c);
        if (a[i] != folded)
            return a[i] < folded ? -1 : 1;
    }
    return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
}

bool plainAscii(const unsigned char *bytes, int length)
{
    for (int i = 0; i < length; ++i) {
        if (bytes[i] >= 0x80 || bytes[i] == 0)
            return false;
    }
    return true;
}

constexpr int RowsBetweenClockReads = 512;

} // namespace

struct NameOrderLoad::Walk
{
    SqlStatement names;
    std::vector<char32_t> key;
};

NameOrderLoad::NameOrderLoad(sqlite3 *handle)
    : m_handle(handle)
{
    executeSql(m_handle, "BEGIN");
    m_inTransaction = true;
    try {
        {
            SqlStatement count(m_handle, QStringLiteral("SELECT count(*) FROM Info"));
            m_count = count.step() ? count.int64At(0) : 0;
        }
        readWideNames();
        m_walk = std::make_unique<Walk>();
        m_walk->names =
            SqlStatement(m_handle, QStringLiteral("SELECT rowid, FileName FROM Info INDEXED BY %1 "
                                                  "ORDER BY FileName COLLATE NOCASE, rowid")
                                       .arg(derived::NameOrderIndex));
    } catch (...) {
        m_walk.reset();
        sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
        m_inTransaction = false;
        throw;
    }
}

NameOrderLoad::~NameOrderLoad()
{
    m_walk.reset();
    if (m_inTransaction)
        sqlite3_exec(m_handle, "COMMIT", nullptr, nullptr, nullptr);
}

void NameOrderLoad::readWideNames()
{
    SqlStatement q(m_handle, QStringLiteral("SELECT rowid, FileName FROM Info INDEXED BY %1 WHERE %2")
                                 .arg(derived::WideNameIndex, derived::WideNameCondition));
    while (q.step()) {
        const auto start = quint32(m_keys.size());
        appendFoldedCodePoints(q.utf8At(1), q.bytesAt(1), m_keys);
        m_wide.push_back({q.int64At(0), start, quint32(m_keys.size() - start)});
    }
    const char32_t *keys = m_keys.data();
    std::sort(m_wide.begin(), m_wide.end(), [keys](const Wide &a, const Wide &b) {
        const int c = compareKeys(keys + a.keyStart, a.keyLength, keys + b.keyStart, b.keyLength);
        return c != 0 ? c < 0 : a.rowid < b.rowid;
    });
    m_wideRowids.reserve(m_wide.size());
    for (const Wide &w : m_wide)
        m_wideRowids.push_back(w.rowid);
    std::sort(m_wideRowids.begin(), m_wideRowids.end());
}

bool NameOrderLoad::isWide(qint64 rowid) const
{
    return std::binary_search(m_wideRowids.begin(), m_wideRowids.end(), rowid);
}

bool NameOrderLoad::wideComesFirst(const Wide &wide, const std::vector<char32_t> &key, qint64 rowid) const
{
    const int c = compareKeys(m_keys.data() + wide.keyStart, wide.keyLength, key.data(), key.size());
    return c != 0 ? c < 0 : wide.rowid < rowid;
}

void NameOrderLoad::finish(std::vector<qint64> &order)
{
    for (; m_nextWide < m_wide.size(); ++m_nextWide)
        order.push_back(m_wide[m_nextWide].rowid);
    m_walk.reset();
    m_finished = true;
    if (m_inTransaction) {
        m_inTransaction = false;
        sqlite3_exec(m_handle, "COMMIT", nullptr, nullptr, nullptr);
    }
    m_keys = {};
    m_wide = {};
    m_wideRowids = {};
}

void NameOrderLoad::advance(std::vector<qint64> &order, size_t wanted,
                            std::chrono::steady_clock::duration budget)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    int untilClockRead = RowsBetweenClockReads;
    while (!m_finished && order.size() < wanted) {
        if (--untilClockRead == 0) {
            untilClockRead = RowsBetweenClockReads;
            if (Clock::now() - start >= budget)
                return;
        }
        SqlStatement &names = m_walk->names;
        if (!names.step()) {
            finish(order);
            return;
        }
        const qint64 rowid = names.int64At(0);
        switch (names.columnType(1)) {
        case SQLITE_TEXT:
            break;
        case SQLITE_BLOB:
            // Blobs sort after every text.
            for (; m_nextWide < m_wide.size(); ++m_nextWide)
                order.push_back(m_wide[m_nextWide].rowid);
            order.push_back(rowid);
            continue;
        default:
            // NULL and numbers sort before every text.
            order.push_back(rowid);
            continue;
        }
        const unsigned char *bytes = names.utf8At(1);
        const int length = names.bytesAt(1);
        const bool ascii = plainAscii(bytes, length);
        if (!ascii && isWide(rowid))
            continue; // merged from the wide rows
        if (ascii) {
            while (m_nextWide < m_wide.size()) {
                const Wide &w = m_wide[m_nextWide];
                const int c =
                    compareWithAscii(m_keys.data() + w.keyStart, w.keyLength, bytes, size_t(length));
                if (c > 0 || (c == 0 && w.rowid > rowid))
                    break;
                order.push_back(w.rowid);
                ++m_nextWide;
            }
        } else {
            std::vector<char32_t> &key = m_walk->key;
            key.clear();
            appendFoldedCodePoints(bytes, length, key);
            while (m_nextWide < m_wide.size() && wideComesFirst(m_wide[m_nextWide], key, rowid)) {
                order.push_back(m_wide[m_nextWide].rowid);
                ++m_nextWide;
            }
        }
        order.push_back(rowid);
    }
}

} // namespace pixdock::catalogue
