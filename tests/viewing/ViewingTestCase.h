// The ground the viewing tests stand on. ViewerTestCase: a fresh program state, a frame with
// its control panel and a folder of the test's own, and no question left unanswered at the
// end. ThumbnailTestCase: a folder of pictures and an empty thumbnail cache of the test's own.
#pragma once

#include "EventLoopWatchdog.h"
#include "HostFrame.h"
#include "ThumbnailCache.h"

#include <QObject>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace pixdock {
class frmViewer;
}

namespace pixdock::test {

// Watches the interface thread from its making: end() is empty when the thread never stood
// still for longer than a hostile file may make it, else tells the longest stall.
class StallWatch
{
public:
    StallWatch();
    QString end();

private:
    EventLoopWatchdog m_watchdog;
};

class ViewerTestCase : public QObject
{
    Q_OBJECT
protected:
    QString folder() const { return m_dir->path(); }
    QString path(const QString &name) const { return m_dir->path() + QLatin1Char('/') + name; }
    HostFrame *frame() const { return m_frame.get(); }
    CommonDialog &dialog() { return m_frame->commonDialog(); }
    // Opens `path` in a new viewer, as Open does, and waits until its picture is decoded.
    static frmViewer *openViewer(const QString &path);

protected slots:
    void init();
    void cleanup();

private:
    std::unique_ptr<HostFrame> m_frame;
    std::unique_ptr<QTemporaryDir> m_dir;
};

class ThumbnailTestCase : public QObject
{
    Q_OBJECT
protected:
    QString pictures() const { return m_pictures->path(); }
    std::optional<QTemporaryDir> m_cacheHome;
    thumbnails::ThumbnailCache m_cache;

private slots:
    void init();

private:
    std::optional<QTemporaryDir> m_pictures;
};

} // namespace pixdock::test
