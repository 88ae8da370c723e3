// Old catalogues in the Jet (Access) format given to the import: every dish
// into its own category with its texts as stored. A picture path is kept as
// stored; when no file is there (a Windows path, as a rule), the same file
// name is looked for in the folders 图片 and pic beside the old catalogue.
#include "exchange/importformats.h"
#include "store/jetfile.h"
#include "store/records.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

// The pictures beside the old catalogue by their names in lower case
// (Windows, where the paths were written, does not tell cases apart); 图片
// before pic.
QHash<QString, QString> picturesBeside(const QString &catalogue)
{
    QHash<QString, QString> found;
    const QDir here = QFileInfo(catalogue).absoluteDir();
    for (const QString &folder : {QStringLiteral("图片"), QStringLiteral("pic")}) {
        const QDir dir(here.filePath(folder));
        for (const QString &name : dir.entryList(QDir::Files | QDir::Readable))
            if (!found.contains(name.toLower()))
                found.insert(name.toLower(), dir.filePath(name));
    }
    return found;
}

// The file name at the end of a stored path, Windows or not.
QString lastPart(const QString &stored)
{
    return stored.mid(std::max(stored.lastIndexOf(u'\\'), stored.lastIndexOf(u'/')) + 1);
}

void takePicture(ImportedRecipe &recipe, const QString &stored, const QHash<QString, QString> &beside,
                 SourceReading &reading)
{
    if (stored.trimmed().isEmpty())
        return;
    recipe.picturePath = stored;
    if (QDir::isAbsolutePath(stored) && QFileInfo(stored).isFile())
        return;
    const QString found = beside.value(lastPart(stored).toLower());
    if (!found.isEmpty() && ImportFormats::isPicture(found)) {
        recipe.pictureFile = QFileInfo(found).absoluteFilePath();
        recipe.picturePath.clear();
    } else {
        ++reading.picturesNotFound;
    }
}

} // namespace

namespace ImportFormats {

void readJetInto(const QString &path, SourceReading &reading)
{
    const Jet::Contents old = Jet::read(path);
    if (old.problem.kind != Jet::Problem::None) {
        reading.refusal = old.problem.userText();
        return;
    }
    if (old.dishes.isEmpty()) {
        reading.refusal = ImportRefusal::NoRecipe;
        return;
    }
    const QHash<QString, QString> beside = picturesBeside(path);
    reading.recipes.reserve(old.dishes.size());
    for (const DishRecord &dish : old.dishes) {
        ImportedRecipe recipe;
        recipe.exact = true;   // this program's own texts, from its first versions
        recipe.category = trimTyped(dish.category);
        recipe.name = trimTyped(dish.name);
        recipe.ingredients = dish.ingredients;
        recipe.method = dish.method;
        takePicture(recipe, dish.picture, beside, reading);
        reading.recipes.append(recipe);
    }
}

} // namespace ImportFormats
