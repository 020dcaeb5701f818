// The keyword search through the trigram index, with the plain scan as its fallback.
#include "CatalogueSearch.h"

#include "CatalogueIndexes.h"
#include "CatalogueSqlite.h"
#include "CatalogueStatements.h"
#include "CatalogueTrigramCase.h"

#include <QSet>

#include <algorithm>
#include <optional>

namespace pixdock::catalogue {

namespace {

// A trigram whose letters have more spellings than this together is left out of the query:
// the query only gets looser, never stricter.
constexpr qsizetype MostSpellingsPerTrigram = 27;
// Candidates are read one by one; past this share of the table the scan is cheaper.
constexpr qint64 ScanShareDivisor = 10;
constexpr qint64 FewestCandidateLimit = 2000;

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

QString quoted(const QString &trigram)
{
    return QLatin1Char('"') + QString(trigram).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// "t1" AND ("t2" OR "t2'") AND ... for one keyword; empty when it cannot be looked up.
QString keywordQuery(const QString &keyword)
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
    QStringList terms;
    QSet<QString> seen;
    for (qsizetype i = 0; i + 2 < codes.size(); ++i) {
        const QList<char32_t> &a = spellings.at(i);
        const QList<char32_t> &b = spellings.at(i + 1);
        const QList<char32_t> &c = spellings.at(i + 2);
        if (a.size() * b.size() * c.size() > MostSpellingsPerTrigram)
            continue;
        QStringList alternatives;
        for (const char32_t x : a) {
            for (const char32_t y : b) {
                for (const char32_t z : c) {
                    const char32_t trigram[] = {x, y, z};
                    alternatives << quoted(QString::fromUcs4(trigram, 3));
                }
            }
        }
        const QString term = alternatives.size() == 1
                                 ? alternatives.first()
                                 : QLatin1Char('(') + alternatives.join(QStringLiteral(" OR ")) + QLatin1Char(')');
        if (!seen.contains(term)) {
            seen.insert(term);
            terms << term;
        }
    }
    if (terms.isEmpty())
        return {};
    return QLatin1Char('(') + terms.join(QStringLiteral(" AND ")) + QLatin1Char(')');
}

void bindPatterns(SqlStatement &statement, const QStringList &keywords, int firstPosition)
{
    for (qsizetype i = 0; i < keywords.size(); ++i)
        statement.bind(firstPosition + int(i), containsPattern(keywords.at(i)));
}

QList<qint64> scan(sqlite3 *handle, const QStringList &keywords)
{
    SqlStatement q(handle, QStringLiteral("SELECT rowid FROM Info WHERE ") + searchCondition(keywords.size())
                               + QStringLiteral(" ORDER BY rowid"));
    bindPatterns(q, keywords, 1);
    QList<qint64> rowids;
    while (q.step())
        rowids << q.int64At(0);
    return rowids;
}

qint64 candidateLimit(sqlite3 *handle)
{
    SqlStatement q(handle, QStringLiteral("SELECT max(rowid) FROM Info"));
    const qint64 highest = q.step() ? q.int64At(0) : 0;
    return std::max(FewestCandidateLimit, highest / ScanShareDivisor);
}

// The matching rows among the index's candidates; nothing when there are too many.
std::optional<QList<qint64>> throughIndex(sqlite3 *handle, const QStringList &keywords, const QString &query)
{
    const qint64 limit = candidateLimit(handle);
    QList<qint64> candidates;
    {
        SqlStatement q(handle, QStringLiteral("SELECT rowid FROM %1 WHERE %1 MATCH ?1 ORDER BY rowid")
                                   .arg(derived::SearchIndex));
        q.bind(1, query);
        while (q.step()) {
            if (candidates.size() >= limit)
                return std::nullopt;
            candidates << q.int64At(0);
        }
    }
    SqlStatement check(handle, QStringLiteral("SELECT rowid FROM Info WHERE rowid = ?1 AND (")
                                   + searchCondition(keywords.size()) + QLatin1Char(')'));
    bindPatterns(check, keywords, 2);
    QList<qint64> rowids;
    for (const qint64 candidate : std::as_const(candidates)) {
        check.bind(1, candidate);
        if (check.step())
            rowids << candidate;
        check.reset();
    }
    return rowids;
}

} // namespace

QString trigramQuery(const QStringList &keywords)
{
    QStringList parts;
    for (const QString &keyword : keywords) {
        const QString part = keywordQuery(keyword);
        if (part.isEmpty())
            return {};
        parts << part;
    }
    return parts.join(QStringLiteral(" OR "));
}

SearchHits findRowids(const QSqlDatabase &db, const QString &keywordText)
{
    sqlite3 *handle = sqliteHandle(db);
    const QStringList keywords = splitKeywords(keywordText);
    const QString query = trigramQuery(keywords);
    if (!query.isEmpty() && searchIndexReady(handle)) {
        try {
            if (std::optional<QList<qint64>> found = throughIndex(handle, keywords, query))
                return {*std::move(found), true};
        } catch (const RunTimeError &) {
            // The index could not be read (an SQLite without FTS5 reading a catalogue that has
            // one, say): the scan below gives the answer, or the real failure.
        }
    }
    return {scan(handle, keywords), false};
}

} // namespace pixdock::catalogue
