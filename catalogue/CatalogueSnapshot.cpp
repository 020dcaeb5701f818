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
    const auto after = std::upper_bound(m_chunkStarts.begin(), m_chunkStarts.end(), row);
    const size_t chunk = size_t(after - m_chunkStarts.begin()) - 1;
    return {m_chunks[chunk].get(), row - m_chunkStarts[chunk]};
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
    size_t total = m_chunks.capacity() * sizeof(m_chunks[0]) + m_chunkStarts.capacity() * sizeof(int);
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
    m_expected = std::clamp<qint64>(rows, 0, std::numeric_limits<int>::max());
    setCount(std::max(int(m_expected), m_loaded));
}

void CatalogueSnapshot::receiveChunk(std::shared_ptr<const RowChunk> chunk)
{
    if (!chunk || chunk->rowCount() == 0)
        return;
    const int first = m_loaded;
    if (qint64(first) + chunk->rowCount() > std::numeric_limits<int>::max())
        return; // beyond what a grid can address
    m_chunkStarts.push_back(first);
    m_loaded += chunk->rowCount();
    m_chunks.push_back(std::move(chunk));
    if (m_loaded > m_count)
        setCount(m_loaded);
    emit rowsChanged(first, m_loaded - 1);
}

void CatalogueSnapshot::receiveRestart()
{
    const int had = m_loaded;
    m_chunks.clear();
    m_chunkStarts.clear();
    m_loaded = 0;
    if (had > 0)
        emit rowsChanged(0, had - 1);
}

void CatalogueSnapshot::receiveEnd(std::optional<RunTimeError> failure)
{
    m_loading = false;
    m_failure = std::move(failure);
    // What was not copied is not shown: no empty rows standing for rows never read.
    setCount(m_loaded);
    emit loaded();
}

void CatalogueSnapshot::waitForCount()
{
    if (countKnown())
        return;
    QEventLoop loop;
    connect(this, &CatalogueSnapshot::rowCountChanged, &loop, &QEventLoop::quit);
    connect(this, &CatalogueSnapshot::loaded, &loop, &QEventLoop::quit);
    while (!countKnown())
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
