#pragma once
// The checks the import fuzz targets run on one input, shared with the test
// that replays the saved inputs (tests/reliability/tst_fuzzreplay.cpp). Each
// reads the bytes as one kind of recipe file, finishes the recipes as an
// import does (limits, pictures, simplified characters) and returns how many
// recipes it gave, or Contradiction when the readers contradicted themselves.
// A crash or a sanitizer report is a finding of its own.
#include "exchange/importformats.h"
#include "exchange/importsources.h"
#include "store/marks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace FuzzChecks {

constexpr int Contradiction = -1;

// The application object the readers expect (QImageReader finds its format
// plugins through it), made once and kept to the end.
inline void startQt()
{
    static int argc = 1;
    static char name[] = "zx-fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

namespace Detail {

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

inline bool oneLine(const QString &text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

// What every finished recipe is, whatever its file held: within the limits,
// its name and category a line each, its picture a file inside `within`
// (the file's folder, or the zip's scratch) or else an http(s) address.
inline bool sound(const ImportedRecipe &recipe, const QString &within)
{
    if (recipe.name.size() > ImportLimits::MaxNameLength || recipe.category.size() > ImportLimits::MaxNameLength
        || recipe.ingredients.size() > ImportLimits::MaxTextLength || recipe.method.size() > ImportLimits::MaxTextLength
        || !oneLine(recipe.name) || !oneLine(recipe.category))
        return false;
    // The marks as the cook could have typed them: servings 0 to 99, at most
    // 20 tags, each one the tags box would keep as it is.
    if (recipe.servings < 0 || recipe.servings > Marks::MaxServings || recipe.tags.size() > Marks::MaxTags)
        return false;
    for (const QString &tag : recipe.tags) {
        if (tag.toUcs4().size() > Marks::MaxTagLength || Marks::parseTags(tag).tags != QStringList{tag})
            return false;
    }
    if (!recipe.pictureFile.isEmpty()) {
        const QString file = QFileInfo(recipe.pictureFile).canonicalFilePath();
        if (!recipe.pictureUrl.isEmpty() || within.isEmpty() || !file.startsWith(within + QLatin1Char('/')))
            return false;
    }
    return recipe.pictureUrl.isEmpty() || recipe.pictureUrl.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
           || recipe.pictureUrl.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// The reading checked, then its recipes put in simplified characters as an
// import does.
inline int finish(SourceReading &reading, const QString &within)
{
    if (!reading.refusal.isEmpty() && (!reading.recipes.isEmpty() || !reading.scratches.isEmpty()))
        return Contradiction;
    if (reading.notes.size() > ImportLimits::MaxNotes)
        return Contradiction;
    for (ImportedRecipe &recipe : reading.recipes) {
        if (!sound(recipe, within))
            return Contradiction;
        (void)ImportFormats::simplifyIfTraditional({&recipe.name, &recipe.category, &recipe.ingredients, &recipe.method});
    }
    return int(reading.recipes.size());
}

inline int finishDrafts(const QVector<ImportFormats::Draft> &drafts, const QString &fallbackName)
{
    SourceReading reading;
    for (const ImportFormats::Draft &draft : drafts)
        ImportFormats::addRecipe(reading, draft, fallbackName, draft.url, ImportFormats::Picture());
    return finish(reading, QString());
}

// The bytes written to `folder`/`fileName` and read as a file the cook gave.
inline int readFile(const QString &folder, const QString &fileName, const uint8_t *data, size_t size)
{
    const QString path = QDir(folder).filePath(fileName);
    // A new file each time: ext4 writes a file cut to nothing and written
    // again through to the disk when it is closed.
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        return Contradiction;
    file.close();
    SourceReading reading = readSource(path);
    const QString scratch = reading.scratches.isEmpty() ? QString() : reading.scratches.first()->path();
    const int recipes = finish(reading, QFileInfo(scratch.isEmpty() ? folder : scratch).canonicalFilePath());
    // What a zip expanded to goes with its reading.
    reading.scratches.clear();
    return !scratch.isEmpty() && QFileInfo::exists(scratch) ? Contradiction : recipes;
}

} // namespace Detail

inline int page(const uint8_t *data, size_t size)
{
    const ImportFormats::Page page = ImportFormats::readPage(Detail::bytesOf(data, size));
    if (page.unreadable && (!page.encodingUnsure || !page.drafts.isEmpty()))
        return Contradiction;
    return Detail::finishDrafts(page.drafts, page.title);
}

inline int json(const uint8_t *data, size_t size)
{
    QString refusal;
    const QVector<QJsonObject> recipes = ImportFormats::recipesInJson(Detail::bytesOf(data, size), refusal);
    if (recipes.isEmpty() == refusal.isEmpty())
        return Contradiction;
    QVector<ImportFormats::Draft> drafts;
    for (const QJsonObject &recipe : recipes)
        drafts.append(ImportFormats::draftFromSchema(recipe, true));
    return Detail::finishDrafts(drafts, QStringLiteral("recipe"));
}

inline int mealMaster(const uint8_t *data, size_t size)
{
    const QVector<ImportFormats::Draft> drafts = ImportFormats::readMealMaster(Detail::bytesOf(data, size));
    for (const ImportFormats::Draft &draft : drafts) {
        if (draft.name.isEmpty() && draft.ingredients.isEmpty() && draft.method.isEmpty())
            return Contradiction;   // an empty recipe is none
    }
    return Detail::finishDrafts(drafts, QStringLiteral("recipes"));
}

// `folder`: an empty folder of the caller's, the file's place.
inline int markdown(const QString &folder, const uint8_t *data, size_t size)
{
    return Detail::readFile(folder, QStringLiteral("recipe.md"), data, size);
}

inline int zip(const QString &folder, const uint8_t *data, size_t size)
{
    return Detail::readFile(folder, QStringLiteral("recipes.zip"), data, size);
}

} // namespace FuzzChecks
