// Picture files dropped anywhere on the main frame (the empty work area, the control panel, a
// viewer) open as File > Open would, one viewer each. Child widgets that take drops of their
// own (text boxes) keep them; anything but picture files is refused.
#include "frmMain.h"

#include "FileCommands.h"
#include "PictureDrops.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

namespace pixdock {

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    m_dropPictures = picturesDropped(event->mimeData());
    if (m_dropPictures.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void frmMain::dragMoveEvent(QDragMoveEvent *event)
{
    if (m_dropPictures.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void frmMain::dropEvent(QDropEvent *event)
{
    const QStringList pictures = picturesDropped(event->mimeData());
    m_dropPictures.clear();
    if (pictures.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    viewing::openPictureFiles(pictures);
}

} // namespace pixdock
