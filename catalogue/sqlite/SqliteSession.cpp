// The SQLite session: snapshot reads in one read transaction, writes checked against the file
// at the path, upkeep of the derived data in bounded steps.
#include "SqliteSession.h"

#include "CatalogueDerived.h"
#include "CatalogueMessages.h"
#include "CatalogueSearch.h"
#include "CatalogueSqlite.h"
#include "CatalogueStoredOrder.h"

#include <QFileInfo>
#include <QSqlQuery>

#include <sqlite3.h>

#include <atomic>
#include <string>

namespace pixdock::catalogue {

namespace {

int nextSessionNumber()
{
    static std::atomic<int> number = 0;
    return ++number;
}

bool isBusy(const RunTimeError &e) { return e.number() == SQLITE_BUSY || e.number() == SQLITE_LOCKED; }

} // namespace

SqliteSession::SqliteSession(QString path)
    : m_path(std::move(path))
    , m_name(QStringLiteral("pixdock-session-%1").arg(nextSessionNumber()))
{
    // Sessions open once start-up has found the catalogue: a path with nothing there now lost
    // its file while Pixdock ran.
    if (!QFileInfo::exists(m_path))
        throw RunTimeError(err::DatabaseError, message::Moved);
    open();
}

SqliteSession::~SqliteSession() { closeCatalogueFile(m_name); }

void SqliteSession::open()
{
    m_open = false;
    m_prepared = false;
    m_orderVerified = false;
    m_identity = openCatalogueFile(m_name, m_path);
    m_open = true;
}

QSqlDatabase SqliteSession::database() const { return QSqlDatabase::database(m_name, false); }

sqlite3 *SqliteSession::handle() const { return sqliteHandle(database()); }

void SqliteSession::useFileAtPath()
{
    const std::optional<FileIdentity> now = fileIdentity(m_path);
    if (m_open && now && *now == m_identity)
        return;
    closeCatalogueFile(m_name);
    m_open = false;
    if (!now)
        throw RunTimeError(err::DatabaseError, message::Moved);
    open();
}

void SqliteSession::readNameOrder(SnapshotSink &sink)
{
    sqlite3 *h = handle();
    bool trusted = true;
    {
        const ReadTransaction reading(h);
        trusted = readInNameOrder(h, derivedData(h), sink);
    }
    if (!trusted)
        distrustStoredOrder(h);
}

void SqliteSession::readSearch(const QStringList &keywords, SnapshotSink &sink)
{
    sqlite3 *h = handle();
    const ReadTransaction reading(h);
    std::string a, b, c;
    qint64 position = 0;
    visitMatches(h, keywords, [&](const SqlStatement &row) {
        sink.append(position++, row.displayUtf8At(1, a), row.displayUtf8At(2, b), row.displayUtf8At(3, c));
        return !sink.cancelled();
    });
}

int SqliteSession::fileNameCount(const QString &fileName)
{
    useFileAtPath();
    return catalogue::fileNameCount(database(), fileName);
}

void SqliteSession::write(const std::function<void(sqlite3 *)> &body)
{
    for (int attempt = 0;; ++attempt) {
        useFileAtPath();
        sqlite3 *h = handle();
        // Another program writing holds the catalogue: waited for up to the busy timeout.
        executeSql(h, "BEGIN IMMEDIATE");
        // Replaced between the check and the lock: the change goes to the file at the path.
        if (fileIdentity(m_path) != std::optional<FileIdentity>(m_identity) && attempt < 2) {
            sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
            continue;
        }
        try {
            body(h);
        } catch (...) {
            sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        const int rc = sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            return;
        const RunTimeError error = errorFromHandle(h, rc);
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        // The change is ready and holds its lock; only readers keep it from the file.
        if ((rc & 0xff) == SQLITE_BUSY)
            throw RunTimeError(SQLITE_BUSY, message::Busy);
        throw error;
    }
}

void SqliteSession::addRow(const CatalogueRow &row)
{
    write([&](sqlite3 *) { runStatement(database(), insertStatement(row.fileName, row.location, row.description)); });
}

int SqliteSession::removeRows(const QString &fileName, const QString &location)
{
    int removed = 0;
    write([&](sqlite3 *h) {
        runStatement(database(), deleteStatement(fileName, location));
        removed = sqlite3_changes(h);
    });
    return removed;
}

CatalogueSession::Upkeep SqliteSession::upkeepStep()
{
    try {
        useFileAtPath();
        sqlite3 *h = handle();
        if (!m_prepared) {
            prepareDerivedData(h);
            m_prepared = true;
            return Upkeep::More;
        }
        // Building an index or an order reads and writes far more pages than SQLite's default
        // cache holds; the cache is given back when the work is done.
        if (!m_largeCache) {
            executeSql(h, "PRAGMA cache_size = -65536");
            m_largeCache = true;
        }
        if (stepStoredOrder(h, !m_orderVerified))
            return Upkeep::More;
        m_orderVerified = true;
        if (stepSearchIndex(h))
            return Upkeep::More;
        executeSql(h, "PRAGMA cache_size = -2000; PRAGMA shrink_memory");
        m_largeCache = false;
        return Upkeep::Done;
    } catch (const RunTimeError &e) {
        // Another program holds the file: later. Read-only, full, damaged: nothing to keep.
        return isBusy(e) ? Upkeep::Later : Upkeep::Done;
    }
}

} // namespace pixdock::catalogue
