// Paged catalogue rows: rowids fixed at load, texts fetched by block.
#include "CataloguePagedRows.h"

#include "CatalogueNameOrder.h"
#include "CatalogueSqlite.h"
#include "CatalogueStatements.h"

#include <QSqlQuery>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <limits>

namespace pixdock::catalogue {

namespace {

std::vector<PagedRows *> &liveRows()
{
    static std::vector<PagedRows *> live;
    return live;
}

// Reading the rest of a list's order: slices this long, between other events.
constexpr auto SliceTime = std::chrono::milliseconds(8);
// Rows whose order a list knows before it is shown: more than a screen.
constexpr size_t FirstRows = 2 * PagedRows::BlockRows;

} // namespace

PagedRows::PagedRows(std::shared_ptr<PrivateConnection> connection)
    : m_connection(std::move(connection))
    , m_handle(sqliteHandle(m_connection->database()))
{
    liveRows().push_back(this);
}

PagedRows::PagedRows(std::shared_ptr<PrivateConnection> connection, QList<qint64> rowids,
                     QList<CatalogueRow> rows)
    : PagedRows(std::move(connection))
{
    m_rowids.assign(rowids.cbegin(), rowids.cend());
    m_count = int(m_rowids.size());
    if (rows.size() == rowids.size()) {
        m_holdsAll = true;
        for (int index = 0; index * BlockRows < m_count; ++index) {
            const auto first = rows.cbegin() + index * BlockRows;
            Block held{{first, first + std::min(BlockRows, m_count - index * BlockRows)}, {}};
            m_recent.push_front(index);
            held.recent = m_recent.begin();
            m_blocks.insert(index, std::move(held));
        }
    } else if (m_count <= EagerRows) {
        fetchAll();
    } else {
        block(0);
    }
}

std::shared_ptr<PagedRows> PagedRows::inFileNameOrder(std::shared_ptr<PrivateConnection> connection)
{
    std::shared_ptr<PagedRows> rows(new PagedRows(std::move(connection)));
    rows->m_load = std::make_unique<NameOrderLoad>(rows->m_handle);
    rows->m_count = int(std::min<qint64>(rows->m_load->rowCount(), std::numeric_limits<int>::max()));
    rows->m_rowids.reserve(size_t(rows->m_count));
    if (rows->m_count <= EagerRows) {
        // Order and texts, all inside the one read transaction.
        rows->m_load->advance(rows->m_rowids, size_t(rows->m_count));
        rows->m_rowids.resize(size_t(rows->m_count), -1);
        rows->fetchAll();
        rows->finishLoading();
    } else {
        rows->m_load->advance(rows->m_rowids, FirstRows);
        rows->block(0);
        rows->block(1);
        rows->startLoading();
    }
    return rows;
}

PagedRows::~PagedRows()
{
    std::erase(liveRows(), this);
    m_slices.reset();
    m_load.reset();
}

QString PagedRows::headerText(int column) const { return catalogueHeaderText(column); }

QString PagedRows::cell(int row, int column) const
{
    if (row < 0 || row >= m_count)
        return {};
    return catalogueCell(this->row(row), column);
}

CatalogueRow PagedRows::row(int row) const
{
    if (row < 0 || row >= m_count)
        return {};
    // The whole block's order is needed before the block is fetched.
    const size_t blockEnd = std::min(size_t(m_count), size_t(row / BlockRows + 1) * BlockRows);
    if (m_load && m_rowids.size() < blockEnd) {
        try {
            m_load->advance(m_rowids, blockEnd);
            if (m_load->finished())
                endLoading();
        } catch (const RunTimeError &) {
            endLoading();
        }
    }
    const qint64 rowid = size_t(row) < m_rowids.size() ? m_rowids[size_t(row)] : -1;
    if (!m_kept.empty()) {
        const auto kept = m_kept.find(rowid);
        if (kept != m_kept.end())
            return kept->second;
    }
    return block(row / BlockRows).rows[size_t(row % BlockRows)];
}

bool PagedRows::loading() const { return m_load != nullptr; }

void PagedRows::finishLoading() const
{
    if (!m_load)
        return;
    try {
        m_load->advance(m_rowids, std::numeric_limits<size_t>::max());
    } catch (const RunTimeError &) {
        // The rows not ordered yet stay empty.
    }
    endLoading();
}

void PagedRows::startLoading()
{
    m_slices = std::make_unique<QTimer>();
    m_slices->setInterval(0);
    QObject::connect(m_slices.get(), &QTimer::timeout, m_slices.get(), [this] { loadSlice(); });
    m_slices->start();
}

void PagedRows::loadSlice()
{
    if (!m_load)
        return;
    try {
        m_load->advance(m_rowids, std::numeric_limits<size_t>::max(), SliceTime);
        if (m_load->finished())
            endLoading();
    } catch (const RunTimeError &) {
        endLoading();
    }
}

void PagedRows::endLoading() const
{
    if (m_slices)
        m_slices->stop();
    m_load.reset();
    // Only when the catalogue failed half-way: the rows never ordered show empty.
    if (m_rowids.size() < size_t(m_count))
        m_rowids.resize(size_t(m_count), -1);
}

const PagedRows::Block &PagedRows::block(int index) const
{
    const auto found = m_blocks.find(index);
    if (found != m_blocks.end()) {
        m_recent.splice(m_recent.begin(), m_recent, found->recent);
        return *found;
    }
    const int first = index * BlockRows;
    Block fetched;
    try {
        fetched.rows = fetch(first, std::min(BlockRows, m_count - first));
    } catch (const RunTimeError &) {
        // Shown empty this time; the next look tries again.
        static const Block none{std::vector<CatalogueRow>(BlockRows), {}};
        return none;
    }
    m_recent.push_front(index);
    fetched.recent = m_recent.begin();
    m_blocks.insert(index, std::move(fetched));
    if (!m_holdsAll && m_blocks.size() > CachedBlocks) {
        m_blocks.remove(m_recent.back());
        m_recent.pop_back();
    }
    return *m_blocks.find(index);
}

std::vector<CatalogueRow> PagedRows::fetch(int first, int count) const
{
    std::vector<CatalogueRow> rows(size_t(std::max(count, 0)));
    auto rowidAt = [this, first](int i) {
        const size_t at = size_t(first + i);
        return at < m_rowids.size() ? m_rowids[at] : qint64(-1);
    };
    QStringList ids;
    for (int i = 0; i < count; ++i) {
        if (rowidAt(i) >= 0)
            ids << QString::number(rowidAt(i));
    }
    if (ids.isEmpty())
        return rows;
    SqlStatement q(m_handle, QStringLiteral("SELECT rowid, FileName, Location, Description FROM Info "
                                            "WHERE rowid IN (%1)")
                                 .arg(ids.join(QLatin1Char(','))));
    QHash<qint64, CatalogueRow> found;
    found.reserve(count);
    while (q.step())
        found.insert(q.int64At(0), {q.textAt(1), q.textAt(2), q.textAt(3)});
    // A row gone since the load (removed by another program) shows empty.
    for (int i = 0; i < count; ++i)
        rows[size_t(i)] = found.value(rowidAt(i));
    return rows;
}

void PagedRows::fetchAll() const
{
    m_holdsAll = true;
    for (int index = 0; index * BlockRows < m_count; ++index)
        block(index);
}

void finishSnapshotLoads()
{
    // A copy: finishing does not change the list, but stay safe against it.
    const std::vector<PagedRows *> live = liveRows();
    for (PagedRows *rows : live)
        rows->finishLoading();
}

void keepRowsBeforeRemoval(const QSqlDatabase &db, const QString &fileName, const QString &location)
{
    std::vector<PagedRows *> keeping;
    for (PagedRows *rows : liveRows()) {
        if (!rows->holdsAll())
            keeping.push_back(rows);
    }
    if (keeping.empty())
        return;
    QSqlQuery q = runStatement(db, rowsToDeleteStatement(fileName, location));
    while (q.next()) {
        const qint64 rowid = q.value(0).toLongLong();
        const CatalogueRow row{q.value(1).toString(), q.value(2).toString(), q.value(3).toString()};
        // The first copy stays: it is the row the list showed.
        for (PagedRows *rows : keeping)
            rows->m_kept.emplace(rowid, row);
    }
}

} // namespace pixdock::catalogue
