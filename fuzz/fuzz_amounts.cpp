// Reads arbitrary lines as ingredient amounts and scales them (see
// fuzz/amountchecks.h).
#include "fuzz/amountchecks.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!FuzzChecks::amounts(data, size))
        std::abort();
    return 0;
}
