// What the catalogue window tests share: a fresh catalogue, the host frame and panel, the shared
// connection, and a stand-in viewer opener that records each picture. The catalogue is a fresh
// db.fil in a program folder, or, when PIXDOCK_TEST_CATALOGUE_ENGINE is "server", a fresh
// database on the tests' own PostgreSQL server: the same tests then run against either engine.
#pragma once

#include "CatalogueScaleSupport.h"
#include "HostFrame.h"
#include "ProgramFolder.h"
#include "WindowList.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QAbstractItemView;

namespace pixdock::catalogue {
class CatalogueGrid;
}

namespace pixdock::test {

// Another program (or server session) holding the catalogue locked while the object lives.
class CatalogueHold
{
public:
    virtual ~CatalogueHold() = default;
};

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

    // The catalogue locked by another program, and what a window says about it.
    std::unique_ptr<CatalogueHold> holdLock();
    QString lockedText() const;
    // The run-time error's number for it.
    int lockedNumber() const;
    // The catalogue gone while the program runs (the file renamed away, the server stopped),
    // what a window says then, and the catalogue back.
    void takeCatalogueAway();
    QString goneText() const;
    void bringCatalogueBack();

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

// Ends a test: every queued answer was used and no message went unanswered; the host goes.
void finishTest(std::unique_ptr<CatalogueWindowHost> &host);

// A test class whose every test starts with a fresh host and ends with finishTest().
class CatalogueWindowTest : public QObject
{
    Q_OBJECT
protected slots:
    void init()
    {
        m_host.reset(); // a host left by a failed test goes before the next one comes
        m_host = std::make_unique<CatalogueWindowHost>();
    }
    void cleanup() { finishTest(m_host); }

protected:
    std::unique_ptr<CatalogueWindowHost> m_host;
};

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

// Double-clicks a catalogue grid's cell at a data row (1 is the first) and a column.
void doubleClickCell(QAbstractItemView *view, int gridRow, int column);

} // namespace pixdock::test
