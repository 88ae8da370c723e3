#pragma once
// A fuzzed sequence of store operations (add and delete categories, add,
// update, find and search dishes) on a fresh cate.mdb, every result and the
// catalogue after each step checked against a plain in-memory model of the
// two tables. Shared by fuzz_storeops and the replay test.
#include "store/namepattern.h"
#include "store/recipestore.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <sqlite3.h>
#include <vector>

namespace StoreOpsDetail {

// Takes choices from the front of the input; zeros once it is used up.
class Choices {
public:
    Choices(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    size_t remaining_bytes() const { return m_size - m_pos; }
    bool ConsumeBool() { return next() & 1; }
    template <class T = int>
    T ConsumeIntegralInRange(T low, T high)
    {
        const quint64 span = quint64(high) - quint64(low);
        quint64 value = 0;
        for (quint64 seen = 0; seen < span && remaining_bytes() > 0; seen = (seen << 8) | 0xff)
            value = (value << 8) | next();
        return T(quint64(low) + (span == ~quint64(0) ? value : value % (span + 1)));
    }

private:
    uint8_t next() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};


struct Dish {
    qint64 id;
    QString category, name, ingredients, method, picture;
};

QString blanksTrimmed(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

QString text(Choices &in)
{
    static const char32_t pieces[] = {U' ', U'a', U'A', U'汤', U'\t', U'%', U'_', U'*', U'[', U']',
                                      U'?', U'#', U'1', U'é', U'É', U'\n', U'🍜', U'\'', U'!', U'-'};
    QString out;
    const int n = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < n; ++i)
        out += QString::fromUcs4(&pieces[in.ConsumeIntegralInRange<size_t>(0, std::size(pieces) - 1)], 1);
    return out;
}

} // namespace StoreOpsDetail

// Runs the operations the bytes describe on a fresh cate.mdb at `path`;
// nullptr when the store agreed with the model throughout, else what differed.
inline const char *storeOps(const QString &path, const uint8_t *data, size_t size)
{
    using namespace StoreOpsDetail;
#define ZX_CHECK(ok, what) do { if (!(ok)) return what; } while (0)
    Choices in(data, size);
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
    {
        // Column 0 as the row identity, or as a plain column the store numbers itself.
        const bool rowidIds = in.ConsumeBool();
        sqlite3 *db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        const char *schema = rowidIds
            ? "CREATE TABLE \"01\"(id INTEGER PRIMARY KEY AUTOINCREMENT, category TEXT, \"名称\" TEXT, ingredients TEXT, method TEXT, picture TEXT);"
              "CREATE TABLE \"02\"(id INTEGER PRIMARY KEY AUTOINCREMENT, category TEXT);"
            : "CREATE TABLE \"01\"(id INTEGER, category TEXT, \"名称\" TEXT, ingredients TEXT, method TEXT, picture TEXT);"
              "CREATE TABLE \"02\"(id INTEGER, category TEXT);";
        sqlite3_exec(db, schema, nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }

    std::vector<QString> categories;
    std::vector<Dish> dishes;
    qint64 highestId = 0;
    int steps = 0;
    while (in.remaining_bytes() > 0 && steps++ < 24) {
        switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0: {
            const QString c = text(in);
            ZX_CHECK(RecipeStore(path).addCategory(c).ok(), "addCategory failed");
            categories.push_back(c);
            break;
        }
        case 1: {
            Dish d{0, text(in), text(in), text(in), text(in), text(in)};
            const auto id = RecipeStore(path).addDish(d.category, d.name, d.ingredients, d.method, d.picture);
            ZX_CHECK(id.ok(), "addDish failed");
            // A plain id column is numbered one past the highest id left, so
            // the id of a deleted last dish may come again; never a live one.
            ZX_CHECK(*id > 0, "addDish gave no id");
            for (const Dish &other : dishes)
                ZX_CHECK(other.id != *id, "addDish gave the id of a dish in the table");
            highestId = std::max(highestId, *id);
            d.id = *id;
            d.name = blanksTrimmed(d.name);
            d.ingredients = blanksTrimmed(d.ingredients);
            d.method = blanksTrimmed(d.method);
            d.picture = blanksTrimmed(d.picture);
            dishes.push_back(d);
            break;
        }
        case 2: {
            const QString c = text(in);
            const QString key = blanksTrimmed(c);
            const auto outcome = RecipeStore(path).deleteCategory(c);
            ZX_CHECK(outcome.ok(), "deleteCategory failed");
            qint64 removed = 0;
            std::erase_if(dishes, [&](const Dish &d) {
                const bool hit = blanksTrimmed(d.category) == key;
                removed += hit;
                return hit;
            });
            bool rowGone = false;
            for (auto it = categories.begin(); it != categories.end(); ++it) {
                if (blanksTrimmed(*it) == key) {
                    categories.erase(it);
                    rowGone = true;
                    break;
                }
            }
            ZX_CHECK(outcome->dishesDeleted == removed, "deleteCategory removed another number of dishes");
            ZX_CHECK(outcome->categoryRowDeleted == rowGone, "deleteCategory category row");
            break;
        }
        case 3: {
            qint64 id = in.ConsumeIntegralInRange<qint64>(0, highestId + 1);
            const QString n = text(in), i = text(in), m = text(in), p = text(in);
            const auto updated = RecipeStore(path).updateDish(id, n, i, m, p);
            ZX_CHECK(updated.ok(), "updateDish failed");
            bool found = false;
            for (Dish &d : dishes) {
                if (d.id == id) {
                    d.name = blanksTrimmed(n);
                    d.ingredients = blanksTrimmed(i);
                    d.method = blanksTrimmed(m);
                    d.picture = blanksTrimmed(p);
                    found = true;
                    break;
                }
            }
            ZX_CHECK(*updated == found, "updateDish found another row");
            break;
        }
        case 4: {
            const QString t = text(in);
            const auto found = RecipeStore(path).searchDishesByName(t);
            const auto pattern = NamePattern::Pattern::compile(QLatin1Char('*') + t + QLatin1Char('*'));
            if (!pattern) {
                ZX_CHECK(!found.ok() && found.error().kind == StoreError::BadPattern, "bad pattern not refused");
                break;
            }
            ZX_CHECK(found.ok(), "searchDishesByName failed");
            std::vector<qint64> expected;
            for (const Dish &d : dishes)
                if (pattern->matches(d.name))
                    expected.push_back(d.id);
            ZX_CHECK(qsizetype(expected.size()) == found->size(), "search found another number of dishes");
            for (size_t k = 0; k < expected.size(); ++k)
                ZX_CHECK(found->at(qsizetype(k)).id == expected[k], "search order or rows differ");
            break;
        }
        case 5: {
            const QString c = text(in), n = text(in);
            const auto found = RecipeStore(path).findDish(c, n);
            ZX_CHECK(found.ok(), "findDish failed");
            const Dish *expected = nullptr;
            for (const Dish &d : dishes) {
                if (blanksTrimmed(d.category) == blanksTrimmed(c) && d.name == blanksTrimmed(n)) {
                    expected = &d;
                    break;
                }
            }
            ZX_CHECK(found->has_value() == (expected != nullptr), "findDish found or missed wrongly");
            if (expected)
                ZX_CHECK(found->value().id == expected->id && found->value().method == expected->method,
                      "findDish found another row");
            break;
        }
        }

        // The catalogue as the tree sees it.
        const auto cat = RecipeStore(path).loadCatalogue();
        ZX_CHECK(cat.ok(), "loadCatalogue failed");
        ZX_CHECK(cat->categories.size() == qsizetype(categories.size()), "category count");
        for (size_t k = 0; k < categories.size(); ++k)
            ZX_CHECK(cat->categories.at(qsizetype(k)) == blanksTrimmed(categories[k]), "category names or order");
        ZX_CHECK(cat->totalDishes == qint64(dishes.size()) && cat->dishCount() == qsizetype(dishes.size()), "dish count");
        for (size_t k = 0; k < dishes.size(); ++k) {
            const DishKey key = cat->key(qsizetype(k));
            ZX_CHECK(key.id == dishes[k].id && key.category == blanksTrimmed(dishes[k].category)
                      && key.name == dishes[k].name,
                  "catalogue dishes or order");
        }
    }
#undef ZX_CHECK
    return nullptr;
}
