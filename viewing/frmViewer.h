// frmViewer: the child window that shows one picture file at its natural size inside a
// clipping frame, with scroll bars when the picture is larger than the frame.
#pragma once

#include "ChildWindow.h"

#include <QRect>

class QFrame;
class QKeyEvent;
class QPushButton;
class QScrollBar;
class QWheelEvent;

namespace pixdock {

class RunTimeError;

namespace viewing {
class PictureBox;
class PictureDecode;
}

class frmViewer : public ChildWindow
{
    Q_OBJECT
public:
    frmViewer();

    // A new, private viewer of gCurrentPath, loaded and shown; brought to the front if asked.
    static frmViewer *openNew(bool bringToFront = false);
    // Closes the shared viewer if it is open, then loads and shows it afresh on gCurrentPath.
    static frmViewer *openShared();

    QFrame *framePicHolder() const { return m_framePicHolder; }
    viewing::PictureBox *picFramed() const { return m_picFramed; }
    QScrollBar *hScroll() const { return m_hScroll; }
    QScrollBar *vScroll() const { return m_vScroll; }
    QPushButton *cmdClose() const { return m_cmdClose; }

    void hScroll_Change();
    void vScroll_Change();
    void cmdClose_Click();

protected:
    void Form_Load() override;
    void Form_Unload() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeWindow();
    void ShowPicture(const QString &path);
    void showLoadedPicture(const QString &path);
    // Frame and scroll bars for a picture of `picture` pixels.
    void layOut(QSize picture);
    // After a picture that cannot be shown: whether the user moves on to the next file (now
    // gCurrentPath); else the user has been told why, as far as there is something to tell.
    bool moveOnAfter(const RunTimeError &e);
    // Says why the picture is not shown, where the user is told.
    void reportUnshown(const RunTimeError &e);
    // Lays the picture at `path` out by its header and has it decoded whole on a worker;
    // raises the loader's errors that the header shows. Returns the size laid out.
    QSize beginWholePicture(const QString &path);
    // The decode that brings this viewer its picture.
    void receiveDecode(viewing::PictureDecode *decode);
    // What was being decoded for this viewer is no longer wanted.
    void dropDecode();
    // The decode has delivered: it is let go.
    void releaseDecode();
    void preloadEnded();
    void wholePictureArrived(const QImage &picture);
    void wholePictureFailed(const RunTimeError &e);
    // A large picture's rest could not be decoded: read it again whole, as the loader tells.
    void pictureFailedLate();
    // After an unreadable picture: whether the user wants the next file, which then is gCurrentPath.
    bool moveToNextFile();
    // The wheel and the keys scroll through the bars, as clicks on them would.
    bool scrollByWheel(const QWheelEvent *event);
    bool scrollByKey(const QKeyEvent *event);

    QFrame *m_framePicHolder;
    viewing::PictureBox *m_picFramed;
    QScrollBar *m_hScroll;
    QScrollBar *m_vScroll;
    QPushButton *m_cmdClose;
    QRect m_frame; // twips, within the window
    QString m_shownPath;
    QSize m_laidOutFor;
    viewing::PictureDecode *m_decode = nullptr;
    bool m_awaitedFromPreloader = false;
    bool m_wholeOnly = false;
    QPoint m_wheelTurned; // wheel turns short of a whole notch, kept for the next
};

} // namespace pixdock
