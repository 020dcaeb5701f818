// The catalogue window tests' host.
#include "CatalogueWindowHost.h"

#include "CatalogueAddress.h"
#include "CatalogueGrid.h"
#include "CatalogueMessages.h"
#include "CatalogueStore.h"
#include "ChildWindow.h"
#include "Locations.h"
#include "ModGlobal.h"
#include "PostgresServer.h"
#include "ServerCatalogue.h"
#include "ServerConnection.h"
#include "ServerQueries.h"
#include "ServerSession.h"
#include "StallGuard.h"
#include "TestState.h"
#include "ViewerOpening.h"
#include "WindowList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>

namespace pixdock::test {

namespace {

// Another program holding the catalogue locked: an exclusive transaction on a connection of
// its own (to db.fil, or to the server database as its superuser), rolled back when it goes.
class HeldLock : public CatalogueHold
{
public:
    HeldLock(const QString &driver, const QString &database, const QString &host, const QString &lock)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, Name);
        db.setDatabaseName(database);
        db.setHostName(host);
        db.setUserName(PostgresServer::superUser());
        // This program's upkeep may be writing db.fil: waited for, as another program would.
        db.setConnectOptions(driver == "QSQLITE" ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000") : QString());
        QSqlQuery q(db);
        bool locked = db.open();
        for (const QString &sql : lock.split(QStringLiteral("; ")))
            locked = locked && q.exec(sql);
        if (!locked)
            qFatal("could not lock the catalogue: %s", qPrintable(q.lastError().text() + db.lastError().text()));
    }
    ~HeldLock() override
    {
        QSqlQuery(QSqlDatabase::database(Name, false)).exec(QStringLiteral("ROLLBACK"));
        QSqlDatabase::database(Name, false).close();
        QSqlDatabase::removeDatabase(Name);
    }

private:
    const QString Name = QStringLiteral("held-lock");
};

} // namespace

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
    QSqlQuery q(catalogue::sharedConnection());
    if (!q.exec(QStringLiteral("DELETE FROM Info")))
        qFatal("could not empty the catalogue");
}

std::unique_ptr<CatalogueHold> CatalogueWindowHost::holdLock()
{
    if (m_serverAddress.isEmpty())
        return std::make_unique<HeldLock>("QSQLITE", m_folder.cataloguePath(), QString(), "BEGIN EXCLUSIVE");
    return std::make_unique<HeldLock>("QPSQL", CatalogueAddress::fromText(m_serverAddress).database(),
                                      PostgresServer::shared().socketFolder(), "BEGIN; LOCK TABLE Info IN ACCESS EXCLUSIVE MODE");
}

QString CatalogueWindowHost::lockedText() const
{
    return m_serverAddress.isEmpty() ? catalogue::message::Locked
                                     : catalogue::serverFailureText(catalogue::server::Locked, CatalogueAddress::fromText(m_serverAddress));
}

int CatalogueWindowHost::lockedNumber() const { return m_serverAddress.isEmpty() ? 5 : err::DatabaseError; }

void CatalogueWindowHost::takeCatalogueAway()
{
    const StallGuardPause preparing; // stopping the server is the test's doing, not the program's
    const QString path = m_folder.cataloguePath();
    if (m_serverAddress.isEmpty() ? !QFile::rename(path, path + ".away") : !PostgresServer::shared().stop())
        qFatal("could not take the catalogue away");
}

QString CatalogueWindowHost::goneText() const
{
    return m_serverAddress.isEmpty() ? catalogue::message::Moved
                                     : catalogue::serverFailureText(catalogue::server::Unreachable, CatalogueAddress::fromText(m_serverAddress));
}

void CatalogueWindowHost::bringCatalogueBack()
{
    const StallGuardPause preparing; // so is starting it again
    const QString path = m_folder.cataloguePath();
    if (m_serverAddress.isEmpty() ? !QFile::rename(path + ".away", path) : !PostgresServer::shared().start())
        qFatal("could not bring the catalogue back");
    // The tests' own connection, which the server dropped, is opened anew; the program's
    // sessions find out for themselves.
    if (!m_serverAddress.isEmpty())
        catalogue::checkServerCatalogueAt(catalogue::SharedConnectionName, CatalogueAddress::fromText(m_serverAddress));
}

QStringList CatalogueWindowHost::catalogueRows() const
{
    const StallGuardPause preparing; // the test's own reading
    const QString order = m_serverAddress.isEmpty() ? QStringLiteral("rowid") : QStringLiteral("id");
    QSqlQuery q(catalogue::sharedConnection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT FileName, Location, Description FROM Info ORDER BY ") + order))
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

void finishTest(std::unique_ptr<CatalogueWindowHost> &host)
{
    const QString problems = unusedOrMissingAnswers();
    host.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
    QCOMPARE(WindowList::instance().count(), 0);
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
