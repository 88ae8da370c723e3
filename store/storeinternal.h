#pragma once
// What the parts of the recipe store share: the kept connection with the
// file's layout and the caches read from it, error making, and the helper
// that runs one operation on an opened store. Not for use outside store/.
#include "store/recipestore.h"
#include "store/pinyinmatch.h"
#include "store/sqlite.h"

#include <sqlite3.h>

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <functional>
#include <memory>
#include <sys/types.h>
#include <optional>
#include <string>
#include <vector>

struct sqlite3_context;
struct sqlite3_value;

namespace StoreInternal {

// How long an operation waits for another program's lock before giving up
// (RecipeStore::setBusyTimeout).
int busyTimeoutMs();

inline const QString DishTable = QStringLiteral("\"01\"");
inline const QString CategoryTable = QStringLiteral("\"02\"");
// The index over category, name and id of "01" that the tree is read from.
inline const QString CatalogueIndex = QStringLiteral("\"01_tree\"");

StoreError makeError(StoreError::Kind kind, const QString &detail);
// Whether the file's bytes and then its folder entry are on disk.
bool syncToDisk(const QString &file, const QString &folder);
// Turns an SQLite result code into the kind of trouble the cook is told about.
StoreError errorFromCode(int rc, const QString &message, bool writing);

// The column names of both tables, quoted, by position.
struct Layout {
    QStringList dishCols;        // 6 names of "01"
    QStringList categoryCols;    // 2 names of "02"
    bool dishIdIsRowid = false;  // column 0 of "01" is an INTEGER PRIMARY KEY
    bool categoryIdIsRowid = false;
    QString dishRowid;           // the name that reaches the row identity of "01"
    QString categoryRowid;
};

// Every dish's id, category and name, in table order: what a names-only
// search matches against, kept with the connection between searches.
struct NameRow {
    qint64 id = 0;
    QString category;
    QString name;
    std::u32string name32;   // the name as code points, for the matcher
};

// Which characters each dish's name, ingredients and method hold, as 512
// bits per dish (a character sets the bit its UTF-8 bytes hash to): a search
// by words reads the texts of only those dishes that hold every character
// the words need. 72 bytes a dish.
struct CharacterSets {
    using Bits = std::array<quint64, 8>;
    std::vector<qint64> rowids;   // table order
    std::vector<Bits> bits;       // parallel to rowids

    // Sets the bit of every character of UTF-8 text. A well-formed character
    // always sets the bit of its own bytes, an ASCII letter that of its lower
    // case; ill-formed bytes may set more bits, never fewer.
    static void add(Bits &bits, const unsigned char *s, qsizetype size);
};

// Something read from the file and kept with the connection: current while
// no other connection has committed since (PRAGMA data_version) and we have
// not written ourselves.
struct CacheState {
    qint64 version = -1;
    bool valid = false;
    bool isCurrent(qint64 now) const { return valid && version == now; }
    void set(qint64 now)
    {
        version = now;
        valid = true;
    }
};

struct Store {
    Sql::Connection db;
    Layout layout;
    QVector<NameRow> names;
    CacheState namesState;
    std::optional<Pinyin::Keys> namesPinyin;   // per name, made at the first pinyin search
    // The row identities of "01" in table order, for the daily pick.
    std::vector<qint64> pickRowids;
    CacheState pickState;
    CharacterSets characters;
    CacheState charactersState;

    // Our own writes do not move data_version: they drop what they make
    // stale instead. Rows added or deleted make the names and the pick's
    // rows stale; a dish rewritten in place keeps its id, so only the
    // names go. The character sets are brought up to date row by row
    // (noteDishWritten, noteRowsDeleted).
    void rowsChanged()
    {
        namesState.valid = false;
        pickState.valid = false;
    }
    void textsChanged() { namesState.valid = false; }
    StoreError fail(int rc, bool writing = false) const
    {
        return errorFromCode(rc, db.errorMessage(), writing);
    }
    QString dishColumns(int from, int to) const
    {
        QStringList cols;
        for (int i = from; i <= to; ++i)
            cols << layout.dishCols.at(i);
        return cols.join(QLatin1Char(','));
    }
    QString dishOrder() const { return QStringLiteral(" ORDER BY ") + layout.dishRowid; }
    QString categoryOrder() const { return QStringLiteral(" ORDER BY ") + layout.categoryRowid; }
    // The first row (table order) whose id is parameter 1, all six columns.
    QString dishByIdQuery() const
    {
        return QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?1").arg(dishColumns(0, 5), DishTable, layout.dishCols.at(0))
               + dishOrder() + QStringLiteral(" LIMIT 1");
    }
    // PRAGMA data_version: moves whenever another connection commits.
    std::optional<qint64> dataVersion(int &rc);
};

// A function registered on the kept connection for one query, pointing at
// that query's data, and taken away again at the end of the scope, so that
// nothing is left behind that points at data gone. Statements that use it
// must be finished before it goes.
class ScopedFunction {
public:
    ScopedFunction(Store &s, const char *name, int args, void *data,
                   void (*function)(sqlite3_context *, int, sqlite3_value **));
    ~ScopedFunction();
    ScopedFunction(const ScopedFunction &) = delete;
    ScopedFunction &operator=(const ScopedFunction &) = delete;
    int result() const { return m_rc; }

private:
    sqlite3 *m_db;
    const char *m_name;
    int m_args;
    int m_rc;
};

// The connection a RecipeStore keeps, and which file it is to.
struct OpenFile {
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    bool writable = false;
    std::unique_ptr<Store> store;
};

// Whether the file a connection has open is still the one at its path (not
// moved, deleted or replaced), as SQLite itself reports.
bool stillAtItsPath(const Sql::Connection &db);

// After our own write of one dish (committed): its character set is made
// again from what the file now holds. After deleting dishes the sets of the
// rows gone stay, unused (a row id used again gets a new set when written).
// A file with triggers, which may change other rows too, drops the sets.
void noteDishWritten(Store &s, qint64 rowid);
// Whether the file has triggers (`failed`: the question could not be asked).
bool hasTriggers(Store &s, bool &failed);
void noteRowsDeleted(Store &s);

// Whether the file has every one of these tables of ours (they are made
// together).
StoreResult<bool> hasTables(Store &s, const QStringList &names);

// Inside the caller's write transaction: the marks of the dishes whose
// ids the SQL `dishIds` lists (a subquery, its parameters bound by `bind`),
// when the file has marks tables. SQLITE_DONE, or the engine's code.
int deleteMarksOf(Store &s, const QString &dishIds, const std::function<void(Sql::Statement &)> &bind);
// Inside the caller's write transaction, the marks tables being there: the
// dish's tags replaced by `tags`. SQLITE_DONE, or the engine's code.
int writeTags(Store &s, qint64 id, const QStringList &tags);
// The same, making the tables first when the file lacks them and there
// are tags to write.
int writeMarksMakingTables(Store &s, qint64 id, const EditedMarks &marks);
// Inside the caller's write transaction: the marks left under each of the
// new rows' `ids` cleared, then `marks` (one for each id, or none at all)
// written, the tables made first when some are to be written.
int writeImportedMarks(Store &s, const QVector<qint64> &ids, const QVector<ImportedMarks> &marks);
// Inside the caller's read transaction: every mark the file holds.
StoreResult<DishMarks> readMarksIn(Store &s);

// Appends rows to `table` inside the caller's write transaction, `values`
// going to columns 1..: the id column is the row identity, or else one more
// than the highest id in the table (read at the first row, counted on from
// there). add() returns the new row's id.
class RowInserter {
public:
    RowInserter(Store &s, const QString &table, const QStringList &cols, bool idIsRowid, int valueCount);
    StoreResult<qint64> add(const QStringList &values);

private:
    Store &m_s;
    QString m_table;
    QStringList m_cols;
    bool m_idIsRowid;
    int m_valueCount;
    std::optional<qint64> m_nextId;
    Sql::Statement m_insert;
};

// Makes something kept with the connection current: `read` runs again
// only when another connection has committed since it last ran (PRAGMA
// data_version) or our own write dropped it (`state` no longer valid).
template <class Read>
std::optional<StoreError> keepCurrent(Store &s, CacheState &state, Read read)
{
    int rc = SQLITE_OK;
    const std::optional<qint64> now = s.dataVersion(rc);
    if (!now)
        return s.fail(rc);
    if (state.isCurrent(*now))
        return std::nullopt;
    state.valid = false;
    if (std::optional<StoreError> e = read())
        return e;
    state.set(*now);
    return std::nullopt;
}

// All six columns of a row read by a query over dishColumns(0, 5).
DishRecord readDish(const Sql::Statement &st);

// Steps a prepared dish query once: the row it lands on, nothing when it
// finds none, or the error.
inline StoreResult<std::optional<DishRecord>> stepToDish(const Store &s, Sql::Statement &st)
{
    const int rc = st.step();
    if (rc == SQLITE_ROW)
        return std::optional<DishRecord>(readDish(st));
    if (rc != SQLITE_DONE)
        return s.fail(rc);
    return std::optional<DishRecord>();
}

// The trimmed text of a column, in SQL: NULL counts as the empty text, and
// only U+0020 is trimmed. Compared with BINARY, i.e. exactly.
inline QString trimmedColumn(const QString &quotedCol)
{
    return QStringLiteral("trim(ifnull(%1,''),' ')").arg(quotedCol);
}

// In SQL: the column's trimmed text equals the text bound as `param`
// (e.g. "?1"). The same rows as trimmedColumn(col) = param, but found by
// ranges an index on the column can be read in (in the engine's order,
// NULL < numbers < text < blobs): the name with nothing or blanks after it,
// the texts that begin with a blank, the numbers, the blobs and NULL; only
// those few rows are trimmed and compared. Without an index it is the same
// scan as before.
inline QString trimmedColumnIs(const QString &quotedCol, const QString &param)
{
    return QStringLiteral("(%1 >= %2 COLLATE BINARY AND %1 < %2 || '!' COLLATE BINARY"
                          " OR %1 >= ' ' COLLATE BINARY AND %1 < '!' COLLATE BINARY"
                          " OR %1 < '' COLLATE BINARY OR %1 >= x'' OR %1 IS NULL)"
                          " AND %3 = %2 COLLATE BINARY")
        .arg(quotedCol, param, trimmedColumn(quotedCol));
}

// Runs `work` on an opened store and hands back its result or the error.
template <class T, class Work>
StoreResult<T> withStore(RecipeStore &store, Work work)
{
    Store *s = nullptr;
    if (auto e = store.open(s))
        return *e;
    StoreResult<T> result = work(*s);
    // After a failure the next operation starts on a fresh connection.
    if (!result.ok())
        store.close();
    return result;
}

} // namespace StoreInternal
