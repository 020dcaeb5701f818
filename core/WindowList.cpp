// The open-window list and the shared instances.
#include "WindowList.h"

#include "ChildWindow.h"

namespace pixdock {

WindowList &WindowList::instance()
{
    static WindowList list;
    return list;
}

void WindowList::compact() const
{
    m_windows.removeIf([](const QPointer<QWidget> &w) { return w.isNull(); });
}

void WindowList::enter(QWidget *window)
{
    if (window && indexOf(window) < 0)
        m_windows.append(window);
}

void WindowList::leave(QWidget *window)
{
    m_windows.removeIf([window](const QPointer<QWidget> &w) { return w.isNull() || w == window; });
    for (auto it = m_shared.begin(); it != m_shared.end();) {
        if (it.value().isNull())
            it = m_shared.erase(it);
        else
            ++it;
    }
}

int WindowList::count() const
{
    compact();
    return int(m_windows.size());
}

QWidget *WindowList::at(int position) const
{
    compact();
    return position >= 0 && position < m_windows.size() ? m_windows.at(position).data() : nullptr;
}

QString WindowList::captionAt(int position) const
{
    QWidget *w = at(position);
    return w ? w->windowTitle() : QString();
}

int WindowList::indexOf(const QWidget *window) const
{
    compact();
    for (int i = 0; i < m_windows.size(); ++i) {
        if (m_windows.at(i) == window)
            return i;
    }
    return -1;
}

QList<QWidget *> WindowList::windows() const
{
    compact();
    QList<QWidget *> result;
    for (const auto &w : m_windows)
        result.append(w.data());
    return result;
}

bool WindowList::hasChildCaptioned(const QString &text) const
{
    const QList<QWidget *> all = windows();
    for (int i = 1; i < all.size(); ++i) {
        if (all.at(i)->windowTitle() == text)
            return true;
    }
    return false;
}

QWidget *WindowList::sharedInstance(std::type_index type) const
{
    auto it = m_shared.constFind(type);
    return it == m_shared.constEnd() ? nullptr : it.value().data();
}

void WindowList::setSharedInstance(std::type_index type, QWidget *window)
{
    m_shared.insert(type, window);
}

void WindowList::forgetSharedInstance(std::type_index type)
{
    m_shared.remove(type);
}

void WindowList::clear()
{
    m_windows.clear();
    m_shared.clear();
}

void unloadWindow(QWidget *window)
{
    if (!window)
        return;
    if (auto *child = qobject_cast<ChildWindow *>(window))
        child->unload();
    else
        window->close();
}

void closeLoneViewer()
{
    auto &list = WindowList::instance();
    if (list.count() == 3 && list.captionAt(2) == caption::Viewer)
        unloadWindow(list.at(2));
}

void closeViewerAtPosition2()
{
    auto &list = WindowList::instance();
    if (list.count() > 2 && list.captionAt(2) == caption::Viewer)
        unloadWindow(list.at(2));
}

void closeAllViewers()
{
    // The list shrinks as windows close, so collect first.
    const QList<QWidget *> all = WindowList::instance().windows();
    for (QWidget *w : all) {
        if (w->windowTitle() == caption::Viewer)
            unloadWindow(w);
    }
}

} // namespace pixdock
