// Writes arbitrary bytes to recipes.zip and reads it as a cookbook the cook
// gave: every name and size checked, the recipe files and pictures taken out.
// Any outcome is fine except a crash, a sanitizer report or a reading that
// contradicts itself (see fuzz/importchecks.h).
#include "fuzz/importchecks.h"

#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzChecks::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/zx-fuzz-zip-XXXXXX"));
    if (!folder.isValid() || FuzzChecks::zip(folder.path(), data, size) == FuzzChecks::Contradiction)
        std::abort();
    return 0;
}
