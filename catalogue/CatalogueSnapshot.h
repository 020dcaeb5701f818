// A copy of catalogue rows taken in one read of the catalogue: what a list or search window
// shows for its whole life, whatever other programs do to the file afterwards. The copy is made
// on a worker thread and arrives in chunks, the first screen first, the rest in whatever order
// the file gives them; the row count is known with the first screen, and rows not copied yet
// show as loading until they come. Reading a row never touches the file.
//
// Lives on the interface thread. Whoever waits on it keeps a shared_ptr while waiting.
#pragma once

#include "CatalogueGridRows.h"
#include "CatalogueRowChunk.h"
#include "RunTimeError.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace pixdock::catalogue {

// Shared by a snapshot and the worker that fills it.
struct LoadControl
{
    std::atomic<bool> cancelled{false};
};

class CatalogueSnapshot : public QObject, public GridRows
{
    Q_OBJECT
public:
    CatalogueSnapshot();
    // A snapshot nobody shows any more: its worker may stop.
    ~CatalogueSnapshot() override;

    int columnCount() const override { return 3; }
    QString headerText(int column) const override;
    // The rows there will be (while loading) or there are.
    int rowCount() const override;
    QString cell(int row, int column) const override;
    QString cellPrefix(int row, int column, qsizetype maxChars, bool *cut) const override;
    bool isLoaded(int row) const override
    {
        return row >= 0 && size_t(row) < m_where.size() && m_where[size_t(row)] != 0;
    }
    CatalogueRow row(int row) const;

    bool countKnown() const { return m_expected >= 0 || !m_loading; }
    bool loading() const { return m_loading; }
    // Why loading ended early, if it did.
    const std::optional<RunTimeError> &failure() const { return m_failure; }
    // Bytes the copied rows take.
    size_t bytes() const;

    // Waits, with the event loop running, until the row count is known and the first `rows`
    // rows are copied (or loading ended).
    void waitForFirstScreen(int rows);
    // Until the row is copied (true) or loading ended without it (false).
    bool waitForRow(int row);
    void waitUntilLoaded();

    // Filled by the worker (through the service), on the interface thread.
    std::shared_ptr<LoadControl> control() const { return m_control; }
    void receiveCount(qint64 rows);
    // The chunk's rows go to these places.
    void receiveChunk(std::shared_ptr<const RowChunk> chunk, const std::vector<qint64> &positions);
    void receiveRestart();
    void receiveEnd(std::optional<RunTimeError> failure);

signals:
    // The row count changed (known at the first screen; rows dropped when loading failed).
    void rowCountChanged(int from, int to);
    // Rows first..last (data rows from 0) were copied, or made loading again (a restart).
    void rowsChanged(int first, int last);
    // Rows were taken out from between others (loading failed half-way): everything moved.
    void rowsReset();
    // Loading ended: all rows are there, or failure() says why not.
    void loaded();

private:
    // The chunk holding a row and the row's index in it.
    std::pair<const RowChunk *, int> locate(int row) const;
    void setCount(int count);

    std::shared_ptr<LoadControl> m_control;
    std::vector<std::shared_ptr<const RowChunk>> m_chunks;
    // For each row: (its chunk's index + 1) << 32 | its index in the chunk; 0 until it is copied.
    std::vector<quint64> m_where;
    int m_loaded = 0;
    qint64 m_expected = -1;
    int m_count = 0;
    bool m_loading = true;
    std::optional<RunTimeError> m_failure;
};

} // namespace pixdock::catalogue
