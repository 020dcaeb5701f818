// The keyword search at any size. It finds exactly the rows of the search statement, in the
// same order (table order), but asks the trigram index for candidates first when every
// keyword has three characters or more; each candidate's description is then tested against
// the keywords as the statement's LIKE tests it (CaselessKeywords), so the index only ever
// narrows the work, never the answer. Short keywords, a catalogue without a current index, and
// keywords found in a large part of the catalogue (where reading candidates one by one would
// cost more) go through a scan of the table with the same test.
#pragma once

#include "CatalogueStore.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace pixdock::catalogue {

struct SearchHits
{
    // Row ids of the matching rows, ascending (the table's order).
    QList<qint64> rowids;
    // The rows themselves, when there are no more than asked for; else empty.
    QList<CatalogueRow> rows;
    // Whether the candidates came from the index (false: the plain scan).
    bool viaIndex = false;
};

// Raises the program's run-time error when the catalogue cannot be read. The rows are kept
// when there are at most `keepRowsUpTo` of them.
SearchHits findRowids(const QSqlDatabase &db, const QString &keywordText, qsizetype keepRowsUpTo = 0);

} // namespace pixdock::catalogue
