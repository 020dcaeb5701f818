// Making, recognising and migrating the derived objects. Every write here runs in one
// transaction taken without waiting (busy timeout 0) and rolled back on any failure, so a
// locked, read-only or full catalogue is left exactly as it was.
#include "CatalogueDerived.h"

#include "CatalogueSqlite.h"
#include "CatalogueStore.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>

namespace pixdock::catalogue {

namespace {

struct Piece
{
    QString kind; // TABLE, INDEX or TRIGGER, as DROP names it
    QString name;
    QString sql;
};

QString trigger(const QString &name, const QString &body)
{
    return QStringLiteral("CREATE TRIGGER %1 %2").arg(name, body);
}

// Whether old.rowid was in the search index when the trigger fires.
QString wasIndexed()
{
    return QStringLiteral("old.rowid <= (SELECT Value FROM %1 WHERE Key = '%2')")
        .arg(derived::State, derived::SearchIndexedThrough);
}

const QList<Piece> &tables()
{
    using namespace derived;
    static const QList<Piece> pieces = {
        {QStringLiteral("TABLE"), State,
         QStringLiteral("CREATE TABLE %1 (Key TEXT PRIMARY KEY, Value) WITHOUT ROWID").arg(State)},
        {QStringLiteral("TABLE"), NameOrder,
         QStringLiteral("CREATE TABLE %1 (Rank INTEGER PRIMARY KEY, Row INTEGER NOT NULL)").arg(NameOrder)},
        // Dropped while the order is made anew, so that a million rows are not inserted into it
        // one by one in random order.
        {QStringLiteral("INDEX"), NameOrderRows,
         QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (Row)").arg(NameOrderRows, NameOrder)},
        {QStringLiteral("TABLE"), NameChanges,
         QStringLiteral("CREATE TABLE %1 (Id INTEGER PRIMARY KEY, Row INTEGER NOT NULL)").arg(NameChanges)},
        // Indexed: the description as the index holds it, needed to take it out again.
        {QStringLiteral("TABLE"), SearchChanges,
         QStringLiteral("CREATE TABLE %1 (Id INTEGER PRIMARY KEY, Row INTEGER, Indexed, WasIndexed INTEGER)")
             .arg(SearchChanges)},
        {QStringLiteral("TABLE"), TrigramCounts,
         QStringLiteral("CREATE TABLE %1 (Trigram TEXT PRIMARY KEY, Rows INTEGER) WITHOUT ROWID").arg(TrigramCounts)},
    };
    return pieces;
}

// detail=none keeps the index small (no positions): a keyword's trigrams are looked up each on
// its own and every candidate is checked against the keyword afterwards anyway.
const Piece &searchIndexPiece()
{
    static const Piece piece = {
        QStringLiteral("TABLE"), derived::SearchIndex,
        QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(Description, content='Info', content_rowid='rowid', "
                       "tokenize='trigram case_sensitive 0', detail='none', columnsize=0)")
            .arg(derived::SearchIndex)};
    return piece;
}

const QList<Piece> &triggers()
{
    using namespace derived;
    static const QString s = SearchChanges;
    static const QString n = NameChanges;
    static const QList<Piece> pieces = {
        {QStringLiteral("TRIGGER"), QStringLiteral("pixdock_after_insert"),
         trigger(QStringLiteral("pixdock_after_insert"),
                 QStringLiteral("AFTER INSERT ON Info BEGIN "
                                "INSERT INTO %1 (Row, WasIndexed) VALUES (new.rowid, 0); "
                                "INSERT INTO %2 (Row) VALUES (new.rowid); END")
                     .arg(s, n))},
        {QStringLiteral("TRIGGER"), QStringLiteral("pixdock_after_delete"),
         trigger(QStringLiteral("pixdock_after_delete"),
                 QStringLiteral("AFTER DELETE ON Info BEGIN "
                                "INSERT INTO %1 (Row, Indexed, WasIndexed) VALUES (old.rowid, old.Description, %3); "
                                "INSERT INTO %2 (Row) VALUES (old.rowid); END")
                     .arg(s, n, wasIndexed()))},
        {QStringLiteral("TRIGGER"), QStringLiteral("pixdock_after_update"),
         trigger(QStringLiteral("pixdock_after_update"),
                 QStringLiteral("AFTER UPDATE ON Info BEGIN "
                                "INSERT INTO %1 (Row, Indexed, WasIndexed) VALUES (old.rowid, old.Description, %2); "
                                "INSERT INTO %1 (Row, WasIndexed) VALUES (new.rowid, 0); END")
                     .arg(s, wasIndexed()))},
        // Compared exactly, whatever collation table Info declares: a change of case moves a name.
        {QStringLiteral("TRIGGER"), QStringLiteral("pixdock_after_rename"),
         trigger(QStringLiteral("pixdock_after_rename"),
                 QStringLiteral("AFTER UPDATE ON Info "
                                "WHEN old.FileName IS NOT new.FileName COLLATE BINARY OR old.rowid <> new.rowid "
                                "BEGIN INSERT INTO %1 (Row) VALUES (old.rowid); "
                                "INSERT INTO %1 (Row) VALUES (new.rowid); END")
                     .arg(n))},
    };
    return pieces;
}

// What an older version of this program made, exactly: these are dropped, nothing else.
const QList<Piece> &olderPieces()
{
    static const QList<Piece> pieces = {
        {QStringLiteral("TRIGGER"), QStringLiteral("InfoSearchAfterInsert"),
         QStringLiteral("CREATE TRIGGER InfoSearchAfterInsert AFTER INSERT ON Info BEGIN "
                        "INSERT INTO InfoSearchChanges (Row, WasIndexed) VALUES (new.rowid, 0); END")},
        {QStringLiteral("TRIGGER"), QStringLiteral("InfoSearchAfterDelete"),
         QStringLiteral("CREATE TRIGGER InfoSearchAfterDelete AFTER DELETE ON Info BEGIN "
                        "INSERT INTO InfoSearchChanges (Row, Indexed, WasIndexed) VALUES (old.rowid, "
                        "old.Description, 1); END")},
        {QStringLiteral("TRIGGER"), QStringLiteral("InfoSearchAfterUpdate"),
         QStringLiteral("CREATE TRIGGER InfoSearchAfterUpdate AFTER UPDATE ON Info BEGIN "
                        "INSERT INTO InfoSearchChanges (Row, Indexed, WasIndexed) VALUES (old.rowid, "
                        "old.Description, 1); INSERT INTO InfoSearchChanges (Row, WasIndexed) VALUES "
                        "(new.rowid, 0); END")},
        {QStringLiteral("TABLE"), QStringLiteral("InfoSearch"),
         QStringLiteral("CREATE VIRTUAL TABLE InfoSearch USING fts5(Description, content='Info', "
                        "content_rowid='rowid', tokenize='trigram case_sensitive 0', detail='none', "
                        "columnsize=0)")},
        {QStringLiteral("TABLE"), QStringLiteral("InfoSearchChanges"),
         QStringLiteral(
             "CREATE TABLE InfoSearchChanges (Id INTEGER PRIMARY KEY, Row INTEGER, Indexed, WasIndexed INTEGER)")},
        {QStringLiteral("TABLE"), QStringLiteral("InfoSearchTrigrams"),
         QStringLiteral("CREATE TABLE InfoSearchTrigrams (Trigram TEXT PRIMARY KEY, Rows INTEGER) WITHOUT ROWID")},
        {QStringLiteral("INDEX"), QStringLiteral("InfoFileNameOrder"),
         QStringLiteral("CREATE INDEX InfoFileNameOrder ON Info (FileName COLLATE NOCASE)")},
        {QStringLiteral("INDEX"), QStringLiteral("InfoFileNameWide"),
         QStringLiteral("CREATE INDEX InfoFileNameWide ON Info (FileName COLLATE NOCASE) WHERE "
                        "length(CAST(FileName AS BLOB)) <> length(FileName)")},
    };
    return pieces;
}

QString normalized(const QString &sql)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return QString(sql).replace(blanks, QStringLiteral(" ")).trimmed();
}

// The schema's objects of these names, with their statements normalized.
QHash<QString, QString> present(sqlite3 *handle)
{
    QStringList names;
    for (const QList<Piece> *list : {&tables(), &triggers(), &olderPieces()})
        for (const Piece &p : *list)
            names << QLatin1Char('\'') + p.name + QLatin1Char('\'');
    names << QLatin1Char('\'') + searchIndexPiece().name + QLatin1Char('\'');
    QHash<QString, QString> found;
    SqlStatement q(handle, QStringLiteral("SELECT name, sql FROM main.sqlite_master WHERE name IN (%1)")
                               .arg(names.join(QLatin1Char(','))));
    while (q.step())
        found.insert(q.textAt(0), normalized(q.textAt(1)));
    return found;
}

bool asMade(const QHash<QString, QString> &found, const Piece &piece)
{
    return found.value(piece.name) == normalized(piece.sql);
}

bool allAsMade(const QHash<QString, QString> &found, const QList<Piece> &pieces)
{
    return std::all_of(pieces.cbegin(), pieces.cend(), [&](const Piece &p) { return asMade(found, p); });
}

// Drops what an older version made under the names it used.
void migrateOlderNames(sqlite3 *handle, const QHash<QString, QString> &found)
{
    for (const Piece &piece : olderPieces()) {
        if (!asMade(found, piece))
            continue;
        // An SQLite without FTS5 cannot drop the old index: it stays, harmless, unused.
        executeSql(handle, "SAVEPOINT migrate");
        if (sqlite3_exec(handle, QStringLiteral("DROP %1 %2").arg(piece.kind, piece.name).toUtf8().constData(),
                         nullptr, nullptr, nullptr)
            == SQLITE_OK)
            executeSql(handle, "RELEASE migrate");
        else
            sqlite3_exec(handle, "ROLLBACK TO migrate; RELEASE migrate", nullptr, nullptr, nullptr);
    }
}

// Forgets what the logs can no longer vouch for: the triggers were not there, so changes may
// have gone unseen.
void forgetDerivedRows(sqlite3 *handle, bool searchIndex)
{
    using namespace derived;
    runSql(handle, QStringLiteral("DELETE FROM %1").arg(NameOrder));
    runSql(handle, QStringLiteral("DELETE FROM %1").arg(NameChanges));
    runSql(handle, QStringLiteral("DELETE FROM %1").arg(SearchChanges));
    runSql(handle, QStringLiteral("DELETE FROM %1").arg(TrigramCounts));
    runSql(handle, QStringLiteral("DELETE FROM %1").arg(State));
    if (searchIndex)
        runSql(handle, QStringLiteral("INSERT INTO %1 (%1) VALUES ('delete-all')").arg(SearchIndex));
    setState(handle, SearchIndexedThrough, qint64(0));
}

} // namespace

QuickWrite::QuickWrite(sqlite3 *handle)
    : m_handle(handle)
{
    sqlite3_busy_timeout(m_handle, 0);
    try {
        executeSql(m_handle, "BEGIN IMMEDIATE");
    } catch (...) {
        sqlite3_busy_timeout(m_handle, BusyTimeoutMs);
        throw;
    }
}

QuickWrite::~QuickWrite()
{
    if (!m_committed)
        sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(m_handle, BusyTimeoutMs);
}

void QuickWrite::commit()
{
    executeSql(m_handle, "COMMIT");
    m_committed = true;
}

void runSql(sqlite3 *handle, const QString &sql) { executeSql(handle, sql.toUtf8().constData()); }

std::optional<qint64> stateNumber(sqlite3 *handle, const QString &key)
{
    SqlStatement q(handle, QStringLiteral("SELECT Value FROM %1 WHERE Key = ?1").arg(derived::State));
    q.bind(1, key);
    if (!q.step() || q.columnType(0) == SQLITE_NULL)
        return std::nullopt;
    return q.int64At(0);
}

void setState(sqlite3 *handle, const QString &key, const QVariant &value)
{
    SqlStatement q(handle, QStringLiteral("INSERT OR REPLACE INTO %1 (Key, Value) VALUES (?1, ?2)").arg(derived::State));
    q.bind(1, key);
    if (value.typeId() == QMetaType::QString)
        q.bind(2, value.toString());
    else
        q.bind(2, value.toLongLong());
    q.step();
}

DerivedData derivedData(sqlite3 *handle)
{
    DerivedData data;
    const QHash<QString, QString> found = present(handle);
    if (!allAsMade(found, tables()))
        return data;
    data.logged = allAsMade(found, triggers());
    data.searchIndex = asMade(found, searchIndexPiece());
    {
        SqlStatement q(handle, QStringLiteral("SELECT Value FROM %1 WHERE Key = ?1").arg(derived::State));
        q.bind(1, derived::NameOrderIdentity);
        if (q.step())
            data.nameOrder = q.textAt(0);
    }
    data.searchIndexedThrough = stateNumber(handle, derived::SearchIndexedThrough);
    return data;
}

void prepareDerivedData(sqlite3 *handle)
{
    {
        const QHash<QString, QString> found = present(handle);
        const bool older = std::any_of(olderPieces().cbegin(), olderPieces().cend(),
                                       [&](const Piece &p) { return asMade(found, p); });
        if (!older && allAsMade(found, tables()) && allAsMade(found, triggers()) && asMade(found, searchIndexPiece()))
            return;
    }
    QuickWrite write(handle);
    // Read again inside the transaction: another connection may have made them meanwhile.
    QHash<QString, QString> found = present(handle);
    migrateOlderNames(handle, found);
    for (const Piece &piece : tables()) {
        if (!found.contains(piece.name))
            runSql(handle, piece.sql);
    }
    const Piece &index = searchIndexPiece();
    if (!found.contains(index.name)) {
        // An SQLite without FTS5 or the trigram tokenizer: the search scans instead.
        executeSql(handle, "SAVEPOINT searchIndex");
        if (sqlite3_exec(handle, index.sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
            executeSql(handle, "RELEASE searchIndex");
        else
            sqlite3_exec(handle, "ROLLBACK TO searchIndex; RELEASE searchIndex", nullptr, nullptr, nullptr);
    }
    found = present(handle);
    // The triggers write into our tables; where a name of ours is taken by something else, none
    // is made and the derived data stays unused.
    if (!allAsMade(found, tables())) {
        write.commit();
        return;
    }
    if (!allAsMade(found, triggers())) {
        for (const Piece &piece : triggers()) {
            if (!found.contains(piece.name))
                runSql(handle, piece.sql);
        }
        forgetDerivedRows(handle, asMade(found, index));
    }
    if (!stateNumber(handle, derived::SearchIndexedThrough))
        setState(handle, derived::SearchIndexedThrough, qint64(0));
    write.commit();
}

} // namespace pixdock::catalogue
