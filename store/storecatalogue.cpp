// The recipe store: what the catalogue tree reads, and the index it is
// read from.
#include "store/recipestore.h"

#include "store/storeinternal.h"

#include <sqlite3.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace RecipeStore {

using namespace Internal;

namespace {

std::optional<StoreError> readCategories(Store &s, CatalogueData &data)
{
    Sql::Statement st;
    int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2").arg(s.layout.categoryCols.at(1), kCategoryTable)
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
    if (st.prepare(s.db, QStringLiteral("SELECT max(%1) FROM %2").arg(s.layout.dishRowid, kDishTable)) != SQLITE_OK
        || st.step() != SQLITE_ROW)
        return 0;
    return st.columnInt64(0);
}

bool hasCatalogueIndex(Store &s)
{
    Sql::Statement st;
    if (st.prepare(s.db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?1")) != SQLITE_OK)
        return false;
    st.bindText(1, kCatalogueIndex.mid(1, kCatalogueIndex.size() - 2));
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

// The query for every dish's row id, id, category and name; `where` narrows it.
QString dishQuery(const Store &s, const QString &where = QString())
{
    // A row id that is the id column too is read once.
    const QString columns = s.layout.dishIdIsRowid ? s.dishColumns(1, 2) : s.dishColumns(0, 2);
    return QStringLiteral("SELECT %1,%2 FROM %3").arg(s.layout.dishRowid, columns, kDishTable) + where;
}

// Steps `sql` (parameter 1: `bound`, when given) on `db` into `part`.
int readPart(const Sql::Connection &db, const Store &s, const QString &sql, const QString &bound, DishPart &part)
{
    const int id = s.layout.dishIdIsRowid ? 0 : 1;
    Sql::Statement st;
    int rc = st.prepare(db, sql);
    if (rc == SQLITE_OK && !bound.isNull())
        rc = st.bindText(1, bound);
    if (rc != SQLITE_OK)
        return rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        part.rowids.push_back(st.columnInt64(0));
        part.data.append(st.columnInt64(id), st.columnUtf8(id + 1), st.columnUtf8(id + 2), st.columnIsNull(id + 2));
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// Below this many rows one connection reads the tree faster than two.
constexpr qint64 kSplitRows = 20'000;

// The category that halves the catalogue index, going by the listed
// categories; empty when a second connection would not help or could not
// see the same snapshot (a WAL file lets each reader keep its own).
QString splitCategory(Store &s, const CatalogueData &data, qint64 rows)
{
    if (rows < kSplitRows || data.categories.size() < 2 || !hasCatalogueIndex(s))
        return {};
    Sql::Statement mode;
    if (mode.prepare(s.db, QStringLiteral("PRAGMA journal_mode")) != SQLITE_OK || mode.step() != SQLITE_ROW
        || mode.columnText(0).compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)
        return {};
    std::vector<QByteArray> listed;
    for (const QString &category : data.categories)
        listed.push_back(category.toUtf8());
    std::sort(listed.begin(), listed.end());
    return QString::fromUtf8(listed[listed.size() / 2]);
}

bool openPartner(Store &s)
{
    if (s.partner.handle())
        return true;
    const QString path = QString::fromUtf8(sqlite3_db_filename(s.db.handle(), "main"));
    if (s.partner.open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX) != SQLITE_OK) {
        s.partner.close();
        return false;
    }
    // Never waits: a writer about to commit sends the whole read to the main connection.
    s.partner.setBusyTimeout(0);
    s.partner.exec("PRAGMA mmap_size=268435456");
    return true;
}

// Reads the catalogue index in two halves at once: categories from `split`
// on, on the partner connection, the rest on the main one. The main
// connection holds its read lock throughout, so in a journal (not WAL) file
// no writer can commit in between: both halves are of one snapshot. Should
// the partner not take part (busy, or another file now at the path), the
// main connection reads its half too. (Both still at the one path, the two
// connections have the same file open.)
int readInHalves(Store &s, const QString &split, qint64 rows, DishPart &all)
{
    const QString from = QStringLiteral(" INDEXED BY %1 WHERE %2").arg(kCatalogueIndex, s.layout.dishCols.at(1));
    const QString upperQuery = dishQuery(s, from + QStringLiteral(" >= ?1"));
    DishPart upper;
    upper.reserve(rows / 2 + rows / 8);
    int upperRc = SQLITE_CANTOPEN;
    std::thread partner;
    if (openPartner(s))
        partner = std::thread([&] {
            upperRc = readPart(s.partner, s, upperQuery, split, upper);
            upper.sort();
        });
    int rc = readPart(s.db, s, dishQuery(s, from + QStringLiteral(" IS NULL")), QString(), all);
    if (rc == SQLITE_OK)
        rc = readPart(s.db, s, dishQuery(s, from + QStringLiteral(" < ?1")), split, all);
    all.sort();
    if (partner.joinable())
        partner.join();
    if (rc == SQLITE_OK && (upperRc != SQLITE_OK || !stillAtItsPath(s.db) || !stillAtItsPath(s.partner))) {
        upper = DishPart();
        rc = readPart(s.db, s, upperQuery, split, upper);
        upper.sort();
    }
    if (rc != SQLITE_OK)
        return rc;
    all.data.mergeSorted(upper.data, all.rowids, upper.rowids);
    return SQLITE_OK;
}

// Every dish's id, category and name. No order is asked for, so that the
// engine may read them from the catalogue index (in its order) rather than
// from the table; the rows are put in table order afterwards. A large tree
// is read in two halves at once.
std::optional<StoreError> readDishes(Store &s, CatalogueData &data)
{
    const qint64 rows = highestRowid(s);
    DishPart all;
    all.reserve(rows);
    const QString split = splitCategory(s, data, rows);
    // Any trouble with the halves (an index of that name that cannot serve
    // them, say) leaves the plain read to find and report it.
    int rc = split.isEmpty() ? SQLITE_ERROR : readInHalves(s, split, rows, all);
    if (rc != SQLITE_OK) {
        all = DishPart();
        all.reserve(rows);
        rc = readPart(s.db, s, dishQuery(s), QString(), all);
        all.sort();
    }
    if (rc != SQLITE_OK)
        return s.fail(rc);
    all.data.categories = std::move(data.categories);
    data = std::move(all.data);
    return std::nullopt;
}

} // namespace

StoreResult<CatalogueData> LoadCatalogue(const QString &path)
{
    return withStore<CatalogueData>(path, [](Store &s) -> StoreResult<CatalogueData> {
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

StoreResult<bool> EnsureCatalogueIndex(const QString &path)
{
    return withStore<bool>(path, [](Store &s) -> StoreResult<bool> {
        // Looked for, and made, now or left for another time: nothing waits
        // here for another program's lock (the read after it does).
        s.db.setBusyTimeout(0);
        const bool present = hasCatalogueIndex(s);
        if (present || sqlite3_db_readonly(s.db.handle(), "main") == 1) {
            s.db.setBusyTimeout(kBusyTimeoutMs);
            return present;
        }
        const QString sql = QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2(%3,%4,%5)")
                                .arg(kCatalogueIndex, kDishTable, s.layout.dishCols.at(1),
                                     s.layout.dishCols.at(2), s.layout.dishCols.at(0));
        const int rc = s.db.exec(sql.toUtf8().constData());
        s.db.setBusyTimeout(kBusyTimeoutMs);
        if (rc == SQLITE_OK)
            return true;
        const StoreError e = s.fail(rc, true);
        if (e.kind == StoreError::Busy || e.kind == StoreError::ReadOnly)
            return false;
        return e;
    });
}

} // namespace RecipeStore
