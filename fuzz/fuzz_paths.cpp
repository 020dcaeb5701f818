// libFuzzer harness: path splitting and joining of clsFiles and the full-path rule of a catalogue row.
// The properties checked are in ParserProperties.h; a broken one aborts with its description.
#include "ParserProperties.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace pixdock::fuzzing;
    const QStringList t = textsFromBytes(data, size, 2);
    const std::string problem = checkPaths(t.at(0), t.at(1));
    if (!problem.empty()) {
        std::fprintf(stderr, "property broken: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
