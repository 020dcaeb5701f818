// libFuzzer harness of one property check, chosen when it is built (PIXDOCK_FUZZ_HARNESS: search,
// paths, order, exif, jpeg or pnghead; see checkInput). A broken property aborts with its description.
#include "ParserProperties.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::string problem = pixdock::fuzzing::checkInput(QStringLiteral(PIXDOCK_FUZZ_HARNESS), bytes);
    if (!problem.empty()) {
        std::fprintf(stderr, "property broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
