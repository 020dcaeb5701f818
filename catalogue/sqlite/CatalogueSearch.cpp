// The keyword search through the trigram index, with the plain scan as its fallback.
//
// The index holds, for each trigram (three characters, case folded), the rows whose description
// contains it. A keyword's candidates are the rows holding its rarest trigrams (up to three,
// by the counts kept beside the index; reading a common trigram's long row list costs more than
// it saves). A letter whose case the tokenizer folds differently from Qt is looked up in each
// of its spellings, so no row the LIKE would find is ever left out.
#include "CatalogueSearch.h"

#include "CatalogueDerived.h"
#include "CatalogueSqlite.h"
#include "CatalogueStatements.h"
#include "CatalogueTrigramCase.h"
#include "CatalogueUnicode.h"

#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

namespace pixdock::catalogue {

namespace {

// A trigram whose letters have more spellings than this together is left out of the query:
// the query only gets looser, never stricter.
constexpr qsizetype MostSpellingsPerTrigram = 27;
constexpr qsizetype MostTrigramsPerKeyword = 4;
// Candidates are read one by one; past this share of the table the scan is cheaper.
constexpr qint64 ScanShareDivisor = 10;
constexpr qint64 FewestCandidateLimit = 2000;

// One trigram of a keyword, in each of its spellings.
struct Trigram
{
    QStringList spellings;
    // The spellings as the tokenizer folds them, to look up how common they are.
    QStringList folded;
    qint64 rows = 0;

    QString queryText() const
    {
        QStringList quoted;
        for (const QString &s : spellings)
            quoted << QLatin1Char('"') + QString(s).replace(QLatin1Char('"'), QStringLiteral("\"\""))
                          + QLatin1Char('"');
        return quoted.size() == 1 ? quoted.first()
                                  : QLatin1Char('(') + quoted.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    }
};

// The keyword's code points; empty when it holds a NUL or half a surrogate pair, which the
// index and the LIKE would not see alike.
QList<char32_t> lookupCodePoints(const QString &keyword)
{
    QList<char32_t> out;
    for (qsizetype i = 0; i < keyword.size(); ++i) {
        const QChar c = keyword.at(i);
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < keyword.size() && keyword.at(i + 1).isLowSurrogate())
            code = QChar::surrogateToUcs4(c, keyword.at(++i));
        else if (c.isSurrogate() || code == 0)
            return {};
        out << code;
    }
    return out;
}

QString fromCodePoints(std::initializer_list<char32_t> codes)
{
    return QString::fromUcs4(codes.begin(), qsizetype(codes.size()));
}

// The keyword's distinct trigrams; none when it cannot be looked up in the index.
QList<Trigram> trigramsOf(const QString &keyword)
{
    const QList<char32_t> codes = lookupCodePoints(keyword);
    if (codes.size() < 3)
        return {};
    QList<QList<char32_t>> spellings;
    for (const char32_t c : codes) {
        spellings << trigramSpellings(c);
        if (spellings.last().isEmpty())
            return {};
    }
    QList<Trigram> trigrams;
    QSet<QString> seen;
    for (qsizetype i = 0; i + 2 < codes.size(); ++i) {
        const QList<char32_t> &a = spellings.at(i);
        const QList<char32_t> &b = spellings.at(i + 1);
        const QList<char32_t> &c = spellings.at(i + 2);
        if (a.size() * b.size() * c.size() > MostSpellingsPerTrigram)
            continue;
        Trigram t;
        for (const char32_t x : a) {
            for (const char32_t y : b) {
                for (const char32_t z : c) {
                    t.spellings << fromCodePoints({x, y, z});
                    t.folded << fromCodePoints({trigramFolded(x), trigramFolded(y), trigramFolded(z)});
                }
            }
        }
        const QString key = t.folded.join(QLatin1Char('|'));
        if (!seen.contains(key)) {
            seen.insert(key);
            trigrams << t;
        }
    }
    return trigrams;
}

struct IndexQuery
{
    QString text;
    // At most this many candidates, as far as the counts know.
    qint64 rows = 0;
};

// The index query for the keywords: for each, its rarest trigrams ANDed; the keywords ORed.
std::optional<IndexQuery> planQuery(sqlite3 *handle, const QStringList &keywords)
{
    SqlStatement count(handle,
                       QStringLiteral("SELECT Rows FROM %1 WHERE Trigram = ?1").arg(derived::TrigramCounts));
    IndexQuery query;
    QStringList parts;
    for (const QString &keyword : keywords) {
        QList<Trigram> trigrams = trigramsOf(keyword);
        if (trigrams.isEmpty())
            return std::nullopt;
        for (Trigram &t : trigrams) {
            for (const QString &f : std::as_const(t.folded)) {
                count.bind(1, f);
                t.rows += count.step() ? count.int64At(0) : 0;
                count.reset();
            }
        }
        std::stable_sort(trigrams.begin(), trigrams.end(),
                         [](const Trigram &a, const Trigram &b) { return a.rows < b.rows; });
        QStringList terms;
        for (qsizetype i = 0; i < std::min(MostTrigramsPerKeyword, trigrams.size()); ++i)
            terms << trigrams.at(i).queryText();
        parts << QLatin1Char('(') + terms.join(QStringLiteral(" AND ")) + QLatin1Char(')');
        query.rows += trigrams.first().rows;
    }
    query.text = parts.join(QStringLiteral(" OR "));
    return query;
}

// Whether the row's description (the column) holds a keyword: the search condition, tested
// here rather than by SQL; a NULL description matches nothing, as with LIKE.
bool matches(const CaselessKeywords &keywords, const SqlStatement &row, int column)
{
    return row.columnType(column) != SQLITE_NULL && keywords.anyIn(row.utf8At(column), row.bytesAt(column));
}

const QString RowColumns = QStringLiteral("rowid, FileName, Location, Description");

using Visit = std::function<bool(const SqlStatement &row)>;

// Tests every row of the statement (columns RowColumns) in its order; false when told to stop.
bool testAll(SqlStatement &rows, const CaselessKeywords &test, const Visit &found)
{
    while (rows.step()) {
        if (matches(test, rows, 3) && !found(rows))
            return false;
    }
    return true;
}

void scan(sqlite3 *handle, const QStringList &keywords, const Visit &found)
{
    const CaselessKeywords test(keywords);
    SqlStatement q(handle, QStringLiteral("SELECT %1 FROM Info ORDER BY rowid").arg(RowColumns));
    testAll(q, test, found);
}

qint64 number(sqlite3 *handle, const QString &sql)
{
    SqlStatement q(handle, sql);
    return q.step() ? q.int64At(0) : 0;
}

qint64 candidateLimit(sqlite3 *handle)
{
    const qint64 highest = number(handle, QStringLiteral("SELECT max(rowid) FROM Info"));
    return std::max(FewestCandidateLimit, highest / ScanShareDivisor);
}

// The candidates the index cannot vouch for: rows changed since it caught up (up to where it
// is built through).
std::vector<qint64> changedRows(sqlite3 *handle, qint64 through)
{
    std::vector<qint64> rows;
    SqlStatement q(handle, QStringLiteral("SELECT DISTINCT Row FROM %1 WHERE Row <= ?1 ORDER BY Row")
                               .arg(derived::SearchChanges));
    q.bind(1, through);
    while (q.step())
        rows.push_back(q.int64At(0));
    return rows;
}

// The search through the index; false (having visited nothing) when there are too many
// candidates for it to pay.
bool throughIndex(sqlite3 *handle, const QStringList &keywords, qint64 through, const Visit &found)
{
    const qint64 limit = candidateLimit(handle);
    const std::vector<qint64> changed = changedRows(handle, through);
    const qint64 beyond = through == derived::EveryRow
                              ? 0
                              : number(handle, QStringLiteral("SELECT count(*) FROM Info WHERE rowid > %1").arg(through));
    const std::optional<IndexQuery> query = planQuery(handle, keywords);
    if (!query || query->rows + qint64(changed.size()) + beyond > limit)
        return false;
    std::vector<qint64> candidates;
    {
        SqlStatement q(handle, QStringLiteral("SELECT rowid FROM %1 WHERE %1 MATCH ?1 ORDER BY rowid")
                                   .arg(derived::SearchIndex));
        q.bind(1, query->text);
        while (q.step()) {
            if (qint64(candidates.size()) >= limit)
                return false;
            candidates.push_back(q.int64At(0));
        }
    }
    std::vector<qint64> all;
    all.reserve(candidates.size() + changed.size());
    std::merge(candidates.begin(), candidates.end(), changed.begin(), changed.end(), std::back_inserter(all));
    all.erase(std::unique(all.begin(), all.end()), all.end());

    const CaselessKeywords test(keywords);
    SqlStatement row(handle, QStringLiteral("SELECT %1 FROM Info WHERE rowid = ?1").arg(RowColumns));
    for (const qint64 candidate : all) {
        row.bind(1, candidate);
        const bool stop = row.step() && matches(test, row, 3) && !found(row);
        row.reset();
        if (stop)
            return true;
    }
    if (through != derived::EveryRow) {
        // Rows the index is not built through yet are all tested.
        SqlStatement rest(handle,
                          QStringLiteral("SELECT %1 FROM Info WHERE rowid > %2 ORDER BY rowid").arg(RowColumns).arg(through));
        testAll(rest, test, found);
    }
    return true;
}

// ---- keeping the index current -------------------------------------------------------------

// Rows indexed per upkeep step while the index is built, and changed rows taken in per step.
constexpr int BuiltPerStep = 20000;
constexpr int CaughtUpPerStep = 5000;
// Pages of index written by one merge step.
constexpr int MergedPagesPerStep = 2000;

void countTrigrams(sqlite3 *handle)
{
    const QString t = derived::TrigramCounts;
    runSql(handle, QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS temp.pixdock_search_vocabulary "
                                  "USING fts5vocab(main, %1, row)")
                       .arg(derived::SearchIndex));
    runSql(handle, QStringLiteral("DELETE FROM %1").arg(t));
    runSql(handle, QStringLiteral("INSERT INTO %1 (Trigram, Rows) SELECT term, doc FROM temp.pixdock_search_vocabulary "
                                  "WHERE term <> ''")
                       .arg(t));
    runSql(handle, QStringLiteral("INSERT INTO %1 (Trigram, Rows) VALUES ('', %2)")
                       .arg(t)
                       .arg(number(handle, QStringLiteral("SELECT count(*) FROM Info"))));
}

// The index's own settings: while it is built a batch at a time, each batch goes in as one
// segment (a large in-memory buffer) and segments are not merged on the way (that would read
// the growing index again and again); they are merged afterwards, a bounded piece per step.
void configureIndex(sqlite3 *handle, bool building)
{
    const QString s = derived::SearchIndex;
    runSql(handle, QStringLiteral("INSERT INTO %1 (%1, rank) VALUES ('automerge', %2)").arg(s).arg(building ? 0 : 4));
    runSql(handle, QStringLiteral("INSERT INTO %1 (%1, rank) VALUES ('hashsize', %2)")
                       .arg(s)
                       .arg(building ? 64 << 20 : 1 << 20));
}

// Indexes the next batch of rows beyond `through`, or marks the index complete.
void buildBatch(sqlite3 *handle, qint64 through)
{
    QuickWrite write(handle);
    const QString s = derived::SearchIndex;
    const QString c = derived::SearchChanges;
    SqlStatement upper(handle, QStringLiteral("SELECT max(rowid) FROM (SELECT rowid FROM Info WHERE rowid > ?1 "
                                              "ORDER BY rowid LIMIT %1)")
                                   .arg(BuiltPerStep));
    upper.bind(1, through);
    const bool more = upper.step() && upper.columnType(0) != SQLITE_NULL;
    const qint64 last = more ? upper.int64At(0) : 0;
    upper.finalize();
    if (!more) {
        // Every row is in: logged changes of rows beyond are of rows that went again.
        runSql(handle, QStringLiteral("DELETE FROM %1 WHERE Row > %2").arg(c).arg(through));
        setState(handle, derived::SearchIndexedThrough, derived::EveryRow);
        setState(handle, derived::SearchMerging, qint64(1));
        countTrigrams(handle);
        write.commit();
        return;
    }
    if (through == 0)
        configureIndex(handle, true);
    runSql(handle, QStringLiteral("INSERT INTO %1 (rowid, Description) SELECT rowid, Description FROM Info "
                                  "WHERE rowid > %2 AND rowid <= %3")
                       .arg(s)
                       .arg(through)
                       .arg(last));
    // These rows went in with their present text: what was logged of them is taken in.
    runSql(handle, QStringLiteral("DELETE FROM %1 WHERE Row > %2 AND Row <= %3").arg(c).arg(through).arg(last));
    setState(handle, derived::SearchIndexedThrough, last);
    write.commit();
}

// Merges a bounded piece of the segments the build left; the usual settings again once there
// is nothing left to merge.
void mergeBatch(sqlite3 *handle)
{
    QuickWrite write(handle);
    const int before = sqlite3_total_changes(handle);
    runSql(handle, QStringLiteral("INSERT INTO %1 (%1, rank) VALUES ('merge', %2)").arg(derived::SearchIndex).arg(MergedPagesPerStep));
    if (sqlite3_total_changes(handle) - before < 2) {
        configureIndex(handle, false);
        runSql(handle, QStringLiteral("DELETE FROM %1 WHERE Key = '%2'").arg(derived::State, derived::SearchMerging));
    }
    write.commit();
}

// Takes the next batch of changed rows out of the index and puts their present text in. A
// row's first change tells what the index holds for it: nothing when it was inserted, else the
// text logged with the change.
void catchUpBatch(sqlite3 *handle)
{
    QuickWrite write(handle);
    const QString c = derived::SearchChanges;
    const QString s = derived::SearchIndex;
    const qint64 last = number(handle, QStringLiteral("SELECT max(Row) FROM (SELECT DISTINCT Row FROM %1 "
                                                      "ORDER BY Row LIMIT %2)")
                                           .arg(c)
                                           .arg(CaughtUpPerStep));
    runSql(handle, QStringLiteral("INSERT INTO %1 (%1, rowid, Description) "
                                  "SELECT 'delete', Row, Indexed FROM %2 WHERE WasIndexed = 1 "
                                  "AND Id IN (SELECT min(Id) FROM %2 WHERE Row <= %3 GROUP BY Row)")
                       .arg(s, c)
                       .arg(last));
    runSql(handle, QStringLiteral("INSERT INTO %1 (rowid, Description) SELECT rowid, Description FROM Info "
                                  "WHERE rowid IN (SELECT Row FROM %2 WHERE Row <= %3)")
                       .arg(s, c)
                       .arg(last));
    runSql(handle, QStringLiteral("DELETE FROM %1 WHERE Row <= %2").arg(c).arg(last));
    write.commit();
}

// The counts steer the search only; they are counted again when the catalogue's size has
// changed by half since.
bool countsOutgrown(sqlite3 *handle)
{
    SqlStatement q(handle, QStringLiteral("SELECT Rows FROM %1 WHERE Trigram = ''").arg(derived::TrigramCounts));
    const qint64 counted = q.step() ? q.int64At(0) : 0;
    q.finalize();
    const qint64 rows = number(handle, QStringLiteral("SELECT count(*) FROM Info"));
    return rows > 2 * counted + 1000 || 2 * rows + 1000 < counted;
}

} // namespace

bool visitMatches(sqlite3 *handle, const QStringList &keywords, const Visit &found)
{
    // Every keyword needs three characters for the index; one short keyword means a scan.
    const bool indexable = std::all_of(keywords.cbegin(), keywords.cend(),
                                       [](const QString &k) { return !trigramsOf(k).isEmpty(); });
    if (indexable) {
        const DerivedData derived = derivedData(handle);
        if (derived.logged && derived.searchIndex && derived.searchIndexedThrough) {
            try {
                if (throughIndex(handle, keywords, *derived.searchIndexedThrough, found))
                    return true;
            } catch (const RunTimeError &) {
                // The index could not be read (an SQLite without FTS5 reading a catalogue that
                // has one, say): the scan below gives the answer, or the real failure.
            }
        }
    }
    scan(handle, keywords, found);
    return false;
}

SearchHits findRowids(const QSqlDatabase &db, const QString &keywordText, qsizetype keepRowsUpTo)
{
    sqlite3 *handle = sqliteHandle(db);
    const ReadTransaction reading(handle);
    SearchHits hits;
    hits.viaIndex = visitMatches(handle, splitKeywords(keywordText), [&](const SqlStatement &row) {
        hits.rowids << row.int64At(0);
        if (hits.rowids.size() <= keepRowsUpTo)
            hits.rows.append({row.textAt(1), row.textAt(2), row.textAt(3)});
        else if (!hits.rows.isEmpty())
            hits.rows.clear();
        return true;
    });
    return hits;
}

bool stepSearchIndex(sqlite3 *handle)
{
    const DerivedData derived = derivedData(handle);
    if (!derived.logged)
        return false;
    if (!derived.searchIndex) {
        // No index to keep: the log would only grow.
        if (number(handle, QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(derived::SearchChanges)) == 0)
            return false;
        QuickWrite write(handle);
        runSql(handle, QStringLiteral("DELETE FROM %1").arg(derived::SearchChanges));
        write.commit();
        return true;
    }
    const qint64 through = derived.searchIndexedThrough.value_or(0);
    if (through != derived::EveryRow) {
        buildBatch(handle, through);
        return true;
    }
    if (number(handle, QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(derived::SearchChanges)) != 0) {
        catchUpBatch(handle);
        return true;
    }
    if (stateNumber(handle, derived::SearchMerging)) {
        mergeBatch(handle);
        return true;
    }
    if (countsOutgrown(handle)) {
        QuickWrite write(handle);
        countTrigrams(handle);
        write.commit();
        return true;
    }
    return false;
}

} // namespace pixdock::catalogue
