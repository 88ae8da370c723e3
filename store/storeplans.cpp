// The recipe store: the cook's plans (the week's menu, the shopping list
// and their settings) in tables of their own, "plan_dishes" and
// "plan_notes", made by the first write that puts something in them. A file
// without them simply has no plans; "01" and "02" are never touched.
#include "store/recipestore.h"

#include "store/storeinternal.h"

#include <sqlite3.h>

using namespace StoreInternal;

namespace {

StoreResult<bool> hasPlanTables(Store &s)
{
    return hasTables(s, {QStringLiteral("plan_dishes"), QStringLiteral("plan_notes")});
}

// In one write transaction: `work`, the tables made first when the file
// lacks them and `needsTables`; nothing at all when it lacks them and the
// write would only take something away.
StoreStatus writePlans(Store &s, bool needsTables, const std::function<int()> &work)
{
    Sql::Transaction tx(s.db);
    if (!tx.active())
        return s.fail(tx.beginResult(), true);
    const StoreResult<bool> tables = hasPlanTables(s);
    if (!tables)
        return tables.error();
    if (!*tables && !needsTables)
        return Done{};
    int rc = SQLITE_OK;
    if (!*tables)
        rc = s.db.exec("CREATE TABLE IF NOT EXISTS \"plan_dishes\" (list TEXT NOT NULL, place INTEGER NOT NULL,"
                       " position INTEGER NOT NULL, dish INTEGER NOT NULL, name TEXT, servings INTEGER);"
                       "CREATE TABLE IF NOT EXISTS \"plan_notes\" (key TEXT PRIMARY KEY, value TEXT);");
    if (rc == SQLITE_OK)
        rc = work();
    if (rc != SQLITE_DONE && rc != SQLITE_OK)
        return s.fail(rc, true);
    if ((rc = tx.commit()) != SQLITE_OK)
        return s.fail(rc, true);
    return Done{};
}

int insertRows(Store &s, const QString &list, const QVector<PlanRow> &rows)
{
    Sql::Statement st;
    int rc = st.prepare(s.db, QStringLiteral("INSERT INTO \"plan_dishes\" (list, place, position, dish, name,"
                                             " servings) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
    for (qsizetype i = 0; i < rows.size() && rc == SQLITE_OK; ++i) {
        st.reset();
        st.bindText(1, list);
        st.bindInt64(2, rows[i].place);
        st.bindInt64(3, i);
        st.bindInt64(4, rows[i].dish);
        st.bindText(5, rows[i].name);
        st.bindInt64(6, rows[i].servings);
        rc = st.step();
        rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
    }
    return rc;
}

} // namespace

StoreResult<Plans> RecipeStore::readPlans()
{
    return withStore<Plans>(*this, [](Store &s) -> StoreResult<Plans> {
        Plans plans;
        Sql::Transaction tx(s.db, Sql::Transaction::Deferred);
        const StoreResult<bool> tables = hasPlanTables(s);
        if (!tables)
            return tables.error();
        if (!*tables)
            return plans;
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT list, place, dish, name, servings FROM \"plan_dishes\""
                                                 " ORDER BY list, position"));
        while (rc == SQLITE_OK && (rc = st.step()) == SQLITE_ROW) {
            plans.lists[st.columnText(0)].append(
                PlanRow{int(st.columnInt64(1)), st.columnInt64(2), st.columnText(3), int(st.columnInt64(4))});
            rc = SQLITE_OK;
        }
        Sql::Statement notes;
        if (rc == SQLITE_DONE)
            rc = notes.prepare(s.db, QStringLiteral("SELECT key, value FROM \"plan_notes\""));
        while (rc == SQLITE_OK && (rc = notes.step()) == SQLITE_ROW) {
            plans.notes.insert(notes.columnText(0), notes.columnText(1));
            rc = SQLITE_OK;
        }
        if (rc != SQLITE_DONE)
            return s.fail(rc);
        return plans;
    });
}

StoreStatus RecipeStore::writePlan(const QString &list, const QVector<PlanRow> &rows)
{
    return withStore<Done>(*this, [&](Store &s) {
        return writePlans(s, !rows.isEmpty(), [&] {
            Sql::Statement st;
            int rc = st.prepare(s.db, QStringLiteral("DELETE FROM \"plan_dishes\" WHERE list = ?1"));
            if (rc != SQLITE_OK)
                return rc;
            st.bindText(1, list);
            if ((rc = st.step()) != SQLITE_DONE)
                return rc;
            return insertRows(s, list, rows);
        });
    });
}

StoreStatus RecipeStore::writePlanNote(const QString &key, const QString &value)
{
    return withStore<Done>(*this, [&](Store &s) {
        return writePlans(s, !value.isEmpty(), [&] {
            Sql::Statement st;
            const bool remove = value.isEmpty();
            int rc = st.prepare(s.db, remove ? QStringLiteral("DELETE FROM \"plan_notes\" WHERE key = ?1")
                                             : QStringLiteral("INSERT INTO \"plan_notes\" (key, value) VALUES (?1, ?2)"
                                                              " ON CONFLICT (key) DO UPDATE SET value = ?2"));
            if (rc != SQLITE_OK)
                return rc;
            st.bindText(1, key);
            if (!remove)
                st.bindText(2, value);
            return st.step();
        });
    });
}
