// What the catalogue window tests share: a program folder with a fresh db.fil, the host frame
// and panel, the shared connection, and a stand-in viewer opener that records each picture.
#pragma once

#include "HostFrame.h"
#include "ProgramFolder.h"
#include "WindowList.h"

#include <QStringList>

#include <memory>

class QAbstractItemView;

namespace pixdock::catalogue {
class CatalogueGrid;
}

namespace pixdock::test {

class CatalogueWindowHost
{
public:
    CatalogueWindowHost();
    ~CatalogueWindowHost();

    HostFrame &frame() { return *m_frame; }
    HostPanel &panel() { return *m_frame->hostPanel(); }
    ProgramFolder &folder() { return m_folder; }

    // Rows of (file name, location, description) added through the shared connection.
    void addRows(const QList<QStringList> &rows);
    // The catalogue as it stands, each row "name|location|description", in table order.
    QStringList catalogueRows() const;

    // gCurrentPath at each viewer opening, and whether it was brought to the front.
    QStringList openedPictures;
    QList<bool> broughtToFront;
    // Viewer windows now open.
    int openViewers() const;
    // Opens a stand-in viewer on `path` the way a command would.
    void openViewer(const QString &path);

    // Shows the frame and waits until it is the active window, so focus moves for real.
    bool activate();

private:
    ProgramFolder m_folder;
    std::unique_ptr<HostFrame> m_frame;
};

// Ends a test: every queued answer was used and no message went unanswered; the host goes.
void finishTest(std::unique_ptr<CatalogueWindowHost> &host);

// The shared window of a kind, loaded and shown.
template<class Window>
Window *shownWindow()
{
    Window *w = sharedWindow<Window>();
    w->showWindow();
    return w;
}

// The file names of a grid's data rows, in grid order (once they are all copied).
QStringList gridNames(catalogue::CatalogueGrid *grid);

// Another program holding db.fil locked (an exclusive transaction) while it lives.
class CatalogueLock
{
public:
    explicit CatalogueLock(const QString &path);
    ~CatalogueLock();
    CatalogueLock(const CatalogueLock &) = delete;
    CatalogueLock &operator=(const CatalogueLock &) = delete;
};

// Double-clicks a catalogue grid's cell at a data row (1 is the first) and a column.
void doubleClickCell(QAbstractItemView *view, int gridRow, int column);

} // namespace pixdock::test
