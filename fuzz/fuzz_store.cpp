// Opens an arbitrary file as cate.mdb and runs the reading operations the
// windows use on it. Any outcome is fine except a crash, a sanitizer report,
// or an operation that claims success with data that contradicts itself.
#include "fuzz/checks.h"

#include <QDir>

#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = [] {
        const QString dir = QDir::tempPath() + QStringLiteral("/zx-fuzz-store-%1").arg(getpid());
        QDir().mkpath(dir);
        return dir + QStringLiteral("/cate.mdb");
    }();
    if (!FuzzChecks::store(path, data, size))
        std::abort();
    return 0;
}
