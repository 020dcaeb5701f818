// Whether the browser control is busy, as the window's busy timer asks it.
//
// The web view reports a load only after a short while (loadStarted arrives asynchronously),
// and same-document navigations report no load at all, only the new address. So a navigation
// the window asks for counts as busy from the moment it is asked for until the view reports a
// start, an end or a new address, or, when the view reports nothing at all, for a short grace
// period; a started load counts as busy until it finishes.
#pragma once

#include <QtGlobal>

namespace pixdock::browser {

class BusyState
{
public:
    // How long a requested navigation that the view never reports keeps the window busy.
    static constexpr qint64 RequestGraceMs = 2000;

    void navigationRequested(qint64 nowMs);
    void loadStarted();
    void loadFinished();
    void addressChanged();
    void stopped();

    bool isBusy(qint64 nowMs) const;

private:
    bool m_loading = false;
    bool m_requested = false;
    qint64 m_requestedAt = 0;
};

} // namespace pixdock::browser
