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

// Every row, in the order the rows were added (the list window sorts them by name).
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

// The removal window's delete of every row with exactly this file name and location: compared
// as the file system compares names, so sunset.jpg never takes SUNSET.JPG, another file, along.
Statement deleteStatement(const QString &fileName, const QString &location);

} // namespace pixdock::catalogue
