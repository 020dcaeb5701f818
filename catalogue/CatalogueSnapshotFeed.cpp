// Handing snapshot rows from the worker to the interface thread.
#include "CatalogueSnapshotFeed.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <utility>

namespace pixdock::catalogue {

namespace {
// A chunk is handed over at the latest after this long, so a slow read shows its progress.
constexpr qint64 FlushEveryMs = 100;
} // namespace

SnapshotFeed::SnapshotFeed(std::weak_ptr<CatalogueSnapshot> target, std::shared_ptr<LoadControl> control)
    : m_target(std::move(target))
    , m_control(std::move(control))
{
    m_sinceFlush.start();
}

void SnapshotFeed::post(std::function<void(CatalogueSnapshot &)> deliver) const
{
    // The application object outlives every snapshot; a snapshot gone meanwhile is skipped.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [target = m_target, deliver = std::move(deliver)] {
            if (const std::shared_ptr<CatalogueSnapshot> snapshot = target.lock())
                deliver(*snapshot);
        },
        Qt::QueuedConnection);
}

void SnapshotFeed::expectRows(qint64 count)
{
    post([count](CatalogueSnapshot &s) { s.receiveCount(count); });
}

void SnapshotFeed::append(qint64 position, std::string_view fileName, std::string_view location,
                          std::string_view description)
{
    if (!m_builder.fits(fileName.size() + location.size() + description.size()))
        flush();
    m_builder.append(fileName, location, description);
    m_positions.push_back(position);
    ++m_handed;
    if (m_handed == FirstScreenRows
        || (m_handed % 256 == 0 && m_sinceFlush.elapsed() >= FlushEveryMs))
        flush();
}

void SnapshotFeed::flush()
{
    std::shared_ptr<const RowChunk> chunk = m_builder.take();
    m_sinceFlush.restart();
    if (chunk)
        post([chunk, positions = std::exchange(m_positions, {})](CatalogueSnapshot &s) {
            s.receiveChunk(chunk, positions);
        });
}

void SnapshotFeed::restart()
{
    m_builder.take();
    m_positions.clear();
    m_handed = 0;
    post([](CatalogueSnapshot &s) { s.receiveRestart(); });
}

void SnapshotFeed::finish(std::optional<RunTimeError> failure)
{
    flush();
    post([failure](CatalogueSnapshot &s) { s.receiveEnd(failure); });
}

} // namespace pixdock::catalogue
