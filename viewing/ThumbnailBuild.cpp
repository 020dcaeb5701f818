// The thumbnail build: a pool of workers fed from the user-interface thread, the wanted pictures
// first, then the rest in order.
#include "ThumbnailBuild.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <mutex>
#include <utility>
#include <vector>

namespace pixdock::thumbnails {

struct ThumbnailBuild::Shared
{
    std::atomic_bool cancelled{false};
    std::mutex mutex;
    ThumbnailBuild *receiver = nullptr; // cleared, under the mutex, when the build stops
};

namespace {
// Pools of stopped builds whose workers are still finishing a decode that could not be stopped:
// let go once idle, and waited for only when the program ends.
std::vector<QThreadPool *> &retiredPools()
{
    static std::vector<QThreadPool *> pools;
    return pools;
}

void letIdlePoolsGo()
{
    auto &pools = retiredPools();
    for (auto it = pools.begin(); it != pools.end();) {
        if ((*it)->activeThreadCount() == 0) {
            delete *it;
            it = pools.erase(it);
        } else {
            ++it;
        }
    }
    if (!pools.empty())
        QTimer::singleShot(100, qApp, letIdlePoolsGo);
}

void retire(QThreadPool *pool)
{
    static const bool waitsAtTheEnd = [] {
        qAddPostRoutine([] {
            for (QThreadPool *pool : retiredPools()) {
                pool->waitForDone();
                delete pool;
            }
            retiredPools().clear();
        });
        return true;
    }();
    Q_UNUSED(waitsAtTheEnd);
    const bool first = retiredPools().empty();
    retiredPools().push_back(pool);
    if (first && qApp)
        QTimer::singleShot(100, qApp, letIdlePoolsGo);
}
} // namespace

ThumbnailBuild::ThumbnailBuild(QObject *parent)
    : QObject(parent)
    , m_shared(std::make_shared<Shared>())
    , m_pool(new QThreadPool)
    , m_memory(memoryCapacityFor(SheetSize))
{
    m_shared->receiver = this;
    m_pool->setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

ThumbnailBuild::~ThumbnailBuild()
{
    stop();
    delete m_pool;
}

void ThumbnailBuild::start(const QStringList &paths, const ThumbnailCache &cache, QSize sheet)
{
    if (m_started)
        return;
    m_started = true;
    m_paths = paths;
    m_cache = cache;
    m_sheet = sheet;
    const int focus = m_memory.focus();
    m_memory = ThumbnailMemory(memoryCapacityFor(sheet));
    m_memory.setFocus(focus);
    m_wanted = m_wanted.mid(0, wantedLimit());
    m_state.assign(size_t(paths.size()), State::Pending);
    m_inFlight.assign(size_t(paths.size()), false);
    if (paths.isEmpty()) {
        emit progressChanged(0, 0);
        emit finished();
        return;
    }
    topUp();
}

void ThumbnailBuild::setWanted(const QList<int> &pictures, int focus)
{
    m_wanted = pictures.mid(0, wantedLimit());
    m_memory.setFocus(focus);
    if (m_started && !m_stopped)
        topUp();
}

int ThumbnailBuild::wantedLimit() const
{
    // No more than the memory keeps when it makes room, or the wanted pictures would push each
    // other out and be made again and again.
    return m_memory.capacity() - m_memory.capacity() / 10 - 1;
}

void ThumbnailBuild::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_shared->cancelled.store(true);
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->receiver = nullptr;
    }
    // A worker still in a decode that cannot be stopped finishes alone; nobody waits for it.
    m_pool->clear();
    if (m_pool->activeThreadCount() == 0) {
        delete m_pool;
    } else {
        retire(m_pool);
    }
    m_pool = new QThreadPool;
}

void ThumbnailBuild::topUp()
{
    // Two tasks a worker: one running, one waiting, so that no worker idles while the
    // user-interface thread is busy; a change of the wanted pictures waits behind no more.
    const int depth = 2 * m_pool->maxThreadCount();
    while (m_running < depth && !m_stopped) {
        if (!queueWanted() && !queueNextPending())
            break;
    }
}

bool ThumbnailBuild::queueWanted()
{
    for (const int picture : std::as_const(m_wanted)) {
        if (picture < 0 || picture >= total() || m_inFlight[size_t(picture)]
            || m_state[size_t(picture)] == State::None || m_memory.contains(picture))
            continue;
        queue(picture, true);
        return true;
    }
    return false;
}

bool ThumbnailBuild::queueNextPending()
{
    while (m_nextPending < total()) {
        const int picture = m_nextPending++;
        if (m_state[size_t(picture)] != State::Pending || m_inFlight[size_t(picture)])
            continue;
        queue(picture, false);
        return true;
    }
    return false;
}

void ThumbnailBuild::queue(int picture, bool show)
{
    m_inFlight[size_t(picture)] = true;
    ++m_running;
    const QString path = m_paths.at(picture);
    m_pool->start([shared = m_shared, picture, show, path, cache = m_cache, sheet = m_sheet] {
        const std::atomic_bool *cancelled = &shared->cancelled;
        if (cancelled->load(std::memory_order_relaxed))
            return;
        QImage image;
        bool has = false;
        if (show) {
            image = makeThumbnail(path, cache, cancelled, sheet);
            has = !image.isNull();
        } else {
            // A fresh cache entry settles the picture without reading its pixels.
            has = hasThumbnail(path, cache, cancelled, sheet, &image);
        }
        // Posted to the build while it is there (stop() clears it under the same lock); a
        // posted call to a build destroyed later is dropped with it.
        std::lock_guard lock(shared->mutex);
        if (ThumbnailBuild *build = shared->receiver) {
            const auto arrive = [build, picture, has, image = std::move(image), show] {
                build->arrived(picture, has, image, show);
            };
            QMetaObject::invokeMethod(build, arrive, Qt::QueuedConnection);
        }
    });
}

void ThumbnailBuild::arrived(int picture, bool has, const QImage &image, bool show)
{
    if (m_stopped)
        return;
    m_inFlight[size_t(picture)] = false;
    --m_running;
    if (has && !image.isNull() && (show || m_wanted.contains(picture))) {
        m_memory.insert(picture, image);
        emit thumbnailReady(picture);
    }
    // A receiver may stop the build (the window closing) while it takes a signal.
    if (m_stopped)
        return;
    // A picture made before that cannot be made again (its file went) has no thumbnail any more.
    if (!has && m_state[size_t(picture)] == State::Made) {
        m_state[size_t(picture)] = State::None;
        emit noThumbnail(picture);
        if (m_stopped)
            return;
    }
    if (m_state[size_t(picture)] == State::Pending) {
        m_state[size_t(picture)] = has ? State::Made : State::None;
        ++m_settled;
        if (!has)
            emit noThumbnail(picture);
        if (m_stopped)
            return;
        emit progressChanged(m_settled, total());
        if (m_stopped)
            return;
        if (m_settled == total())
            emit finished();
        if (m_stopped)
            return;
    }
    topUp();
}

} // namespace pixdock::thumbnails
