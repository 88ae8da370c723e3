// Feeds arbitrary patterns and names to the search window's pattern matcher.
#include "fuzz/checks.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!FuzzChecks::jetLike(data, size))
        std::abort();
    return 0;
}
