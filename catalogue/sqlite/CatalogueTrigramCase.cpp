// Learning the trigram tokenizer's case folding: every character that Qt folds to another,
// and that other, run through the tokenizer once; the first character of each trigram it
// gives back is its folding of that character.
#include "CatalogueTrigramCase.h"

#include <QChar>
#include <QHash>
#include <QString>

#include <sqlite3.h>

#include <vector>

namespace pixdock::catalogue {

namespace {

char32_t firstCodePoint(const char *utf8, int bytes)
{
    const QString s = QString::fromUtf8(utf8, bytes);
    if (s.isEmpty())
        return 0;
    if (s.size() > 1 && s.at(0).isHighSurrogate() && s.at(1).isLowSurrogate())
        return QChar::surrogateToUcs4(s.at(0), s.at(1));
    return s.at(0).unicode();
}

int collectFirst(void *context, int, const char *token, int bytes, int, int)
{
    static_cast<std::vector<char32_t> *>(context)->push_back(firstCodePoint(token, bytes));
    return SQLITE_OK;
}

fts5_api *fts5Of(sqlite3 *handle)
{
    fts5_api *api = nullptr;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(handle, "SELECT fts5(?1)", -1, &statement, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
        sqlite3_step(statement);
    }
    sqlite3_finalize(statement);
    return api;
}

// The tokenizer's folding of each character in turn; empty when it cannot be run.
std::vector<char32_t> tokenizerFolding(const std::vector<char32_t> &characters)
{
    sqlite3 *handle = nullptr;
    std::vector<char32_t> folded;
    if (sqlite3_open_v2(":memory:", &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr)
        == SQLITE_OK) {
        fts5_api *api = fts5Of(handle);
        void *userData = nullptr;
        fts5_tokenizer tokenizer{};
        Fts5Tokenizer *instance = nullptr;
        const char *arguments[] = {"case_sensitive", "0"};
        if (api && api->xFindTokenizer(api, "trigram", &userData, &tokenizer) == SQLITE_OK
            && tokenizer.xCreate(userData, arguments, 2, &instance) == SQLITE_OK) {
            // Two letters more, so that the last characters start a trigram too.
            QString text = QString::fromUcs4(characters.data(), qsizetype(characters.size()));
            text += QStringLiteral("aa");
            const QByteArray utf8 = text.toUtf8();
            tokenizer.xTokenize(instance, &folded, FTS5_TOKENIZE_DOCUMENT, utf8.constData(), int(utf8.size()),
                                collectFirst);
            tokenizer.xDelete(instance);
        }
    }
    sqlite3_close(handle);
    if (folded.size() != characters.size())
        folded.clear();
    return folded;
}

struct TrigramCase
{
    bool known = false;
    // For each group the tokenizer splits (keyed by Qt's folding): one member per spelling.
    QHash<char32_t, QList<char32_t>> split;
    // The tokenizer's folding of every character of a group.
    QHash<char32_t, char32_t> folded;
};

TrigramCase learn()
{
    // Groups of characters equal without regard to case, keyed by their folding.
    QHash<char32_t, QList<char32_t>> groups;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const char32_t f = QChar::toCaseFolded(c);
        if (f == c)
            continue;
        QList<char32_t> &members = groups[f];
        if (members.isEmpty())
            members << f;
        members << c;
    }
    std::vector<char32_t> characters;
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        characters.insert(characters.end(), it.value().cbegin(), it.value().cend());
    const std::vector<char32_t> folded = tokenizerFolding(characters);

    TrigramCase result;
    if (folded.empty())
        return result;
    result.known = true;
    size_t at = 0;
    for (auto it = groups.cbegin(); it != groups.cend(); ++it) {
        QList<char32_t> spellings;
        QList<char32_t> seen;
        for (const char32_t member : it.value()) {
            result.folded.insert(member, folded[at]);
            if (!seen.contains(folded[at])) {
                seen << folded[at];
                spellings << member;
            }
            ++at;
        }
        if (spellings.size() > 1)
            result.split.insert(it.key(), spellings);
    }
    return result;
}

const TrigramCase &trigramCase()
{
    static const TrigramCase learnt = learn();
    return learnt;
}

} // namespace

QList<char32_t> trigramSpellings(char32_t c)
{
    const TrigramCase &known = trigramCase();
    if (!known.known)
        return {};
    return known.split.value(QChar::toCaseFolded(c), QList<char32_t>{c});
}

char32_t trigramFolded(char32_t c) { return trigramCase().folded.value(c, c); }

bool trigramCaseKnown() { return trigramCase().known; }

} // namespace pixdock::catalogue
