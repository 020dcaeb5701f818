// Building a sheet of thumbnails off the user-interface thread. One worker per core settles
// every picture in the order of the paths (is there a thumbnail? the shared cache's entry is
// made on the way), while the pictures on screen and near it jump the queue and have their sheet
// pictures made and kept in a bounded memory. The scheduling runs on the user-interface thread;
// the workers only make thumbnails.
#pragma once

#include "ThumbnailCache.h"
#include "ThumbnailLoader.h"
#include "ThumbnailMemory.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <vector>

namespace pixdock::thumbnails {

class ThumbnailBuild : public QObject
{
    Q_OBJECT
public:
    explicit ThumbnailBuild(QObject *parent = nullptr);
    // Stops the build (see stop()).
    ~ThumbnailBuild() override;

    // How many workers make thumbnails at once (one per core unless set before start()).
    void setWorkerCount(int workers) { m_pool->setMaxThreadCount(std::max(1, workers)); }

    // Starts settling the pictures of `paths` (picture i is paths[i]), with sheet pictures of
    // `sheet` pixels. A build starts once.
    void start(const QStringList &paths, const ThumbnailCache &cache = ThumbnailCache(), QSize sheet = SheetSize);
    // The pictures whose sheet pictures are wanted now, the most urgent first (those on screen,
    // then those near it); they go before the rest, and are made again from the cache when
    // memory had let them go. `focus` is the picture in the middle of the screen.
    void setWanted(const QList<int> &pictures, int focus);
    // Drops the work not yet begun and ends the decodes under way at their next read, without
    // waiting for them: a reader that cannot be stopped finishes alone and its result is
    // dropped. No signal comes after it.
    void stop();

    // The sheet picture of `picture` if it is in memory, else a null image.
    QImage image(int picture) const { return m_memory.find(picture); }
    const ThumbnailMemory &memory() const { return m_memory; }

    int total() const { return int(m_paths.size()); }
    // Pictures known to have a thumbnail or to have none.
    int settled() const { return m_settled; }
    bool isRunning() const { return m_started && !m_stopped && m_settled < total(); }

signals:
    // The sheet picture of `picture` is in memory now.
    void thumbnailReady(int picture);
    // The picture has no thumbnail (missing, unreadable, not a picture, an icon).
    void noThumbnail(int picture);
    void progressChanged(int settled, int total);
    // Every picture is settled (also when there was nothing to build).
    void finished();

private:
    enum class State : quint8 { Pending, Made, None };
    int wantedLimit() const;
    void topUp();
    bool queueWanted();
    bool queueNextPending();
    void queue(int picture, bool show);
    void arrived(int picture, bool has, const QImage &image, bool show);

    // What the workers share with the build; they outlive it when it stops before they end.
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    QThreadPool *m_pool; // handed on to finish alone when the build stops
    QStringList m_paths;
    ThumbnailCache m_cache;
    QSize m_sheet = SheetSize;
    std::vector<State> m_state;
    std::vector<bool> m_inFlight;
    QList<int> m_wanted;
    qsizetype m_wantedAt = 0;
    int m_nextPending = 0;
    int m_running = 0;
    int m_settled = 0;
    ThumbnailMemory m_memory;
    bool m_started = false;
    bool m_stopped = false;
};

} // namespace pixdock::thumbnails
