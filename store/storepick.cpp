// The recipe store: the dish of the day.
//
// A draw names a number n from 1 to 1700 and lands on the first row (table
// order) whose id equals n. Rather than look for n in "01" at every draw,
// which is a scan of the whole table when the id column is a plain column,
// the rows whose id can equal some n are read in one pass and kept with the
// connection until the file changes; a draw then costs a look-up in memory,
// and only the row it lands on is read, by its row identity.
#include "store/recipestore.h"

#include "store/storeinternal.h"

#include <algorithm>
#include <cmath>
#include <sqlite3.h>

using namespace StoreInternal;

namespace {

// Highest number the daily pick can draw.
constexpr int kPickRange = 1700;

// The number from 1 to kPickRange that a value of the id column may equal
// under SQLite's comparison rules, or 0. Generous on purpose: a text counts
// when it reads as that number (an id column of text affinity compares the
// drawn number as text); the row's own id is compared in SQL again before
// the row is taken.
qint64 candidateNumber(const Sql::Statement &st)
{
    qint64 n = 0;
    switch (st.columnType(0)) {
    case SQLITE_INTEGER:
        n = st.columnInt64(0);
        break;
    case SQLITE_FLOAT: {
        const double d = st.columnDouble(0);
        if (d >= 1 && d <= kPickRange && d == std::floor(d))
            n = qint64(d);
        break;
    }
    case SQLITE_TEXT: {
        bool ok = false;
        n = st.columnText(0).trimmed().toLongLong(&ok);
        if (!ok)
            n = 0;
        break;
    }
    default:
        break;
    }
    return n >= 1 && n <= kPickRange ? n : 0;
}

// Makes s.pickCandidates current: kept while the file has not changed,
// else read again in one pass over the id column.
std::optional<StoreError> refreshPickCandidates(Store &s)
{
    int rc = SQLITE_OK;
    const std::optional<qint64> now = s.dataVersion(rc);
    if (!now)
        return s.fail(rc);
    if (s.pickState.isCurrent(*now))
        return std::nullopt;

    s.pickState.valid = false;
    s.pickCandidates.clear();
    const Layout &l = s.layout;
    // A row-id column holds only integers, so there the range can be asked
    // of SQL and read from the table's own index.
    const QString range = l.dishIdIsRowid ? QStringLiteral(" WHERE %1 BETWEEN 1 AND %2").arg(l.dishCols.at(0)).arg(kPickRange)
                                          : QString();
    Sql::Statement st;
    rc = st.prepare(s.db, QStringLiteral("SELECT %1, %2 FROM %3").arg(l.dishCols.at(0), l.dishRowid, kDishTable) + range);
    if (rc != SQLITE_OK)
        return s.fail(rc);
    while ((rc = st.step()) == SQLITE_ROW) {
        if (const qint64 n = candidateNumber(st))
            s.pickCandidates.push_back(PickCandidate{n, st.columnInt64(1)});
    }
    if (rc != SQLITE_DONE) {
        s.pickCandidates.clear();
        return s.fail(rc);
    }
    std::sort(s.pickCandidates.begin(), s.pickCandidates.end(), [](const PickCandidate &a, const PickCandidate &b) {
        return a.number != b.number ? a.number < b.number : a.rowid < b.rowid;
    });
    s.pickState.set(*now);
    return std::nullopt;
}

// The number a draw names, or 0 for a draw outside [0, 1).
qint64 drawnNumber(double x)
{
    if (!(x >= 0.0 && x < 1.0))
        return 0;
    const qint64 n = qint64(std::floor(kPickRange * x + 1));
    return n >= 1 && n <= kPickRange ? n : 0;
}

} // namespace

StoreResult<std::optional<DishRecord>> RecipeStore::PickRandomDish(const std::function<double()> &draw,
                                                      int maxDraws)
{
    using R = StoreResult<std::optional<DishRecord>>;
    return withStore<std::optional<DishRecord>>(*this, [&](Store &s) -> R {
        if (auto e = refreshPickCandidates(s))
            return *e;
        // The candidate row, all six columns, if its id really is the number.
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?1 AND %4 = ?2")
                                      .arg(s.dishColumns(0, 5), kDishTable, s.layout.dishRowid, s.layout.dishCols.at(0)));
        if (rc != SQLITE_OK)
            return s.fail(rc);
        for (int attempt = 0; attempt < maxDraws && draw; ++attempt) {
            const qint64 n = drawnNumber(draw());
            const auto [first, last] = std::equal_range(
                s.pickCandidates.cbegin(), s.pickCandidates.cend(), PickCandidate{n, 0},
                [](const PickCandidate &a, const PickCandidate &b) { return a.number < b.number; });
            for (auto it = first; n != 0 && it != last; ++it) {
                st.reset();
                st.bindInt64(1, it->rowid);
                st.bindInt64(2, n);
                R found = stepToDish(s, st);
                if (!found || found->has_value())
                    return found;
            }
        }
        return std::optional<DishRecord>();
    });
}

