// Cookbook folders: one folder a dish holding recipe.json and its picture;
// any other recipe files found along the way are read too, each a part of
// the source with its own line when it gives nothing.
#include "core/recipekinds.h"
#include "exchange/importformats.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

namespace ImportFormats {

namespace {

const QString RecipeJson = QStringLiteral("recipe.json");
constexpr int MaxDepth = 8;

// A file of a kind the program reads; zips too when `zips`.
bool isRecipeFileName(const QString &name, bool zips)
{
    const RecipeKinds::Kind kind = RecipeKinds::ofName(name);
    return kind != RecipeKinds::Kind::None && (zips || kind != RecipeKinds::Kind::Archive);
}

struct Walk {
    const QCollator &order;
    bool zips;
    std::shared_ptr<QTemporaryDir> &links;   // to entries whose names are no UTF-8
    QVector<Part> parts;
};

// Dish folders and recipe files under `folder`, in name order (numbers by
// their value), not into a saved page's "_files" folder nor a link of the
// folder's own; `shown`: the folder relative to the one given, with a '/'.
void collect(const QString &folder, const QString &shown, int depth, Walk &walk)
{
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(RecipeJson)).isFile()) {
        walk.parts.append({true, folder, shown.chopped(qMin<qsizetype>(1, shown.size())), QString()});
        return;
    }
    QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    entries.removeIf([](const QFileInfo &entry) { return entry.fileName().contains(QChar::ReplacementCharacter); });
    const QFileInfoList linked = rawNamedEntries(folder, walk.links);
    entries += linked;
    std::sort(entries.begin(), entries.end(),
              [&](const QFileInfo &a, const QFileInfo &b) { return walk.order.compare(a.fileName(), b.fileName()) < 0; });
    for (const QFileInfo &entry : std::as_const(entries)) {
        const QString name = shown + entry.fileName();
        if (entry.isDir()) {
            if ((!entry.isSymLink() || linked.contains(entry)) && depth < MaxDepth
                && !entry.fileName().endsWith(QLatin1String("_files"), Qt::CaseInsensitive))
                collect(entry.filePath(), name + u'/', depth + 1, walk);
        } else if (isRecipeFileName(entry.fileName(), walk.zips)) {
            walk.parts.append({false, entry.filePath(), name, QString()});
        }
    }
}

void merge(SourceReading &into, SourceReading &part, const QString &shown)
{
    into.recipes += part.recipes;
    into.scratches += part.scratches;   // a zip's pictures, until they are kept
    for (const QString &note : std::as_const(part.notes))
        into.note(note);
    into.notesLeftOut += part.notesLeftOut;
    into.picturesSkipped += part.picturesSkipped;
    for (const QString &line : std::as_const(part.refusedParts))
        into.refusePart(shown + u'/' + line);
    into.partsRefused += part.partsRefused - int(part.refusedParts.size());
    if (!part.refusal.isEmpty())
        into.refusePart(QStringLiteral("%1：%2").arg(shown, part.refusal));
}

// Whether the method holds the line "份量：" + `yield`, as imports before
// the servings were marks wrote it.
bool ownYieldLine(const QString &method, const QString &yield)
{
    for (const QString &line : splitLines(method)) {
        if (line.startsWith(QStringLiteral("份量：")) && line.mid(3).trimmed() == yield.trimmed())
            return true;
    }
    return false;
}

} // namespace

Draft draftOfRecipe(const QJsonObject &recipe)
{
    Draft draft = draftFromSchema(recipe, true);
    const QJsonObject own = recipe.value(OwnTexts).toObject();
    const QJsonValue name = own.value(QLatin1String("name")), category = own.value(QLatin1String("category"));
    const QJsonValue ingredients = own.value(QLatin1String("ingredients")), method = own.value(QLatin1String("method"));
    if (!name.isString() || !category.isString() || !ingredients.isString() || !method.isString())
        return draft;
    draft.exact = true;
    draft.name = name.toString();
    draft.category = category.toString();
    draft.ingredients = QStringList{ingredients.toString()};
    draft.method = QStringList{method.toString()};
    draft.time.clear();
    draft.url.clear();
    // The cook's marks as this program wrote them: the tags as they were
    // (whatever they say), the servings unless the yield only repeats the
    // method's own "份量：" line, the favourite mark.
    draft.tags = tagsFrom(keywordList(recipe.value(QLatin1String("keywords"))), true);
    const QJsonValue yield = recipe.value(QLatin1String("recipeYield"));
    if (yield.isString() && ownYieldLine(draft.method.constFirst(), yield.toString()))
        draft.servings = 0;
    draft.favourite = recipe.value(QLatin1String("isFavorite")).toBool();
    return draft;
}

void readDishJson(const QString &folder, const QByteArray &bytes, SourceReading &reading)
{
    const QVector<QJsonObject> recipes = recipesInJson(bytes, reading.refusal);
    for (const QJsonObject &recipe : recipes) {
        const Draft draft = draftOfRecipe(recipe);
        addRecipe(reading, draft, QFileInfo(folder).fileName(), draft.url, folderPicture(draft.image, folder, true));
    }
}

void readDishInto(const QString &folder, SourceReading &reading)
{
    QFile file(QDir(folder).filePath(RecipeJson));
    if (!file.open(QIODevice::ReadOnly)) {
        reading.refusal = ImportRefusal::Unreadable;
        return;
    }
    if (file.size() > ImportLimits::MaxSourceBytes) {
        reading.refusal = ImportRefusal::TooLarge;
        return;
    }
    readDishJson(folder, file.readAll(), reading);
}

void readParts(const QVector<Part> &parts, SourceReading &reading, const Progress *progress,
               const std::function<void(const Part &, SourceReading &)> &read)
{
    QString lastRefusal;
    for (const Part &item : parts) {
        if (progress && progress->cancelled())
            return;
        SourceReading part;
        read(item, part);
        if (!part.refusal.isEmpty())
            part.recipes.clear();
        lastRefusal = part.refusal;
        if (parts.size() == 1) {
            // The source is this one file or dish: its reason is the source's.
            part.refusal.clear();
        }
        merge(reading, part, item.shown);
    }
    if (reading.recipes.isEmpty()) {
        reading.refusal = parts.size() == 1 && !lastRefusal.isEmpty() ? lastRefusal : ImportRefusal::NoRecipe;
        reading.notes.clear();
        reading.notesLeftOut = 0;
    }
}

void readFolderInto(const QString &folder, SourceReading &reading, const Progress *progress, Origin origin)
{
    const QFileInfo info(folder);
    if (!info.isReadable() || !info.isExecutable()) {
        reading.refusal = ImportRefusal::Unreadable;
        return;
    }
    QCollator order;
    order.setNumericMode(true);
    order.setCaseSensitivity(Qt::CaseInsensitive);
    std::shared_ptr<QTemporaryDir> links;
    Walk walk{order, origin == Origin::Given, links, {}};
    collect(folder, QString(), 0, walk);
    if (links)
        reading.scratches << links;
    for (Part &part : walk.parts) {
        // A folder the cook gave sorts its Markdown recipes into its sub-folders.
        if (origin == Origin::Given && part.shown.contains(u'/'))
            part.category = part.shown.section(u'/', 0, 0);
        if (part.shown.isEmpty())
            part.shown = info.fileName();
    }
    readParts(walk.parts, reading, progress, [&](const Part &part, SourceReading &into) {
        if (part.dish)
            readDishInto(part.path, into);
        else
            readFileInto(part.path, into, progress, origin, part.category);
    });
}

} // namespace ImportFormats
