// A page's recipes finished with what the rest of the page tells: the
// recipe given twice, the heading, the language the page declares.
#include "exchange/importformats.h"

#include <QJsonArray>

#include <algorithm>

namespace ImportFormats {

namespace {

// A page may give a recipe twice, the second time for its ratings and
// reviews alone: a recipe with neither ingredients nor method is no dish of
// its own when another on the page has them.
void dropHollow(QVector<Draft> &drafts)
{
    const auto hollow = [](const Draft &draft) { return draft.ingredients.isEmpty() && draft.method.isEmpty(); };
    if (!std::all_of(drafts.cbegin(), drafts.cend(), hollow))
        drafts.removeIf(hollow);
}

QString languageIn(const QJsonValue &value, int depth)
{
    if (depth > 64)
        return QString();
    if (value.isArray()) {
        for (const QJsonValue &one : value.toArray()) {
            const QString found = languageIn(one, depth + 1);
            if (!found.isEmpty())
                return found;
        }
        return QString();
    }
    const QJsonObject object = value.toObject();
    const QString own = object.value(QLatin1String("inLanguage")).toString().trimmed();
    if (!own.isEmpty())
        return own;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QString found = it->isObject() || it->isArray() ? languageIn(it.value(), depth + 1) : QString();
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

} // namespace

QString jsonLanguage(const QJsonValue &root)
{
    return languageIn(root, 0);
}

void finishPageDrafts(QVector<Draft> &drafts, const QString &heading, bool traditional)
{
    dropHollow(drafts);
    // Chinese sites name the dish short in their data ("焗饭") and in full in
    // the heading ("番茄鸡肉浓情焗饭【两人份】").
    const QString title = oneLine(heading);
    for (Draft &draft : drafts) {
        if (hasHan(draft.name) && title.size() > draft.name.size() && title.contains(draft.name))
            draft.name = title;
        draft.traditional = draft.traditional || traditional;
    }
}

} // namespace ImportFormats
