// Running one picture through a viewer window and the thumbnail maker.
#include "PictureProbe.h"

#include "HostFrame.h"
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
} // namespace

QString outcomeName(ViewerOutcome outcome)
{
    static const QStringList names = {QStringLiteral("shown"), QStringLiteral("partly shown"), QStringLiteral("too large"),
                                      QStringLiteral("invalid"), QStringLiteral("other")};
    return names.at(int(outcome));
}

PictureProbe::PictureProbe()
    : m_frame(std::make_unique<test::HostFrame>())
{
}

PictureProbe::~PictureProbe()
{
    test::resetProgramState();
    m_frame.reset();
}

QImage PictureProbe::intactImage(const QString &path)
{
    auto it = m_intact.find(path);
    if (it == m_intact.end()) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        it = m_intact.insert(path, comparable(reader.read()));
    }
    return *it;
}

ViewerOutcome PictureProbe::viewerOutcome(const BadPicture &picture, QString &detail)
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
    viewer->picFramed()->waitForPicture();
    const QStringList messages = MessageBox::shownTexts();
    ViewerOutcome outcome = ViewerOutcome::Other;
    if (messages.size() == 1 && messages.first() == picture.path + QStringLiteral(" is too large to open.")) {
        outcome = ViewerOutcome::TooLarge;
    } else if (messages.size() == 1
               && messages.first() == picture.path + QStringLiteral(" is invalid.\rLoad next file?")) {
        outcome = ViewerOutcome::Invalid;
    } else if (messages.isEmpty() && viewer->picFramed()->isVisibleTo(viewer) && viewer->picFramed()->isComplete()) {
        const QImage shown = comparable(viewer->picFramed()->picture());
        outcome = shown == intactImage(picture.intactPath) ? ViewerOutcome::Shown : ViewerOutcome::PartlyShown;
    } else {
        detail = messages.isEmpty() ? QStringLiteral("nothing shown, nothing said")
                                    : messages.join(QStringLiteral(" | "));
    }
    viewer->unload();
    test::flushDeletes();
    MessageBox::clearRecord();
    return outcome;
}

PictureResult PictureProbe::probe(const BadPicture &picture)
{
    PictureResult result;
    result.viewer = viewerOutcome(picture, result.detail);
    const thumbnails::ThumbnailCache cache(m_cache.path());
    const QImage first = thumbnails::makeThumbnail(picture.path, cache);
    const QImage again = thumbnails::makeThumbnail(picture.path, cache);
    result.thumbnail = !first.isNull() && first.size() == thumbnails::SheetSize;
    result.thumbnailConsistent = first.isNull() == again.isNull()
                                 && (first.isNull() || first.size() == thumbnails::SheetSize);
    return result;
}

} // namespace pixdock::reliability
