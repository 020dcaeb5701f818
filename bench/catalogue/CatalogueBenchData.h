// The catalogue benchmark's data: a catalogue of N rows made the same way every time from a
// seed, with file names, folders and descriptions of a few words drawn from a vocabulary of
// 5,000 words whose frequencies follow Zipf's law (the word of rank r is drawn in proportion
// to 1/r), a few percent of them spelled beyond ASCII.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace pixdock::bench {

// A small, fully specified generator (SplitMix64), so that the data is the same with any
// standard library.
class SeededRandom
{
public:
    explicit SeededRandom(std::uint64_t seed)
        : m_state(seed)
    {
    }
    std::uint64_t next();
    // Uniform in [0, n).
    std::uint32_t below(std::uint32_t n);
    // Uniform in [0, 1).
    double unit();

private:
    std::uint64_t m_state;
};

class Vocabulary
{
public:
    static constexpr int Size = 5000;
    explicit Vocabulary(std::uint64_t seed);

    // Words by rank, the most frequent first.
    const QStringList &words() const { return m_words; }
    // A word drawn by Zipf's law.
    const QString &draw(SeededRandom &random) const;

private:
    QStringList m_words;
    std::vector<double> m_cumulative;
};

struct GeneratedCatalogue
{
    qint64 rows = 0;
    double seconds = 0;
};

// Writes `rows` rows into table Info of the empty catalogue at `path` (made from the schema
// beforehand). Raises nothing: returns 0 rows when the file cannot be written.
GeneratedCatalogue fillBenchCatalogue(const QString &path, const Vocabulary &vocabulary, qint64 rows,
                                      std::uint64_t seed);

// The first word from `rank` on that is ASCII and at least five letters long (beyond ASCII
// when `wide`): a keyword that few descriptions hold.
QString wordFrom(const Vocabulary &vocabulary, int rank, bool wide = false);

// Makes an empty catalogue from the program's schema file.
bool makeEmptyCatalogue(const QString &path);

} // namespace pixdock::bench
