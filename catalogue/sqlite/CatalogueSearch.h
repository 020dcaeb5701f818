// The keyword search at any size. It finds exactly the rows of the search statement, in the
// same order (table order), but asks the trigram index for candidates first when every
// keyword has three characters or more; each candidate's description is then tested against
// the keywords as the statement's LIKE tests it (CaselessKeywords), so the index only ever
// narrows the work, never the answer. Rows the index has not taken in yet (changed since it
// last caught up, or beyond what it is built through) are candidates too. Short keywords, a
// catalogue without a usable index, and keywords found in a large part of the catalogue (where
// reading candidates one by one would cost more) go through a scan of the table with the same
// test.
//
// Also here: keeping the index current, in bounded steps of the upkeep.
#pragma once

#include "CatalogueStore.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <functional>

struct sqlite3;

namespace pixdock::catalogue {

class SqlStatement;

// Calls `found` with each matching row, in rowid order: the statement positioned on it, its
// columns rowid, FileName, Location, Description. Runs inside the caller's read transaction;
// `found` returns false to stop. Returns whether the index gave the candidates.
bool visitMatches(sqlite3 *handle, const QStringList &keywords,
                  const std::function<bool(const SqlStatement &row)> &found);

struct SearchHits
{
    // Row ids of the matching rows, ascending (the table's order).
    QList<qint64> rowids;
    // The rows themselves, when there are no more than asked for; else empty.
    QList<CatalogueRow> rows;
    // Whether the candidates came from the index (false: the plain scan).
    bool viaIndex = false;
};

// The same on a connection, gathered. Raises the program's run-time error when the catalogue
// cannot be read. The rows are kept when there are at most `keepRowsUpTo` of them.
SearchHits findRowids(const QSqlDatabase &db, const QString &keywordText, qsizetype keepRowsUpTo = 0);

// One bounded step of keeping the search index current: building it a batch of rows at a time,
// then taking in the rows changed since it last caught up. Returns false when there was
// nothing to do; raises when the catalogue cannot be written now.
bool stepSearchIndex(sqlite3 *handle);

} // namespace pixdock::catalogue
