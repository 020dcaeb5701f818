// What the catalogue tests share: a fresh program folder per test, a connection of another
// program (no functions of ours, as the sqlite3 shell would have), the catalogue's rows read
// back through it or through the program's service; and for the window tests a fresh catalogue,
// the host frame and panel, the shared connection, and a stand-in viewer opener that records
// each picture. The window tests' catalogue is a fresh db.fil in the program folder, or, when
// PIXDOCK_TEST_CATALOGUE_ENGINE is "server", a fresh database on the tests' own PostgreSQL
// server: the same tests then run against either engine.
#pragma once

#include "CatalogueGrid.h"
#include "CatalogueGridModel.h"
#include "CatalogueService.h"
#include "CatalogueStepping.h"
#include "HostFrame.h"
#include "KillCheck.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "Pictures.h"
#include "ProgramFolder.h"
#include "SqliteSession.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "UserInput.h"
#include "WindowList.h"
#include "frmAdd.h"
#include "frmDelete.h"
#include "frmImgList.h"
#include "frmSearch.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace pixdock::test {

// A connection to a catalogue as another program has it: plain SQLite (or PostgreSQL as the
// server's superuser), no UNOCASE, no `like` of ours. On SQLite it waits up to ten seconds for
// a lock (this program's upkeep may be writing), unless the options say otherwise. Whatever
// transaction it still holds is rolled back when it goes.
class ForeignConnection
{
public:
    explicit ForeignConnection(const QString &database, const QString &options = {}, const QString &driver = "QSQLITE",
                               const QString &host = {});
    ~ForeignConnection();
    Q_DISABLE_COPY_MOVE(ForeignConnection)

    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }
    // Runs a statement with its values bound; warns and returns false when refused.
    bool exec(const QString &sql, const QVariantList &values = {}) const;
    // The first column of the first row of a query.
    QVariant value(const QString &sql) const;
    // Runs statements separated by "; " on one query left open, so that a reader's SELECT
    // keeps its lock; false when one is refused. release() ends them and rolls back.
    bool hold(const QString &statements);
    void release();

private:
    QString m_name;
    std::unique_ptr<QSqlQuery> m_held;
};

// A test class whose every test starts with a fresh program folder (and db.fil) and a program
// state as at start-up.
class CatalogueFileTest : public QObject
{
    Q_OBJECT
protected slots:
    void init()
    {
        resetProgramState();
        m_folder = std::make_unique<ProgramFolder>();
    }
    // A test that switched the user's language switches back.
    void cleanup()
    {
        resetProgramState();
        switchLocale(QLocale::c());
        m_folder.reset();
    }

protected:
    std::unique_ptr<ProgramFolder> m_folder;
};

// A catalogue test whose catalogue the windows use (see the top of this file): every test
// starts with the host frame, the shared connection open and `m_startRows` in the catalogue (when
// a test class sets them), and ends with a check that every queued answer was used and no
// message went unanswered.
class CatalogueWindowTest : public CatalogueFileTest
{
    Q_OBJECT
protected slots:
    void init();
    void cleanup();

protected:
    // Rows of (file name, location, description) added through the shared connection.
    void addRows(const QList<QStringList> &rows);
    // The catalogue as it stands, each row "name|location|description", in table order.
    QStringList catalogueRows() const;
    // Whether the catalogue is the server's, and what a window says of a failure of it: the
    // file's text, or the server's sentence with the server and database named.
    bool onServer() const { return !m_serverAddress.isEmpty(); }
    QString failureText(const QString &fileText, const QString &serverSentence) const;
    // The catalogue locked by another program.
    std::unique_ptr<ForeignConnection> holdLock();
    // The catalogue gone while the program runs (the file renamed away, the server stopped) or
    // back.
    void takeCatalogueAway(bool away = true);

    // Viewer windows now open, and one opened on `path` the way a command would.
    int openViewers() const;
    void openViewer(const QString &path);
    bool panelButtonsVisible() const { return m_frame->hostPanel()->catalogueButtonsVisible(); }

    QList<QStringList> m_startRows;
    // gCurrentPath at each viewer opening, and whether it was brought to the front.
    QStringList m_opened;
    QList<bool> m_broughtToFront;

private:
    // The server catalogue's address; empty for the file.
    QString m_serverAddress;
    std::unique_ptr<HostFrame> m_frame;
};

// The rows' file names, in order.
QStringList namesOf(const QList<catalogue::CatalogueRow> &rows);
// Every row of a grid's rows, in order.
QList<catalogue::CatalogueRow> allRows(const catalogue::GridRows &rows);
// Rows as the list shows them: in the name order, rows of equal names in the order given.
QList<catalogue::CatalogueRow> inNameOrder(QList<catalogue::CatalogueRow> rows);
// The catalogue's rows in the order they were added, as a plain connection reads them.
QList<catalogue::CatalogueRow> tableRows(const QString &cataloguePath);

// The list and a search through the catalogue's service, waited for until whole.
inline auto whole(std::shared_ptr<catalogue::CatalogueSnapshot> rows)
{
    rows->waitUntilLoaded();
    return rows;
}
inline auto loadedList() { return whole(catalogue::CatalogueService::instance().loadList()); }
inline auto searched(const QString &keywords) { return whole(catalogue::CatalogueService::instance().search(keywords)); }

// `count` distinct rows written by another program in one transaction: names in mixed case, one
// in ten beyond ASCII; location "/pictures/N" for N = n % 97; description "description n of
// harbour" for every thirteenth row, "description n of field" for the others.
void fillWithManyRows(const QString &path, int count);

// A file's bytes; none when it cannot be read.
QByteArray fileBytes(const QString &path);

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
Child *childOf(QWidget *window, const char *name) { return window->findChild<Child *>(QLatin1String(name)); }
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
