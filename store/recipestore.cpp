#include "store/recipestore.h"

#include "store/jetlike.h"
#include "store/sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <memory>
#include <sys/stat.h>
#include <sqlite3.h>

QString StoreError::userText() const
{
    switch (kind) {
    case Missing:
        return QStringLiteral("找不到菜谱数据库 cate.mdb，请把它放在程序所在的文件夹里。");
    case NotADatabase:
        return QStringLiteral("cate.mdb 不是有效的菜谱数据库，或者已经损坏。");
    case WrongLayout:
        return QStringLiteral("cate.mdb 里缺少菜谱表（01）或分类表（02），无法使用。");
    case Busy:
        return QStringLiteral("菜谱数据库正被其他程序占用，请稍后再试。");
    case ReadOnly:
        return QStringLiteral("菜谱数据库是只读的，无法保存修改。");
    case BadPattern:
        return QStringLiteral("查询内容的格式不对。");
    case Other:
        break;
    }
    return QStringLiteral("菜谱数据库出错：") + detail;
}

namespace RecipeStore {

namespace {

// How long an operation waits for another program's lock before giving up.
constexpr int kBusyTimeoutMs = 1000;
// Highest number the daily pick can draw.
constexpr int kPickRange = 1700;

StoreError makeError(StoreError::Kind kind, const QString &detail)
{
    StoreError e;
    e.kind = kind;
    e.detail = detail;
    return e;
}

// Turns an SQLite result code into the kind of trouble the cook is told about.
StoreError errorFromCode(int rc, const QString &message, bool writing)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return makeError(StoreError::Busy, message);
    case SQLITE_READONLY:
        return makeError(StoreError::ReadOnly, message);
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        // While writing this is the rollback journal that cannot be made
        // beside the file: the folder is not writable.
        return makeError(writing ? StoreError::ReadOnly : StoreError::Other, message);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return makeError(StoreError::NotADatabase, message);
    default:
        return makeError(StoreError::Other, message);
    }
}

// The column names of both tables, quoted, by position.
struct Layout {
    QStringList dishCols;        // 6 names of "01"
    QStringList categoryCols;    // 2 names of "02"
    bool dishIdIsRowid = false;  // column 0 of "01" is an INTEGER PRIMARY KEY
    bool categoryIdIsRowid = false;
    QString dishRowid;           // the name that reaches the row identity of "01"
    QString categoryRowid;
};

const QString kDishTable = QStringLiteral("\"01\"");
const QString kCategoryTable = QStringLiteral("\"02\"");

// Every dish's id, category and name, in table order: what a names-only
// search matches against, kept with the connection between searches.
struct NameRow {
    qint64 id = 0;
    QString category;
    QString name;
    std::u32string name32;   // the name as code points, for the matcher
};

struct Store {
    Sql::Connection db;
    Layout layout;
    // The names as of `namesVersion` (PRAGMA data_version, which moves when
    // another connection commits); our own writes clear `namesValid`.
    QVector<NameRow> names;
    qint64 namesVersion = -1;
    bool namesValid = false;

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
    // The first row (table order) whose id is parameter 1, all six columns.
    QString dishByIdQuery() const
    {
        return QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?1").arg(dishColumns(0, 5), kDishTable, layout.dishCols.at(0))
               + dishOrder() + QStringLiteral(" LIMIT 1");
    }
    QString categoryOrder() const { return QStringLiteral(" ORDER BY ") + layout.categoryRowid; }
};

bool hasWriteBits(const QFileInfo &info)
{
    return info.isWritable()
           && (info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
}

bool looksLikeSqlite(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;   // let SQLite report why it cannot read it
    static const QByteArray magic("SQLite format 3\0", 16);
    // The smallest page is 512 bytes; anything shorter is no database.
    return file.size() >= 512 && file.read(16) == magic;
}

struct TableInfo {
    QStringList names;     // quoted, by position
    bool idIsRowid = false;
};

std::optional<StoreError> readTableInfo(Store &s, const QString &table, TableInfo &info)
{
    Sql::Statement st;
    int rc = st.prepare(s.db, QStringLiteral("PRAGMA table_info(%1)").arg(table));
    if (rc != SQLITE_OK)
        return s.fail(rc);
    int pkColumns = 0;
    bool firstIsIntegerKey = false;
    int position = 0;
    while ((rc = st.step()) == SQLITE_ROW) {
        const QString name = st.columnText(1);
        const QString type = st.columnText(2).trimmed().toUpper();
        const qint64 pk = st.columnInt64(5);
        if (pk > 0)
            ++pkColumns;
        if (position == 0 && pk == 1 && type == QLatin1String("INTEGER"))
            firstIsIntegerKey = true;
        info.names << Sql::quoteIdentifier(name);
        ++position;
    }
    if (rc != SQLITE_DONE)
        return s.fail(rc);
    info.idIsRowid = firstIsIntegerKey && pkColumns == 1;
    return std::nullopt;
}

// The name under which the table's row identity can be read: one of SQLite's
// three spellings that is not also a column of the table.
std::optional<QString> rowidName(Store &s, const QString &table, const QStringList &quotedCols)
{
    // Only a real table keeps rows in an order and takes writes (not a view).
    Sql::Statement kind;
    if (kind.prepare(s.db, QStringLiteral("SELECT type FROM sqlite_master WHERE name = ?1")) != SQLITE_OK)
        return std::nullopt;
    kind.bindText(1, table.mid(1, table.size() - 2));
    if (kind.step() != SQLITE_ROW || kind.columnText(0) != QLatin1String("table"))
        return std::nullopt;
    for (const char *candidate : {"rowid", "_rowid_", "oid"}) {
        const QString quoted = Sql::quoteIdentifier(QLatin1String(candidate));
        bool taken = false;
        for (const QString &col : quotedCols)
            taken = taken || col.compare(quoted, Qt::CaseInsensitive) == 0;
        if (taken)
            continue;
        Sql::Statement st;
        const QString name = QLatin1String(candidate);
        if (st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2 LIMIT 0").arg(name, table)) == SQLITE_OK)
            return name;
        return std::nullopt;   // a table without row identity (WITHOUT ROWID, a view)
    }
    return std::nullopt;
}

// Learns the layout of the open file: the column names by position and the
// row identity of each table. Read afresh for every operation, so a file
// changed or replaced by another program is always read as it now is.
std::optional<StoreError> readLayout(Store &s)
{
    TableInfo dishes, categories;
    if (auto e = readTableInfo(s, kDishTable, dishes))
        return e;
    if (auto e = readTableInfo(s, kCategoryTable, categories))
        return e;
    if (dishes.names.size() < 6 || categories.names.size() < 2) {
        return makeError(StoreError::WrongLayout,
                         QStringLiteral("\"01\": %1 columns, \"02\": %2 columns")
                             .arg(dishes.names.size())
                             .arg(categories.names.size()));
    }
    const auto dishRowid = rowidName(s, kDishTable, dishes.names);
    const auto categoryRowid = rowidName(s, kCategoryTable, categories.names);
    if (!dishRowid || !categoryRowid)
        return makeError(StoreError::WrongLayout, QStringLiteral("tables without row order"));

    s.layout.dishCols = dishes.names.mid(0, 6);
    s.layout.categoryCols = categories.names.mid(0, 2);
    s.layout.dishIdIsRowid = dishes.idIsRowid;
    s.layout.categoryIdIsRowid = categories.idIsRowid;
    s.layout.dishRowid = *dishRowid;
    s.layout.categoryRowid = *categoryRowid;
    return std::nullopt;
}

// The last connection is kept open between operations: a fresh connection
// would fault in every page of the memory-mapped file again, which on a
// large catalogue costs more than the work itself. It is used again only
// for the same file (same path, same device and inode, same writability);
// a file deleted, replaced or made read-only gets a new connection. An idle
// connection holds no lock, so other programs are not hindered by it.
struct OpenFile {
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    bool writable = false;
    std::unique_ptr<Store> store;
};

OpenFile &openFile()
{
    static OpenFile file;
    return file;
}

void forgetOpenFile() { openFile() = OpenFile(); }

// Opens cate.mdb read-write without ever creating it (or takes the kept
// connection to it), and learns its layout. Nothing in the file is changed.
std::optional<StoreError> openStore(const QString &path, Store *&out)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        forgetOpenFile();
        return makeError(StoreError::Missing, path);
    }
    if (!looksLikeSqlite(path)) {
        forgetOpenFile();
        return makeError(StoreError::NotADatabase, path);
    }

    // A file or folder marked read-only is opened read-only, so that writes
    // are refused even for a user whom the system would let through.
    const QFileInfo folder(info.absolutePath());
    const bool writable = hasWriteBits(info) && hasWriteBits(folder);
    struct stat st {};
    const bool identified = ::stat(QFile::encodeName(path).constData(), &st) == 0;

    OpenFile &kept = openFile();
    bool reusable = identified && kept.store && kept.path == path && kept.device == st.st_dev
                    && kept.inode == st.st_ino && kept.writable == writable;
    if (reusable) {
        // A file deleted and made anew may come back under the same inode
        // number: ask SQLite whether its open file is still the one at path.
        int moved = 1;
        reusable = sqlite3_file_control(kept.store->db.handle(), "main", SQLITE_FCNTL_HAS_MOVED, &moved)
                       == SQLITE_OK
                   && moved == 0;
    }
    if (!reusable) {
        forgetOpenFile();
        auto store = std::make_unique<Store>();
        const int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
        const int rc = store->db.open(path, flags);
        if (rc != SQLITE_OK) {
            if ((rc & 0xff) == SQLITE_CANTOPEN && !QFileInfo::exists(path))
                return makeError(StoreError::Missing, path);
            return store->fail(rc);
        }
        store->db.setBusyTimeout(kBusyTimeoutMs);
        // Read-only tuning: memory-mapped reads; the journal mode stays as it is.
        store->db.exec("PRAGMA mmap_size=268435456");
        kept.path = path;
        kept.device = identified ? st.st_dev : 0;
        kept.inode = identified ? st.st_ino : 0;
        kept.writable = writable;
        kept.store = std::move(store);
    }
    out = kept.store.get();

    if (auto e = readLayout(*out)) {
        forgetOpenFile();
        return e;
    }
    return std::nullopt;
}

DishRecord readDish(const Sql::Statement &st)
{
    DishRecord d;
    d.id = st.columnInt64(0);
    d.category = st.columnText(1);
    d.name = st.columnText(2);
    d.ingredients = st.columnText(3);
    d.method = st.columnText(4);
    d.picture = st.columnText(5);
    return d;
}

// The trimmed text of a column, in SQL: NULL counts as the empty text, and
// only U+0020 is trimmed. Compared with BINARY, i.e. exactly.
QString trimmedColumn(const QString &quotedCol)
{
    return QStringLiteral("trim(ifnull(%1,''),' ')").arg(quotedCol);
}

// Runs `work` on an opened store and hands back its result or the error.
template <class T, class Work>
StoreResult<T> withStore(const QString &path, Work work)
{
    Store *s = nullptr;
    if (auto e = openStore(path, s))
        return *e;
    StoreResult<T> result = work(*s);
    // After a failure the next operation starts on a fresh connection.
    if (!result.ok())
        forgetOpenFile();
    return result;
}

// The id a new row gets when column 0 is a plain column: one more than the
// highest in the table, read inside the write transaction.
std::optional<qint64> nextPlainId(Store &s, const QString &table, const QString &idCol, int &rc)
{
    Sql::Statement st;
    rc = st.prepare(s.db, QStringLiteral("SELECT ifnull(MAX(CAST(%1 AS INTEGER)),0)+1 FROM %2").arg(idCol, table));
    if (rc != SQLITE_OK)
        return std::nullopt;
    rc = st.step();
    if (rc != SQLITE_ROW)
        return std::nullopt;
    rc = SQLITE_OK;
    return st.columnInt64(0);
}

// Appends a row to `table` with `values` in columns 1.. and returns the new id.
StoreResult<qint64> appendRow(Store &s, const QString &table, const QStringList &cols, bool idIsRowid,
                              const QStringList &values)
{
    Sql::Transaction tx(s.db);
    if (!tx.active())
        return s.fail(tx.beginResult(), true);
    int rc = SQLITE_OK;
    std::optional<qint64> plainId;
    if (!idIsRowid) {
        plainId = nextPlainId(s, table, cols.at(0), rc);
        if (!plainId)
            return s.fail(rc, true);
    }
    QStringList names;
    QStringList marks;
    if (plainId) {
        names << cols.at(0);
        marks << QStringLiteral("?");
    }
    for (int i = 0; i < values.size(); ++i) {
        names << cols.at(i + 1);
        marks << QStringLiteral("?");
    }
    Sql::Statement st;
    rc = st.prepare(s.db, QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                              .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    if (rc != SQLITE_OK)
        return s.fail(rc, true);
    int param = 1;
    if (plainId)
        st.bindInt64(param++, *plainId);
    for (const QString &v : values)
        st.bindText(param++, v);
    rc = st.step();
    if (rc != SQLITE_DONE)
        return s.fail(rc, true);
    const qint64 id = plainId ? *plainId : s.db.lastInsertRowid();
    rc = tx.commit();
    if (rc != SQLITE_OK)
        return s.fail(rc, true);
    return id;
}

} // namespace

StoreStatus Probe(const QString &path)
{
    return withStore<Done>(path, [](Store &s) -> StoreStatus {
        // Counting walks every page of both tables' trees: a truncated or
        // damaged file shows here rather than in the middle of a rebuild.
        for (const QString &table : {kDishTable, kCategoryTable}) {
            Sql::Statement st;
            int rc = st.prepare(s.db, QStringLiteral("SELECT count(*) FROM %1").arg(table));
            if (rc == SQLITE_OK)
                rc = st.step();
            if (rc != SQLITE_ROW)
                return s.fail(rc);
        }
        return Done{};
    });
}

StoreResult<QVector<CategoryRecord>> ListCategoryRows(const QString &path)
{
    return withStore<QVector<CategoryRecord>>(path, [](Store &s) -> StoreResult<QVector<CategoryRecord>> {
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT %1,%2 FROM %3")
                                      .arg(s.layout.categoryCols.at(0), s.layout.categoryCols.at(1), kCategoryTable)
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

StoreResult<QStringList> ListCategories(const QString &path)
{
    const auto rows = ListCategoryRows(path);
    if (!rows)
        return rows.error();
    QStringList names;
    names.reserve(rows->size());
    for (const CategoryRecord &r : *rows)
        names << trimBlanks(r.category);
    return names;
}

StoreResult<QStringList> ListDishesOfCategory(const QString &path, const QString &category)
{
    return withStore<QStringList>(path, [&](Store &s) -> StoreResult<QStringList> {
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?1 COLLATE BINARY")
                                      .arg(s.layout.dishCols.at(2), kDishTable, trimmedColumn(s.layout.dishCols.at(1)))
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

StoreResult<qint64> CountDishes(const QString &path)
{
    return withStore<qint64>(path, [](Store &s) -> StoreResult<qint64> {
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT count(*) FROM %1").arg(kDishTable));
        if (rc == SQLITE_OK)
            rc = st.step();
        if (rc != SQLITE_ROW)
            return s.fail(rc);
        return st.columnInt64(0);
    });
}

StoreResult<CatalogueData> LoadCatalogue(const QString &path)
{
    return withStore<CatalogueData>(path, [](Store &s) -> StoreResult<CatalogueData> {
        // Both tables from one snapshot, so a writer in between cannot split them.
        int rc = s.db.exec("BEGIN");
        if (rc != SQLITE_OK)
            return s.fail(rc);
        CatalogueData data;
        {
            Sql::Statement st;
            rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2").arg(s.layout.categoryCols.at(1), kCategoryTable)
                                      + s.categoryOrder());
            if (rc != SQLITE_OK)
                return s.fail(rc);
            while ((rc = st.step()) == SQLITE_ROW)
                data.categories << trimBlanks(st.columnText(0));
            if (rc != SQLITE_DONE)
                return s.fail(rc);
        }
        {
            Sql::Statement st;
            rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2").arg(s.dishColumns(0, 2), kDishTable)
                                      + s.dishOrder());
            if (rc != SQLITE_OK)
                return s.fail(rc);
            while ((rc = st.step()) == SQLITE_ROW)
                data.dishes.push_back(DishKey{st.columnInt64(0), trimBlanks(st.columnText(1)),
                                              trimBlanks(st.columnText(2))});
            if (rc != SQLITE_DONE)
                return s.fail(rc);
        }
        s.db.exec("COMMIT");
        data.totalDishes = data.dishes.size();
        return data;
    });
}

StoreResult<std::optional<DishRecord>> FindDish(const QString &path, const QString &category, const QString &name)
{
    using R = StoreResult<std::optional<DishRecord>>;
    return withStore<std::optional<DishRecord>>(path, [&](Store &s) -> R {
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?1 COLLATE BINARY AND %4 = ?2 COLLATE BINARY")
                                      .arg(s.dishColumns(0, 5), kDishTable, trimmedColumn(s.layout.dishCols.at(1)),
                                           trimmedColumn(s.layout.dishCols.at(2)))
                                      + s.dishOrder() + QStringLiteral(" LIMIT 1"));
        if (rc != SQLITE_OK)
            return s.fail(rc);
        st.bindText(1, trimBlanks(category));
        st.bindText(2, trimBlanks(name));
        rc = st.step();
        if (rc == SQLITE_ROW)
            return std::optional<DishRecord>(readDish(st));
        if (rc != SQLITE_DONE)
            return s.fail(rc);
        return std::optional<DishRecord>();
    });
}

StoreResult<std::optional<DishRecord>> FindDishById(const QString &path, qint64 id)
{
    using R = StoreResult<std::optional<DishRecord>>;
    return withStore<std::optional<DishRecord>>(path, [&](Store &s) -> R {
        Sql::Statement st;
        int rc = st.prepare(s.db, s.dishByIdQuery());
        if (rc != SQLITE_OK)
            return s.fail(rc);
        st.bindInt64(1, id);
        rc = st.step();
        if (rc == SQLITE_ROW)
            return std::optional<DishRecord>(readDish(st));
        if (rc != SQLITE_DONE)
            return s.fail(rc);
        return std::optional<DishRecord>();
    });
}

StoreResult<qint64> AddDish(const QString &path, const QString &category, const QString &name,
                            const QString &ingredients, const QString &method, const QString &picture)
{
    return withStore<qint64>(path, [&](Store &s) {
        s.namesValid = false;
        return appendRow(s, kDishTable, s.layout.dishCols, s.layout.dishIdIsRowid,
                         {category, trimBlanks(name), trimBlanks(ingredients), trimBlanks(method),
                          trimBlanks(picture)});
    });
}

namespace {

// Makes s.names current: kept while no connection has committed since it
// was read (our own writes clear it), else read again in one pass.
std::optional<StoreError> refreshNames(Store &s)
{
    Sql::Statement version;
    int rc = version.prepare(s.db, QStringLiteral("PRAGMA data_version"));
    if (rc != SQLITE_OK)
        return s.fail(rc);
    if (version.step() != SQLITE_ROW)
        return s.fail(SQLITE_ERROR);
    const qint64 now = version.columnInt64(0);
    if (s.namesValid && s.namesVersion == now)
        return std::nullopt;

    s.namesValid = false;
    s.names.clear();
    Sql::Statement st;
    rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2").arg(s.dishColumns(0, 2), kDishTable)
                              + s.dishOrder());
    if (rc != SQLITE_OK)
        return s.fail(rc);
    while ((rc = st.step()) == SQLITE_ROW) {
        if (st.columnIsNull(2))
            continue;   // a name with no value matches nothing
        NameRow n;
        n.id = st.columnInt64(0);
        n.category = st.columnText(1);
        n.name = st.columnText(2);
        const QList<uint> ucs4 = n.name.toUcs4();
        n.name32.assign(ucs4.begin(), ucs4.end());
        s.names.push_back(std::move(n));
    }
    if (rc != SQLITE_DONE) {
        s.names.clear();
        return s.fail(rc);
    }
    s.namesVersion = now;
    s.namesValid = true;
    return std::nullopt;
}

void likeFunction(sqlite3_context *context, int, sqlite3_value **args)
{
    const auto *pattern = static_cast<const JetLike::Pattern *>(sqlite3_user_data(context));
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(args[0]));
    const int bytes = sqlite3_value_bytes(args[0]);
    sqlite3_result_int(context, text && pattern->matchesUtf8(text, bytes) ? 1 : 0);
}

} // namespace

StoreResult<QVector<DishRecord>> SearchDishesByName(const QString &path, const QString &text,
                                                    SearchFields fields)
{
    const auto pattern = JetLike::Pattern::compile(QLatin1Char('*') + text + QLatin1Char('*'));
    if (!pattern)
        return makeError(StoreError::BadPattern, text);
    return withStore<QVector<DishRecord>>(path, [&](Store &s) -> StoreResult<QVector<DishRecord>> {
        if (fields == SearchFields::NamesOnly) {
            // Matched against the names kept in memory; read again whenever
            // the file changed since.
            if (auto e = refreshNames(s))
                return *e;
            QVector<DishRecord> rows;
            for (const NameRow &n : std::as_const(s.names)) {
                if (!pattern->matches(std::u32string_view(n.name32)))
                    continue;
                DishRecord d;
                d.id = n.id;
                d.category = n.category;
                d.name = n.name;
                rows.push_back(std::move(d));
            }
            return rows;
        }
        // The pattern reaches SQL only as the function's own data, never as text.
        int rc = sqlite3_create_function_v2(s.db.handle(), "zx_name_like", 1,
                                            SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY,
                                            const_cast<JetLike::Pattern *>(&*pattern), likeFunction,
                                            nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return s.fail(rc);
        QVector<DishRecord> rows;
        {
            Sql::Statement st;
            rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2 WHERE zx_name_like(%3)")
                                      .arg(s.dishColumns(0, 5), kDishTable, s.layout.dishCols.at(2))
                                      + s.dishOrder());
            if (rc == SQLITE_OK) {
                while ((rc = st.step()) == SQLITE_ROW)
                    rows.push_back(readDish(st));
            }
        }
        // The connection is kept open: leave no function behind that points
        // at this call's pattern.
        sqlite3_create_function_v2(s.db.handle(), "zx_name_like", 1, SQLITE_UTF8, nullptr, nullptr,
                                   nullptr, nullptr, nullptr);
        if (rc != SQLITE_DONE)
            return s.fail(rc);
        return rows;
    });
}

StoreResult<bool> UpdateDish(const QString &path, qint64 id, const QString &name,
                             const QString &ingredients, const QString &method, const QString &picture)
{
    return withStore<bool>(path, [&](Store &s) -> StoreResult<bool> {
        s.namesValid = false;
        Sql::Transaction tx(s.db);
        if (!tx.active())
            return s.fail(tx.beginResult(), true);
        // The first row carrying the id, should a foreign file repeat ids.
        Sql::Statement find;
        int rc = find.prepare(s.db, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?1")
                                        .arg(s.layout.dishRowid, kDishTable, s.layout.dishCols.at(0))
                                        + s.dishOrder() + QStringLiteral(" LIMIT 1"));
        if (rc != SQLITE_OK)
            return s.fail(rc, true);
        find.bindInt64(1, id);
        rc = find.step();
        if (rc == SQLITE_DONE)
            return false;
        if (rc != SQLITE_ROW)
            return s.fail(rc, true);
        const qint64 rowid = find.columnInt64(0);
        Sql::Statement update;
        rc = update.prepare(s.db, QStringLiteral("UPDATE %1 SET %2=?1, %3=?2, %4=?3, %5=?4 WHERE %6=?5")
                                      .arg(kDishTable, s.layout.dishCols.at(2), s.layout.dishCols.at(3),
                                           s.layout.dishCols.at(4), s.layout.dishCols.at(5), s.layout.dishRowid));
        if (rc != SQLITE_OK)
            return s.fail(rc, true);
        update.bindText(1, trimBlanks(name));
        update.bindText(2, trimBlanks(ingredients));
        update.bindText(3, trimBlanks(method));
        update.bindText(4, trimBlanks(picture));
        update.bindInt64(5, rowid);
        rc = update.step();
        if (rc != SQLITE_DONE)
            return s.fail(rc, true);
        rc = tx.commit();
        if (rc != SQLITE_OK)
            return s.fail(rc, true);
        return true;
    });
}

StoreResult<qint64> AddCategory(const QString &path, const QString &category)
{
    return withStore<qint64>(path, [&](Store &s) {
        return appendRow(s, kCategoryTable, s.layout.categoryCols, s.layout.categoryIdIsRowid, {category});
    });
}

StoreResult<DeleteOutcome> DeleteCategory(const QString &path, const QString &category)
{
    return withStore<DeleteOutcome>(path, [&](Store &s) -> StoreResult<DeleteOutcome> {
        s.namesValid = false;
        const QString name = trimBlanks(category);
        Sql::Transaction tx(s.db);
        if (!tx.active())
            return s.fail(tx.beginResult(), true);
        DeleteOutcome outcome;
        {
            Sql::Statement del;
            int rc = del.prepare(s.db, QStringLiteral("DELETE FROM %1 WHERE %2 = ?1 COLLATE BINARY")
                                           .arg(kDishTable, trimmedColumn(s.layout.dishCols.at(1))));
            if (rc != SQLITE_OK)
                return s.fail(rc, true);
            del.bindText(1, name);
            rc = del.step();
            if (rc != SQLITE_DONE)
                return s.fail(rc, true);
            outcome.dishesDeleted = s.db.changes();
        }
        {
            Sql::Statement del;
            // Only the first matching category row goes, even when the name is listed twice.
            int rc = del.prepare(s.db, QStringLiteral("DELETE FROM %1 WHERE %2 = (SELECT %2 FROM %1 WHERE %3 = ?1 COLLATE BINARY%4 LIMIT 1)")
                                           .arg(kCategoryTable, s.layout.categoryRowid,
                                                trimmedColumn(s.layout.categoryCols.at(1)), s.categoryOrder()));
            if (rc != SQLITE_OK)
                return s.fail(rc, true);
            del.bindText(1, name);
            rc = del.step();
            if (rc != SQLITE_DONE)
                return s.fail(rc, true);
            outcome.categoryRowDeleted = s.db.changes() > 0;
        }
        const int rc = tx.commit();
        if (rc != SQLITE_OK)
            return s.fail(rc, true);
        return outcome;
    });
}

StoreResult<std::optional<DishRecord>> PickRandomDish(const QString &path, const std::function<double()> &draw,
                                                      int maxDraws)
{
    using R = StoreResult<std::optional<DishRecord>>;
    return withStore<std::optional<DishRecord>>(path, [&](Store &s) -> R {
        Sql::Statement st;
        int rc = st.prepare(s.db, s.dishByIdQuery());
        if (rc != SQLITE_OK)
            return s.fail(rc);
        for (int attempt = 0; attempt < maxDraws && draw; ++attempt) {
            const double x = draw();
            if (!(x >= 0.0 && x < 1.0))
                continue;   // a draw outside [0, 1) names no number
            const qint64 n = qint64(std::floor(kPickRange * x + 1));
            if (n < 1 || n > kPickRange)
                continue;
            st.reset();
            st.bindInt64(1, n);
            rc = st.step();
            if (rc == SQLITE_ROW)
                return std::optional<DishRecord>(readDish(st));
            if (rc != SQLITE_DONE)
                return s.fail(rc);
        }
        return std::optional<DishRecord>();
    });
}

} // namespace RecipeStore
