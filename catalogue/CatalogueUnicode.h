// Text comparison without regard to case for all of Unicode, the way the catalogue compares
// file names (the duplicate question) and finds keywords in descriptions.
#pragma once

#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace pixdock::catalogue {

// Reads the code point at i and moves i past it; a lone surrogate stands for itself.
char32_t nextCodePoint(QStringView s, qsizetype &i);

// Orders two texts by their case-folded code points: 0 when they differ in case only.
int compareIgnoringCase(QStringView a, QStringView b);

// LIKE without regard to case: % matches any run of characters, _ exactly one character
// (a whole code point), and the escape character makes the character after it literal.
bool likeMatches(QStringView pattern, QStringView text, std::optional<char32_t> escape = std::nullopt);

// Appends the code points that SQLite reads from these UTF-8 bytes (its own reader: a broken
// sequence as U+FFFD, a lone continuation byte as itself), each case-folded: exactly what the
// collation and `like` compare after SQLite hands them the text as UTF-16.
void appendFoldedCodePoints(const unsigned char *utf8, int length, std::vector<char32_t> &out);

// The search's test of a description, without SQL: whether the text contains any of the
// keywords without regard to case. It gives what "Description LIKE containsPattern(keyword)
// ESCAPE '\'" gives for a value that is not NULL (an empty keyword is in every text).
class CaselessKeywords
{
public:
    explicit CaselessKeywords(const QStringList &keywords);
    // `utf8`: the value as SQLite gives it in UTF-8 (sqlite3_column_text).
    bool anyIn(const unsigned char *utf8, int length) const;

private:
    std::vector<std::vector<char32_t>> m_keywords;
    bool m_anyText = false;
    mutable std::vector<char32_t> m_text;
};


} // namespace pixdock::catalogue
