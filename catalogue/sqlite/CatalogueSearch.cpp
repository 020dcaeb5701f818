// The keyword search through the trigram index, with the plain scan as its fallback.
//
// The index holds, for each trigram (three characters, case folded), the rows whose description
// contains it. A keyword's candidates are the rows holding its rarest trigrams (up to three,
// by the counts kept beside the index; reading a common trigram's long row list costs more than
// it saves). A letter whose case the tokenizer folds differently from Qt is looked up in each
// of its spellings, so no row the LIKE would find is ever left out.
#include "CatalogueSearch.h"

#include "CatalogueIndexes.h"
#include "CatalogueSqlite.h"
#include "CatalogueStatements.h"
#include "CatalogueTrigramCase.h"
#include "CatalogueUnicode.h"

#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <optional>

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

// Adds a found row (rowid, FileName, Location, Description from `firstColumn` on), keeping
// the rows only while there are few.
void collect(SearchHits &hits, const SqlStatement &row, int firstColumn, qsizetype keepRowsUpTo)
{
    hits.rowids << row.int64At(firstColumn);
    if (hits.rowids.size() <= keepRowsUpTo)
        hits.rows.append(
            {row.textAt(firstColumn + 1), row.textAt(firstColumn + 2), row.textAt(firstColumn + 3)});
    else if (!hits.rows.isEmpty())
        hits.rows.clear();
}

// Whether the row's description (the column) holds a keyword: the search condition, tested
// here rather than by SQL; a NULL description matches nothing, as with LIKE.
bool matches(const CaselessKeywords &keywords, const SqlStatement &row, int column)
{
    return row.columnType(column) != SQLITE_NULL && keywords.anyIn(row.utf8At(column), row.bytesAt(column));
}

const QString RowColumns = QStringLiteral("rowid, FileName, Location, Description");

// Every row's description tested in table order.
SearchHits scan(sqlite3 *handle, const QStringList &keywords, qsizetype keepRowsUpTo)
{
    const CaselessKeywords test(keywords);
    SqlStatement q(handle, QStringLiteral("SELECT %1 FROM Info ORDER BY rowid").arg(RowColumns));
    SearchHits hits;
    while (q.step()) {
        if (matches(test, q, 3))
            collect(hits, q, 0, keepRowsUpTo);
    }
    return hits;
}

qint64 candidateLimit(sqlite3 *handle)
{
    SqlStatement q(handle, QStringLiteral("SELECT max(rowid) FROM Info"));
    const qint64 highest = q.step() ? q.int64At(0) : 0;
    return std::max(FewestCandidateLimit, highest / ScanShareDivisor);
}

// The matching rows among the index's candidates; nothing when there are too many.
std::optional<SearchHits> throughIndex(sqlite3 *handle, const QStringList &keywords, const IndexQuery &query,
                                       qint64 limit, qsizetype keepRowsUpTo)
{
    QList<qint64> candidates;
    {
        SqlStatement q(handle, QStringLiteral("SELECT rowid FROM %1 WHERE %1 MATCH ?1 ORDER BY rowid")
                                   .arg(derived::SearchIndex));
        q.bind(1, query.text);
        while (q.step()) {
            if (candidates.size() >= limit)
                return std::nullopt;
            candidates << q.int64At(0);
        }
    }
    const CaselessKeywords test(keywords);
    SqlStatement row(handle, QStringLiteral("SELECT %1 FROM Info WHERE rowid = ?1").arg(RowColumns));
    SearchHits hits;
    hits.viaIndex = true;
    for (const qint64 candidate : std::as_const(candidates)) {
        row.bind(1, candidate);
        if (row.step() && matches(test, row, 3))
            collect(hits, row, 0, keepRowsUpTo);
        row.reset();
    }
    return hits;
}

} // namespace

SearchHits findRowids(const QSqlDatabase &db, const QString &keywordText, qsizetype keepRowsUpTo)
{
    sqlite3 *handle = sqliteHandle(db);
    const QStringList keywords = splitKeywords(keywordText);
    // Every keyword needs three characters for the index; one short keyword means a scan.
    const bool indexable = std::all_of(keywords.cbegin(), keywords.cend(),
                                       [](const QString &k) { return !trigramsOf(k).isEmpty(); });
    const bool useIndex = indexable && searchIndexReady(handle);
    const ReadTransaction reading(handle);
    if (useIndex) {
        try {
            const qint64 limit = candidateLimit(handle);
            const std::optional<IndexQuery> query = planQuery(handle, keywords);
            if (query && query->rows <= limit) {
                if (std::optional<SearchHits> found =
                        throughIndex(handle, keywords, *query, limit, keepRowsUpTo))
                    return *std::move(found);
            }
        } catch (const RunTimeError &) {
            // The index could not be read (an SQLite without FTS5 reading a catalogue that has
            // one, say): the scan below gives the answer, or the real failure.
        }
    }
    return scan(handle, keywords, keepRowsUpTo);
}

} // namespace pixdock::catalogue
