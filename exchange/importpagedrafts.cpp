// A page's recipes finished with what the rest of the page tells: the
// recipe given twice, the heading.
#include "exchange/importformats.h"

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

} // namespace

void finishPageDrafts(QVector<Draft> &drafts, const QString &heading)
{
    dropHollow(drafts);
    // Chinese sites name the dish short in their data ("焗饭") and in full in
    // the heading ("番茄鸡肉浓情焗饭【两人份】").
    const QString title = oneLine(heading);
    for (Draft &draft : drafts) {
        if (hasHan(draft.name) && title.size() > draft.name.size() && title.contains(draft.name))
            draft.name = title;
    }
}

} // namespace ImportFormats
