// The recipe store: adding, changing and deleting rows. Every write runs in
// one immediate transaction and clears what the store keeps from the file.
#include "store/recipestore.h"

#include "store/storeinternal.h"

#include <sqlite3.h>

using namespace StoreInternal;

namespace {

// The first row carrying the id (should a foreign file repeat ids): its
// row identity and all six columns; nothing when no row carries it. Read
// inside the caller's write transaction.
StoreResult<std::optional<std::pair<qint64, DishRecord>>> firstRowWithId(Store &s, qint64 id)
{
    Sql::Statement find;
    int rc = find.prepare(s.db, QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 = ?1")
                                    .arg(s.dishColumns(0, 5), s.layout.dishRowid, DishTable, s.layout.dishCols.at(0))
                                    + s.dishOrder() + QStringLiteral(" LIMIT 1"));
    if (rc != SQLITE_OK)
        return s.fail(rc, true);
    find.bindInt64(1, id);
    rc = find.step();
    if (rc == SQLITE_DONE)
        return std::optional<std::pair<qint64, DishRecord>>();
    if (rc != SQLITE_ROW)
        return s.fail(rc, true);
    return std::optional(std::pair(find.columnInt64(6), readDish(find)));
}

// Appends a row to `table` with `values` in columns 1.. and returns the new
// id; `alongside`, when given, runs in the same transaction with that id
// (SQLITE_DONE or the engine's code).
StoreResult<qint64> appendRow(Store &s, const QString &table, const QStringList &cols, bool idIsRowid,
                              const QStringList &values, const std::function<int(qint64)> &alongside = {})
{
    Sql::Transaction tx(s.db);
    if (!tx.active())
        return s.fail(tx.beginResult(), true);
    RowInserter insert(s, table, cols, idIsRowid, int(values.size()));
    const StoreResult<qint64> id = insert.add(values);
    if (!id.ok())
        return id;
    int rc = alongside ? alongside(*id) : SQLITE_DONE;
    if (rc != SQLITE_DONE)
        return s.fail(rc, true);
    rc = tx.commit();
    if (rc != SQLITE_OK)
        return s.fail(rc, true);
    return id;
}

} // namespace

StoreResult<qint64> RecipeStore::addDish(const QString &category, const QString &name,
                            const QString &ingredients, const QString &method, const QString &picture,
                            const EditedMarks &marks)
{
    return withStore<qint64>(*this, [&](Store &s) {
        s.rowsChanged();
        // Marks left under the new id by a program that deleted a dish
        // without them are not the new dish's.
        const StoreResult<qint64> id = appendRow(s, DishTable, s.layout.dishCols, s.layout.dishIdIsRowid,
                                                 {category, trimBlanks(name), trimBlanks(ingredients),
                                                  trimBlanks(method), trimBlanks(picture)},
                                                 [&](qint64 newId) {
                                                     const int rc = deleteMarksOf(s, QStringLiteral("?1"),
                                                         [newId](Sql::Statement &st) { st.bindInt64(1, newId); });
                                                     return rc == SQLITE_DONE ? writeMarksMakingTables(s, newId, marks)
                                                                              : rc;
                                                 });
        if (id.ok())
            noteDishWritten(s, s.db.lastInsertRowid());
        return id;
    });
}


StoreResult<qint64> RecipeStore::addCategory(const QString &category)
{
    return withStore<qint64>(*this, [&](Store &s) {
        return appendRow(s, CategoryTable, s.layout.categoryCols, s.layout.categoryIdIsRowid, {category});
    });
}

namespace {
// Runs one DELETE whose ?1 is the name: SQLITE_DONE and the rows it took in
// `taken`, or the engine's code.
int deleteWhereName(Store &s, const QString &name, const QString &sql, qint64 &taken)
{
    Sql::Statement del;
    const int rc = del.prepare(s.db, sql);
    if (rc != SQLITE_OK)
        return rc;
    del.bindText(1, name);
    const int done = del.step();
    taken = s.db.changes();
    return done;
}
} // namespace

StoreResult<DeleteOutcome> RecipeStore::deleteCategory(const QString &category)
{
    return withStore<DeleteOutcome>(*this, [&](Store &s) -> StoreResult<DeleteOutcome> {
        s.rowsChanged();
        const QString name = trimBlanks(category);
        Sql::Transaction tx(s.db);
        if (!tx.active())
            return s.fail(tx.beginResult(), true);
        // Every dish of the name, then only the first matching category row,
        // even when the name is listed twice.
        DeleteOutcome outcome;
        int rc = deleteMarksOf(s,
                               QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                                   .arg(s.layout.dishCols.at(0), DishTable,
                                        trimmedColumnIs(s.layout.dishCols.at(1), QStringLiteral("?1"))),
                               [&name](Sql::Statement &st) { st.bindText(1, name); });
        if (rc != SQLITE_DONE)
            return s.fail(rc, true);
        // The rows are found by their category alone, in a few ranges of the
        // catalogue index, without touching the other recipes.
        rc = deleteWhereName(s, name,
                                 QStringLiteral("DELETE FROM %1 WHERE %2 IN (SELECT %2 FROM %1 WHERE %3)")
                                     .arg(DishTable, s.layout.dishRowid,
                                          trimmedColumnIs(s.layout.dishCols.at(1), QStringLiteral("?1"))),
                                 outcome.dishesDeleted);
        if (rc != SQLITE_DONE)
            return s.fail(rc, true);
        qint64 categoryRows = 0;
        rc = deleteWhereName(s, name,
                             QStringLiteral("DELETE FROM %1 WHERE %2 = (SELECT %2 FROM %1 WHERE %3 = ?1 "
                                            "COLLATE BINARY%4 LIMIT 1)")
                                 .arg(CategoryTable, s.layout.categoryRowid,
                                      trimmedColumn(s.layout.categoryCols.at(1)), s.categoryOrder()),
                             categoryRows);
        if (rc != SQLITE_DONE)
            return s.fail(rc, true);
        outcome.categoryRowDeleted = categoryRows > 0;
        rc = tx.commit();
        if (rc != SQLITE_OK)
            return s.fail(rc, true);
        noteRowsDeleted(s);
        return outcome;
    });
}


namespace {
// In one transaction: finds the first row carrying `id` and, unless
// `mayWrite` (given the row as it is) says no, runs `change` on it, whose ?1
// is that row's identity and ?2.. the `texts`. False when no row carries
// the id, or when `mayWrite` said no. `alongside`, when given, runs in the
// same transaction after the change (SQLITE_DONE or the engine's code).
StoreResult<bool> changeRowWithId(Store &s, qint64 id, const QString &change, const QStringList &texts, bool deletes,
                                  const std::function<bool(const DishRecord &)> &mayWrite = {},
                                  const std::function<int()> &alongside = {})
{
    Sql::Transaction tx(s.db);
    if (!tx.active())
        return s.fail(tx.beginResult(), true);
    const auto found = firstRowWithId(s, id);
    if (!found)
        return found.error();
    if (!*found || (mayWrite && !mayWrite((*found)->second)))
        return false;
    const qint64 rowid = (*found)->first;
    Sql::Statement write;
    int rc = write.prepare(s.db, change);
    if (rc != SQLITE_OK)
        return s.fail(rc, true);
    write.bindInt64(1, rowid);
    for (int i = 0; i < texts.size(); ++i)
        write.bindText(i + 2, texts.at(i));
    rc = write.step();
    if (rc == SQLITE_DONE && alongside)
        rc = alongside();
    if (rc != SQLITE_DONE)
        return s.fail(rc, true);
    rc = tx.commit();
    if (rc != SQLITE_OK)
        return s.fail(rc, true);
    if (deletes)
        noteRowsDeleted(s);
    else
        noteDishWritten(s, rowid);
    return true;
}
} // namespace

StoreResult<bool> RecipeStore::updateDish(qint64 id, const QString &name,
                             const QString &ingredients, const QString &method, const QString &picture,
                             const std::function<bool(const DishRecord &)> &mayWrite, const EditedMarks *marks)
{
    return withStore<bool>(*this, [&](Store &s) {
        s.textsChanged();
        const QStringList &c = s.layout.dishCols;
        std::function<int()> alsoMarks;
        if (marks)
            alsoMarks = [&s, id, marks] { return writeMarksMakingTables(s, id, *marks); };
        return changeRowWithId(s, id,
                               QStringLiteral("UPDATE %1 SET %2=?2, %3=?3, %4=?4, %5=?5 WHERE %6=?1")
                                   .arg(DishTable, c.at(2), c.at(3), c.at(4), c.at(5), s.layout.dishRowid),
                               {trimBlanks(name), trimBlanks(ingredients), trimBlanks(method), trimBlanks(picture)},
                               false, mayWrite, alsoMarks);
    });
}

StoreResult<bool> RecipeStore::deleteDish(qint64 id)
{
    return withStore<bool>(*this, [&](Store &s) {
        s.rowsChanged();
        return changeRowWithId(s, id, QStringLiteral("DELETE FROM %1 WHERE %2 = ?1").arg(DishTable, s.layout.dishRowid),
                               {}, true, {}, [&s, id] {
                                   return deleteMarksOf(s, QStringLiteral("?1"),
                                                        [id](Sql::Statement &st) { st.bindInt64(1, id); });
                               });
    });
}

StoreResult<bool> RecipeStore::moveDish(qint64 id, const QString &category)
{
    return withStore<bool>(*this, [&](Store &s) {
        s.textsChanged();
        return changeRowWithId(s, id,
                               QStringLiteral("UPDATE %1 SET %2 = ?2 WHERE %3 = ?1")
                                   .arg(DishTable, s.layout.dishCols.at(1), s.layout.dishRowid),
                               {category}, false);
    });
}

StoreResult<bool> RecipeStore::setDishPicture(qint64 id, const QString &picture)
{
    return withStore<bool>(*this, [&](Store &s) {
        s.textsChanged();
        return changeRowWithId(s, id,
                               QStringLiteral("UPDATE %1 SET %2 = ?2 WHERE %3 = ?1")
                                   .arg(DishTable, s.layout.dishCols.at(5), s.layout.dishRowid),
                               {trimBlanks(picture)}, false);
    });
}
