// Runs fuzzed sequences of store operations against a model (fuzz/storeops.h).
#include "fuzz/storeops.h"

#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = [] {
        const QString dir = QDir::tempPath() + QStringLiteral("/zx-fuzz-ops-%1").arg(getpid());
        QDir().mkpath(dir);
        return dir + QStringLiteral("/cate.mdb");
    }();
    if (const char *mismatch = storeOps(path, data, size)) {
        std::fprintf(stderr, "model mismatch: %s\n", mismatch);
        std::abort();
    }
    return 0;
}
