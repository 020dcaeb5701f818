// Statement texts and their bound values. UNOCASE is the Unicode case-insensitive collation
// that every catalogue connection registers.
#include "CatalogueStatements.h"

namespace pixdock::catalogue {

namespace {
// An empty box gives a null QString, which Qt would bind as NULL; the catalogue stores
// the empty text instead, so that the row can be found again by the same value.
QVariant textValue(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}
} // namespace

Statement listStatement()
{
    // rowid keeps rows of equal names in the order they were added.
    return {QStringLiteral("SELECT FileName, Location, Description FROM Info "
                           "ORDER BY FileName COLLATE UNOCASE, rowid"),
            {}};
}

QStringList splitKeywords(const QString &keywordText)
{
    return keywordText.split(QLatin1Char(','), Qt::KeepEmptyParts);
}

QString containsPattern(const QString &keyword)
{
    QString pattern;
    pattern.reserve(keyword.size() + 2);
    pattern += QLatin1Char('%');
    for (const QChar c : keyword) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    pattern += QLatin1Char('%');
    return pattern;
}

QString searchCondition(qsizetype keywordCount)
{
    QStringList conditions;
    for (qsizetype i = 0; i < keywordCount; ++i)
        conditions << QStringLiteral("Description LIKE ? ESCAPE '\\'");
    return conditions.join(QStringLiteral(" OR "));
}

Statement searchStatement(const QString &keywordText)
{
    Statement s;
    const QStringList keywords = splitKeywords(keywordText);
    for (const QString &keyword : keywords)
        s.values << containsPattern(keyword);
    s.text = QStringLiteral("SELECT FileName, Location, Description FROM Info WHERE ") + searchCondition(keywords.size());
    return s;
}

Statement duplicateTestStatement(const QString &fileName)
{
    return {QStringLiteral("SELECT count(*) FROM Info WHERE FileName = ? COLLATE UNOCASE"),
            {textValue(fileName)}};
}

Statement insertStatement(const QString &fileName, const QString &location, const QString &description)
{
    return {QStringLiteral("INSERT INTO Info (FileName, Location, Description) VALUES (?, ?, ?)"),
            {textValue(fileName), textValue(location), textValue(description)}};
}

namespace {
const QString RemovalCondition =
    QStringLiteral("WHERE FileName = ? COLLATE UNOCASE AND Location = ? COLLATE UNOCASE");
} // namespace

Statement deleteStatement(const QString &fileName, const QString &location)
{
    return {QStringLiteral("DELETE FROM Info ") + RemovalCondition, {textValue(fileName), textValue(location)}};
}

Statement rowsToDeleteStatement(const QString &fileName, const QString &location)
{
    return {QStringLiteral("SELECT rowid, FileName, Location, Description FROM Info ") + RemovalCondition,
            {textValue(fileName), textValue(location)}};
}

} // namespace pixdock::catalogue
