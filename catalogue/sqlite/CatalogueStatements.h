// The statements the program sends to the catalogue. Each builder returns the statement text
// and the values to bind to its placeholders: values never become part of the text, so a
// quote, %, _ or ; in a file name, folder or keyword cannot change what a statement does.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

namespace pixdock::catalogue {

struct Statement
{
    QString text;
    QVariantList values;
};

// The list window's load: every row, ordered by file name without regard to case.
Statement listStatement();

// The keyword search: rows whose description contains any of the keywords literally.
Statement searchStatement(const QString &keywordText);
// The search's condition for `keywordCount` keywords: one LIKE per keyword, joined by OR, each
// taking its containsPattern from the next bound value.
QString searchCondition(qsizetype keywordCount);
// The keywords of a search text, split at each comma; nothing is trimmed or dropped, so
// "beach, dog" gives "beach" and " dog", and "beach," gives "beach" and "".
QStringList splitKeywords(const QString &keywordText);
// A LIKE pattern matching text that contains `keyword` literally (escape character '\').
QString containsPattern(const QString &keyword);

// The add window's duplicate test: how many rows carry this file name, ignoring case.
Statement duplicateTestStatement(const QString &fileName);
// The add window's append of one row.
Statement insertStatement(const QString &fileName, const QString &location, const QString &description);

// The removal window's delete of every row with this file name and location, ignoring case.
Statement deleteStatement(const QString &fileName, const QString &location);
// The rows that deleteStatement would remove: rowid, FileName, Location, Description.
Statement rowsToDeleteStatement(const QString &fileName, const QString &location);

} // namespace pixdock::catalogue
