// The recipe store: errors, opening the file and learning its layout.
// Reads, writes, searches and the daily pick live beside this file.
#include "store/recipestore.h"

#include "store/storeinternal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <memory>
#include <sys/stat.h>
#include <sqlite3.h>

QString StoreError::userText() const
{
    switch (kind) {
    case Missing: {
        // The folder it was looked for in, unless that is the program's own
        // (an installed program keeps it in the cook's data folder).
        const QString folder = detail.isEmpty() ? QString() : QFileInfo(detail).absolutePath();
        if (folder.isEmpty() || (QCoreApplication::instance() && folder == QCoreApplication::applicationDirPath()))
            return QStringLiteral("找不到菜谱数据库 cate.mdb，请把它放在程序所在的文件夹里。");
        return QStringLiteral("找不到菜谱数据库 cate.mdb，请把它放在 %1 里。").arg(QDir::toNativeSeparators(folder));
    }
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
    case DiskFull:
        return QStringLiteral("磁盘已满，菜谱没有保存。");
    case NoBackup:
        return QStringLiteral("“备份”文件夹无法写入，或者磁盘已满。");
    case Other:
        break;
    }
    // The engine's own words only after a sentence the cook can read.
    return QStringLiteral("菜谱数据库出错，这一步没有完成。") + (detail.isEmpty() ? QString() : QStringLiteral("\r\n") + detail);
}


namespace StoreInternal {

namespace {
std::atomic<int> busyTimeout{1000};
}

int busyTimeoutMs() { return busyTimeout.load(); }

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
    case SQLITE_FULL:
        return makeError(StoreError::DiskFull, message);
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

namespace {

bool hasWriteBits(const QFileInfo &info)
{
    return info.isWritable()
           && (info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
}

bool looksLikeSqlite(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return true;   // let SQLite report why it cannot read it
    // The smallest page is 512 bytes; anything shorter is no database.
    if (info.size() < 512)
        return false;
    static const QByteArray magic("SQLite format 3\0", 16);
    const QByteArray start = Sql::readFileStart(path, 16);
    return start.isEmpty() || start == magic;
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
    if (auto e = readTableInfo(s, DishTable, dishes))
        return e;
    if (auto e = readTableInfo(s, CategoryTable, categories))
        return e;
    if (dishes.names.size() < 6 || categories.names.size() < 2) {
        return makeError(StoreError::WrongLayout,
                         QStringLiteral("\"01\": %1 columns, \"02\": %2 columns")
                             .arg(dishes.names.size())
                             .arg(categories.names.size()));
    }
    const auto dishRowid = rowidName(s, DishTable, dishes.names);
    const auto categoryRowid = rowidName(s, CategoryTable, categories.names);
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
// Whether the kept connection is to the file now at `path`.
bool keptConnectionFits(const OpenFile &kept, const QString &path, const struct stat &st, bool writable)
{
    if (!kept.store || kept.path != path || kept.device != st.st_dev || kept.inode != st.st_ino
        || kept.writable != writable)
        return false;
    // A file deleted and made anew may come back under the same inode
    // number: ask SQLite whether its open file is still the one at path.
    return stillAtItsPath(kept.store->db);
}

// A fresh connection to `path`, kept in place of the last one.
std::optional<StoreError> openConnection(OpenFile &kept, const QString &path, const struct stat &st,
                                         bool identified, bool writable)
{
    kept = OpenFile();
    auto store = std::make_unique<Store>();
    const int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
    const int rc = store->db.open(path, flags);
    if (rc != SQLITE_OK) {
        if ((rc & 0xff) == SQLITE_CANTOPEN && !QFileInfo::exists(path))
            return makeError(StoreError::Missing, path);
        return store->fail(rc);
    }
    store->db.setBusyTimeout(busyTimeoutMs());
    // Tuning that leaves the file as it is (the journal mode too):
    // memory-mapped reads, and a transaction's changed pages kept in memory
    // up to 16 MiB instead of 2 (a category's dishes lie all over the
    // table), so that they are written and synced once, at the commit.
    store->db.exec("PRAGMA mmap_size=268435456; PRAGMA cache_spill=4096");
    kept.path = path;
    kept.device = identified ? st.st_dev : 0;
    kept.inode = identified ? st.st_ino : 0;
    kept.writable = writable;
    kept.store = std::move(store);
    return std::nullopt;
}

} // namespace

bool stillAtItsPath(const Sql::Connection &db)
{
    int moved = 1;
    return sqlite3_file_control(db.handle(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved == 0;
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

std::optional<qint64> Store::dataVersion(int &rc)
{
    Sql::Statement version;
    rc = version.prepare(db, QStringLiteral("PRAGMA data_version"));
    if (rc != SQLITE_OK)
        return std::nullopt;
    if (version.step() != SQLITE_ROW) {
        rc = SQLITE_ERROR;
        return std::nullopt;
    }
    return version.columnInt64(0);
}

} // namespace StoreInternal

using namespace StoreInternal;

RecipeStore::RecipeStore(const QString &path)
    : m_path(path), m_owner(std::this_thread::get_id()), m_file(std::make_unique<OpenFile>())
{
}

RecipeStore::~RecipeStore() = default;

void RecipeStore::setBusyTimeout(int ms) { StoreInternal::busyTimeout = ms; }

void RecipeStore::adoptThread() { m_owner = std::this_thread::get_id(); }

void RecipeStore::close()
{
    checkThread();
    *m_file = OpenFile();
}

void RecipeStore::checkThread() const
{
    if (m_owner != std::this_thread::get_id())
        qFatal("RecipeStore for %s used from a thread that does not own it", qUtf8Printable(m_path));
}

std::optional<StoreError> RecipeStore::open(Store *&out)
{
    checkThread();
    const QFileInfo info(m_path);
    if (!info.exists() || info.isDir()) {
        *m_file = OpenFile();
        return makeError(StoreError::Missing, m_path);
    }
    if (!looksLikeSqlite(m_path)) {
        *m_file = OpenFile();
        return makeError(StoreError::NotADatabase, m_path);
    }

    // A file or folder marked read-only is opened read-only, so that writes
    // are refused even for a user whom the system would let through.
    const QFileInfo folder(info.absolutePath());
    const bool writable = hasWriteBits(info) && hasWriteBits(folder);
    struct stat st {};
    const bool identified = ::stat(QFile::encodeName(m_path).constData(), &st) == 0;
    if (!identified || !keptConnectionFits(*m_file, m_path, st, writable)) {
        if (auto e = openConnection(*m_file, m_path, st, identified, writable))
            return e;
    }
    out = m_file->store.get();

    if (auto e = readLayout(*out)) {
        *m_file = OpenFile();
        return e;
    }
    return std::nullopt;
}

StoreStatus RecipeStore::probe()
{
    return withStore<Done>(*this, [](Store &s) -> StoreStatus {
        // Counting walks every page of both tables' trees: a truncated or
        // damaged file shows here rather than in the middle of a rebuild.
        for (const QString &table : {DishTable, CategoryTable}) {
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


StoreStatus RecipeStore::checkUsable()
{
    const StoreResult<QStringList> quick = listCategories();
    if (quick)
        return Done{};
    switch (quick.error().kind) {
    case StoreError::Missing:
    case StoreError::Busy:
    case StoreError::NotADatabase:
    case StoreError::WrongLayout:
        return quick.error();
    default:
        break;
    }
    return withStore<Done>(*this, [](Store &s) -> StoreStatus {
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("PRAGMA integrity_check(1)"));
        if (rc == SQLITE_OK)
            rc = st.step();
        if (rc != SQLITE_ROW)
            return s.fail(rc);
        if (st.columnText(0) != QLatin1String("ok"))
            return makeError(StoreError::NotADatabase, st.columnText(0));
        return Done{};
    });
}
