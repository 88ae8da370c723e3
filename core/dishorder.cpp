#include "core/dishorder.h"

#include <QCollatorSortKey>
#include <QLocale>

#include <algorithm>
#include <vector>

const QCollator &dishNameCollator()
{
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Chinese, QLocale::China));
        c.setNumericMode(true);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

bool dishNameLess(const QString &a, const QString &b)
{
    const int c = dishNameCollator().compare(a, b);
    return c != 0 ? c < 0 : a < b;
}

void sortByDishName(QVector<int> &items, const std::function<QString(int)> &nameOf)
{
    // One sort key per item: comparing keys is much cheaper than collating
    // the names again at every comparison.
    struct Keyed {
        QCollatorSortKey key;
        QString name;
        int item;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(items.size()));
    for (const int item : std::as_const(items)) {
        QString name = nameOf(item);
        keyed.push_back({dishNameCollator().sortKey(name), std::move(name), item});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        const int k = a.key.compare(b.key);
        return k != 0 ? k < 0 : a.name < b.name;
    });
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i] = keyed[size_t(i)].item;
}
