// Merging the dishes' ingredient lines into one shopping list.
#include "core/shoppinglist.h"

#include <QHash>

#include <cmath>

namespace Shopping {
namespace {

// Units that convert into one another: grams and millilitres as the base.
struct Measure {
    const char16_t *unit;
    const char16_t *kind;
    double base;
};
constexpr Measure Measures[] = {
    {u"克", u"重", 1},       {u"g", u"重", 1},        {u"千克", u"重", 1000}, {u"公斤", u"重", 1000},
    {u"kg", u"重", 1000},    {u"斤", u"重", 500},     {u"两", u"重", 50},     {u"毫克", u"重", 0.001},
    {u"毫升", u"容", 1},     {u"ml", u"容", 1},       {u"升", u"容", 1000},   {u"l", u"容", 1000},
};

const Measure *measureOf(const QString &unit)
{
    const QString lower = unit.toLower();
    for (const Measure &m : Measures) {
        if (lower == QStringView(m.unit))
            return &m;
    }
    return nullptr;
}

// One kind of amount of one ingredient: summed in the base unit.
struct Sum {
    QString kind;             // "重", "容", or the unit itself for counts
    double low = 0;
    double high = 0;
    bool range = false;
    QList<QPair<QString, int>> unitLines;   // units as written, with their line counts

    void add(const Amounts::Amount &amount, double factor)
    {
        const Measure *m = measureOf(amount.unit);
        const double base = m ? m->base : 1;
        low += amount.lowValue() * factor * base;
        high += amount.highValue() * factor * base;
        range = range || amount.high.has_value();
        for (auto &used : unitLines) {
            if (used.first == amount.unit) {
                ++used.second;
                return;
            }
        }
        unitLines.append({amount.unit, 1});
    }
    // In the unit most lines used; at a tie the base unit (克, ml), else
    // the first met.
    QString text() const
    {
        QPair<QString, int> best = unitLines.first();
        for (const auto &used : unitLines) {
            const Measure *m = measureOf(used.first);
            const bool isBase = m && m->base == 1;
            if (used.second > best.second || (used.second == best.second && isBase))
                best = used;
        }
        const Measure *m = measureOf(best.first);
        const double base = m ? m->base : 1;
        const bool whole = m && base <= 1;
        const auto write = [&](double v) { return number(whole ? std::round(v / base) : v / base); };
        const bool showRange = range && std::abs(high - low) > 1e-9;
        return (showRange ? write(low) + QLatin1Char('-') + write(high) : write(low)) + best.first;
    }
};

struct Gathered {
    Item item;
    QList<Sum> sums;
    QStringList vague;
};

QString kindOf(const Amounts::Amount &amount)
{
    const Measure *m = measureOf(amount.unit);
    return m ? QString::fromUtf16(m->kind) : QStringLiteral("个:") + amount.unit;
}

void addLine(Gathered &g, const Ingredients::Line &line, const Dish &dish)
{
    if (!g.item.dishes.contains(dish.name))
        g.item.dishes << dish.name;
    if (line.kind == Ingredients::Kind::Vague && !g.vague.contains(line.vague))
        g.vague << line.vague;
    if (line.kind != Ingredients::Kind::Measured)
        return;
    const QString kind = kindOf(*line.amount);
    for (Sum &sum : g.sums) {
        if (sum.kind == kind) {
            sum.add(*line.amount, dish.factor);
            return;
        }
    }
    Sum sum;
    sum.kind = kind;
    sum.add(*line.amount, dish.factor);
    g.sums << sum;
}

QString amountText(const Gathered &g)
{
    QStringList parts;
    for (const Sum &sum : g.sums)
        parts << sum.text();
    parts << g.vague;
    return parts.join(QStringLiteral(" + "));
}

} // namespace

QString Item::text() const
{
    const QString dishList = QStringLiteral("（") + dishes.join(QStringLiteral("、")) + QStringLiteral("）");
    if (!written.isEmpty())
        return written + dishList;
    return (amount.isEmpty() ? name : name + QLatin1Char(' ') + amount) + dishList;
}

QString number(double value)
{
    QString text = QString::number(std::round(value * 100) / 100, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QList<Item> merge(const QList<Dish> &dishes, const Ingredients::Tables &tables, const QStringList &staples)
{
    QSet<QString> stapleNames;
    for (const QString &s : staples)
        stapleNames.insert(tables.synonyms.canonical(Ingredients::cleanName(s)));
    QList<Gathered> gathered;
    QHash<QString, int> byName;
    for (const Dish &dish : dishes) {
        for (const Ingredients::Line &line : Ingredients::readText(dish.ingredients)) {
            const QString name = tables.synonyms.canonical(line.name);
            const bool apart = line.kind == Ingredients::Kind::Unreadable;
            int at = apart ? -1 : byName.value(name, -1);
            if (at < 0) {
                at = int(gathered.size());
                Gathered g;
                g.item.name = name;
                g.item.stall = tables.stalls.stallOf(name, tables.synonyms);
                g.item.staple = stapleNames.contains(name);
                g.item.written = apart ? line.written : QString();
                gathered << g;
                if (!apart)
                    byName.insert(name, at);
            }
            addLine(gathered[at], line, dish);
        }
    }
    QList<Item> items;
    for (int stall = 0; stall < Ingredients::Stalls::headings().size(); ++stall) {
        for (Gathered &g : gathered) {
            if (g.item.stall != stall)
                continue;
            g.item.amount = amountText(g);
            items << g.item;
        }
    }
    return items;
}

QString listText(const QList<Item> &items, int dishCount, bool hideStaples)
{
    QStringList lines{QStringLiteral("购物清单（%1 道菜）").arg(dishCount)};
    int stall = -1;
    for (const Item &item : items) {
        if (hideStaples && item.staple)
            continue;
        if (item.stall != stall) {
            stall = item.stall;
            lines << Ingredients::Stalls::headings().at(stall);
        }
        lines << item.text();
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace Shopping
