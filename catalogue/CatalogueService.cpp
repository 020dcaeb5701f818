// The catalogue's worker threads: a pool for snapshot loads, one writer for writes and upkeep.
#include "CatalogueService.h"

#include "CatalogueEngine.h"
#include "CatalogueSnapshotFeed.h"
#include "CatalogueStatements.h"
#include "ModGlobal.h"
#include "NameOrder.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <QThreadPool>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace pixdock::catalogue {

namespace {

using Clock = std::chrono::steady_clock;
// How soon the upkeep tries again when the catalogue was busy.
constexpr auto UpkeepRetry = std::chrono::milliseconds(300);
// How long a write waits for this program's own loads to end before it goes ahead anyway.
constexpr auto LongestWaitForLoads = std::chrono::seconds(30);

void postToInterface(std::function<void()> call)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, std::move(call), Qt::QueuedConnection);
}

// A write's answer, handed from the writer to the waiting interface thread.
struct Answer
{
    bool done = false;
    std::exception_ptr error;
    QPointer<QEventLoop> loop;
};

} // namespace

struct CatalogueService::Private : std::enable_shared_from_this<Private>
{
    std::mutex mutex;
    std::condition_variable wake;
    // This program's own loads in progress: a write waits for them, since a read transaction
    // of ours would otherwise hold the write up until its busy timeout.
    int loadsRunning = 0;
    std::condition_variable loadsDone;

    std::deque<std::function<void(CatalogueSession *, const std::exception_ptr &)>> jobs;
    bool upkeepWanted = false;
    // Counts the calls for upkeep; a step that ends Done settles only the calls made before it
    // began (a locale change or a write during the step asks for another round).
    quint64 upkeepAsked = 0;
    Clock::time_point upkeepNotBefore;
    std::vector<std::shared_ptr<Answer>> upkeepWaiters;
    bool stopping = false;
    std::thread writer;
    std::unique_ptr<QThreadPool> loads;

    void writerLoop();
    void runJob(const std::function<void(CatalogueSession *, const std::exception_ptr &)> &job,
                std::unique_ptr<CatalogueSession> &session);
    CatalogueSession::Upkeep upkeepStep(std::unique_ptr<CatalogueSession> &session);
    void waitForLoads();
    void answerUpkeepWaiters();
};

void CatalogueService::Private::waitForLoads()
{
    std::unique_lock lock(mutex);
    loadsDone.wait_for(lock, LongestWaitForLoads, [this] { return loadsRunning == 0 || stopping; });
}

void CatalogueService::Private::runJob(
    const std::function<void(CatalogueSession *, const std::exception_ptr &)> &job,
    std::unique_ptr<CatalogueSession> &session)
{
    std::exception_ptr failure;
    try {
        if (!session)
            session = openSession();
        waitForLoads();
    } catch (...) {
        failure = std::current_exception();
    }
    job(session.get(), failure);
}

CatalogueSession::Upkeep CatalogueService::Private::upkeepStep(std::unique_ptr<CatalogueSession> &session)
{
    {
        std::lock_guard lock(mutex);
        if (loadsRunning > 0)
            return CatalogueSession::Upkeep::Later;
    }
    try {
        if (!session)
            session = openSession();
        return session->upkeepStep();
    } catch (...) {
        // No usable catalogue now: the next write or load says why; nothing to keep up.
        return CatalogueSession::Upkeep::Done;
    }
}

void CatalogueService::Private::answerUpkeepWaiters()
{
    for (const auto &waiter : std::exchange(upkeepWaiters, {})) {
        postToInterface([waiter] {
            waiter->done = true;
            if (waiter->loop)
                waiter->loop->quit();
        });
    }
}

void CatalogueService::Private::writerLoop()
{
    std::unique_ptr<CatalogueSession> session;
    std::unique_lock lock(mutex);
    while (!stopping) {
        if (!jobs.empty()) {
            auto job = std::move(jobs.front());
            jobs.pop_front();
            lock.unlock();
            runJob(job, session);
            lock.lock();
            continue;
        }
        if (upkeepWanted && Clock::now() >= upkeepNotBefore) {
            const quint64 askedBefore = upkeepAsked;
            lock.unlock();
            const CatalogueSession::Upkeep step = upkeepStep(session);
            lock.lock();
            if (step == CatalogueSession::Upkeep::Done && upkeepAsked == askedBefore) {
                upkeepWanted = false;
                answerUpkeepWaiters();
            } else if (step == CatalogueSession::Upkeep::Later) {
                upkeepNotBefore = Clock::now() + UpkeepRetry;
            }
            continue;
        }
        if (upkeepWanted)
            wake.wait_until(lock, upkeepNotBefore);
        else
            wake.wait(lock);
    }
    // Jobs nobody will run are answered, so no window waits for them.
    const auto closed = std::make_exception_ptr(
        RunTimeError(err::DatabaseError, QStringLiteral("The catalogue was closed.")));
    for (auto &job : std::exchange(jobs, {})) {
        lock.unlock();
        job(nullptr, closed);
        lock.lock();
    }
    answerUpkeepWaiters();
    lock.unlock();
    session.reset();
}

CatalogueService &CatalogueService::instance()
{
    static CatalogueService service;
    return service;
}

CatalogueService::CatalogueService()
    : d(std::make_shared<Private>())
{
}

void CatalogueService::start()
{
    stop();
    {
        std::lock_guard lock(d->mutex);
        d->stopping = false;
        d->upkeepWanted = true;
        ++d->upkeepAsked;
        d->upkeepNotBefore = Clock::now();
    }
    d->loads = std::make_unique<QThreadPool>();
    d->loads->setMaxThreadCount(2);
    d->writer = std::thread([p = d.get()] { p->writerLoop(); });

    static bool hooked = false;
    if (!hooked) {
        hooked = true;
        // Threads must end before the application does, and between tests.
        qAddPostRoutine([] { CatalogueService::instance().stop(); });
        onSharedStateReset([] { CatalogueService::instance().stop(); });
        // A stored order made under another locale is made again.
        names::onChange([] { CatalogueService::instance().scheduleUpkeep(); });
    }
    names::watchLocaleChanges();
}

void CatalogueService::stop()
{
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
    }
    d->wake.notify_all();
    d->loadsDone.notify_all();
    if (d->writer.joinable())
        d->writer.join();
    if (d->loads) {
        d->loads->waitForDone();
        d->loads.reset();
    }
}

namespace {

std::shared_ptr<CatalogueSnapshot> startLoad(const std::shared_ptr<CatalogueService::Private> &d,
                                             std::function<void(CatalogueSession &, SnapshotSink &)> read)
{
    auto snapshot = std::make_shared<CatalogueSnapshot>();
    if (!d->loads)
        CatalogueService::instance().start();
    {
        std::lock_guard lock(d->mutex);
        ++d->loadsRunning;
    }
    std::weak_ptr<CatalogueSnapshot> target = snapshot;
    std::shared_ptr<LoadControl> control = snapshot->control();
    d->loads->start([d, target, control, read = std::move(read)] {
        {
            SnapshotFeed feed(target, control);
            try {
                std::unique_ptr<CatalogueSession> session = openSession();
                read(*session, feed);
                feed.finish(std::nullopt);
            } catch (const RunTimeError &e) {
                feed.finish(e);
            } catch (const std::exception &e) {
                feed.finish(RunTimeError(0, QString::fromLocal8Bit(e.what())));
            }
        }
        {
            std::lock_guard lock(d->mutex);
            --d->loadsRunning;
            // A load may have met changes that the derived data has not taken in yet.
            d->upkeepWanted = true;
            ++d->upkeepAsked;
        }
        d->loadsDone.notify_all();
        d->wake.notify_all();
    });
    return snapshot;
}

} // namespace

std::shared_ptr<CatalogueSnapshot> CatalogueService::loadList()
{
    return startLoad(d, [](CatalogueSession &session, SnapshotSink &sink) { session.readNameOrder(sink); });
}

std::shared_ptr<CatalogueSnapshot> CatalogueService::search(const QString &keywordText)
{
    const QStringList keywords = splitKeywords(keywordText);
    return startLoad(d, [keywords](CatalogueSession &session, SnapshotSink &sink) {
        session.readSearch(keywords, sink);
    });
}

namespace {

// Runs `job` on the writer and waits for it with the event loop running; the job's failure is
// raised here.
void onWriter(const std::shared_ptr<CatalogueService::Private> &d, std::function<void(CatalogueSession &)> job)
{
    if (!d->writer.joinable())
        CatalogueService::instance().start();
    auto answer = std::make_shared<Answer>();
    {
        std::lock_guard lock(d->mutex);
        d->jobs.push_back([answer, job = std::move(job)](CatalogueSession *session, const std::exception_ptr &failed) {
            std::exception_ptr error = failed;
            if (!error) {
                try {
                    job(*session);
                } catch (...) {
                    error = std::current_exception();
                }
            }
            postToInterface([answer, error] {
                answer->error = error;
                answer->done = true;
                if (answer->loop)
                    answer->loop->quit();
            });
        });
    }
    d->wake.notify_all();
    QEventLoop loop;
    answer->loop = &loop;
    while (!answer->done)
        loop.exec();
    if (answer->error)
        std::rethrow_exception(answer->error);
}

} // namespace

int CatalogueService::fileNameCount(const QString &fileName)
{
    int count = 0;
    onWriter(d, [&count, fileName](CatalogueSession &session) { count = session.fileNameCount(fileName); });
    return count;
}

void CatalogueService::addRow(const CatalogueRow &row)
{
    onWriter(d, [row](CatalogueSession &session) { session.addRow(row); });
    scheduleUpkeep();
}

int CatalogueService::removeRows(const QString &fileName, const QString &location)
{
    int removed = 0;
    onWriter(d, [&removed, fileName, location](CatalogueSession &session) {
        removed = session.removeRows(fileName, location);
    });
    scheduleUpkeep();
    return removed;
}

void CatalogueService::scheduleUpkeep()
{
    {
        std::lock_guard lock(d->mutex);
        if (!d->writer.joinable())
            return;
        d->upkeepWanted = true;
        ++d->upkeepAsked;
        d->upkeepNotBefore = Clock::now();
    }
    d->wake.notify_all();
}

void CatalogueService::waitForUpkeep()
{
    if (!d->writer.joinable())
        return;
    auto waiter = std::make_shared<Answer>();
    {
        std::lock_guard lock(d->mutex);
        d->upkeepWanted = true;
        ++d->upkeepAsked;
        d->upkeepNotBefore = Clock::now();
        d->upkeepWaiters.push_back(waiter);
    }
    d->wake.notify_all();
    QEventLoop loop;
    waiter->loop = &loop;
    while (!waiter->done)
        loop.exec();
}

} // namespace pixdock::catalogue
