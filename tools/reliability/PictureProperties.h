// The properties the fuzzers check on the readers of picture data from outside: the EXIF
// block of a JPEG and the preview in it, JPEG data itself (header, regions, reduced and whole
// decodes, thumbnails), and the first bytes of a thumbnail cache entry. Kept apart from the
// fuzzer entry points so the tests check them on every input a fuzzer once failed on. Each
// check returns an empty string when the property holds, else what went wrong.
#pragma once

#include <QByteArray>

#include <string>

namespace pixdock::fuzzing {

// `tiff` after "Exif\0\0" as a JPEG's APP1 block: the orientation read is 0 to 8 and the
// preview lies inside the block; a preview that reads as a JPEG decodes to the size its header
// gives, reduced; the thumbnail source of a small JPEG carrying the block is that picture's
// size, upright, whether it came from the preview or not.
std::string checkExif(const QByteArray &tiff);

// `bytes` as a JPEG file: a header that reads gives a size libjpeg accepts; a picture of a
// megapixel or less decodes whole, and any region of it that decodes without meeting damaged
// data has exactly the whole picture's pixels there; the thumbnail source is empty or of the
// picture's upright size or smaller.
std::string checkJpeg(const QByteArray &bytes);

// `bytes` as the start of a PNG file: reading its head never looks past the bytes, and what
// any shorter start says is part of what the whole says.
std::string checkPngHead(const QByteArray &bytes);

} // namespace pixdock::fuzzing
