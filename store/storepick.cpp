// The recipe store: the dish of the day.
//
// A draw lands on one of the rows of "01", each as likely as any other,
// whatever their ids are. The row identities are read in one pass (from
// the catalogue index where the file has one, so that no recipe text is
// touched) and kept with the connection until the file changes; a draw
// then costs a look-up in memory and the read of the one row it lands on.
#include "store/recipestore.h"

#include "store/storeinternal.h"

#include <algorithm>
#include <cmath>
#include <sqlite3.h>

using namespace StoreInternal;

namespace {

// Makes s.pickRowids current: kept while the file has not changed, else
// read again.
std::optional<StoreError> refreshPickRowids(Store &s)
{
    return keepCurrent(s, s.pickState, [&s]() -> std::optional<StoreError> {
        s.pickRowids.clear();
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2").arg(s.layout.dishRowid, DishTable));
        if (rc != SQLITE_OK)
            return s.fail(rc);
        while ((rc = st.step()) == SQLITE_ROW)
            s.pickRowids.push_back(st.columnInt64(0));
        if (rc != SQLITE_DONE) {
            s.pickRowids.clear();
            return s.fail(rc);
        }
        // Read from an index that holds them where the file has one, in its
        // order: table order is the order of the row identities.
        std::sort(s.pickRowids.begin(), s.pickRowids.end());
        return std::nullopt;
    });
}

// The place in a table of `rows` rows that a draw x in [0, 1) names; a
// draw outside that range is taken to its nearest end.
size_t drawnPlace(double x, size_t rows)
{
    if (!(x > 0.0))
        return 0;
    const double place = std::floor(x * double(rows));
    return place >= double(rows) ? rows - 1 : size_t(place);
}

} // namespace

StoreResult<std::optional<DishRecord>> RecipeStore::pickRandomDish(const std::function<double()> &draw)
{
    using R = StoreResult<std::optional<DishRecord>>;
    return withStore<std::optional<DishRecord>>(*this, [&](Store &s) -> R {
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?1")
                                      .arg(s.dishColumns(0, 5), DishTable, s.layout.dishRowid));
        if (rc != SQLITE_OK)
            return s.fail(rc);
        // Another program may delete the drawn row between the look at the
        // file's version and the read: the ids are then read again.
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (auto e = refreshPickRowids(s))
                return *e;
            if (s.pickRowids.empty() || !draw)
                return std::optional<DishRecord>();
            st.reset();
            st.bindInt64(1, s.pickRowids.at(drawnPlace(draw(), s.pickRowids.size())));
            R found = stepToDish(s, st);
            if (!found || found->has_value())
                return found;
            s.pickState.valid = false;
        }
        return std::optional<DishRecord>();
    });
}
