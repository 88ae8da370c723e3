// The recipe store: what the catalogue tree reads, and the index it is
// read from.
#include "store/recipestore.h"

#include "store/storeinternal.h"

#include <sqlite3.h>

#include <algorithm>
#include <vector>

using namespace StoreInternal;

namespace {

std::optional<StoreError> readCategories(Store &s, CatalogueData &data)
{
    Sql::Statement st;
    int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2").arg(s.layout.categoryCols.at(1), CategoryTable)
                              + s.categoryOrder());
    if (rc != SQLITE_OK)
        return s.fail(rc);
    while ((rc = st.step()) == SQLITE_ROW)
        data.categories << trimBlanks(st.columnText(0));
    if (rc != SQLITE_DONE)
        return s.fail(rc);
    return std::nullopt;
}

// Room to make for the rows: the highest row id is found at once and is
// at least the row count of a table that was never thinned out much.
qint64 highestRowid(Store &s)
{
    Sql::Statement st;
    if (st.prepare(s.db, QStringLiteral("SELECT max(%1) FROM %2").arg(s.layout.dishRowid, DishTable)) != SQLITE_OK
        || st.step() != SQLITE_ROW)
        return 0;
    return st.columnInt64(0);
}

bool hasCatalogueIndex(Store &s)
{
    Sql::Statement st;
    if (st.prepare(s.db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?1")) != SQLITE_OK)
        return false;
    st.bindText(1, CatalogueIndex.mid(1, CatalogueIndex.size() - 2));
    return st.step() == SQLITE_ROW;
}

// Rows of "01" as one query gives them, with their row ids.
struct DishPart {
    CatalogueData data;
    std::vector<qint64> rowids;

    // Room for about `rows` rows (names of ~24 bytes), not for absurd counts.
    void reserve(qint64 rows)
    {
        if (rows > 0 && rows < 10'000'000) {
            rowids.reserve(size_t(rows));
            data.reserve(rows, rows * 24);
        }
    }
    void sort() { data.sortBy(rowids); }
};

// Reads every dish's row id, id, category and name into `part`.
int readPart(const Store &s, DishPart &part)
{
    // A row id that is the id column too is read once.
    const QString columns = s.layout.dishIdIsRowid ? s.dishColumns(1, 2) : s.dishColumns(0, 2);
    const int id = s.layout.dishIdIsRowid ? 0 : 1;
    Sql::Statement st;
    int rc = st.prepare(s.db, QStringLiteral("SELECT %1,%2 FROM %3").arg(s.layout.dishRowid, columns, DishTable));
    if (rc != SQLITE_OK)
        return rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        part.rowids.push_back(st.columnInt64(0));
        part.data.append(st.columnInt64(id), st.columnUtf8(id + 1), st.columnUtf8(id + 2), st.columnIsNull(id + 2));
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// Every dish's id, category and name. No order is asked for, so that the
// engine may read them from the catalogue index (in its order) rather than
// from the table; the rows are put in table order afterwards.
std::optional<StoreError> readDishes(Store &s, CatalogueData &data)
{
    const qint64 rows = highestRowid(s);
    DishPart all;
    all.reserve(rows);
    const int rc = readPart(s, all);
    all.sort();
    if (rc != SQLITE_OK)
        return s.fail(rc);
    all.data.categories = std::move(data.categories);
    data = std::move(all.data);
    return std::nullopt;
}

} // namespace

StoreResult<CatalogueData> RecipeStore::loadCatalogue()
{
    return withStore<CatalogueData>(*this, [](Store &s) -> StoreResult<CatalogueData> {
        // Both tables from one snapshot, so a writer in between cannot split them.
        Sql::Transaction snapshot(s.db, Sql::Transaction::Deferred);
        if (!snapshot.active())
            return s.fail(snapshot.beginResult());
        CatalogueData data;
        if (auto e = readCategories(s, data))
            return *e;
        if (auto e = readDishes(s, data))
            return *e;
        // When unsure, say so: a new read is always right.
        bool unsure = false;
        data.fileHasTriggers = hasTriggers(s, unsure) || unsure;
        // Ending a read changes nothing; should it fail, the guard rolls back.
        snapshot.commit();
        data.totalDishes = data.dishCount();
        return data;
    });
}

StoreResult<bool> RecipeStore::ensureCatalogueIndex()
{
    return withStore<bool>(*this, [](Store &s) -> StoreResult<bool> {
        // Looked for, and made, now or left for another time: nothing waits
        // here for another program's lock (the read after it does).
        s.db.setBusyTimeout(0);
        const bool present = hasCatalogueIndex(s);
        if (present || sqlite3_db_readonly(s.db.handle(), "main") == 1) {
            s.db.setBusyTimeout(busyTimeoutMs());
            return present;
        }
        const QString sql = QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2(%3,%4,%5)")
                                .arg(CatalogueIndex, DishTable, s.layout.dishCols.at(1),
                                     s.layout.dishCols.at(2), s.layout.dishCols.at(0));
        const int rc = s.db.exec(sql.toUtf8().constData());
        s.db.setBusyTimeout(busyTimeoutMs());
        if (rc == SQLITE_OK)
            return true;
        const StoreError e = s.fail(rc, true);
        if (e.kind == StoreError::Busy || e.kind == StoreError::ReadOnly)
            return false;
        return e;
    });
}

