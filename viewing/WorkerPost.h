// What a decode running on a worker shares with the object waiting for it: the worker posts
// its results to the object while the object is there; the object lets go by closing the box,
// which also asks the decode to stop, and never waits for the worker.
#pragma once

#include <QMetaObject>
#include <QThreadPool>

#include <atomic>
#include <mutex>
#include <utility>

namespace pixdock::viewing {

template<class Receiver>
class WorkerPost
{
public:
    explicit WorkerPost(Receiver *receiver)
        : m_receiver(receiver)
    {
    }

    // Set once the result is no longer wanted; the decode reads it between its steps.
    std::atomic_bool cancelled{false};

    // Runs `deliver` with the receiver on its thread, if the receiver is still there then.
    template<class Deliver>
    void post(Deliver &&deliver)
    {
        std::lock_guard lock(m_mutex);
        if (Receiver *to = m_receiver)
            QMetaObject::invokeMethod(to, [to, deliver = std::forward<Deliver>(deliver)] { deliver(to); },
                                      Qt::QueuedConnection);
    }

    // The receiver goes: nothing reaches it any more, and the decode is asked to stop.
    void close()
    {
        cancelled.store(true);
        std::lock_guard lock(m_mutex);
        m_receiver = nullptr;
    }

private:
    std::mutex m_mutex;
    Receiver *m_receiver;
};

// The pool the viewers' decodes run on. It is waited for only when the application ends, so
// that no decode still runs while the application's objects go.
QThreadPool &viewerDecodePool();

} // namespace pixdock::viewing
