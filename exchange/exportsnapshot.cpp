#include "exchange/exportsnapshot.h"

#include "core/dishorder.h"
#include "core/picturestore.h"

#include <algorithm>

namespace {

ExportDish exportDish(const DishRecord &row, const DishMarks &marks, const QString &dataFolder)
{
    ExportDish dish;
    dish.tags = marks.tagsOf(row.id);
    dish.servings = marks.servingsOf(row.id);
    dish.favourite = marks.isFavourite(row.id);
    dish.category = trimBlanks(row.category);
    dish.name = trimBlanks(row.name);
    dish.ingredients = row.ingredients;
    dish.method = row.method;
    const QString picture = trimBlanks(row.picture);
    if (!picture.isEmpty())
        dish.picturePath = resolvePicture(dataFolder, picture);
    return dish;
}

} // namespace

std::optional<ExportSnapshot> makeSnapshot(const ExportRows &rows, const QString &category,
                                           const QString &dataFolder, const QDate &date)
{
    ExportSnapshot out;
    out.date = date;
    QStringList listed;
    for (const CategoryRecord &row : rows.categories)
        listed.push_back(trimBlanks(row.category));
    CategoryGroups groups(listed);
    for (const QString &heading : groups.headings())
        out.sections.push_back({heading, {}});
    const QString wanted = trimBlanks(category);
    const bool unfiledWanted = !wanted.isEmpty() && groups.listedGroup(wanted) < 0 && wanted == UnfiledHeading;
    if (!wanted.isEmpty() && groups.listedGroup(wanted) < 0 && !unfiledWanted)
        return std::nullopt;
    const int unfiled = int(out.sections.size());
    for (const DishRecord &row : rows.dishes) {
        const int section = groups.groupOf(trimBlanks(row.category));
        if (section == out.sections.size())
            out.sections.push_back({UnfiledHeading, {}});
        out.sections[section].dishes.push_back(int(out.dishes.size()));
        out.dishes.push_back(exportDish(row, rows.marks, dataFolder));
    }
    if (!wanted.isEmpty()) {
        const int keep = unfiledWanted ? unfiled : groups.listedGroup(wanted);
        ExportSnapshot one;
        one.date = date;
        one.title = wanted;
        if (keep < out.sections.size()) {
            one.sections.push_back({out.sections.at(keep).heading, {}});
            for (const int d : out.sections.at(keep).dishes) {
                one.sections[0].dishes.push_back(int(one.dishes.size()));
                one.dishes.push_back(out.dishes.at(d));
            }
        } else {
            one.sections.push_back({wanted, {}});
        }
        out = std::move(one);
    } else {
        out.title = AllRecipesTitle;
    }
    // Within a section, rows of one name stay in table order.
    for (ExportSnapshot::Section &section : out.sections)
        sortByDishName(section.dishes, [&out](int d) { return out.dishes.at(d).name; });
    return out;
}

QString exportDoneText(const ExportOutcome &outcome, const QString &path)
{
    QString text = QStringLiteral("已导出 %1 道美食到 %2。").arg(outcome.dishes).arg(path);
    if (outcome.picturesMissing > 0)
        text += QStringLiteral("（%1 张图片找不到）").arg(outcome.picturesMissing);
    return text;
}
