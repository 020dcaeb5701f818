// Snapshot rows: chunks received from the worker, looked up by row.
#include "CatalogueSnapshot.h"

#include <QEventLoop>

#include <algorithm>
#include <limits>

namespace pixdock::catalogue {

CatalogueSnapshot::CatalogueSnapshot()
    : m_control(std::make_shared<LoadControl>())
{
}

CatalogueSnapshot::~CatalogueSnapshot() { m_control->cancelled = true; }

QString CatalogueSnapshot::headerText(int column) const { return catalogueHeaderText(column); }

int CatalogueSnapshot::rowCount() const { return m_count; }

std::pair<const RowChunk *, int> CatalogueSnapshot::locate(int row) const
{
    if (!isLoaded(row))
        return {nullptr, 0};
    const quint64 where = m_where[size_t(row)];
    return {m_chunks[size_t(where >> 32) - 1].get(), int(where & 0xFFFFFFFFu)};
}

QString CatalogueSnapshot::cell(int row, int column) const
{
    const auto [chunk, index] = locate(row);
    return chunk ? textOf(chunk->row(index).column(column)) : QString();
}

QString CatalogueSnapshot::cellPrefix(int row, int column, qsizetype maxChars, bool *cut) const
{
    const auto [chunk, index] = locate(row);
    if (!chunk) {
        if (cut)
            *cut = false;
        return {};
    }
    return textPrefix(chunk->row(index).column(column), maxChars, cut);
}

CatalogueRow CatalogueSnapshot::row(int row) const
{
    const auto [chunk, index] = locate(row);
    if (!chunk)
        return {};
    const RowTexts texts = chunk->row(index);
    return {textOf(texts.fileName), textOf(texts.location), textOf(texts.description)};
}

size_t CatalogueSnapshot::bytes() const
{
    size_t total = m_chunks.capacity() * sizeof(m_chunks[0]) + m_where.capacity() * sizeof(quint64);
    for (const auto &chunk : m_chunks)
        total += chunk->bytes();
    return total;
}

void CatalogueSnapshot::setCount(int count)
{
    if (count == m_count)
        return;
    const int from = m_count;
    m_count = count;
    emit rowCountChanged(from, count);
}

void CatalogueSnapshot::receiveCount(qint64 rows)
{
    // Comes before any row (and again after a restart, when the rows are read afresh).
    m_expected = std::clamp<qint64>(rows, 0, std::numeric_limits<int>::max() - 1);
    m_where.assign(size_t(m_expected), 0);
    m_loaded = 0;
    setCount(int(m_expected));
}

void CatalogueSnapshot::receiveChunk(std::shared_ptr<const RowChunk> chunk, const std::vector<qint64> &positions)
{
    if (!chunk || chunk->rowCount() == 0 || size_t(chunk->rowCount()) != positions.size())
        return;
    m_chunks.push_back(std::move(chunk));
    const quint64 chunkTag = quint64(m_chunks.size()) << 32;
    int first = std::numeric_limits<int>::max();
    int last = -1;
    for (size_t i = 0; i < positions.size(); ++i) {
        const qint64 at = positions[i];
        if (at < 0 || at >= std::numeric_limits<int>::max() - 1)
            continue; // beyond what a grid can address
        if (size_t(at) >= m_where.size())
            m_where.resize(size_t(at) + 1, 0);
        quint64 &where = m_where[size_t(at)];
        if (where != 0)
            continue; // the place has its row already
        where = chunkTag | quint64(i);
        ++m_loaded;
        first = std::min(first, int(at));
        last = std::max(last, int(at));
    }
    if (int(m_where.size()) > m_count)
        setCount(int(m_where.size()));
    if (last >= 0)
        emit rowsChanged(first, last);
}

void CatalogueSnapshot::receiveRestart()
{
    m_chunks.clear();
    std::fill(m_where.begin(), m_where.end(), 0);
    m_loaded = 0;
    if (m_count > 0)
        emit rowsChanged(0, m_count - 1);
}

void CatalogueSnapshot::receiveEnd(std::optional<RunTimeError> failure)
{
    m_loading = false;
    m_failure = std::move(failure);
    if (m_loaded < int(m_where.size())) {
        // What was not copied is not shown: no empty rows standing for rows never read. The rows
        // that were close up, in their order.
        std::erase(m_where, quint64(0));
        m_count = int(m_where.size());
        emit rowsReset();
    } else {
        setCount(int(m_where.size()));
    }
    emit loaded();
}

void CatalogueSnapshot::waitForFirstScreen(int rows)
{
    auto there = [this, rows] {
        if (!m_loading)
            return true;
        if (!countKnown())
            return false;
        const int wanted = std::min(rows, m_count);
        for (int row = 0; row < wanted; ++row) {
            if (!isLoaded(row))
                return false;
        }
        return true;
    };
    if (there())
        return;
    QEventLoop loop;
    connect(this, &CatalogueSnapshot::rowCountChanged, &loop, &QEventLoop::quit);
    connect(this, &CatalogueSnapshot::rowsChanged, &loop, &QEventLoop::quit);
    connect(this, &CatalogueSnapshot::loaded, &loop, &QEventLoop::quit);
    while (!there())
        loop.exec();
}

bool CatalogueSnapshot::waitForRow(int row)
{
    if (isLoaded(row) || !m_loading)
        return isLoaded(row);
    QEventLoop loop;
    connect(this, &CatalogueSnapshot::rowsChanged, &loop, &QEventLoop::quit);
    connect(this, &CatalogueSnapshot::loaded, &loop, &QEventLoop::quit);
    while (!isLoaded(row) && m_loading)
        loop.exec();
    return isLoaded(row);
}

void CatalogueSnapshot::waitUntilLoaded()
{
    if (!m_loading)
        return;
    QEventLoop loop;
    connect(this, &CatalogueSnapshot::loaded, &loop, &QEventLoop::quit);
    while (m_loading)
        loop.exec();
}

} // namespace pixdock::catalogue
