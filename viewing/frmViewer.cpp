// The viewer window: placing itself, loading the picture and laying out frame and scroll bars.
#include "frmViewer.h"

#include "FileErrors.h"
#include "FileService.h"
#include "FirstPaint.h"
#include "Frame.h"
#include "FolderListing.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "PictureBox.h"
#include "PictureDecode.h"
#include "PictureLoader.h"
#include "PicturePreloader.h"
#include "RunTimeError.h"
#include "Twips.h"
#include "ViewerLayout.h"
#include "WindowList.h"
#include "clsFiles.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>
#include <cstdlib>
#include <optional>

namespace pixdock {

using namespace viewing;

namespace {
void placeTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips::rectToPixels(left, top, width, height));
}

void placeTwips(QWidget *widget, const QRect &r)
{
    placeTwips(widget, r.left(), r.top(), r.width(), r.height());
}

// The outer width of a window of the open-window list, in twips.
int outerWidthTwips(QWidget *window)
{
    if (!window)
        return 0;
    if (auto *child = qobject_cast<ChildWindow *>(window))
        return child->widthTwips();
    if (auto *f = dynamic_cast<Frame *>(window))
        return f->widthTwips();
    return twips::fromPixels(window->frameGeometry().width());
}

// The scroll handlers react to a finished change: a click on an arrow or the track, or the
// end of a drag; not to each step of the thumb while it is dragged.
void connectChange(QScrollBar *bar, frmViewer *viewer, void (frmViewer::*handler)())
{
    QObject::connect(bar, &QScrollBar::valueChanged, viewer, [bar, viewer, handler] {
        if (!bar->isSliderDown())
            (viewer->*handler)();
    });
    QObject::connect(bar, &QScrollBar::sliderReleased, viewer, handler);
}
} // namespace

frmViewer::frmViewer()
    : m_framePicHolder(new QFrame(this))
    , m_picFramed(new PictureBox(m_framePicHolder))
    , m_hScroll(new QScrollBar(Qt::Horizontal, this))
    , m_vScroll(new QScrollBar(Qt::Vertical, this))
    , m_cmdClose(new QPushButton(QStringLiteral("Close"), this))
    , m_frame(120, 120, 2775, 4215)
{
    setObjectName(QStringLiteral("frmViewer"));
    m_framePicHolder->setObjectName(QStringLiteral("framePicHolder"));
    m_framePicHolder->setFrameShape(QFrame::NoFrame);
    // The picture takes the focus (first of the window's controls, or by a click on it) so
    // that the keys scroll it; the wheel over it scrolls it too.
    m_framePicHolder->setFocusPolicy(Qt::StrongFocus);
    m_framePicHolder->installEventFilter(this);
    placeTwips(m_framePicHolder, m_frame);

    m_picFramed->setObjectName(QStringLiteral("picFramed"));
    placeTwips(m_picFramed, 480, 1080, 1935, 1455);
    // Once the rest of a large picture is decoded, the folder's next file is made ready.
    connect(m_picFramed, &PictureBox::completed, this,
            [this] { PicturePreloader::instance().preloadNextInFolder(m_shownPath); });
    connect(m_picFramed, &PictureBox::failed, this, &frmViewer::pictureFailedLate);
    // A picture the preloader was decoding when this viewer asked for it is taken from it.
    connect(&PicturePreloader::instance(), &PicturePreloader::decodeEnded, this, [this](const QString &path) {
        if (m_awaitedFromPreloader && path == m_shownPath)
            preloadEnded();
    });

    for (QScrollBar *bar : {m_hScroll, m_vScroll}) {
        bar->setRange(0, 32767);
        bar->setValue(0);
        bar->setSingleStep(1);
        bar->setPageStep(1);
    }
    m_hScroll->setObjectName(QStringLiteral("hScroll"));
    placeTwips(m_hScroll, 120, 4560, 3135, ScrollBarThickness);
    m_vScroll->setObjectName(QStringLiteral("vScroll"));
    placeTwips(m_vScroll, 3240, 600, ScrollBarThickness, 2655);

    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    placeTwips(m_cmdClose, 240, 6960, 1335, 495);

    connectChange(m_hScroll, this, &frmViewer::hScroll_Change);
    connectChange(m_vScroll, this, &frmViewer::vScroll_Change);
    connect(m_cmdClose, &QPushButton::clicked, this, &frmViewer::cmdClose_Click);
}

frmViewer *frmViewer::openNew(bool bringToFront)
{
    auto *viewer = new frmViewer;
    try {
        viewer->load();
    } catch (...) {
        if (!viewer->subWindow())
            viewer->deleteLater();
        throw;
    }
    viewer->showWindow();
    if (bringToFront)
        viewer->bringToFront();
    return viewer;
}

frmViewer *frmViewer::openShared()
{
    if (frmViewer *old = loadedSharedWindow<frmViewer>())
        old->unload();
    frmViewer *viewer = sharedWindow<frmViewer>();
    viewer->showWindow();
    return viewer;
}

void frmViewer::Form_Load()
{
    placeWindow();
    ShowPicture(gCurrentPath);
    setWindowTitle(caption::Viewer);
    m_cmdClose->move(m_cmdClose->x(), twips::toPixels(closeButtonTop(m_frame.height())));
}

void frmViewer::Form_Unload()
{
    forgetSharedWindow<frmViewer>();
    // With no viewer left, the picture made ready for the next one is let go. A step closes
    // the old viewer before it opens the new one, so this is decided once the step is done.
    QMetaObject::invokeMethod(
        qApp,
        [] {
            if (!WindowList::instance().hasChildCaptioned(caption::Viewer))
                PicturePreloader::instance().letGo();
        },
        Qt::QueuedConnection);
}

void frmViewer::placeWindow()
{
    const auto &list = WindowList::instance();
    setLeftTwips(panelWidthTwips());
    setTopTwips(0);
    setHeightTwips(panelHeightTwips());
    const double width = outerWidthTwips(list.at(0)) - 1.25 * outerWidthTwips(list.at(1));
    setWidthTwips(int(twips::roundHalfEven(width)));
}

void frmViewer::ShowPicture(const QString &path)
{
    m_vScroll->hide();
    m_hScroll->hide();
    m_vScroll->setValue(0);
    m_hScroll->setValue(0);

    m_frame = viewerFrame(widthTwips(), heightTwips());
    placeTwips(m_framePicHolder, m_frame);
    m_picFramed->hide();

    QString current = path;
    for (;;) {
        try {
            showLoadedPicture(current);
            return;
        } catch (const RunTimeError &e) {
            if (!moveOnAfter(e))
                return;
            current = gCurrentPath;
        } catch (const std::exception &) {
            setFrameStatusText(gCurrentPath);
            return;
        }
    }
}

bool frmViewer::moveOnAfter(const RunTimeError &e)
{
    if (e.number() == err::InvalidPicture && moveToNextFile())
        return true;
    reportUnshown(e);
    // Nothing is on screen: the status bar names the picture this viewer was asked for,
    // never the one shown before it, so that Properties, Add and Next work on this file.
    setFrameStatusText(gCurrentPath);
    return false;
}

void frmViewer::reportUnshown(const RunTimeError &e)
{
    switch (e.number()) {
    case err::PathNotFound:
        MessageBox::show(QStringLiteral("File was not found"));
        break;
    case PictureTooLarge:
        MessageBox::show(gCurrentPath + QStringLiteral(" is too large to open."));
        break;
    default:
        // A file that is there but cannot be read (no permission, a failing disk) says why; a
        // folder under a picture's name, or a file gone, says nothing.
        if (isUnreadableError(e))
            MessageBox::show(gCurrentPath + QStringLiteral(" cannot be read: ") + e.description() + QLatin1Char('.'));
        break;
    }
}

void frmViewer::showLoadedPicture(const QString &path)
{
    PicturePreloader &preloader = PicturePreloader::instance();
    dropDecode();
    // One screen pixel for each picture pixel: on a screen of higher density the picture covers
    // fewer of the layout's points, and the frame shows more of its pixels.
    const qreal density = devicePixelRatioF();
    m_picFramed->setDensity(density);
    std::optional<QImage> preloaded = preloader.take(path);
    std::optional<FirstPaint> first;
    if (!preloaded && !m_wholeOnly)
        first = paintFirstWhatShows(path, twips::sizeToPixels(m_frame.width(), m_frame.height()) * density);
    QSize size;
    if (preloaded) {
        m_picFramed->setPicture(*preloaded);
        size = preloaded->size();
    } else if (first) {
        m_picFramed->beginPicture(first->size, first->piece, QPoint(0, 0), std::move(first->completion));
        size = first->size;
    } else {
        size = beginWholePicture(path);
    }
    m_shownPath = path;
    layOut(size);
    m_picFramed->show();
    setFrameStatusText(gCurrentPath);
    // While this one is looked at, the folder's next file is made ready for Next Image; a
    // picture still being decoded asks for it when it is complete.
    if (m_picFramed->isComplete())
        preloader.preloadNextInFolder(path);
}

void frmViewer::layOut(QSize picture)
{
    m_laidOutFor = picture;
    const qreal density = m_picFramed->density();
    const auto shownTwips = [density](int pixels) {
        return qint64(std::llround(double(twips::fromPixels(1)) * pixels / density));
    };
    const ViewerLayout layout =
        layoutViewer(widthTwips(), heightTwips(), shownTwips(picture.width()), shownTwips(picture.height()));
    m_hScroll->move(m_hScroll->x(), twips::toPixels(layout.hScrollTop));
    m_picFramed->move(twips::pointToPixels(m_frame.left(), m_frame.top()));

    const std::pair<QScrollBar *, const ScrollBarLayout *> bars[] = {{m_vScroll, &layout.vScroll},
                                                                      {m_hScroll, &layout.hScroll}};
    for (const auto &[bar, setup] : bars) {
        if (!setup->visible) {
            bar->hide();
            continue;
        }
        bar->setMaximum(setup->maximum);
        bar->setSingleStep(setup->smallStep);
        bar->setPageStep(setup->largeStep);
        placeTwips(bar, setup->geometry);
        bar->show();
    }
}

QSize frmViewer::beginWholePicture(const QString &path)
{
    // The header says how large the picture is (and refuses what is no picture, or too large,
    // at once); the window is laid out for it while the pixels are decoded on a worker.
    QFile file;
    const QSize size = loadPictureSize(file, path);
    const QSize laidOut = size.isValid() ? size : QSize(0, 0);
    m_picFramed->beginPicture(laidOut, QImage(), QPoint(), nullptr);
    // The preloader may be on this very file: its picture is taken when it is done.
    m_awaitedFromPreloader = PicturePreloader::instance().isDecoding(path);
    if (!m_awaitedFromPreloader)
        receiveDecode(new PictureDecode(file.handle(), this));
    return laidOut;
}

void frmViewer::receiveDecode(PictureDecode *decode)
{
    m_decode = decode;
    connect(m_decode, &PictureDecode::decoded, this, &frmViewer::wholePictureArrived);
    connect(m_decode, &PictureDecode::failed, this, [this](int number, const QString &description) {
        wholePictureFailed(RunTimeError(number, description));
    });
}

void frmViewer::dropDecode()
{
    m_awaitedFromPreloader = false;
    // Deleting it cancels the decode; nothing it makes arrives any more.
    delete std::exchange(m_decode, nullptr);
}

void frmViewer::releaseDecode()
{
    // Called from the decode's own signal: it goes once the signal has returned.
    if (m_decode)
        std::exchange(m_decode, nullptr)->deleteLater();
}

void frmViewer::preloadEnded()
{
    m_awaitedFromPreloader = false;
    if (std::optional<QImage> picture = PicturePreloader::instance().take(m_shownPath))
        wholePictureArrived(*picture);
    else
        receiveDecode(new PictureDecode(m_shownPath, this)); // refused or changed since: read afresh
}

void frmViewer::wholePictureArrived(const QImage &picture)
{
    releaseDecode();
    if (picture.size() != m_laidOutFor)
        layOut(picture.size());
    // Complete now: the folder's next file is made ready, as for a large picture.
    m_picFramed->setPicture(picture);
}

void frmViewer::wholePictureFailed(const RunTimeError &e)
{
    releaseDecode();
    m_picFramed->hide();
    m_picFramed->clear();
    m_vScroll->hide();
    m_hScroll->hide();
    if (moveOnAfter(e))
        ShowPicture(gCurrentPath);
}

void frmViewer::pictureFailedLate()
{
    m_wholeOnly = true;
    ShowPicture(m_shownPath);
    m_wholeOnly = false;
}

bool frmViewer::moveToNextFile()
{
    const QString question = gCurrentPath + QStringLiteral(" is invalid.") + QLatin1Char('\r')
        + QStringLiteral("Load next file?");
    if (MessageBox::show(question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    clsFiles files;
    QString folder = files.GetParentDir(gCurrentPath).toString();
    QString name = files.GetFileName(gCurrentPath).toString();
    const QString next = NextFileInFolder(folder, name);
    // The last file of its folder has no next one: stop rather than ask about it again.
    if (next.isEmpty())
        return false;
    gCurrentPath = fs::joinPath(folder, next);
    return true;
}

bool frmViewer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_framePicHolder) {
        if (event->type() == QEvent::Wheel)
            return scrollByWheel(static_cast<QWheelEvent *>(event));
        if (event->type() == QEvent::KeyPress)
            return scrollByKey(static_cast<QKeyEvent *>(event));
    }
    return ChildWindow::eventFilter(watched, event);
}

// A notch of the wheel (120) is one small step of the bar; Shift or a sideways wheel
// scrolls across.
bool frmViewer::scrollByWheel(const QWheelEvent *event)
{
    QPoint turned = event->angleDelta();
    if (event->modifiers() & Qt::ShiftModifier)
        turned = QPoint(turned.y(), turned.x());
    m_wheelTurned += turned;
    const std::pair<QScrollBar *, int *> bars[] = {{m_hScroll, &m_wheelTurned.rx()}, {m_vScroll, &m_wheelTurned.ry()}};
    for (const auto &[bar, sum] : bars) {
        const int notches = *sum / 120;
        *sum -= notches * 120;
        for (int i = 0; i < std::abs(notches) && !bar->isHidden(); ++i)
            bar->triggerAction(notches > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
    }
    return true;
}

bool frmViewer::scrollByKey(const QKeyEvent *event)
{
    if (event->modifiers() & ~(Qt::KeypadModifier))
        return false;
    QScrollBar *bar = m_vScroll;
    QAbstractSlider::SliderAction action;
    switch (event->key()) {
    case Qt::Key_Up: action = QAbstractSlider::SliderSingleStepSub; break;
    case Qt::Key_Down: action = QAbstractSlider::SliderSingleStepAdd; break;
    case Qt::Key_PageUp: action = QAbstractSlider::SliderPageStepSub; break;
    case Qt::Key_PageDown: action = QAbstractSlider::SliderPageStepAdd; break;
    case Qt::Key_Home: action = QAbstractSlider::SliderToMinimum; break;
    case Qt::Key_End: action = QAbstractSlider::SliderToMaximum; break;
    case Qt::Key_Left:
        bar = m_hScroll;
        action = QAbstractSlider::SliderSingleStepSub;
        break;
    case Qt::Key_Right:
        bar = m_hScroll;
        action = QAbstractSlider::SliderSingleStepAdd;
        break;
    default:
        return false;
    }
    if (!bar->isHidden())
        bar->triggerAction(action);
    return true;
}

void frmViewer::hScroll_Change()
{
    m_picFramed->move(twips::toPixels(m_frame.left() - m_hScroll->value()), m_picFramed->y());
}

void frmViewer::vScroll_Change()
{
    m_picFramed->move(m_picFramed->x(), twips::toPixels(m_frame.top() - m_vScroll->value()));
}

void frmViewer::cmdClose_Click()
{
    unload();
}

} // namespace pixdock
