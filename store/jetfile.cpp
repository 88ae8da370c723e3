#include "store/jetfile.h"

#include <QFile>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include <mdbtools.h>

namespace Jet {

namespace {

// A row's start within its page, without the flags above it.
constexpr int RowOffsetMask = 0x1fff;
// mdbtools cuts every text at its bind size, and allocates that much for
// each: small enough for the heap (a large one costs a system call a
// cell), and only for the text that fills it, tried again larger.
constexpr size_t BindSize = size_t(64) << 10;
constexpr size_t LargestBindSize = size_t(64) << 20;

struct CloseHandle {
    void operator()(MdbHandle *mdb) const { mdb_close(mdb); }
};
struct FreeTable {
    void operator()(MdbTableDef *table) const { mdb_free_tabledef(table); }
};
using Handle = std::unique_ptr<MdbHandle, CloseHandle>;
using Table = std::unique_ptr<MdbTableDef, FreeTable>;
using Rows = QVector<QVector<QString>>;

Problem problem(Problem::Kind kind, const QString &detail = QString())
{
    Problem p;
    p.kind = kind;
    p.detail = detail;
    return p;
}

// Whether the header holds a database password. mdb_open leaves page 0 in
// pg_buf with its first layer of obfuscation undone; the password lies at
// 0x42 (Jet 3: 20 bytes; Jet 4: 40, masked again with the whole number of
// the creation date, a double at 0x72). No password: all zero.
bool hasPassword(const MdbHandle &mdb)
{
    const unsigned char *header = mdb.pg_buf;
    const bool jet3 = mdb.f->jet_version == MDB_VER_JET3;
    unsigned char mask[4] = {0, 0, 0, 0};
    if (!jet3) {
        double created = 0;
        std::memcpy(&created, header + 0x72, sizeof created);
        if (std::isfinite(created) && std::fabs(created) < 2147483647.0)
            qToLittleEndian<qint32>(qint32(created), mask);
    }
    const int size = jet3 ? 20 : 40;
    for (int i = 0; i < size; ++i)
        if ((header[0x42 + i] ^ mask[i % 4]) != 0)
            return true;
    return false;
}

// One cell as text: NULL as a null QString, an empty text as an empty one.
// False when mdbtools had to cut it.
bool cellText(MdbHandle *mdb, const MdbColumn *column, const MdbField &field, QString &out)
{
    out = QString();
    if (field.is_null)
        return true;
    out = QStringLiteral("");
    if (field.siz <= 0)
        return true;
    bool whole = false;
    for (size_t size = BindSize; !whole && size <= LargestBindSize; size *= 8) {
        mdb_set_bind_size(mdb, size);
        char *text = mdb_col_to_string(mdb, mdb->pg_buf, field.start, column->col_type, field.siz);
        const size_t length = text ? std::strlen(text) : 0;
        whole = length + 1 < size;
        if (length > 0)
            out = QString::fromUtf8(text, qsizetype(length));
        g_free(text);
    }
    mdb_set_bind_size(mdb, BindSize);
    return whole;
}

// Every row of a table in table order, each its first `columns` cells by
// position. mdb_fetch_row finds the rows (and skips deleted ones) but does
// not say which cells are NULL: the row it stopped at is cracked again.
std::optional<Rows> readRows(MdbHandle *mdb, const char *name, int columns, Problem &trouble)
{
    Table table(mdb_read_table_by_name(mdb, const_cast<gchar *>(name), MDB_TABLE));
    if (!table || !mdb_read_columns(table.get()) || int(table->num_cols) < columns) {
        trouble = problem(Problem::NotCatalogue, QStringLiteral("table %1").arg(QLatin1String(name)));
        return std::nullopt;
    }
    mdb_rewind_table(table.get());
    std::vector<MdbField> fields(table->num_cols);
    Rows rows;
    while (mdb_fetch_row(table.get())) {
        int start = 0;
        size_t size = 0;
        const int count = mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) == 0
                              ? mdb_crack_row(table.get(), start & RowOffsetMask, size, fields.data())
                              : -1;
        if (count < columns) {
            trouble = problem(Problem::Damaged, QStringLiteral("a row of table %1").arg(QLatin1String(name)));
            return std::nullopt;
        }
        QVector<QString> row(columns);
        for (int i = 0; i < count; ++i) {
            const int at = fields[size_t(i)].colnum;
            if (at < 0 || at >= columns)
                continue;
            const auto *column = static_cast<const MdbColumn *>(g_ptr_array_index(table->columns, at));
            if (!cellText(mdb, column, fields[size_t(i)], row[at])) {
                trouble = problem(Problem::Damaged, QStringLiteral("a text of more than 64 MB"));
                return std::nullopt;
            }
        }
        rows.append(row);
    }
    return rows;
}

// Both tables into `out`, from an opened file.
void readTables(MdbHandle *mdb, Contents &out)
{
    std::optional<Rows> dishes, categories;
    if (!(dishes = readRows(mdb, "01", 6, out.problem)) || !(categories = readRows(mdb, "02", 2, out.problem)))
        return;
    out.dishes.reserve(dishes->size());
    for (const QVector<QString> &row : std::as_const(*dishes))
        out.dishes.append(DishRecord{row[0].toLongLong(), row[1], row[2], row[3], row[4], row[5]});
    out.categories.reserve(categories->size());
    for (const QVector<QString> &row : std::as_const(*categories))
        out.categories.append(CategoryRecord{row[0].toLongLong(), row[1]});
}

} // namespace

QString Problem::userText() const
{
    switch (kind) {
    case None: return QString();
    case Missing: return QStringLiteral("文件打不开");
    case Damaged: return QStringLiteral("这个旧版数据库已损坏，读不出来。");
    case Password: return QStringLiteral("这个旧版数据库有密码，无法打开。");
    case NewerFormat: return QStringLiteral("不支持这种格式：Access 2007 及以后版本的数据库（.accdb）。");
    case NotCatalogue: return QStringLiteral("不是灶香居的菜谱数据库");
    }
    return QString();
}

bool isJetHead(const QByteArray &head)
{
    return head.startsWith(QByteArrayView("\x00\x01\x00\x00", 4))
           && (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB");
}

bool isJetFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && isJetHead(file.read(20));
}

Contents read(const QString &path)
{
    Contents out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.problem = problem(Problem::Missing, file.errorString());
        return out;
    }
    const QByteArray head = file.read(20);
    file.close();
    if (!isJetHead(head)) {
        out.problem = problem(Problem::Damaged, QStringLiteral("no Jet database"));
        return out;
    }
    if (head.mid(4, 15) == "Standard ACE DB") {
        out.problem = problem(Problem::NewerFormat);
        return out;
    }
    const Handle mdb(mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS));
    if (mdb)
        mdb_set_bind_size(mdb.get(), BindSize);
    if (!mdb)
        out.problem = problem(Problem::Damaged, QStringLiteral("mdbtools cannot open it"));
    else if (mdb->f->jet_version != MDB_VER_JET3 && mdb->f->jet_version != MDB_VER_JET4)
        out.problem = problem(Problem::NewerFormat);
    else if (hasPassword(*mdb))
        out.problem = problem(Problem::Password);
    else if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
        out.problem = problem(Problem::Damaged, QStringLiteral("no catalogue of objects"));
    else
        readTables(mdb.get(), out);
    if (out.problem.kind != Problem::None) {
        out.dishes.clear();
        out.categories.clear();
    }
    return out;
}

} // namespace Jet
