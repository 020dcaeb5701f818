// Shared pieces of the catalogue tests.
#include "CatalogueTestSupport.h"

#include "CatalogueAddress.h"
#include "Locations.h"
#include "NameOrder.h"
#include "PostgresServer.h"
#include "ServerCatalogue.h"
#include "ServerConnection.h"
#include "ServerSession.h"
#include "StallGuard.h"
#include "ViewerOpening.h"

#include <QRandomGenerator>
#include <QSqlError>

#include <algorithm>

namespace pixdock::test {

ForeignConnection::ForeignConnection(const QString &database, const QString &options, const QString &driver,
                                     const QString &host)
{
    static int connections = 0; // each connection under a name of its own
    m_name = QStringLiteral("foreign-%1").arg(++connections);
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, m_name);
    db.setDatabaseName(database);
    db.setHostName(host);
    db.setUserName(PostgresServer::superUser());
    if (driver == QLatin1String("QSQLITE"))
        db.setConnectOptions(options.isEmpty() ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000") : options);
    if (!db.open())
        qWarning("cannot open %s: %s", qPrintable(database), qPrintable(db.lastError().text()));
}

ForeignConnection::~ForeignConnection()
{
    release();
    database().close();
    QSqlDatabase::removeDatabase(m_name);
}

void ForeignConnection::release()
{
    m_held.reset();
    QSqlQuery(database()).exec(QStringLiteral("ROLLBACK"));
}

bool ForeignConnection::exec(const QString &sql, const QVariantList &values) const
{
    QSqlQuery q(database());
    bool ok = q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    ok = ok && q.exec();
    if (!ok)
        qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return ok;
}

QVariant ForeignConnection::value(const QString &sql) const
{
    QSqlQuery q(database());
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

bool ForeignConnection::hold(const QString &statements)
{
    m_held = std::make_unique<QSqlQuery>(database());
    for (const QString &sql : statements.split(QStringLiteral("; "))) {
        if (!m_held->exec(sql)) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(m_held->lastError().text()));
            return false;
        }
    }
    return true;
}

QStringList namesOf(const QList<catalogue::CatalogueRow> &rows)
{
    QStringList out;
    for (const catalogue::CatalogueRow &row : rows)
        out << row.fileName;
    return out;
}

QList<catalogue::CatalogueRow> allRows(const catalogue::GridRows &rows)
{
    QList<catalogue::CatalogueRow> out;
    for (int r = 0; r < rows.rowCount(); ++r)
        out.append({rows.cell(r, 0), rows.cell(r, 1), rows.cell(r, 2)});
    return out;
}

QList<catalogue::CatalogueRow> inNameOrder(QList<catalogue::CatalogueRow> rows)
{
    const StallGuardPause preparing; // the test's own reference order, not the program's work
    std::stable_sort(rows.begin(), rows.end(), [](const catalogue::CatalogueRow &a, const catalogue::CatalogueRow &b) {
        return names::compare(a.fileName, b.fileName) < 0;
    });
    return rows;
}

QList<catalogue::CatalogueRow> tableRows(const QString &cataloguePath)
{
    const StallGuardPause preparing; // the test's own reading, not the program's work
    ForeignConnection other(cataloguePath);
    QSqlQuery q(QStringLiteral("SELECT FileName, Location, Description FROM Info ORDER BY rowid"), other.database());
    QList<catalogue::CatalogueRow> rows;
    while (q.next())
        rows.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    return rows;
}

void fillWithManyRows(const QString &path, int count)
{
    const StallGuardPause preparing; // another program's writing, not this program's work
    ForeignConnection other(path);
    QVERIFY(other.exec("BEGIN"));
    QRandomGenerator random(7);
    const QStringList wide = {"é", "Ä", "ẞ", "Σ", "ſ", "\u212A"};
    for (int n = 0; n < count; ++n) {
        QString name = QStringLiteral("%1pic%2.jpg").arg(QChar(u'a' + char16_t(random.bounded(26)))).arg(n);
        if (random.bounded(2) == 0)
            name = name.toUpper();
        if (random.bounded(10) == 0)
            name.insert(1, wide.at(random.bounded(int(wide.size()))));
        QVERIFY(other.exec("INSERT INTO Info VALUES (?, ?, ?)",
                           {name, QStringLiteral("/pictures/%1").arg(n % 97),
                            QStringLiteral("description %1 of %2").arg(n).arg(n % 13 == 0 ? "harbour" : "field")}));
    }
    QVERIFY(other.exec("COMMIT"));
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void CatalogueWindowTest::init()
{
    m_frame.reset(); // a frame left by a failed start goes before the next one comes
    CatalogueFileTest::init();
    m_opened = {};
    m_broughtToFront = {};
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
            m_opened << gCurrentPath;
            m_broughtToFront << front;
            auto *viewer = new ChildWindow;
            viewer->setWindowTitle(caption::Viewer);
            viewer->load();
            viewer->showWindow();
            if (front)
                viewer->bringToFront();
            return viewer;
        },
        nullptr);
    addRows(m_startRows);
}

void CatalogueWindowTest::cleanup()
{
    const QString problems = unusedOrMissingAnswers();
    resetProgramState();
    m_frame.reset();
    viewers::setOpeners(nullptr, nullptr);
    if (!m_serverAddress.isEmpty())
        qunsetenv(locations::CatalogueVariable);
    CatalogueFileTest::cleanup();
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
    QCOMPARE(WindowList::instance().count(), 0);
}

void CatalogueWindowTest::addRows(const QList<QStringList> &rows) { addCatalogueRows(m_serverAddress, rows); }

QString CatalogueWindowTest::failureText(const QString &fileText, const QString &serverSentence) const
{
    return onServer() ? catalogue::serverFailureText(serverSentence, CatalogueAddress::fromText(m_serverAddress)) : fileText;
}

std::unique_ptr<ForeignConnection> CatalogueWindowTest::holdLock()
{
    // An exclusive transaction on a connection of its own (to db.fil, or to the server database
    // as its superuser), rolled back when it goes.
    const bool file = m_serverAddress.isEmpty();
    auto held = file ? std::make_unique<ForeignConnection>(m_folder->cataloguePath())
                     : std::make_unique<ForeignConnection>(CatalogueAddress::fromText(m_serverAddress).database(), QString(),
                                                           "QPSQL", PostgresServer::shared().socketFolder());
    if (!held->hold(file ? "BEGIN EXCLUSIVE" : "BEGIN; LOCK TABLE Info IN ACCESS EXCLUSIVE MODE"))
        qFatal("could not lock the catalogue");
    return held;
}

void CatalogueWindowTest::takeCatalogueAway(bool away)
{
    const StallGuardPause preparing; // stopping or starting the server is the test's doing
    const QString path = m_folder->cataloguePath();
    PostgresServer &server = PostgresServer::shared();
    // Whatever the program did while the file was gone, it made no new one in its place.
    if (!away && m_serverAddress.isEmpty())
        QVERIFY2(!QFile::exists(path), "a catalogue file was made in place of the one taken away");
    if (m_serverAddress.isEmpty() ? !QFile::rename(away ? path : path + ".away", away ? path + ".away" : path)
                                  : !(away ? server.stop() : server.start()))
        qFatal("could not move the catalogue");
    // The tests' own connection, which the server dropped, is opened anew; the program's
    // sessions find out for themselves.
    if (!away && !m_serverAddress.isEmpty())
        catalogue::checkServerCatalogueAt(catalogue::SharedConnectionName, CatalogueAddress::fromText(m_serverAddress));
}

QStringList CatalogueWindowTest::catalogueRows() const
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

int CatalogueWindowTest::openViewers() const
{
    const auto windows = WindowList::instance().windows();
    return int(std::count_if(windows.begin(), windows.end(), [](QWidget *w) { return w->windowTitle() == caption::Viewer; }));
}

void CatalogueWindowTest::openViewer(const QString &path)
{
    gCurrentPath = path;
    viewers::openNewViewer(false);
    m_opened = {};
    m_broughtToFront = {};
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
