// Load tracking for the browser window's busy timer.
#include "BusyState.h"

namespace pixdock::browser {

void BusyState::navigationRequested(qint64 nowMs)
{
    m_requested = true;
    m_requestedAt = nowMs;
}

void BusyState::loadStarted()
{
    m_loading = true;
    m_requested = false;
}

void BusyState::loadFinished()
{
    m_loading = false;
    m_requested = false;
}

void BusyState::addressChanged() { m_requested = false; }

void BusyState::stopped()
{
    m_loading = false;
    m_requested = false;
}

bool BusyState::isBusy(qint64 nowMs) const
{
    return m_loading || (m_requested && nowMs - m_requestedAt < RequestGraceMs);
}

} // namespace pixdock::browser
