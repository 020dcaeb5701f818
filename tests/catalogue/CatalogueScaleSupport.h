// What the catalogue's index and paging tests share: a connection of another program (no
// functions of ours, as the sqlite3 shell would have), awkward text, and reading grid rows out.
#pragma once

#include "CatalogueGridRows.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

namespace pixdock::test {

// A connection to db.fil as another program has it: plain SQLite, no UNOCASE, no `like` of ours.
class ForeignConnection
{
public:
    explicit ForeignConnection(const QString &path, const QString &options = {});
    ~ForeignConnection();
    ForeignConnection(const ForeignConnection &) = delete;
    ForeignConnection &operator=(const ForeignConnection &) = delete;

    QSqlDatabase database() const;
    // Runs a statement with its values bound; fails the test (returns false) when refused.
    bool exec(const QString &sql, const QVariantList &values = {}) const;
    // The first column of the first row of a query.
    QVariant value(const QString &sql) const;

private:
    QString m_name;
};

// Text drawn from letters whose case folds in awkward ways (Kelvin sign, long s, sharp s,
// Greek sigmas, Cherokee, the rare Cyrillic and Georgian forms SQLite's tokenizer does not
// fold), SQL and LIKE specials (' " % _ \ ,), characters outside the BMP, and plain letters.
QString awkwardText(QRandomGenerator &random, int length);
// The same text with the case of its letters changed at random, among all the forms that fold
// alike (k, K and the Kelvin sign...).
QString otherCase(QRandomGenerator &random, const QString &text);

// Every row of a grid's rows, in order.
QList<catalogue::CatalogueRow> allRows(const catalogue::GridRows &rows);

// A file's bytes; none when it cannot be read.
QByteArray fileBytes(const QString &path);

// The objects of the catalogue's schema, by name (tables, indexes, triggers).
QStringList schemaNames(const QString &cataloguePath);

} // namespace pixdock::test
