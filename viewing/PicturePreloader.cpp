// The picture preloader: one worker thread, one picture held.
#include "PicturePreloader.h"

#include "FileService.h"
#include "FolderListing.h"
#include "FolderListingCache.h"
#include "PictureLoader.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>


namespace pixdock::viewing {

namespace {
// The whole file, read as the worker read it; a null array when it cannot be read.
QByteArray contentsOf(const QString &path)
{
    try {
        QFile file;
        openPictureFile(file, path);
        return file.readAll();
    } catch (const std::exception &) {
        return {};
    }
}
} // namespace

PicturePreloader::PicturePreloader() { m_pool.setMaxThreadCount(1); }

PicturePreloader::~PicturePreloader() { clear(); }

PicturePreloader &PicturePreloader::instance()
{
    // The worker reads listings: the cache must outlive the preloader.
    FolderListingCache::shared();
    static PicturePreloader preloader;
    static const bool stopsWithTheApplication = [] {
        // No decode may still run while the application's objects go.
        qAddPostRoutine([] { preloader.clear(); });
        return true;
    }();
    Q_UNUSED(stopsWithTheApplication);
    return preloader;
}

void PicturePreloader::setBudgetBytes(qint64 bytes)
{
    {
        std::lock_guard lock(m_mutex);
        m_budget = bytes;
    }
    if (bytes <= 0)
        clear();
}

qint64 PicturePreloader::budgetBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_budget;
}

void PicturePreloader::preload(const QString &path) { request({path, false}); }

void PicturePreloader::preloadNextInFolder(const QString &shownPath) { request({shownPath, true}); }

void PicturePreloader::request(const Request &wanted)
{
    if (wanted.path.isEmpty())
        return;
    std::lock_guard lock(m_mutex);
    if (m_budget <= 0)
        return;
    if (m_held && (m_held->request == wanted || (!wanted.nextInFolder && m_held->path == wanted.path)))
        return;
    m_held.reset();
    const bool onIt = m_working == wanted || (!wanted.nextInFolder && m_decoding == wanted.path);
    if (m_workerRunning && !m_wanted && m_workingGeneration == m_generation && onIt)
        return;
    dropWorkUnderWay();
    m_wanted = wanted;
    if (!m_workerRunning) {
        m_workerRunning = true;
        m_pool.start([this] { runWorker(); });
    }
}

void PicturePreloader::runWorker()
{
    for (;;) {
        Request task;
        quint64 generation = 0;
        qint64 budget = 0;
        {
            std::lock_guard lock(m_mutex);
            if (!m_wanted) {
                m_workerRunning = false;
                m_working = {};
                m_decoded.notify_all();
                return;
            }
            task = *std::exchange(m_wanted, std::nullopt);
            m_working = task;
            m_cancelled.store(false);
            generation = m_generation;
            m_workingGeneration = generation;
            budget = m_budget;
        }
        const QString path = resolve(task);
        {
            std::lock_guard lock(m_mutex);
            if (generation != m_generation || path.isEmpty()) {
                m_working = {};
                continue;
            }
            m_decoding = path;
        }
        std::optional<Held> held = decode(path, budget, &m_cancelled);
        bool kept = false;
        {
            std::lock_guard lock(m_mutex);
            m_decoding.clear();
            m_working = {};
            if (held && generation == m_generation) {
                held->request = task;
                m_held = std::move(held);
                kept = true;
            }
        }
        m_decoded.notify_all();
        QMetaObject::invokeMethod(
            this,
            [this, path, kept] {
                if (kept)
                    emit pictureReady(path);
                emit decodeEnded(path);
            },
            Qt::QueuedConnection);
    }
}

QString PicturePreloader::resolve(const Request &request)
{
    if (!request.nextInFolder)
        return request.path;
    // Folder and name split, and the path joined, exactly as folder stepping does it, so
    // that the path asked for later is the same text.
    const QString folder = fs::parentFolderName(request.path);
    try {
        const auto listing = FolderListingCache::shared().listing(folder);
        const qsizetype at = indexInListing(*listing, fs::fileName(request.path));
        if (at >= 0 && at + 1 < listing->size())
            return fs::joinPath(folder, listing->at(at + 1));
    } catch (const std::exception &) {
    }
    return {};
}

void PicturePreloader::dropWorkUnderWay()
{
    ++m_generation;
    m_cancelled.store(true);
}

std::optional<PicturePreloader::Held> PicturePreloader::decode(const QString &path, qint64 budget,
                                                               const std::atomic_bool *cancelled)
{
    try {
        QFile file;
        openPictureFile(file, path);
        const int fd = file.handle();
        Held held;
        held.path = path;
        held.readAtNs = realTimeNs();
        const std::optional<FileStamp> before = stampOf(fd);
        if (!before || before->size > budget)
            return std::nullopt;
        QByteArray bytes = file.readAll();
        // Written to while it was read: what was read may be torn.
        if (stampOf(fd) != before)
            return std::nullopt;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        held.image = readPicture(&buffer, budget, cancelled);
        held.stamp = *before;
        if (!stampStillHolds(held.stamp, held.stamp, held.readAtNs))
            held.bytes = std::move(bytes);
        return held;
    } catch (const std::exception &) {
        return std::nullopt; // the viewer reads it again and reports what is wrong
    }
}

bool PicturePreloader::stillOnDisk(const Held &held)
{
    const std::optional<FileStamp> now = stampOf(held.path);
    if (stampStillHolds(held.stamp, now, held.readAtNs))
        return true;
    // Changed too recently when it was read for its stamp to tell: compare the contents.
    return now == held.stamp && !held.bytes.isNull() && contentsOf(held.path) == held.bytes;
}

bool PicturePreloader::isReady(const QString &path) const
{
    std::lock_guard lock(m_mutex);
    return m_held && m_held->path == path;
}

std::optional<QImage> PicturePreloader::take(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    std::optional<Held> held;
    {
        std::lock_guard lock(m_mutex);
        if (!m_held || m_held->path != path)
            return std::nullopt;
        held = std::exchange(m_held, std::nullopt);
    }
    if (!stillOnDisk(*held))
        return std::nullopt;
    std::lock_guard lock(m_mutex);
    ++m_handedOver;
    return std::move(held->image);
}

bool PicturePreloader::isDecoding(const QString &path) const
{
    std::lock_guard lock(m_mutex);
    return !path.isEmpty() && m_workerRunning && m_workingGeneration == m_generation && m_decoding == path;
}

void PicturePreloader::waitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    m_decoded.wait(lock, [&] { return !m_workerRunning; });
}

void PicturePreloader::letGo()
{
    std::optional<Held> held;
    {
        std::lock_guard lock(m_mutex);
        dropWorkUnderWay();
        m_wanted.reset();
        held = std::exchange(m_held, std::nullopt);
    }
    m_decoded.notify_all();
    // The picture's memory is given back outside the lock.
}

void PicturePreloader::clear()
{
    letGo();
    m_pool.waitForDone();
}

int PicturePreloader::handedOver() const
{
    std::lock_guard lock(m_mutex);
    return m_handedOver;
}

} // namespace pixdock::viewing
