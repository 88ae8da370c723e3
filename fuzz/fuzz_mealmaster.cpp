// Reads arbitrary bytes as MealMaster text and finishes its recipes as an
// import does.
// Any outcome is fine except a crash, a sanitizer report or a reading that
// contradicts itself (see fuzz/importchecks.h).
#include "fuzz/importchecks.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzChecks::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (FuzzChecks::mealMaster(data, size) == FuzzChecks::Contradiction)
        std::abort();
    return 0;
}
