#pragma once
// 我有什么: which dishes can be cooked from what the cook has at hand. Every
// dish's ingredient names are read once (core/ingredients.h) into an index
// of numbers, made again after each change of the catalogue; ranking then
// only counts, so that tens of thousands of dishes rank in a few
// milliseconds. QtCore only.
#include "core/ingredients.h"
#include "store/records.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <string>
#include <vector>

class PantryIndex {
public:
    struct Dish {
        qint64 id = 0;
        QString name;               // trimmed
        std::string sortKey;        // pinyin order (core/dishorder.h)
        std::vector<int> needs;     // ingredient numbers, each once
    };
    // One dish as ranked: how many ingredients it lacks, the share of its
    // ingredients at hand, and the names it lacks in its own order.
    struct Match {
        int dish = 0;               // index into dishes()
        int missing = 0;
        double covered = 0;
        QStringList missingNames;
    };

    PantryIndex() = default;
    // Reads every dish's ingredients; a dish without a readable name is
    // left out.
    static PantryIndex build(const QVector<DishRecord> &dishes, const Ingredients::Synonyms &synonyms);

    const std::vector<Dish> &dishes() const { return m_dishes; }
    // The dishes that use something the cook has (or lack nothing), fewest
    // missing first, then the larger share at hand, then the name's pinyin
    // order; at most `limit`. Staples count as at hand.
    QList<Match> rank(const QStringList &have, const QStringList &staples, int limit) const;
    // "<dish> — 全都有" or "<dish> — 缺：a、b".
    QString text(const Match &match) const;

private:
    int number(const QString &canonical) const { return m_numbers.value(canonical, -1); }
    std::vector<char> marks(const QStringList &names) const;

    Ingredients::Synonyms m_synonyms;
    QHash<QString, int> m_numbers;   // canonical name -> number
    QStringList m_names;             // number -> canonical name
    std::vector<Dish> m_dishes;
};
