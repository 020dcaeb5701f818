// Running one picture through a viewer window and the thumbnail maker.
#include "PictureProbe.h"

#include "MessageBox.h"
#include "ModGlobal.h"
#include "PictureBox.h"
#include "TestState.h"
#include "ThumbnailLoader.h"
#include "frmViewer.h"

#include <QImageReader>

namespace pixdock::reliability {

namespace {
QImage comparable(const QImage &image) { return image.convertToFormat(QImage::Format_ARGB32); }

ViewerOutcome viewerOutcome(const BadPicture &picture, QString &detail)
{
    MessageBox::clearRecord();
    gCurrentPath = picture.path;
    frmViewer *viewer = nullptr;
    try {
        viewer = frmViewer::openNew();
    } catch (const std::exception &e) {
        detail = QStringLiteral("the viewer did not open: ") + QString::fromLocal8Bit(e.what());
        return ViewerOutcome::Other;
    }
    // A large picture shown by its first part is judged whole.
    auto *box = viewer->picFramed();
    box->waitForPicture();
    const QStringList messages = MessageBox::shownTexts();
    ViewerOutcome outcome = ViewerOutcome::Other;
    if (messages == QStringList{picture.path + QStringLiteral(" is too large to open.")}) {
        outcome = ViewerOutcome::TooLarge;
    } else if (messages == QStringList{picture.path + QStringLiteral(" is invalid.\rLoad next file?")}) {
        outcome = ViewerOutcome::Invalid;
    } else if (messages.isEmpty() && box->isVisibleTo(viewer) && box->isComplete()) {
        QImageReader intact(picture.intactPath);
        intact.setAutoTransform(true);
        outcome = comparable(box->picture()) == comparable(intact.read()) ? ViewerOutcome::Shown
                                                                          : ViewerOutcome::PartlyShown;
    } else {
        detail = messages.isEmpty() ? QStringLiteral("nothing shown, nothing said") : messages.join(QStringLiteral(" | "));
    }
    viewer->unload();
    test::flushDeletes();
    return outcome;
}
} // namespace

QString outcomeName(ViewerOutcome outcome)
{
    static const QStringList names = {QStringLiteral("shown"), QStringLiteral("partly shown"), QStringLiteral("too large"),
                                      QStringLiteral("invalid"), QStringLiteral("other")};
    return names.at(int(outcome));
}

PictureProbe::~PictureProbe() { test::resetProgramState(); }

PictureResult PictureProbe::probe(const BadPicture &picture)
{
    PictureResult result;
    result.viewer = viewerOutcome(picture, result.detail);
    const thumbnails::ThumbnailCache cache(m_cache.path());
    const QImage first = thumbnails::makeThumbnail(picture.path, cache),
                 again = thumbnails::makeThumbnail(picture.path, cache);
    result.thumbnail = !first.isNull() && first.size() == thumbnails::SheetSize;
    result.thumbnailConsistent = first.isNull() == again.isNull() && (first.isNull() || result.thumbnail);
    return result;
}

} // namespace pixdock::reliability
