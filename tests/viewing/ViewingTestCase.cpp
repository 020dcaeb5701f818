// The ground the viewing tests stand on.
#include "ViewingTestCase.h"

namespace pixdock::test {

frmViewer *ViewerTestCase::openViewer(const QString &path)
{
    frmViewer *viewer = openNew(path);
    viewer->picFramed()->waitForPicture();
    return viewer;
}

frmViewer *ViewerTestCase::show(const QString &name) const
{
    frmViewer *viewer = openNew(path(name));
    setFrameStatusText(gCurrentPath);
    return viewer;
}

QString ViewerTestCase::shownPath()
{
    return frameStatusText() == gCurrentPath ? gCurrentPath : gCurrentPath + " | status: " + frameStatusText();
}

void ViewerTestCase::init()
{
    resetProgramState();
    m_frame = std::make_unique<HostFrame>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void ViewerTestCase::cleanup()
{
    QCOMPARE(unusedOrMissingAnswers(), QString());
    resetProgramState();
    m_frame.reset();
    viewing::PicturePreloader::instance().clear();
    QCOMPARE(WindowList::instance().count(), 0);
}

void ThumbnailTestCase::init()
{
    m_pictures.emplace();
    m_cacheHome.emplace();
    m_cache = thumbnails::ThumbnailCache(m_cacheHome->filePath(QStringLiteral("thumbnails")));
}

} // namespace pixdock::test
