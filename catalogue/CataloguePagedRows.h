// Grid rows read from the catalogue as they are shown, for catalogues of any size. The rows are
// fixed when the list loads or the search runs (their rowids, in order), so the row count is
// exact and rows added later never appear; their texts are fetched by rowid in blocks, with a
// small cache.
//
// Rows removed later stay listed: a removal through this program first keeps a copy of each row
// it is about to remove for every open list; a row that another program removed while it was
// not cached shows empty cells. Small results (up to EagerRows) are copied whole when loaded,
// exactly as before.
//
// A list's order is read in slices on the event loop after the first screen (see
// NameOrderLoad); asking for a row beyond what is read so far, or any write through this
// program, completes it first.
#pragma once

#include "CatalogueGridRows.h"

#include <QHash>
#include <QList>

#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

class QTimer;
struct sqlite3;

namespace pixdock::catalogue {

class NameOrderLoad;
class PrivateConnection;

class PagedRows : public GridRows
{
public:
    // Results up to this many rows are copied whole when they are loaded.
    static constexpr int EagerRows = 2000;
    // Rows fetched at a time, and blocks kept.
    static constexpr int BlockRows = 64;
    static constexpr int CachedBlocks = 128;

    // These rows, in this order (a search result); `rows`, when given, are their texts.
    PagedRows(std::shared_ptr<PrivateConnection> connection, QList<qint64> rowids,
              QList<CatalogueRow> rows = {});
    // Every row, ordered by file name without regard to case. The first screen is ready on
    // return; the rest of the order follows on the event loop.
    static std::shared_ptr<PagedRows> inFileNameOrder(std::shared_ptr<PrivateConnection> connection);
    ~PagedRows() override;
    PagedRows(const PagedRows &) = delete;
    PagedRows &operator=(const PagedRows &) = delete;

    int columnCount() const override { return 3; }
    QString headerText(int column) const override;
    int rowCount() const override { return m_count; }
    QString cell(int row, int column) const override;
    CatalogueRow row(int row) const;

    // Whether the order is still being read.
    bool loading() const;
    // Reads the rest of the order now.
    void finishLoading() const;

private:
    struct Block
    {
        std::vector<CatalogueRow> rows;
        std::list<int>::iterator recent;
    };

    explicit PagedRows(std::shared_ptr<PrivateConnection> connection);
    void startLoading();
    void loadSlice();
    void endLoading() const;
    const Block &block(int index) const;
    std::vector<CatalogueRow> fetch(int first, int count) const;
    void fetchAll() const;
    bool holdsAll() const { return m_holdsAll; }

    friend void finishSnapshotLoads();
    friend void keepRowsBeforeRemoval(const QSqlDatabase &, const QString &, const QString &);

    // The connection goes last, after the statements and the transaction on it.
    std::shared_ptr<PrivateConnection> m_connection;
    sqlite3 *m_handle = nullptr;
    int m_count = 0;
    mutable std::vector<qint64> m_rowids;
    mutable std::unique_ptr<NameOrderLoad> m_load;
    std::unique_ptr<QTimer> m_slices;
    mutable QHash<int, Block> m_blocks;
    mutable std::list<int> m_recent; // block indexes, most recently used first
    mutable bool m_holdsAll = false;
    // Copies of rows taken before this program removed them.
    mutable std::unordered_map<qint64, CatalogueRow> m_kept;
};

// Completes every list order still being read, so that no read transaction of ours holds up a
// write. Every write through this program calls it first.
void finishSnapshotLoads();

// Keeps, for every open list or search result that does not hold all its rows, a copy of the
// rows the removal of (fileName, location) is about to take away.
void keepRowsBeforeRemoval(const QSqlDatabase &db, const QString &fileName, const QString &location);

} // namespace pixdock::catalogue
