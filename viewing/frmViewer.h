// frmViewer: the child window that shows one picture file at its natural size inside a
// clipping frame, with scroll bars when the picture is larger than the frame.
#pragma once

#include "ChildWindow.h"

#include <QRect>

class QFrame;
class QKeyEvent;
class QLabel;
class QPushButton;
class QScrollBar;
class QWheelEvent;

namespace pixdock {

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
    QLabel *picFramed() const { return m_picFramed; }
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
    // After an unreadable picture: whether the user wants the next file, which then is gCurrentPath.
    bool moveToNextFile();
    // The wheel and the keys scroll through the bars, as clicks on them would.
    bool scrollByWheel(const QWheelEvent *event);
    bool scrollByKey(const QKeyEvent *event);

    QFrame *m_framePicHolder;
    QLabel *m_picFramed;
    QScrollBar *m_hScroll;
    QScrollBar *m_vScroll;
    QPushButton *m_cmdClose;
    QRect m_frame; // twips, within the window
    QPoint m_wheelTurned; // wheel turns short of a whole notch, kept for the next
};

} // namespace pixdock
