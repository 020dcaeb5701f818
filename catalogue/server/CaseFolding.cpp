// Folding text by code point with QChar::toCaseFolded.
#include "CaseFolding.h"

#include <QChar>

namespace pixdock::catalogue {

QString caseFolded(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, text.at(i + 1)));
            out += QChar::fromUcs4(folded);
            ++i;
        } else if (c.isSurrogate()) {
            out += c;
        } else {
            out += QChar(char16_t(QChar::toCaseFolded(c.unicode())));
        }
    }
    return out;
}

QString caseFolded(const QString &text) { return text.isNull() ? QString() : caseFolded(QStringView(text)); }

const QList<std::pair<char32_t, char32_t>> &caseFoldingPairs()
{
    static const QList<std::pair<char32_t, char32_t>> pairs = [] {
        QList<std::pair<char32_t, char32_t>> all;
        for (char32_t c = 1; c <= 0x10FFFF; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            const char32_t folded = QChar::toCaseFolded(c);
            if (folded != c)
                all.append({c, folded});
        }
        return all;
    }();
    return pairs;
}

} // namespace pixdock::catalogue
