// The properties the fuzzers check on the program's own text handling (the search, paths, the
// folder order) and on the readers of picture data from outside (the EXIF block of a JPEG and
// the preview in it, JPEG data itself, the first bytes of a thumbnail cache entry), kept apart
// from the fuzzer entry points so the tests check them too on every input a fuzzer once failed
// on.
#pragma once

#include <QString>

#include <string>

namespace pixdock::fuzzing {

// Puts one fuzzer input through the check of the harness named (search, paths, order, exif, jpeg,
// pnghead); empty when the property holds, else what went wrong. The text checks read the bytes
// as UTF-8 after an even first byte, as raw UTF-16 (lone surrogates included) after an odd one,
// and cut the text at each U+0001 into their two or three texts; the picture checks take the
// bytes as they are.
std::string checkInput(const QString &harness, const QByteArray &bytes);

} // namespace pixdock::fuzzing
