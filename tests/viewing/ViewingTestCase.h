// The ground the viewing tests stand on. (The stall guard every test executable runs fails a
// test in which the interface thread stands still too long, so the files that once froze the
// program need no watch of their own.) ViewerTestCase: a fresh program state, a frame with
// its control panel and a folder of the test's own, and no question left unanswered at the
// end. ThumbnailTestCase: a folder of pictures and an empty thumbnail cache of the test's own.
#pragma once

// It also brings what nearly every viewing test uses, so that each test file names only
// what is its own.
#include "FolderListing.h"
#include "FolderStepping.h"
#include "Frame.h"
#include "HostFrame.h"
#include "JpegDecoder.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "PictureBox.h"
#include "PictureLoader.h"
#include "PicturePreloader.h"
#include "Pictures.h"
#include "RunTimeError.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "ThumbnailLoader.h"
#include "Twips.h"
#include "ViewingTestFiles.h"
#include "WindowList.h"
#include "frmViewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>
#include <optional>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pixdock::test {

// A data table's columns, one type each, named in order: columns<QString, bool>("name", "ok").
template<class... T, class... Name>
void columns(const Name &...names)
{
    static_assert(sizeof...(T) == sizeof...(Name));
    (QTest::addColumn<T>(names), ...);
}

// The current row's values of those columns: auto [name, ok] = fetch<QString, bool>("name", "ok").
template<class... T, class... Name>
std::tuple<T...> fetch(const Name &...names)
{
    static_assert(sizeof...(T) == sizeof...(Name));
    return {*static_cast<T *>(QTest::qData(names, qMetaTypeId<T>()))...};
}

// The captions of the open windows, in their order.
inline QStringList captions()
{
    QStringList all;
    for (QWidget *w : WindowList::instance().windows())
        all << w->windowTitle();
    return all;
}

class ViewerTestCase : public QObject
{
    Q_OBJECT
protected:
    QString folder() const { return m_dir->path(); }
    QString path(const QString &name) const { return m_dir->path() + QLatin1Char('/') + name; }
    HostFrame *frame() const { return m_frame.get(); }
    CommonDialog &dialog() { return m_frame->commonDialog(); }
    // Writes a picture into the test's folder; returns its path.
    QString picture(const QString &name, QSize size = {30, 20}, QColor colour = Qt::darkCyan) const
    {
        return writePicture(folder(), name, size, colour);
    }
    // Opens `path` in a new viewer, as Open does; openViewer waits until its picture is decoded.
    static frmViewer *openNew(const QString &path) { gCurrentPath = path; return frmViewer::openNew(); }
    static frmViewer *openViewer(const QString &path);
    // Shows a file of the folder as a command would: current path, a viewer, the status panel.
    frmViewer *show(const QString &name) const;
    // The current path, with the status panel's text after a bar where the two differ.
    static QString shownPath();
    // The viewer after the frame and the panel, or null.
    static frmViewer *firstViewer() { return qobject_cast<frmViewer *>(WindowList::instance().at(2)); }

protected slots:
    void init();
    void cleanup();

private:
    std::unique_ptr<HostFrame> m_frame;
    std::unique_ptr<QTemporaryDir> m_dir;
};

// The stamp of a picture, as the cache names its entry.
inline thumbnails::PictureStamp stampOf(const QString &path)
{
    thumbnails::PictureStamp stamp;
    return thumbnails::stampPicture(path, stamp) ? stamp : thumbnails::PictureStamp();
}

class ThumbnailTestCase : public QObject
{
    Q_OBJECT
protected:
    QString pictures() const { return m_pictures->path(); }
    // The cache's entry for a picture.
    thumbnails::CacheEntry entryOf(const QString &path) const { return m_cache.read(test::stampOf(path)); }
    std::optional<QTemporaryDir> m_cacheHome;
    thumbnails::ThumbnailCache m_cache; // under m_cacheHome

protected slots:
    void init();

private:
    std::optional<QTemporaryDir> m_pictures;
};

} // namespace pixdock::test

// The viewing tests read as the program's own code does, in its names.
using namespace pixdock;
using namespace pixdock::viewing;
using namespace pixdock::thumbnails;
