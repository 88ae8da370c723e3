// The recipe store: reading categories and dishes.
#include "store/recipestore.h"

#include "store/storeinternal.h"

#include <sqlite3.h>

using namespace StoreInternal;

StoreResult<QVector<CategoryRecord>> RecipeStore::listCategoryRows()
{
    return withStore<QVector<CategoryRecord>>(*this, [](Store &s) -> StoreResult<QVector<CategoryRecord>> {
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT %1,%2 FROM %3")
                                      .arg(s.layout.categoryCols.at(0), s.layout.categoryCols.at(1), CategoryTable)
                                      + s.categoryOrder());
        if (rc != SQLITE_OK)
            return s.fail(rc);
        QVector<CategoryRecord> rows;
        while ((rc = st.step()) == SQLITE_ROW)
            rows.push_back(CategoryRecord{st.columnInt64(0), st.columnText(1)});
        if (rc != SQLITE_DONE)
            return s.fail(rc);
        return rows;
    });
}

StoreResult<QStringList> RecipeStore::listCategories()
{
    const auto rows = listCategoryRows();
    if (!rows)
        return rows.error();
    QStringList names;
    names.reserve(rows->size());
    for (const CategoryRecord &r : *rows)
        names << trimBlanks(r.category);
    return names;
}

StoreResult<QStringList> RecipeStore::listDishesOfCategory(const QString &category)
{
    return withStore<QStringList>(*this, [&](Store &s) -> StoreResult<QStringList> {
        Sql::Statement st;
        // The rows are picked out in the catalogue index, then read in table
        // order (asked for in one query, the engine would walk the table).
        int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 IN (SELECT %3 FROM %2 WHERE %4)")
                                      .arg(s.layout.dishCols.at(2), DishTable, s.layout.dishRowid,
                                           trimmedColumnIs(s.layout.dishCols.at(1), QStringLiteral("?1")))
                                      + s.dishOrder());
        if (rc != SQLITE_OK)
            return s.fail(rc);
        st.bindText(1, category);
        QStringList names;
        while ((rc = st.step()) == SQLITE_ROW)
            names << trimBlanks(st.columnText(0));
        if (rc != SQLITE_DONE)
            return s.fail(rc);
        return names;
    });
}

StoreResult<qint64> RecipeStore::countDishes()
{
    return withStore<qint64>(*this, [](Store &s) -> StoreResult<qint64> {
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT count(*) FROM %1").arg(DishTable));
        if (rc == SQLITE_OK)
            rc = st.step();
        if (rc != SQLITE_ROW)
            return s.fail(rc);
        return st.columnInt64(0);
    });
}

StoreResult<std::optional<DishRecord>> RecipeStore::findDish(const QString &category, const QString &name)
{
    using R = StoreResult<std::optional<DishRecord>>;
    return withStore<std::optional<DishRecord>>(*this, [&](Store &s) -> R {
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 IN (SELECT %3 FROM %2 WHERE %4 AND %5 = ?2 "
                                                 "COLLATE BINARY)")
                                      .arg(s.dishColumns(0, 5), DishTable, s.layout.dishRowid,
                                           trimmedColumnIs(s.layout.dishCols.at(1), QStringLiteral("?1")),
                                           trimmedColumn(s.layout.dishCols.at(2)))
                                      + s.dishOrder() + QStringLiteral(" LIMIT 1"));
        if (rc != SQLITE_OK)
            return s.fail(rc);
        st.bindText(1, trimBlanks(category));
        st.bindText(2, trimBlanks(name));
        return stepToDish(s, st);
    });
}

StoreResult<std::optional<DishRecord>> RecipeStore::findDishById(qint64 id)
{
    using R = StoreResult<std::optional<DishRecord>>;
    return withStore<std::optional<DishRecord>>(*this, [&](Store &s) -> R {
        Sql::Statement st;
        int rc = st.prepare(s.db, s.dishByIdQuery());
        if (rc != SQLITE_OK)
            return s.fail(rc);
        st.bindInt64(1, id);
        return stepToDish(s, st);
    });
}

