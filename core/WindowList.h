// The open-window list: every loaded window in load order, and the shared instance of each
// window type. Position 0 is the main window, position 1 the control panel.
#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <typeindex>

namespace pixdock {

// Captions by which windows recognise each other.
namespace caption {
inline const QString Viewer = QStringLiteral("Image Viewer");
inline const QString ImageList = QStringLiteral("Database Image List");
inline const QString Search = QStringLiteral("Search Database");
} // namespace caption

class WindowList
{
public:
    static WindowList &instance();

    // A window enters when it loads and leaves when it unloads; the ones behind move up.
    void enter(QWidget *window);
    void leave(QWidget *window);

    int count() const;
    QWidget *at(int position) const;
    QString captionAt(int position) const;
    int indexOf(const QWidget *window) const;
    QList<QWidget *> windows() const;
    // Whether a window at position 1 or later carries exactly this caption.
    bool hasChildCaptioned(const QString &text) const;

    QWidget *sharedInstance(std::type_index type) const;
    void setSharedInstance(std::type_index type, QWidget *window);
    void forgetSharedInstance(std::type_index type);

    // Forgets every window and shared instance (between tests).
    void clear();

private:
    void compact() const;

    mutable QList<QPointer<QWidget>> m_windows;
    QHash<std::type_index, QPointer<QWidget>> m_shared;
};

// The shared instance of T, created and loaded on first use. T needs a default constructor
// and a load() that may throw; a window whose load fails is not kept.
template<class T>
T *sharedWindow()
{
    auto &list = WindowList::instance();
    if (QWidget *existing = list.sharedInstance(typeid(T)))
        return static_cast<T *>(existing);
    auto *window = new T();
    list.setSharedInstance(typeid(T), window);
    try {
        window->load();
    } catch (...) {
        list.forgetSharedInstance(typeid(T));
        list.leave(window);
        window->deleteLater();
        throw;
    }
    return window;
}

// The shared instance of T if it is loaded, else nullptr.
template<class T>
T *loadedSharedWindow()
{
    return static_cast<T *>(WindowList::instance().sharedInstance(typeid(T)));
}

template<class T>
void forgetSharedWindow()
{
    WindowList::instance().forgetSharedInstance(typeid(T));
}

// Unloads the window at position 2 when it is a viewer and exactly three windows are open
// (with the start-up layout of frame and panel, the one viewer on screen).
void closeLoneViewer();
// Unloads the window at position 2 when it is a viewer, however many windows are open.
void closeViewerAtPosition2();
// Unloads every viewer window, wherever it stands.
void closeAllViewers();
// Unloads one window: a child window closes (and is destroyed soon after), anything else closes.
void unloadWindow(QWidget *window);

} // namespace pixdock
