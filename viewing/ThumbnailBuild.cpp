// The thumbnail build: a pool of workers, results put back into path order.
#include "ThumbnailBuild.h"

#include "ThumbnailLoader.h"

#include <QThread>

#include <utility>

namespace pixdock::thumbnails {

ThumbnailBuild::ThumbnailBuild(QObject *parent)
    : QObject(parent)
{
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

ThumbnailBuild::~ThumbnailBuild()
{
    stop();
}

void ThumbnailBuild::start(const QStringList &paths, const ThumbnailCache &cache)
{
    if (m_started)
        return;
    m_started = true;
    m_paths = paths;
    m_results.resize(paths.size());
    if (paths.isEmpty()) {
        emit progressChanged(0, 0);
        emit finished();
        return;
    }
    // The pool runs its tasks in the order they were queued, so the first rows come first.
    for (int i = 0; i < paths.size(); ++i) {
        m_pool.start([this, i, path = paths.at(i), cache] {
            if (m_cancelled.load(std::memory_order_relaxed))
                return;
            QImage image = makeThumbnail(path, cache, &m_cancelled);
            // Queued to this object's thread; stop() waits for the workers before this object
            // goes, and posted calls to a destroyed object are dropped with it.
            QMetaObject::invokeMethod(
                this, [this, i, image = std::move(image)] { arrived(i, image); }, Qt::QueuedConnection);
        });
    }
}

void ThumbnailBuild::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_cancelled.store(true);
    m_pool.clear();
    m_pool.waitForDone();
}

void ThumbnailBuild::arrived(int index, const QImage &image)
{
    if (m_stopped || index < m_next || index >= m_results.size())
        return;
    m_results[index] = image;
    const int before = m_next;
    while (m_next < m_results.size() && m_results.at(m_next).has_value()) {
        const QImage ready = *std::exchange(m_results[m_next], std::nullopt);
        const int placed = m_next++;
        if (!ready.isNull())
            emit thumbnailReady(placed, m_paths.at(placed), ready);
        // A receiver may stop the build (the window closing) while it takes a thumbnail.
        if (m_stopped)
            return;
    }
    if (m_next == before)
        return;
    emit progressChanged(m_next, total());
    if (m_next == total())
        emit finished();
}

} // namespace pixdock::thumbnails
