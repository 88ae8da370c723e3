#pragma once
// The shopping list made of the dishes the cook means to cook: every
// ingredient line read once (core/ingredients.h), the same ingredient
// (after synonyms) on one line, amounts of one kind summed (150克 + 200克 ->
// 350克, 1斤 + 200克 -> 700克, 2个 + 1个 -> 3个), amounts of different kinds
// side by side ("2个 + 300克"), vague ones written once ("盐 适量"), and a
// line whose amount cannot be read kept as written on its own. Lines are
// grouped by market stall. QtCore only.
#include "core/ingredients.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Shopping {

// A dish on the list: its ingredients as stored and the factor its amounts
// are scaled by (servings wanted / servings written).
struct Dish {
    qint64 id = 0;
    QString name;
    QString ingredients;
    double factor = 1;
};

struct Item {
    QString name;          // the first name of its synonym group
    QString amount;        // "350克", "2个 + 300克", "适量"; empty for none
    QStringList dishes;    // the dishes that need it, in list order
    int stall = 0;         // index into Ingredients::Stalls::headings()
    bool staple = false;   // among the staples the cook keeps at hand
    QString written;       // an unreadable line, as written (its only text)
    // "番茄 3个（番茄炒蛋、番茄牛腩）", or the unreadable line with its dish.
    QString text() const;
};

// The merged list, stall by stall, each stall's lines in the order first met.
QList<Item> merge(const QList<Dish> &dishes, const Ingredients::Tables &tables, const QStringList &staples);

// The list as plain text: "购物清单（N 道菜）", then each stall that has a
// line shown: its heading and its lines. Staples left out when asked.
QString listText(const QList<Item> &items, int dishCount, bool hideStaples);

// A number as the list writes it: no trailing zeros, at most two decimals.
QString number(double value);

} // namespace Shopping
