// The catalogue window tests' host.
#include "CatalogueWindowHost.h"

#include "CatalogueAddress.h"
#include "CatalogueMessages.h"
#include "ChildWindow.h"
#include "Locations.h"
#include "PostgresServer.h"
#include "ServerCatalogue.h"
#include "ServerConnection.h"
#include "ServerQueries.h"
#include "ServerSession.h"
#include "StallGuard.h"
#include "ViewerOpening.h"

#include <algorithm>

namespace pixdock::test {

CatalogueWindowHost::CatalogueWindowHost()
{
    resetProgramState();
    if (catalogueOnServer()) {
        // Starting the tests' server (at the first test) is preparation, not a stall.
        const StallGuardPause preparing;
        m_serverAddress = freshServerCatalogue();
        qputenv(locations::CatalogueVariable, m_serverAddress.toUtf8());
    }
    m_frame = std::make_unique<HostFrame>();
    catalogue::OpenConnection();
    viewers::setOpeners(
        [this](bool front) -> QWidget * {
            openedPictures << gCurrentPath;
            broughtToFront << front;
            auto *viewer = new ChildWindow;
            viewer->setWindowTitle(caption::Viewer);
            viewer->load();
            viewer->showWindow();
            if (front)
                viewer->bringToFront();
            return viewer;
        },
        nullptr);
}

CatalogueWindowHost::~CatalogueWindowHost()
{
    resetProgramState();
    m_frame.reset();
    viewers::setOpeners(nullptr, nullptr);
    if (!m_serverAddress.isEmpty())
        qunsetenv(locations::CatalogueVariable);
}

void CatalogueWindowHost::addRows(const QList<QStringList> &rows) { addCatalogueRows(m_serverAddress, rows); }

void CatalogueWindowHost::removeRows(const QString &fileName, const QString &location)
{
    if (m_serverAddress.isEmpty())
        catalogue::removeRows(catalogue::sharedConnection(), fileName, location);
    else
        catalogue::ServerQueries(catalogue::serverHandle(catalogue::sharedConnection()), CatalogueAddress::fromText(m_serverAddress))
            .removeRows(fileName, location);
}

void CatalogueWindowHost::removeEveryRow()
{
    if (!QSqlQuery(catalogue::sharedConnection()).exec(QStringLiteral("DELETE FROM Info")))
        qFatal("could not empty the catalogue");
}

std::unique_ptr<ForeignConnection> CatalogueWindowHost::holdLock()
{
    // An exclusive transaction on a connection of its own (to db.fil, or to the server database
    // as its superuser), rolled back when it goes.
    const bool file = m_serverAddress.isEmpty();
    auto held = file ? std::make_unique<ForeignConnection>(m_folder.cataloguePath())
                     : std::make_unique<ForeignConnection>(CatalogueAddress::fromText(m_serverAddress).database(), QString(),
                                                           "QPSQL", PostgresServer::shared().socketFolder());
    if (!held->hold(file ? "BEGIN EXCLUSIVE" : "BEGIN; LOCK TABLE Info IN ACCESS EXCLUSIVE MODE"))
        qFatal("could not lock the catalogue");
    return held;
}

QString CatalogueWindowHost::lockedText() const
{
    return m_serverAddress.isEmpty() ? catalogue::message::Locked
                                     : catalogue::serverFailureText(catalogue::server::Locked, CatalogueAddress::fromText(m_serverAddress));
}

void CatalogueWindowHost::takeCatalogueAway(bool away)
{
    const StallGuardPause preparing; // stopping or starting the server is the test's doing
    const QString path = m_folder.cataloguePath();
    PostgresServer &server = PostgresServer::shared();
    if (m_serverAddress.isEmpty() ? !QFile::rename(away ? path : path + ".away", away ? path + ".away" : path)
                                  : !(away ? server.stop() : server.start()))
        qFatal("could not move the catalogue");
    // The tests' own connection, which the server dropped, is opened anew; the program's
    // sessions find out for themselves.
    if (!away && !m_serverAddress.isEmpty())
        catalogue::checkServerCatalogueAt(catalogue::SharedConnectionName, CatalogueAddress::fromText(m_serverAddress));
}

QString CatalogueWindowHost::goneText() const
{
    return m_serverAddress.isEmpty() ? catalogue::message::Moved
                                     : catalogue::serverFailureText(catalogue::server::Unreachable, CatalogueAddress::fromText(m_serverAddress));
}

QStringList CatalogueWindowHost::catalogueRows() const
{
    const StallGuardPause preparing; // the test's own reading
    QSqlQuery q(catalogue::sharedConnection());
    if (!q.exec(QStringLiteral("SELECT FileName, Location, Description FROM Info ORDER BY ")
                + (m_serverAddress.isEmpty() ? "rowid" : "id")))
        qFatal("could not read the catalogue");
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString() + '|' + q.value(1).toString() + '|' + q.value(2).toString();
    return rows;
}

int CatalogueWindowHost::openViewers() const
{
    const auto windows = WindowList::instance().windows();
    return int(std::count_if(windows.begin(), windows.end(), [](QWidget *w) { return w->windowTitle() == caption::Viewer; }));
}

void CatalogueWindowHost::openViewer(const QString &path)
{
    gCurrentPath = path;
    viewers::openNewViewer(false);
    openedPictures.clear();
    broughtToFront.clear();
}

bool CatalogueWindowHost::activate()
{
    QApplication::setActiveWindow(m_frame.get());
    m_frame->activateWindow();
    return QTest::qWaitForWindowActive(m_frame.get());
}

void CatalogueWindowTest::init()
{
    m_host.reset(); // a host left by a failed test goes before the next one comes
    m_host = std::make_unique<CatalogueWindowHost>();
    m_host->addRows(m_startRows);
}

void CatalogueWindowTest::cleanup()
{
    const QString problems = unusedOrMissingAnswers();
    m_host.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
    QCOMPARE(WindowList::instance().count(), 0);
}

frmSearch *searchFor(const QString &keywords)
{
    frmSearch *w = shownWindow<frmSearch>();
    childOf<QLineEdit>(w, "txtKeywords")->setText(keywords);
    w->cmdSearch_Click();
    return w;
}

frmImgList *privateList()
{
    auto *list = new frmImgList;
    list->load();
    list->showWindow();
    return list;
}

QStringList gridNames(catalogue::CatalogueGrid *grid)
{
    // A list still being copied is waited for.
    if (grid->rows() > 1)
        catalogue::waitForGridRow(grid, grid->rows() - 1);
    QStringList names;
    for (int row = 1; row < grid->rows(); ++row)
        names << grid->textOf(row, QStringLiteral("FileName"));
    return names;
}

void doubleClickCell(QAbstractItemView *view, int gridRow, int column)
{
    const QModelIndex index = view->model()->index(gridRow - 1, column);
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

} // namespace pixdock::test
