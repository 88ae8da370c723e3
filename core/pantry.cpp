// 我有什么: the index of the dishes' ingredients and the ranking.
#include "core/pantry.h"

#include "core/dishorder.h"

#include <algorithm>

PantryIndex PantryIndex::build(const QVector<DishRecord> &dishes, const Ingredients::Synonyms &synonyms)
{
    PantryIndex index;
    index.m_synonyms = synonyms;
    index.m_dishes.reserve(size_t(dishes.size()));
    for (const DishRecord &record : dishes) {
        Dish dish;
        dish.id = record.id;
        dish.name = record.name.trimmed();
        for (const Ingredients::Line &line : Ingredients::readText(record.ingredients)) {
            const QString name = synonyms.canonical(line.name);
            int n = index.number(name);
            if (n < 0) {
                n = int(index.m_names.size());
                index.m_numbers.insert(name, n);
                index.m_names << name;
            }
            if (std::find(dish.needs.begin(), dish.needs.end(), n) == dish.needs.end())
                dish.needs.push_back(n);
        }
        if (dish.needs.empty() || dish.name.isEmpty())
            continue;
        dish.sortKey = dishSortKey(dish.name);
        index.m_dishes.push_back(std::move(dish));
    }
    return index;
}

std::vector<char> PantryIndex::marks(const QStringList &names) const
{
    std::vector<char> marked(size_t(m_names.size()), 0);
    for (const QString &name : names) {
        const int n = number(m_synonyms.canonical(Ingredients::cleanName(name)));
        if (n >= 0)
            marked[size_t(n)] = 1;
    }
    return marked;
}

QList<PantryIndex::Match> PantryIndex::rank(const QStringList &have, const QStringList &staples, int limit) const
{
    const std::vector<char> had = marks(have);
    const std::vector<char> kept = marks(staples);
    struct Counted {
        int dish;
        int missing;
        double covered;
    };
    std::vector<Counted> found;
    for (size_t d = 0; d < m_dishes.size(); ++d) {
        const std::vector<int> &needs = m_dishes[d].needs;
        int missing = 0;
        bool uses = false;
        for (const int n : needs) {
            uses = uses || had[size_t(n)];
            missing += !had[size_t(n)] && !kept[size_t(n)];
        }
        if (uses || missing == 0)
            found.push_back({int(d), missing, double(needs.size() - size_t(missing)) / double(needs.size())});
    }
    const auto before = [this](const Counted &a, const Counted &b) {
        if (a.missing != b.missing)
            return a.missing < b.missing;
        if (a.covered != b.covered)
            return a.covered > b.covered;
        return m_dishes[size_t(a.dish)].sortKey < m_dishes[size_t(b.dish)].sortKey;
    };
    const size_t shown = std::min(found.size(), size_t(std::max(limit, 0)));
    std::partial_sort(found.begin(), found.begin() + qsizetype(shown), found.end(), before);
    QList<Match> matches;
    for (size_t i = 0; i < shown; ++i) {
        Match match{found[i].dish, found[i].missing, found[i].covered, {}};
        for (const int n : m_dishes[size_t(found[i].dish)].needs) {
            if (!had[size_t(n)] && !kept[size_t(n)])
                match.missingNames << m_names.at(n);
        }
        matches << match;
    }
    return matches;
}

QString PantryIndex::text(const Match &match) const
{
    const QString &name = m_dishes[size_t(match.dish)].name;
    if (match.missing == 0)
        return name + QStringLiteral(" — 全都有");
    return name + QStringLiteral(" — 缺：") + match.missingNames.join(QStringLiteral("、"));
}
