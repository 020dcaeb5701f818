// Comparison and LIKE without regard to case. Both fold each code point on its own
// (QChar::toCaseFolded, as QString::toCaseFolded does), so equality and a LIKE without
// wildcards agree.
#include "CatalogueUnicode.h"

#include <vector>

namespace pixdock::catalogue {

namespace {

} // namespace

char32_t nextCodePoint(QStringView s, qsizetype &i)
{
    const QChar c = s.at(i++);
    if (c.isHighSurrogate() && i < s.size() && s.at(i).isLowSurrogate())
        return QChar::surrogateToUcs4(c, s.at(i++));
    return c.unicode();
}

namespace {

char32_t fold(char32_t c) { return QChar::toCaseFolded(c); }

// The lead byte's own bits, as SQLite's UTF-8 reader takes them.
char32_t leadBits(unsigned char lead)
{
    if (lead < 0xE0)
        return lead & 0x1F;
    if (lead < 0xF0)
        return lead & 0x0F;
    if (lead < 0xF8)
        return lead & 0x07;
    if (lead < 0xFC)
        return lead & 0x03;
    if (lead < 0xFE)
        return lead & 0x01;
    return 0;
}

// A value past the last code point, as it comes back from SQLite's UTF-16: its low twenty
// bits over the first supplementary plane.
char32_t throughUtf16(char32_t c) { return c > 0x10FFFF ? ((c - 0x10000) & 0xFFFFF) + 0x10000 : c; }

bool containsAt(const std::vector<char32_t> &text, size_t at, const std::vector<char32_t> &keyword)
{
    for (size_t k = 1; k < keyword.size(); ++k) {
        if (text[at + k] != keyword[k])
            return false;
    }
    return true;
}

std::vector<char32_t> foldedCodePoints(QStringView s)
{
    std::vector<char32_t> out;
    out.reserve(size_t(s.size()));
    for (qsizetype i = 0; i < s.size();)
        out.push_back(fold(nextCodePoint(s, i)));
    return out;
}

struct PatternItem
{
    enum Kind { Literal, AnyRun, AnyOne } kind;
    char32_t codePoint;
};

// Returns false for a pattern that ends in the escape character, which matches nothing.
bool parsePattern(QStringView pattern, std::optional<char32_t> escape, std::vector<PatternItem> &items)
{
    items.reserve(size_t(pattern.size()));
    for (qsizetype i = 0; i < pattern.size();) {
        const char32_t c = nextCodePoint(pattern, i);
        if (escape && c == *escape) {
            if (i >= pattern.size())
                return false;
            items.push_back({PatternItem::Literal, fold(nextCodePoint(pattern, i))});
        } else if (c == U'%') {
            if (items.empty() || items.back().kind != PatternItem::AnyRun)
                items.push_back({PatternItem::AnyRun, 0});
        } else if (c == U'_') {
            items.push_back({PatternItem::AnyOne, 0});
        } else {
            items.push_back({PatternItem::Literal, fold(c)});
        }
    }
    return true;
}

} // namespace

int compareIgnoringCase(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t x = fold(nextCodePoint(a, i));
        const char32_t y = fold(nextCodePoint(b, j));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

bool likeMatches(QStringView pattern, QStringView text, std::optional<char32_t> escape)
{
    std::vector<PatternItem> items;
    if (!parsePattern(pattern, escape, items))
        return false;
    const std::vector<char32_t> t = foldedCodePoints(text);

    // Wildcard matching with backtracking to the last %: linear for most patterns.
    size_t p = 0;
    size_t k = 0;
    size_t runAt = size_t(-1);
    size_t runText = 0;
    while (k < t.size()) {
        if (p < items.size() && items[p].kind == PatternItem::AnyRun) {
            runAt = p++;
            runText = k;
        } else if (p < items.size()
                   && (items[p].kind == PatternItem::AnyOne || items[p].codePoint == t[k])) {
            ++p;
            ++k;
        } else if (runAt != size_t(-1)) {
            p = runAt + 1;
            k = ++runText;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == PatternItem::AnyRun)
        ++p;
    return p == items.size();
}

void appendFoldedCodePoints(const unsigned char *utf8, int length, std::vector<char32_t> &out)
{
    int i = 0;
    while (i < length) {
        char32_t c = utf8[i++];
        if (c < 0x80) {
            out.push_back(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
            continue;
        }
        if (c >= 0xC0) {
            c = leadBits(static_cast<unsigned char>(c));
            while (i < length && (utf8[i] & 0xC0) == 0x80)
                c = (c << 6) + (utf8[i++] & 0x3F);
            if (c < 0x80 || (c & 0xFFFFF800) == 0xD800 || (c & 0xFFFFFFFE) == 0xFFFE)
                c = 0xFFFD;
        }
        out.push_back(fold(throughUtf16(c)));
    }
}

CaselessKeywords::CaselessKeywords(const QStringList &keywords)
{
    for (const QString &keyword : keywords) {
        std::vector<char32_t> folded = foldedCodePoints(keyword);
        if (folded.empty())
            m_anyText = true;
        m_keywords.push_back(std::move(folded));
    }
}

bool CaselessKeywords::anyIn(const unsigned char *utf8, int length) const
{
    if (m_anyText)
        return true;
    m_text.clear();
    appendFoldedCodePoints(utf8, length, m_text);
    for (const std::vector<char32_t> &keyword : m_keywords) {
        if (keyword.size() > m_text.size())
            continue;
        const size_t last = m_text.size() - keyword.size();
        for (size_t at = 0; at <= last; ++at) {
            if (m_text[at] == keyword[0] && containsAt(m_text, at, keyword))
                return true;
        }
    }
    return false;
}

} // namespace pixdock::catalogue
