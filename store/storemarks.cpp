// The recipe store: the cook's marks (tags, favourites, servings) in tables of their
// own, "marks_tags" (dish, tag) and "marks_dish" (dish, favourite,
// servings), keyed by the id of the dish in "01". The tables are made by
// the first write that needs them, never by a read: a file without them
// simply has no marks, and "01" and "02" are never touched by them.
#include "store/recipestore.h"

#include "store/storeinternal.h"

#include <sqlite3.h>

#include <algorithm>

using namespace StoreInternal;

namespace {
const QString TagTable = QStringLiteral("\"marks_tags\"");
const QString DishMarkTable = QStringLiteral("\"marks_dish\"");

StoreResult<bool> hasMarkTables(Store &s)
{
    return hasTables(s, {QStringLiteral("marks_tags"), QStringLiteral("marks_dish")});
}

// Inside the caller's write transaction.
std::optional<StoreError> makeMarkTables(Store &s)
{
    const int rc = s.db.exec("CREATE TABLE IF NOT EXISTS \"marks_tags\" (dish INTEGER NOT NULL, tag TEXT NOT NULL,"
                             " UNIQUE (dish, tag));"
                             "CREATE INDEX IF NOT EXISTS \"marks_tags_tag\" ON \"marks_tags\" (tag);"
                             "CREATE TABLE IF NOT EXISTS \"marks_dish\" (dish INTEGER PRIMARY KEY,"
                             " favourite INTEGER NOT NULL DEFAULT 0, servings INTEGER);");
    if (rc != SQLITE_OK)
        return s.fail(rc, true);
    return std::nullopt;
}

// Runs one statement with ?1 bound to `id` (and ?2 to `text` when given).
int runWithId(Store &s, const QString &sql, qint64 id, const QString &text = QString())
{
    Sql::Statement st;
    int rc = st.prepare(s.db, sql);
    if (rc != SQLITE_OK)
        return rc;
    st.bindInt64(1, id);
    if (!text.isNull())
        st.bindText(2, text);
    rc = st.step();
    return rc == SQLITE_ROW ? SQLITE_DONE : rc;
}

StoreResult<bool> dishExists(Store &s, qint64 id)
{
    Sql::Statement st;
    int rc = st.prepare(s.db, QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?1 LIMIT 1")
                                  .arg(DishTable, s.layout.dishCols.at(0)));
    if (rc != SQLITE_OK)
        return s.fail(rc, true);
    st.bindInt64(1, id);
    rc = st.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return s.fail(rc, true);
    return rc == SQLITE_ROW;
}

// In one write transaction: `work` on the dish with this id, unless no row
// carries it (false). The tables are made first when `needsTables`.
StoreResult<bool> writeMarks(Store &s, qint64 id, bool needsTables, const std::function<int()> &work)
{
    Sql::Transaction tx(s.db);
    if (!tx.active())
        return s.fail(tx.beginResult(), true);
    const StoreResult<bool> exists = dishExists(s, id);
    if (!exists || !*exists)
        return exists;
    const StoreResult<bool> tables = hasMarkTables(s);
    if (!tables)
        return tables.error();
    if (!*tables && !needsTables)
        return true;   // nothing to take away
    if (!*tables) {
        if (auto e = makeMarkTables(s))
            return *e;
    }
    int rc = work();
    if (rc != SQLITE_DONE && rc != SQLITE_OK)
        return s.fail(rc, true);
    rc = tx.commit();
    if (rc != SQLITE_OK)
        return s.fail(rc, true);
    return true;
}
} // namespace

namespace StoreInternal {

StoreResult<bool> hasTables(Store &s, const QStringList &names)
{
    Sql::Statement st;
    QStringList places;
    for (qsizetype i = 0; i < names.size(); ++i)
        places << QStringLiteral("?%1").arg(i + 1);
    int rc = st.prepare(s.db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN (%1)")
                                  .arg(places.join(QLatin1Char(','))));
    for (qsizetype i = 0; rc == SQLITE_OK && i < names.size(); ++i)
        st.bindText(int(i + 1), names.at(i));
    if (rc == SQLITE_OK)
        rc = st.step();
    if (rc != SQLITE_ROW)
        return s.fail(rc);
    return st.columnInt64(0) == names.size();
}

int deleteMarksOf(Store &s, const QString &dishIds, const std::function<void(Sql::Statement &)> &bind)
{
    const StoreResult<bool> tables = hasMarkTables(s);
    if (!tables)
        return SQLITE_ERROR;
    if (!*tables)
        return SQLITE_DONE;
    for (const QString &table : {TagTable, DishMarkTable}) {
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("DELETE FROM %1 WHERE dish IN (%2)").arg(table, dishIds));
        if (rc != SQLITE_OK)
            return rc;
        bind(st);
        if ((rc = st.step()) != SQLITE_DONE)
            return rc;
    }
    return SQLITE_DONE;
}

} // namespace StoreInternal

namespace StoreInternal {

StoreResult<DishMarks> readMarksIn(Store &s)
{
    DishMarks marks;
    const StoreResult<bool> tables = hasMarkTables(s);
    if (!tables)
        return tables.error();
    if (!*tables)
        return marks;
    Sql::Statement st;
    int rc = st.prepare(s.db, QStringLiteral("SELECT dish, tag FROM %1 ORDER BY rowid").arg(TagTable));
    if (rc == SQLITE_OK) {
        while ((rc = st.step()) == SQLITE_ROW)
            marks.tags[st.columnInt64(0)] << st.columnText(1);
    }
    if (rc != SQLITE_DONE)
        return s.fail(rc);
    Sql::Statement each;
    rc = each.prepare(s.db, QStringLiteral("SELECT dish, favourite, servings FROM %1").arg(DishMarkTable));
    if (rc == SQLITE_OK) {
        while ((rc = each.step()) == SQLITE_ROW) {
            if (each.columnInt64(1) != 0)
                marks.favourites.insert(each.columnInt64(0));
            const qint64 servings = each.columnInt64(2);
            if (servings > 0 && servings <= Marks::MaxServings)
                marks.servings.insert(each.columnInt64(0), int(servings));
        }
    }
    if (rc != SQLITE_DONE)
        return s.fail(rc);
    marks.index();
    return marks;
}

} // namespace StoreInternal

StoreResult<DishMarks> RecipeStore::readMarks()
{
    return withStore<DishMarks>(*this, [](Store &s) -> StoreResult<DishMarks> {
        Sql::Transaction tx(s.db, Sql::Transaction::Deferred);
        return readMarksIn(s);
    });
}

StoreResult<bool> RecipeStore::setFavourite(qint64 id, bool favourite)
{
    return withStore<bool>(*this, [&](Store &s) {
        return writeMarks(s, id, favourite, [&] {
            return runWithId(s, QStringLiteral("INSERT INTO %1 (dish, favourite) VALUES (?1, %2)"
                                               " ON CONFLICT (dish) DO UPDATE SET favourite = %2")
                                    .arg(DishMarkTable, favourite ? QStringLiteral("1") : QStringLiteral("0")),
                             id);
        });
    });
}

StoreResult<bool> RecipeStore::setTags(qint64 id, const QStringList &tags)
{
    return withStore<bool>(*this, [&](Store &s) {
        return writeMarks(s, id, !tags.isEmpty(), [&] { return writeTags(s, id, tags); });
    });
}

namespace StoreInternal {
int writeTags(Store &s, qint64 id, const QStringList &tags)
{
    int rc = runWithId(s, QStringLiteral("DELETE FROM %1 WHERE dish = ?1").arg(TagTable), id);
    for (const QString &tag : tags) {
        if (rc != SQLITE_DONE)
            break;
        rc = runWithId(s, QStringLiteral("INSERT OR IGNORE INTO %1 (dish, tag) VALUES (?1, ?2)").arg(TagTable), id,
                       tag);
    }
    return rc;
}
int writeMarksMakingTables(Store &s, qint64 id, const EditedMarks &marks)
{
    const StoreResult<bool> tables = hasMarkTables(s);
    if (!tables)
        return SQLITE_ERROR;
    if (!*tables && marks.tags.isEmpty() && marks.servings <= 0)
        return SQLITE_DONE;
    if (!*tables && makeMarkTables(s))
        return SQLITE_ERROR;
    const int rc = writeTags(s, id, marks.tags);
    if (rc != SQLITE_DONE)
        return rc;
    const bool known = marks.servings > 0 && marks.servings <= Marks::MaxServings;
    return runWithId(s, QStringLiteral("INSERT INTO %1 (dish, servings) VALUES (?1, %2)"
                                       " ON CONFLICT (dish) DO UPDATE SET servings = %2")
                            .arg(DishMarkTable, known ? QString::number(marks.servings) : QStringLiteral("NULL")),
                     id);
}

namespace {
// The statements an import writes the marks of its new rows with, each
// prepared once.
struct ImportMarkStatements {
    Sql::Statement clearTags, clearDish, addTag, addDish;

    int prepare(Store &s)
    {
        int rc = clearTags.prepare(s.db, QStringLiteral("DELETE FROM %1 WHERE dish = ?1").arg(TagTable));
        if (rc == SQLITE_OK)
            rc = clearDish.prepare(s.db, QStringLiteral("DELETE FROM %1 WHERE dish = ?1").arg(DishMarkTable));
        if (rc == SQLITE_OK)
            rc = addTag.prepare(s.db, QStringLiteral("INSERT OR IGNORE INTO %1 (dish, tag) VALUES (?1, ?2)").arg(TagTable));
        if (rc == SQLITE_OK)
            rc = addDish.prepare(s.db, QStringLiteral("INSERT INTO %1 (dish, favourite, servings) VALUES (?1, ?2, ?3)")
                                           .arg(DishMarkTable));
        return rc;
    }

    static int run(Sql::Statement &st, qint64 id)
    {
        st.reset();
        st.bindInt64(1, id);
        return st.step();
    }

    int write(qint64 id, const ImportedMarks &marks)
    {
        int rc = run(clearTags, id);
        if (rc == SQLITE_DONE)
            rc = run(clearDish, id);
        for (const QString &tag : marks.tags) {
            if (rc != SQLITE_DONE)
                return rc;
            addTag.reset();
            addTag.bindInt64(1, id);
            addTag.bindText(2, tag);
            rc = addTag.step();
        }
        const bool known = marks.servings > 0 && marks.servings <= Marks::MaxServings;
        if (rc != SQLITE_DONE || (!known && !marks.favourite))
            return rc;
        addDish.reset();
        addDish.bindInt64(1, id);
        addDish.bindInt64(2, marks.favourite ? 1 : 0);
        if (known)
            addDish.bindInt64(3, marks.servings);
        else
            addDish.bindNull(3);
        return addDish.step();
    }
};
} // namespace

int writeImportedMarks(Store &s, const QVector<qint64> &ids, const QVector<ImportedMarks> &marks)
{
    const StoreResult<bool> tables = hasMarkTables(s);
    if (!tables)
        return SQLITE_ERROR;
    const bool any = std::any_of(marks.cbegin(), marks.cend(), [](const ImportedMarks &m) { return !m.isEmpty(); });
    if (!*tables && !any)
        return SQLITE_DONE;   // no marks, and none left behind either
    if (!*tables && makeMarkTables(s))
        return SQLITE_ERROR;
    ImportMarkStatements statements;
    int rc = statements.prepare(s);
    if (rc != SQLITE_OK)
        return rc;
    rc = SQLITE_DONE;
    for (qsizetype i = 0; i < ids.size() && rc == SQLITE_DONE; ++i)
        rc = statements.write(ids.at(i), i < marks.size() ? marks.at(i) : ImportedMarks());
    return rc;
}

} // namespace StoreInternal

StoreResult<qint64> RecipeStore::tagCategory(const QString &category, const QString &tag)
{
    return withStore<qint64>(*this, [&](Store &s) -> StoreResult<qint64> {
        Sql::Transaction tx(s.db);
        if (!tx.active())
            return s.fail(tx.beginResult(), true);
        if (auto e = makeMarkTables(s))
            return *e;
        // Every dish of the category that has room for one more tag.
        Sql::Statement st;
        const QString id = s.layout.dishCols.at(0);
        int rc = st.prepare(s.db, QStringLiteral("INSERT OR IGNORE INTO %1 (dish, tag) SELECT %2, ?2 FROM %3 WHERE %4"
                                                 " AND (SELECT count(*) FROM %1 WHERE dish = %2) < %5")
                                      .arg(TagTable, id, DishTable,
                                           trimmedColumnIs(s.layout.dishCols.at(1), QStringLiteral("?1")))
                                      .arg(Marks::MaxTags) + s.dishOrder());
        if (rc != SQLITE_OK)
            return s.fail(rc, true);
        st.bindText(1, trimBlanks(category));
        st.bindText(2, tag);
        if ((rc = st.step()) != SQLITE_DONE)
            return s.fail(rc, true);
        const qint64 tagged = s.db.changes();
        if ((rc = tx.commit()) != SQLITE_OK)
            return s.fail(rc, true);
        return tagged;
    });
}
