// Running one picture through a viewer window and the thumbnail maker.
#include "PictureProbe.h"

#include "MessageBox.h"
#include "ModGlobal.h"
#include "PictureBox.h"
#include "TestState.h"
#include "ThumbnailLoader.h"
#include "frmViewer.h"

namespace pixdock::reliability {

QString outcomeName(ViewerOutcome o) { return QStringList{"shown", "partly shown", "too large", "invalid", "other"}.at(int(o)); }

PictureProbe::~PictureProbe() { test::resetProgramState(); }

PictureResult PictureProbe::probe(const BadPicture &picture)
{
    PictureResult result;
    MessageBox::clearRecord();
    gCurrentPath = picture.path;
    frmViewer *viewer = nullptr;
    try {
        viewer = frmViewer::openNew();
    } catch (const std::exception &e) {
        result.detail = QStringLiteral("the viewer did not open: ") + QString::fromLocal8Bit(e.what());
    }
    if (viewer) {
        // A large picture shown by its first part is judged whole.
        auto *box = viewer->picFramed();
        box->waitForPicture();
        const QStringList messages = MessageBox::shownTexts();
        if (messages == QStringList{picture.path + " is too large to open."}) {
            result.viewer = ViewerOutcome::TooLarge;
        } else if (messages == QStringList{picture.path + " is invalid.\rLoad next file?"}) {
            result.viewer = ViewerOutcome::Invalid;
        } else if (messages.isEmpty() && box->isVisibleTo(viewer) && box->isComplete()) {
            const QImage intact(picture.intactPath); // no orientation: shown as it is stored
            result.viewer = box->picture().convertToFormat(QImage::Format_ARGB32) == intact.convertToFormat(QImage::Format_ARGB32)
                                ? ViewerOutcome::Shown : ViewerOutcome::PartlyShown;
        } else {
            result.detail = messages.isEmpty() ? QStringLiteral("nothing shown, nothing said") : messages.join(" | ");
        }
        viewer->unload();
        test::flushDeletes();
    }
    const thumbnails::ThumbnailCache cache(m_cache.path());
    const QImage first = thumbnails::makeThumbnail(picture.path, cache), again = thumbnails::makeThumbnail(picture.path, cache);
    result.thumbnail = !first.isNull() && first.size() == thumbnails::SheetSize;
    result.thumbnailConsistent = first.isNull() == again.isNull() && (first.isNull() || result.thumbnail);
    return result;
}

} // namespace pixdock::reliability
