#pragma once
// The checks the fuzz targets run on one input, shared with the test that
// replays the saved inputs (tests/reliability/tst_fuzzreplay.cpp). Each
// returns false when the code under test contradicted itself; a crash or a
// sanitizer report is a finding of its own.
#include "store/namepattern.h"
#include "store/recipestore.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace FuzzChecks {

// Input: pattern bytes, a 0x00 byte, name bytes (UTF-8, possibly invalid).
inline bool jetLike(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    const void *zero = size ? std::memchr(bytes, 0, size) : nullptr;
    const size_t split = zero ? size_t(static_cast<const char *>(zero) - bytes) : size;
    const QString pattern = QString::fromUtf8(bytes, qsizetype(split));
    const char *nameBytes = zero ? bytes + split + 1 : bytes + size;
    const size_t nameSize = zero ? size - split - 1 : 0;
    const QString name = QString::fromUtf8(nameBytes, qsizetype(nameSize));

    const auto compiled = NamePattern::Pattern::compile(pattern);
    if (compiled.has_value() != NamePattern::isValid(pattern))
        return false;
    if (!compiled)
        return true;
    const bool viaQString = compiled->matches(name);
    // The matcher's own UTF-8 reading must agree with QString's.
    const QByteArray utf8 = name.toUtf8();
    if (compiled->matchesUtf8(utf8.constData(), utf8.size()) != viaQString)
        return false;
    // Raw, possibly invalid bytes: any answer, no crash.
    (void)compiled->matchesUtf8(nameBytes, qsizetype(nameSize));
    // A star before and after never loses a match.
    const auto wrapped = NamePattern::Pattern::compile(QLatin1Char('*') + pattern + QLatin1Char('*'));
    if (!wrapped || (viaQString && !wrapped->matches(name)))
        return false;
    return true;
}

// Writes the bytes to `path` (a cate.mdb of its own) and runs the reading
// operations the windows use.
inline bool store(const QString &path, const uint8_t *data, size_t size)
{
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    // A journal left by an earlier input would be replayed into this one.
    QFile::remove(path + QStringLiteral("-journal"));
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));

    (void)RecipeStore(path).probe().ok();
    const auto catalogue = RecipeStore(path).loadCatalogue();
    if (catalogue && catalogue->totalDishes != catalogue->dishCount())
        return false;
    const auto rows = RecipeStore(path).listCategoryRows();
    const auto names = RecipeStore(path).listCategories();
    if (rows && names && rows->size() != names->size())
        return false;
    for (const QString &text : {QStringLiteral("a"), QStringLiteral("[a-z]#"), QStringLiteral("豆")}) {
        const auto found = RecipeStore(path).searchDishesByName(text);
        if (found && catalogue && found->size() > catalogue->dishCount())
            return false;
    }
    if (catalogue && catalogue->dishCount() > 0) {
        const DishKey first = catalogue->key(0);
        (void)RecipeStore(path).findDish(first.category, first.name).ok();
    }
    return true;
}

} // namespace FuzzChecks
