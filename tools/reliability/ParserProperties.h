// The properties the fuzzers check on the program's own text handling (the search, paths, the
// folder order) and on the readers of picture data from outside (the EXIF block of a JPEG and
// the preview in it, JPEG data itself, the first bytes of a thumbnail cache entry), kept apart
// from the fuzzer entry points so the tests check them too on every input a fuzzer once failed
// on. Each check returns an empty string when the property holds, else what went wrong.
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
// from textsFromBytes, the picture checks the bytes as they are.
std::string checkInput(const QString &harness, const QByteArray &bytes);

// Turns fuzzer bytes into texts: an even first byte reads the rest as UTF-8 (bad sequences
// become replacement characters), an odd one as raw UTF-16 (lone surrogates included). The
// text is then cut at each U+0001 into at most `parts` pieces; missing pieces are empty.
QStringList textsFromBytes(const uint8_t *data, size_t size, int parts);

} // namespace pixdock::fuzzing
