// What the catalogue window tests share: a fresh catalogue, the host frame and panel, the shared
// connection, and a stand-in viewer opener that records each picture. The catalogue is a fresh
// db.fil in a program folder, or, when PIXDOCK_TEST_CATALOGUE_ENGINE is "server", a fresh
// database on the tests' own PostgreSQL server: the same tests then run against either engine.
#pragma once

#include "CatalogueGrid.h"
#include "CatalogueScaleSupport.h"
#include "Frame.h"
#include "HostFrame.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "UserInput.h"
#include "WindowList.h"
#include "frmAdd.h"
#include "frmDelete.h"
#include "frmImgList.h"
#include "frmSearch.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

namespace pixdock::test {

class CatalogueWindowHost
{
public:
    CatalogueWindowHost();
    ~CatalogueWindowHost();

    HostPanel &panel() { return *m_frame->hostPanel(); }
    ProgramFolder &folder() { return m_folder; }

    // Rows of (file name, location, description) added through the shared connection.
    void addRows(const QList<QStringList> &rows);
    // The catalogue as it stands, each row "name|location|description", in table order.
    QStringList catalogueRows() const;
    // Changes made beside the windows, as another program would.
    void removeRows(const QString &fileName, const QString &location);
    void removeEveryRow();

    // The catalogue locked by another program, what a window says about it and the run-time
    // error's number for it.
    std::unique_ptr<ForeignConnection> holdLock();
    QString lockedText() const;
    int lockedNumber() const { return m_serverAddress.isEmpty() ? 5 : err::DatabaseError; }
    // The catalogue gone while the program runs (the file renamed away, the server stopped) or
    // back, and what a window says while it is gone.
    void takeCatalogueAway(bool away = true);
    QString goneText() const;

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
    // The server catalogue's address; empty for the file.
    QString m_serverAddress;
    std::unique_ptr<HostFrame> m_frame;
};

// A test class whose every test starts with a fresh host (and `rows` in its catalogue, when a
// test class sets them) and ends with a check that every queued answer was used and no message
// went unanswered.
class CatalogueWindowTest : public QObject
{
    Q_OBJECT
protected slots:
    void init();
    void cleanup();

protected:
    std::unique_ptr<CatalogueWindowHost> m_host;
    QList<QStringList> m_startRows;
};

// The shared window of a kind, loaded and shown.
template<class Window>
Window *shownWindow()
{
    Window *w = sharedWindow<Window>();
    w->showWindow();
    return w;
}

// A window's child of a kind by object name, and a window's message line.
template<class Child>
Child *childOf(QWidget *window, const char *name)
{
    return window->findChild<Child *>(QLatin1String(name));
}
inline QLabel *messageOf(QWidget *window) { return childOf<QLabel>(window, "lblMessage"); }

// The search window shown, with `keywords` in its box and Search pressed.
frmSearch *searchFor(const QString &keywords);
// A list window of its own beside the shared one, loaded and shown.
frmImgList *privateList();

// The file names of a grid's data rows, in grid order (once they are all copied).
QStringList gridNames(catalogue::CatalogueGrid *grid);

// Double-clicks a catalogue grid's cell at a data row (1 is the first) and a column.
void doubleClickCell(QAbstractItemView *view, int gridRow, int column);

} // namespace pixdock::test
