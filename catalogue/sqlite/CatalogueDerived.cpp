// Creating the derived data and keeping the search index current. Every write here runs in
// one transaction that is taken without waiting (busy timeout 0) and rolled back on any
// failure, so a locked, read-only or full catalogue is left exactly as it was.
#include "CatalogueIndexes.h"

#include "CataloguePagedRows.h"
#include "CatalogueSqlite.h"
#include "CatalogueStore.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QStringList>

#include <sqlite3.h>

namespace pixdock::catalogue {

namespace {

struct Piece
{
    QString name;
    QString sql;
};

const QList<Piece> &namePieces()
{
    static const QList<Piece> pieces = {
        {derived::NameOrderIndex,
         QStringLiteral("CREATE INDEX %1 ON Info (FileName COLLATE NOCASE)").arg(derived::NameOrderIndex)},
        {derived::WideNameIndex, QStringLiteral("CREATE INDEX %1 ON Info (FileName COLLATE NOCASE) WHERE %2")
                                     .arg(derived::WideNameIndex, derived::WideNameCondition)},
    };
    return pieces;
}

// detail=none keeps the index small (no positions): a keyword's trigrams are looked up each on
// its own and every candidate is checked against the keyword afterwards anyway.
const QList<Piece> &searchPieces()
{
    static const QString c = derived::SearchChanges;
    static const QList<Piece> pieces = {
        {derived::SearchIndex,
         QStringLiteral(
             "CREATE VIRTUAL TABLE %1 USING fts5(Description, content='Info', content_rowid='rowid', "
             "tokenize='trigram case_sensitive 0', detail='none', columnsize=0)")
             .arg(derived::SearchIndex)},
        // Indexed: the description as the index holds it, needed to take it out again.
        {c,
         QStringLiteral("CREATE TABLE %1 (Id INTEGER PRIMARY KEY, Row INTEGER, Indexed, WasIndexed INTEGER)")
             .arg(c)},
        {derived::TrigramCounts,
         QStringLiteral("CREATE TABLE %1 (Trigram TEXT PRIMARY KEY, Rows INTEGER) WITHOUT ROWID")
             .arg(derived::TrigramCounts)},
        {QStringLiteral("InfoSearchAfterInsert"),
         QStringLiteral("CREATE TRIGGER InfoSearchAfterInsert AFTER INSERT ON Info BEGIN "
                        "INSERT INTO %1 (Row, WasIndexed) VALUES (new.rowid, 0); END")
             .arg(c)},
        {QStringLiteral("InfoSearchAfterDelete"),
         QStringLiteral(
             "CREATE TRIGGER InfoSearchAfterDelete AFTER DELETE ON Info BEGIN "
             "INSERT INTO %1 (Row, Indexed, WasIndexed) VALUES (old.rowid, old.Description, 1); END")
             .arg(c)},
        {QStringLiteral("InfoSearchAfterUpdate"),
         QStringLiteral("CREATE TRIGGER InfoSearchAfterUpdate AFTER UPDATE ON Info BEGIN "
                        "INSERT INTO %1 (Row, Indexed, WasIndexed) VALUES (old.rowid, old.Description, 1); "
                        "INSERT INTO %1 (Row, WasIndexed) VALUES (new.rowid, 0); END")
             .arg(c)},
    };
    return pieces;
}

QString normalized(const QString &sql)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return QString(sql).replace(blanks, QStringLiteral(" ")).trimmed();
}

// The derived objects present, by name, with their statements.
QHash<QString, QString> presentPieces(sqlite3 *handle)
{
    QHash<QString, QString> present;
    SqlStatement q(handle, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE name IN "
                                          "('%1', '%2', '%3', '%4', '%5', 'InfoSearchAfterInsert', "
                                          "'InfoSearchAfterDelete', 'InfoSearchAfterUpdate')")
                               .arg(derived::NameOrderIndex, derived::WideNameIndex, derived::SearchIndex,
                                    derived::SearchChanges, derived::TrigramCounts));
    while (q.step())
        present.insert(q.textAt(0), normalized(q.textAt(1)));
    return present;
}

bool allAsMade(const QHash<QString, QString> &present, const QList<Piece> &pieces)
{
    for (const Piece &piece : pieces) {
        if (present.value(piece.name) != normalized(piece.sql))
            return false;
    }
    return true;
}

// A write transaction taken without waiting; rolled back unless committed.
class QuickWrite
{
public:
    explicit QuickWrite(sqlite3 *handle)
        : m_handle(handle)
    {
        // Our own list windows may still be reading through a transaction of their own.
        finishSnapshotLoads();
        sqlite3_busy_timeout(m_handle, 0);
        try {
            executeSql(m_handle, "BEGIN IMMEDIATE");
        } catch (...) {
            sqlite3_busy_timeout(m_handle, BusyTimeoutMs);
            throw;
        }
    }
    ~QuickWrite()
    {
        if (!m_committed)
            sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_busy_timeout(m_handle, BusyTimeoutMs);
    }
    QuickWrite(const QuickWrite &) = delete;
    QuickWrite &operator=(const QuickWrite &) = delete;

    void commit()
    {
        executeSql(m_handle, "COMMIT");
        m_committed = true;
    }

private:
    sqlite3 *m_handle;
    bool m_committed = false;
};

void run(sqlite3 *handle, const QString &sql) { executeSql(handle, sql.toUtf8().constData()); }

void makeNameIndexes(sqlite3 *handle, const QHash<QString, QString> &present)
{
    for (const Piece &piece : namePieces()) {
        if (present.value(piece.name) == normalized(piece.sql))
            continue;
        if (present.contains(piece.name))
            run(handle, QStringLiteral("DROP INDEX %1").arg(piece.name));
        run(handle, piece.sql);
    }
}

qint64 infoRows(sqlite3 *handle)
{
    SqlStatement q(handle, QStringLiteral("SELECT count(*) FROM Info"));
    return q.step() ? q.int64At(0) : 0;
}

void countTrigrams(sqlite3 *handle)
{
    const QString t = derived::TrigramCounts;
    run(handle, QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS temp.InfoSearchVocabulary "
                               "USING fts5vocab(main, %1, row)")
                    .arg(derived::SearchIndex));
    run(handle, QStringLiteral("DELETE FROM %1").arg(t));
    run(handle,
        QStringLiteral("INSERT INTO %1 (Trigram, Rows) SELECT term, doc FROM temp.InfoSearchVocabulary "
                       "WHERE term <> ''")
            .arg(t));
    run(handle,
        QStringLiteral("INSERT INTO %1 (Trigram, Rows) VALUES ('', %2)").arg(t).arg(infoRows(handle)));
}

// The counts steer the search only; they are counted again when the catalogue's size has
// changed by half since.
void recountTrigramsWhenOutgrown(sqlite3 *handle)
{
    SqlStatement q(handle,
                   QStringLiteral("SELECT Rows FROM %1 WHERE Trigram = ''").arg(derived::TrigramCounts));
    const qint64 counted = q.step() ? q.int64At(0) : 0;
    q.finalize();
    const qint64 rows = infoRows(handle);
    if (rows > 2 * counted + 1000 || 2 * rows + 1000 < counted)
        countTrigrams(handle);
}

void makeSearchIndex(sqlite3 *handle, const QHash<QString, QString> &present)
{
    if (allAsMade(present, searchPieces()))
        return;
    for (const Piece &piece : searchPieces()) {
        if (!present.contains(piece.name))
            continue;
        const bool trigger = piece.sql.startsWith(QLatin1String("CREATE TRIGGER"));
        run(handle, QStringLiteral("DROP %1 %2")
                        .arg(trigger ? QStringLiteral("TRIGGER") : QStringLiteral("TABLE"), piece.name));
    }
    for (const Piece &piece : searchPieces())
        run(handle, piece.sql);
    // A larger in-memory buffer while the whole index is built: fewer segments to merge (about a
    // third faster). Older SQLite versions may not know the setting; the build works without.
    const QString setting =
        QStringLiteral("INSERT INTO %1 (%1, rank) VALUES ('hashsize', %2)").arg(derived::SearchIndex);
    const bool bigBuffer =
        sqlite3_exec(handle, setting.arg(64 << 20).toUtf8().constData(), nullptr, nullptr, nullptr)
        == SQLITE_OK;
    run(handle, QStringLiteral("INSERT INTO %1 (%1) VALUES ('rebuild')").arg(derived::SearchIndex));
    if (bigBuffer)
        run(handle, setting.arg(1 << 20)); // the default again, for the small changes to come
    countTrigrams(handle);
}

bool hasChanges(sqlite3 *handle)
{
    SqlStatement q(handle, QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(derived::SearchChanges));
    return q.step() && q.int64At(0) != 0;
}

// Takes the rows changed since the last catch-up out of the index and puts their present
// text in. A row's first change tells what the index holds for it: nothing when it was
// inserted, else the text logged with the change.
void catchUp(sqlite3 *handle)
{
    const QString c = derived::SearchChanges;
    const QString s = derived::SearchIndex;
    run(handle, QStringLiteral("INSERT INTO %1 (%1, rowid, Description) "
                               "SELECT 'delete', Row, Indexed FROM %2 WHERE WasIndexed = 1 "
                               "AND Id IN (SELECT min(Id) FROM %2 GROUP BY Row)")
                    .arg(s, c));
    run(handle, QStringLiteral("INSERT INTO %1 (rowid, Description) "
                               "SELECT rowid, Description FROM Info WHERE rowid IN (SELECT Row FROM %2)")
                    .arg(s, c));
    run(handle, QStringLiteral("DELETE FROM %1").arg(c));
}

} // namespace

void prepareDerivedData(const QSqlDatabase &db)
{
    try {
        sqlite3 *handle = sqliteHandle(db);
        const QHash<QString, QString> before = presentPieces(handle);
        if (allAsMade(before, namePieces()) && allAsMade(before, searchPieces()))
            return;
        QuickWrite write(handle);
        // Read again inside the transaction: another connection may have made them meanwhile.
        const QHash<QString, QString> present = presentPieces(handle);
        makeNameIndexes(handle, present);
        try {
            executeSql(handle, "SAVEPOINT searchIndex");
            makeSearchIndex(handle, present);
            executeSql(handle, "RELEASE searchIndex");
        } catch (const RunTimeError &) {
            // An SQLite without FTS5 or the trigram tokenizer: the list's indexes still help.
            sqlite3_exec(handle, "ROLLBACK TO searchIndex; RELEASE searchIndex", nullptr, nullptr, nullptr);
        }
        write.commit();
    } catch (const RunTimeError &) {
        // Read-only, locked, full or damaged: the catalogue works without them.
    }
}

bool hasNameOrderIndexes(sqlite3 *handle)
{
    try {
        return allAsMade(presentPieces(handle), namePieces());
    } catch (const RunTimeError &) {
        return false;
    }
}

bool searchIndexReady(sqlite3 *handle)
{
    try {
        if (!allAsMade(presentPieces(handle), searchPieces()))
            return false;
        if (!hasChanges(handle))
            return true;
        QuickWrite write(handle);
        catchUp(handle);
        recountTrigramsWhenOutgrown(handle);
        write.commit();
        return true;
    } catch (const RunTimeError &) {
        return false;
    }
}

} // namespace pixdock::catalogue
