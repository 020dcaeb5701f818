// A device that stops giving data once a decode is no longer wanted, so that a reader that
// cannot be stopped otherwise ends at its next read instead of running to the end of a large
// picture.
#pragma once

#include <QIODevice>

#include <atomic>
#include <utility>

namespace pixdock::viewing {

template<class Device>
class Cancellable : public Device
{
public:
    template<class... Args>
    explicit Cancellable(const std::atomic_bool *cancelled, Args &&...args)
        : Device(std::forward<Args>(args)...)
        , m_cancelled(cancelled)
    {
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_cancelled && m_cancelled->load(std::memory_order_relaxed))
            return -1;
        return Device::readData(data, maxSize);
    }

private:
    const std::atomic_bool *m_cancelled;
};

} // namespace pixdock::viewing
