// The hourglass while a command works; restored when the scope ends, however it ends.
#pragma once

#include <QGuiApplication>

namespace pixdock {

class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { restore(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
    void restore()
    {
        if (m_active) {
            m_active = false;
            QGuiApplication::restoreOverrideCursor();
        }
    }

private:
    bool m_active = true;
};

} // namespace pixdock
