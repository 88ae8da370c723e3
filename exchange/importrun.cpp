// An import from start to end: the parts that do not need a window.
#include "exchange/importrun.h"

#include "core/picturestore.h"
#include "exchange/importformats.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

DishRecord dishOf(const ImportedRecipe &recipe, const QString &category)
{
    DishRecord dish;
    dish.category = trimTyped(category);
    if (dish.category.isEmpty())
        dish.category = trimTyped(recipe.category);
    if (dish.category.isEmpty())
        dish.category = ImportedCategory;
    dish.name = recipe.name.isEmpty() && !recipe.exact ? QStringLiteral("未命名的菜谱") : recipe.name;
    dish.ingredients = recipe.ingredients;
    dish.method = recipe.method;
    dish.picture = recipe.picturePath;
    return dish;
}

// The recipe's texts and tags in simplified characters when they are
// traditional Chinese (ImportFormats::simplifyIfTraditional).
bool simplify(ImportedRecipe &recipe)
{
    QString tags = recipe.tags.join(u' ');   // a tag holds no blank
    if (!ImportFormats::simplifyIfTraditional({&recipe.name, &recipe.category, &recipe.ingredients, &recipe.method, &tags},
                                              recipe.traditional))
        return false;
    recipe.tags = ImportFormats::tagsFrom({tags}, true);
    return true;
}

QString sourceName(const SourceReading &reading)
{
    const QString name = QFileInfo(reading.path).fileName();
    return name.isEmpty() ? reading.path : name;
}

// "<file>：<why>" for each file of the source that gave nothing, and how
// many more there were.
QStringList refusedPartLines(const SourceReading &reading)
{
    QStringList lines = reading.refusedParts;
    if (reading.partsRefused > reading.refusedParts.size())
        lines << QStringLiteral("还有 %1 个文件没有导入").arg(reading.partsRefused - reading.refusedParts.size());
    return lines;
}

} // namespace

PreparedImport prepareImport(const QStringList &paths, const QString &category, const QString &dataFolder,
                             Progress &progress, bool keepTraditional)
{
    PreparedImport out;
    out.readings = readSources(paths, progress);
    for (int r = 0; r < out.readings.size(); ++r) {
        SourceReading &reading = out.readings[r];
        out.picturesSkipped += reading.picturesSkipped;
        out.picturesNotFound += reading.picturesNotFound;
        bool simplified = false;
        for (ImportedRecipe &recipe : reading.recipes) {
            if (progress.cancelled()) {
                out.cancelled = true;
                return out;
            }
            if (!keepTraditional && !recipe.exact && simplify(recipe))
                simplified = true;
            DishRecord dish = dishOf(recipe, category);
            QString pictureFile;
            if (!recipe.pictureFile.isEmpty()) {
                // Only named now; copied once the dish is in.
                const StoreResult<QString> place = pictureName(dataFolder, recipe.pictureFile);
                if (place) {
                    dish.picture = *place;
                    pictureFile = recipe.pictureFile;
                } else {
                    ++out.picturesSkipped;
                }
            }
            out.dishes << dish;
            out.marks << ImportedMarks{recipe.tags, recipe.servings, recipe.favourite};
            out.sourceOf << r;
            out.pictureFiles << pictureFile;
            out.pictureUrls << (dish.picture.isEmpty() ? QUrl(recipe.pictureUrl) : QUrl());
        }
        if (simplified)
            reading.note(QStringLiteral("已转为简体"));
        reading.recipes.clear();
        out.scratches += std::exchange(reading.scratches, {});
    }
    out.cancelled = progress.cancelled();
    return out;
}

QVector<std::pair<int, QString>> keepImportPictures(const PreparedImport &prepared, const ImportOutcome &outcome,
                                                    const QString &dataFolder, Progress &progress)
{
    QVector<int> wanted;
    for (int i = 0; i < outcome.ids.size() && i < prepared.pictureFiles.size(); ++i)
        if (outcome.ids.at(i) != 0 && !prepared.pictureFiles.at(i).isEmpty())
            wanted << i;
    progress.begin(int(wanted.size()));
    QVector<std::pair<int, QString>> changed;
    for (const int i : std::as_const(wanted)) {
        const StoreResult<QString> kept =
            progress.cancelled() ? StoreResult<QString>(StoreError{StoreError::Other, QString()})
                                 : keepPicture(dataFolder, prepared.pictureFiles.at(i));
        if (!kept)
            changed.push_back({i, QString()});
        else if (*kept != prepared.dishes.at(i).picture)
            changed.push_back({i, *kept});
        progress.stepDone();
    }
    return changed;
}

ImportTally tallyImport(const PreparedImport &prepared, const ImportOutcome &outcome)
{
    ImportTally tally;
    tally.skipped = outcome.skipped;
    for (int i = 0; i < outcome.ids.size(); ++i) {
        if (outcome.ids.at(i) == 0)
            continue;
        ++tally.added;
        const QString &category = prepared.dishes.at(i).category;
        const auto place = std::find_if(tally.byCategory.begin(), tally.byCategory.end(),
                                        [&](const std::pair<QString, int> &one) { return one.first == category; });
        if (place == tally.byCategory.end())
            tally.byCategory.push_back({category, 1});
        else
            ++place->second;
        if (tally.firstId == 0) {
            tally.firstId = outcome.ids.at(i);
            tally.firstCategory = prepared.dishes.at(i).category;
        }
    }
    return tally;
}

QStringList importTotalLines(const PreparedImport &prepared, const ImportTally &tally)
{
    QStringList lines;
    lines << QStringLiteral("导入了 %1 道美食（跳过 %2 道相同的）。").arg(tally.added).arg(tally.skipped);
    if (!tally.byCategory.isEmpty()) {
        constexpr int Shown = 10;
        QStringList places;
        for (const auto &[category, count] : tally.byCategory.mid(0, Shown))
            places << QStringLiteral("%1 %2 道").arg(category, QString::number(count));
        QString line = QStringLiteral("放进了：") + places.join(u'、');
        if (tally.byCategory.size() > Shown)
            line += QStringLiteral(" 等 %1 个分类").arg(tally.byCategory.size());
        lines << line;
    }
    if (prepared.picturesSkipped + tally.picturesNotKept > 0)
        lines << QStringLiteral("有 %1 张图片没能复制，这些菜谱没有带图片。").arg(prepared.picturesSkipped + tally.picturesNotKept);
    if (prepared.picturesNotFound > 0)
        lines << QStringLiteral("有 %1 张图片没有找到，这些菜谱留着原来的图片路径。").arg(prepared.picturesNotFound);
    if (tally.picturesNotFetched > 0)
        lines << QStringLiteral("有 %1 张网上的图片没能下载。").arg(tally.picturesNotFetched);
    return lines;
}

QString importSummary(const PreparedImport &prepared, const ImportTally &tally)
{
    const QStringList total = importTotalLines(prepared, tally);
    const int head = tally.byCategory.isEmpty() ? 1 : 2;   // the totals, and where the dishes went
    QStringList lines = total.mid(0, head);
    for (const SourceReading &reading : prepared.readings) {
        if (!reading.refusal.isEmpty())
            lines << QStringLiteral("%1：%2").arg(sourceName(reading), reading.refusal);
        for (const QString &part : refusedPartLines(reading))
            lines << sourceName(reading) + u'/' + part;
    }
    for (const SourceReading &reading : prepared.readings)
        for (const QString &note : reading.shownNotes())
            lines << QStringLiteral("%1：%2").arg(sourceName(reading), note);
    lines += total.mid(head);
    return lines.join(QLatin1Char('\n'));
}

QStringList importSourceLines(const PreparedImport &prepared, const ImportOutcome &outcome)
{
    QVector<int> added(prepared.readings.size(), 0);
    QVector<int> skipped(prepared.readings.size(), 0);
    for (int i = 0; i < outcome.ids.size() && i < prepared.sourceOf.size(); ++i)
        ++(outcome.ids.at(i) != 0 ? added : skipped)[prepared.sourceOf.at(i)];
    QStringList lines;
    for (int r = 0; r < prepared.readings.size(); ++r) {
        const SourceReading &reading = prepared.readings.at(r);
        if (!reading.refusal.isEmpty())
            lines << QStringLiteral("%1：%2").arg(reading.path, reading.refusal);
        else
            lines << QStringLiteral("%1：导入 %2 道，跳过 %3 道相同的")
                         .arg(reading.path, QString::number(added.at(r)), QString::number(skipped.at(r)));
        for (const QString &line : refusedPartLines(reading) + reading.shownNotes())
            lines << QStringLiteral("  ") + line;
    }
    return lines;
}

bool anySourceRefused(const PreparedImport &prepared)
{
    for (const SourceReading &reading : prepared.readings)
        if (!reading.refusal.isEmpty() || reading.partsRefused > 0)
            return true;
    return false;
}
