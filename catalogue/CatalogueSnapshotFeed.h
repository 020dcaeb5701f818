// The worker's side of a snapshot: takes the rows an engine reads, packs them into chunks and
// hands them to the snapshot on the interface thread: the first screen as soon as it is read,
// then a chunk whenever one is full or a moment has passed.
#pragma once

#include "CatalogueEngine.h"
#include "CatalogueRowChunk.h"
#include "CatalogueSnapshot.h"

#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <vector>

namespace pixdock::catalogue {

class SnapshotFeed : public SnapshotSink
{
public:
    // Rows of the first screen, handed over on their own.
    static constexpr int FirstScreenRows = 64;

    SnapshotFeed(std::weak_ptr<CatalogueSnapshot> target, std::shared_ptr<LoadControl> control);

    void expectRows(qint64 count) override;
    void append(qint64 position, std::string_view fileName, std::string_view location,
                std::string_view description) override;
    void restart() override;
    bool cancelled() const override { return m_control->cancelled.load(std::memory_order_relaxed); }

    // Hands over what is left and ends the load (with the failure that ended it, if any).
    void finish(std::optional<RunTimeError> failure);

private:
    void flush();
    void post(std::function<void(CatalogueSnapshot &)> deliver) const;

    std::weak_ptr<CatalogueSnapshot> m_target;
    std::shared_ptr<LoadControl> m_control;
    RowChunkBuilder m_builder;
    std::vector<qint64> m_positions; // of the rows in the chunk being filled
    qint64 m_handed = 0;
    QElapsedTimer m_sinceFlush;
};

} // namespace pixdock::catalogue
