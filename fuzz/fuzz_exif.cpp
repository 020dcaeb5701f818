// libFuzzer harness: the EXIF block of a JPEG and the preview in it.
// The properties checked are in PictureProperties.h; a broken one aborts with its description.
#include "PictureProperties.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::string problem = pixdock::fuzzing::checkExif(bytes);
    if (!problem.empty()) {
        std::fprintf(stderr, "property broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
