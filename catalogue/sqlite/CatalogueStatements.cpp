// Statement texts and their bound values. UNOCASE is the Unicode case-insensitive collation
// that every catalogue connection registers; the removal compares with SQLite's own exact one.
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
    return {QStringLiteral("SELECT FileName, Location, Description FROM Info ORDER BY rowid"), {}};
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

Statement deleteStatement(const QString &fileName, const QString &location)
{
    return {QStringLiteral("DELETE FROM Info WHERE FileName = ? COLLATE BINARY AND Location = ? COLLATE BINARY"),
            {textValue(fileName), textValue(location)}};
}

} // namespace pixdock::catalogue
