// Opens an arbitrary file as cate.mdb and runs the reading operations the
// windows use on it: the probe, the catalogue rebuild, the category list and
// a search. Any outcome is fine except a crash, a sanitizer report, or an
// operation that claims success with data that contradicts itself.
#include "store/recipestore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString workPath()
{
    static const QString path = [] {
        const QString dir = QDir::tempPath() + QStringLiteral("/zx-fuzz-store-%1").arg(getpid());
        QDir().mkpath(dir);
        return dir + QStringLiteral("/cate.mdb");
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = workPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    // A stale journal from an earlier input would be replayed into this one.
    QFile::remove(path + QStringLiteral("-journal"));
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));

    const auto probe = RecipeStore::Probe(path);
    (void)probe.ok();
    const auto catalogue = RecipeStore::LoadCatalogue(path);
    if (catalogue && catalogue->totalDishes != catalogue->dishes.size())
        std::abort();
    const auto rows = RecipeStore::ListCategoryRows(path);
    const auto names = RecipeStore::ListCategories(path);
    if (rows && names && rows->size() != names->size())
        std::abort();
    for (const QString &text : {QStringLiteral("a"), QStringLiteral("[a-z]#"), QStringLiteral("豆")}) {
        const auto found = RecipeStore::SearchDishesByName(path, text);
        (void)found.ok();
    }
    return 0;
}
