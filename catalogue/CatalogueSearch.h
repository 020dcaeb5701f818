// The keyword search at any size. It finds exactly the rows of the search statement, in the
// same order (table order), but asks the trigram index for candidates first when every
// keyword has three characters or more; each candidate is then checked with the statement's
// own condition, so the index only ever narrows the work, never the answer. Short keywords,
// a catalogue without a current index, and keywords found in a large part of the catalogue
// (where reading candidates one by one would cost more) go through the plain scan.
#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace pixdock::catalogue {

struct SearchHits
{
    // Row ids of the matching rows, ascending (the table's order).
    QList<qint64> rowids;
    // Whether the candidates came from the index (false: the plain scan).
    bool viaIndex = false;
};

// Raises the program's run-time error when the catalogue cannot be read.
SearchHits findRowids(const QSqlDatabase &db, const QString &keywordText);

// The index query whose rows include every row with a description holding one of the
// keywords; empty when some keyword cannot be looked up (fewer than three characters, a NUL
// or half a surrogate pair, or the tokenizer's case folding unknown).
QString trigramQuery(const QStringList &keywords);

} // namespace pixdock::catalogue
