// Generating the benchmark catalogue.
#include "CatalogueBenchData.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <iterator>

namespace pixdock::bench {

std::uint64_t SeededRandom::next()
{
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint32_t SeededRandom::below(std::uint32_t n) { return std::uint32_t((next() >> 32) * n >> 32); }

double SeededRandom::unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }

namespace {

const char *const Onsets[] = {"b", "c", "d", "f", "g",  "h",  "k",  "l",  "m",  "n",  "p",  "r",  "s",
                              "t", "v", "w", "z", "br", "st", "tr", "gr", "pl", "sh", "ch", "th", ""};
const char *const Vowels[] = {"a", "e", "i", "o", "u", "ea", "ou", "ai", "y"};
const char *const Codas[] = {"", "", "", "n", "r", "s", "l", "t", "m", "nd", "rk", "st"};
// Spellings beyond ASCII: accented Latin (in both cases), Greek and Cyrillic.
const char16_t *const Wide[] = {u"é", u"É", u"ü", u"Ö", u"ß", u"ñ", u"ø", u"Å", u"ç", u"ł",
                                u"ğ", u"σ", u"Σ", u"λ", u"д", u"Ж", u"ы", u"ẞ", u"İ", u"ſ"};

QString syllable(SeededRandom &random)
{
    return QLatin1String(Onsets[random.below(std::size(Onsets))])
           + QLatin1String(Vowels[random.below(std::size(Vowels))])
           + QLatin1String(Codas[random.below(std::size(Codas))]);
}

QString capitalized(const QString &word)
{
    return word.isEmpty() ? word : word.left(1).toUpper() + word.mid(1);
}

} // namespace

Vocabulary::Vocabulary(std::uint64_t seed)
{
    SeededRandom random(seed ^ 0x5A17F00DULL);
    QSet<QString> seen;
    while (m_words.size() < Size) {
        QString word;
        const int syllables = 1 + int(random.below(3));
        for (int s = 0; s < syllables; ++s)
            word += syllable(random);
        if (word.size() < 3)
            continue;
        // About one word in twenty-five gets a letter beyond ASCII.
        if (random.below(25) == 0)
            word.insert(qsizetype(random.below(std::uint32_t(word.size()))),
                        QString::fromUtf16(Wide[random.below(std::size(Wide))]));
        if (seen.contains(word))
            continue;
        seen.insert(word);
        m_words << word;
    }
    double total = 0;
    m_cumulative.reserve(Size);
    for (int rank = 1; rank <= Size; ++rank) {
        total += 1.0 / rank;
        m_cumulative.push_back(total);
    }
    for (double &c : m_cumulative)
        c /= total;
}

const QString &Vocabulary::draw(SeededRandom &random) const
{
    const double u = random.unit();
    const auto at = std::lower_bound(m_cumulative.begin(), m_cumulative.end(), u);
    return m_words.at(std::min<qsizetype>(at - m_cumulative.begin(), Size - 1));
}

namespace {

QString fileName(const Vocabulary &words, SeededRandom &random)
{
    switch (random.below(10)) {
    case 0:
    case 1:
    case 2:
        return QStringLiteral("IMG_%1.JPG").arg(random.below(1000000), 6, 10, QLatin1Char('0'));
    case 3:
    case 4:
        return QStringLiteral("%1 %2 %3.jpeg")
            .arg(capitalized(words.draw(random)), words.draw(random))
            .arg(random.below(100));
    default: {
        const QString word = words.draw(random);
        return QStringLiteral("%1_%2.jpg")
            .arg(random.below(2) ? capitalized(word) : word)
            .arg(random.below(10000));
    }
    }
}

QString folder(const Vocabulary &words, SeededRandom &random)
{
    return QStringLiteral("/home/user/Pictures/%1/%2").arg(2000 + random.below(25)).arg(words.draw(random));
}

QString description(const Vocabulary &words, SeededRandom &random)
{
    const int count = 3 + int(random.below(7));
    QString text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += QLatin1Char(' ');
        const QString &word = words.draw(random);
        text += (i == 0 && random.below(3) == 0) ? capitalized(word) : word;
    }
    return text;
}

bool bindText(sqlite3_stmt *statement, int position, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text(statement, position, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT)
           == SQLITE_OK;
}

} // namespace

bool makeEmptyCatalogue(const QString &path)
{
    QFile schema(QStringLiteral(PIXDOCK_SCHEMA_FILE));
    if (!schema.open(QIODevice::ReadOnly))
        return false;
    const QByteArray sql = schema.readAll();
    QFile::remove(path);
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
              && sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

GeneratedCatalogue fillBenchCatalogue(const QString &path, const Vocabulary &vocabulary, qint64 rows,
                                      std::uint64_t seed)
{
    QElapsedTimer clock;
    clock.start();
    GeneratedCatalogue made;
    sqlite3 *db = nullptr;
    sqlite3_stmt *insert = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
        && sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db, "INSERT INTO Info (FileName, Location, Description) VALUES (?1, ?2, ?3)",
                              -1, &insert, nullptr)
               == SQLITE_OK) {
        SeededRandom random(seed);
        bool ok = true;
        for (qint64 n = 0; n < rows && ok; ++n) {
            ok = bindText(insert, 1, fileName(vocabulary, random))
                 && bindText(insert, 2, folder(vocabulary, random))
                 && bindText(insert, 3, description(vocabulary, random))
                 && sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
        }
        if (ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)
            made.rows = rows;
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
    made.seconds = double(clock.nsecsElapsed()) / 1e9;
    return made;
}

QString wordFrom(const Vocabulary &vocabulary, int rank, bool wide)
{
    const auto plainAscii = [](const QString &word) {
        return std::all_of(word.cbegin(), word.cend(), [](QChar c) { return c.unicode() < 0x80; });
    };
    for (int r = rank; r < vocabulary.words().size(); ++r) {
        const QString &w = vocabulary.words().at(r);
        if (w.size() >= 5 && plainAscii(w) != wide)
            return w;
    }
    return vocabulary.words().at(rank);
}

} // namespace pixdock::bench
