// The properties the fuzzers check on the program's own text handling, kept apart from the
// fuzzer entry points so the tests can check them too on every input a fuzzer once failed on.
// Each check returns an empty string when the property holds, else what went wrong.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <string>

namespace pixdock::fuzzing {

// The fuzzers, each named after the property check it feeds.
inline const QStringList Harnesses = {QStringLiteral("search"), QStringLiteral("paths"), QStringLiteral("order"),
                                      QStringLiteral("exif"), QStringLiteral("jpeg"), QStringLiteral("pnghead")};

// Puts one fuzzer input through the check of the harness named: the text checks take their texts
// from textsFromBytes, the picture checks (PictureProperties.h) the bytes as they are.
std::string checkInput(const QString &harness, const QByteArray &bytes);

// Turns fuzzer bytes into texts: an even first byte reads the rest as UTF-8 (bad sequences
// become replacement characters), an odd one as raw UTF-16 (lone surrogates included). The
// text is then cut at each U+0001 into at most `parts` pieces; missing pieces are empty.
QStringList textsFromBytes(const uint8_t *data, size_t size, int parts);

// The search: the keyword splitter gives back the text when its pieces are joined with commas,
// no keyword holds a comma, every keyword is a substring of the text; the statement holds one
// bound condition per keyword and no keyword text; a keyword's pattern finds exactly the texts
// that contain the keyword regardless of case (checked against `other` and a few texts built
// around the keyword).
std::string checkSearch(const QString &keywordText, const QString &other);

// Paths: GetFileName holds no separator, GetParentDir is the path's beginning without a trailing
// separator (the root keeps its own), the extension is the name's end; for a path without
// repeated or trailing separators that holds a separator, joining parent and name gives the
// path back, and clsFiles and the catalogue split it alike; the full-path rule of a catalogue
// row drops exactly one trailing separator of the location.
std::string checkPaths(const QString &path, const QString &fileName);

// The folder order (viewing::compareFileNames) is a total order: a name equals only itself,
// swapping the two names turns the sign, and the three orderings of each pair agree with one
// ordering of the triple (transitive).
std::string checkOrder(const QString &a, const QString &b, const QString &c);

} // namespace pixdock::fuzzing
