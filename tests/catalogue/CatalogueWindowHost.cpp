// The catalogue window tests' host.
#include "CatalogueWindowHost.h"

#include "CatalogueGrid.h"
#include "CatalogueStore.h"
#include "ChildWindow.h"
#include "ModGlobal.h"
#include "TestState.h"
#include "ViewerOpening.h"
#include "WindowList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace pixdock::test {

CatalogueWindowHost::CatalogueWindowHost()
{
    resetProgramState();
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
}

void CatalogueWindowHost::addRows(const QList<QStringList> &rows)
{
    for (const QStringList &row : rows)
        catalogue::addRow(catalogue::sharedConnection(), row.value(0), row.value(1), row.value(2));
}

QStringList CatalogueWindowHost::catalogueRows() const
{
    QSqlQuery q = catalogue::runStatement(
        catalogue::sharedConnection(),
        {QStringLiteral("SELECT FileName, Location, Description FROM Info ORDER BY rowid"), {}});
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString() + '|' + q.value(1).toString() + '|' + q.value(2).toString();
    return rows;
}

int CatalogueWindowHost::openViewers() const
{
    int count = 0;
    for (QWidget *w : WindowList::instance().windows())
        count += w->windowTitle() == caption::Viewer ? 1 : 0;
    return count;
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

namespace {
const QString LockerName = QStringLiteral("locker");
}

CatalogueLock::CatalogueLock(const QString &path)
{
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), LockerName);
    other.setDatabaseName(path);
    if (!other.open() || !QSqlQuery(other).exec(QStringLiteral("BEGIN EXCLUSIVE")))
        qFatal("could not lock %s", qPrintable(path));
}

CatalogueLock::~CatalogueLock()
{
    {
        QSqlDatabase other = QSqlDatabase::database(LockerName, false);
        QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
        other.close();
    }
    QSqlDatabase::removeDatabase(LockerName);
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
