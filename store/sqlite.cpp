#include "store/sqlite.h"

#include <sqlite3.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace Sql {

QByteArray readFileStart(const QString &path, int size)
{
    sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
    sqlite3_filename name = sqlite3_create_filename(path.toUtf8().constData(), "", "", 0, nullptr);
    QByteArray bytes;
    std::vector<char> space(size_t(vfs->szOsFile));
    auto *file = reinterpret_cast<sqlite3_file *>(space.data());
    int flags = 0;
    // Opened as a main database: only those share the locks' bookkeeping.
    if (name && vfs->xOpen(vfs, name, file, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, &flags) == SQLITE_OK) {
        sqlite3_int64 length = 0;
        if (file->pMethods->xFileSize(file, &length) == SQLITE_OK) {
            bytes.resize(qsizetype(std::min<sqlite3_int64>(length, size)));
            if (file->pMethods->xRead(file, bytes.data(), int(bytes.size()), 0) != SQLITE_OK)
                bytes.clear();
        }
        file->pMethods->xClose(file);
    }
    sqlite3_free_filename(name);
    return bytes;
}

Connection::~Connection() { close(); }

Connection::Connection(Connection &&other) noexcept : m_db(std::exchange(other.m_db, nullptr)) {}

Connection &Connection::operator=(Connection &&other) noexcept
{
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

int Connection::open(const QString &path, int flags, const char *vfs)
{
    close();
    const QByteArray file = path.toUtf8();
    const int rc = sqlite3_open_v2(file.constData(), &m_db, flags, vfs);
    if (m_db)
        sqlite3_extended_result_codes(m_db, 1);
    // On failure the handle stays so that errorMessage() can read it; close()
    // releases it either way.
    return rc;
}

void Connection::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

int Connection::exec(const char *sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
}

int Connection::setBusyTimeout(int milliseconds) { return sqlite3_busy_timeout(m_db, milliseconds); }

qint64 Connection::lastInsertRowid() const { return sqlite3_last_insert_rowid(m_db); }

qint64 Connection::changes() const { return sqlite3_changes64(m_db); }

QString Connection::errorMessage() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
}

Statement::~Statement() { sqlite3_finalize(m_st); }

Statement::Statement(Statement &&other) noexcept : m_st(std::exchange(other.m_st, nullptr)) {}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_st);
        m_st = std::exchange(other.m_st, nullptr);
    }
    return *this;
}

int Statement::prepare(const Connection &db, const QString &sql)
{
    sqlite3_finalize(m_st);
    m_st = nullptr;
    const QByteArray text = sql.toUtf8();
    return sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &m_st, nullptr);
}

int Statement::bindText(int index, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return sqlite3_bind_text64(m_st, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                               SQLITE_TRANSIENT, SQLITE_UTF8);
}

int Statement::bindInt64(int index, qint64 value) { return sqlite3_bind_int64(m_st, index, value); }

int Statement::bindNull(int index) { return sqlite3_bind_null(m_st, index); }

int Statement::step() { return sqlite3_step(m_st); }

int Statement::reset() { return sqlite3_reset(m_st); }

QString Statement::columnText(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_st, column));
    if (!text)
        return QString();
    return QString::fromUtf8(text, sqlite3_column_bytes(m_st, column));
}

QByteArrayView Statement::columnUtf8(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_st, column));
    return QByteArrayView(text, text ? sqlite3_column_bytes(m_st, column) : 0);
}

qint64 Statement::columnInt64(int column) const { return sqlite3_column_int64(m_st, column); }

double Statement::columnDouble(int column) const { return sqlite3_column_double(m_st, column); }

int Statement::columnType(int column) const { return sqlite3_column_type(m_st, column); }

bool Statement::columnIsNull(int column) const { return columnType(column) == SQLITE_NULL; }

Transaction::Transaction(Connection &db, Mode mode) : m_db(db)
{
    m_begin = m_db.exec(mode == Immediate ? "BEGIN IMMEDIATE" : "BEGIN");
    m_active = (m_begin == SQLITE_OK);
}

Transaction::~Transaction()
{
    if (m_active)
        m_db.exec("ROLLBACK");
}

int Transaction::commit()
{
    if (!m_active)
        return SQLITE_MISUSE;
    const int rc = m_db.exec("COMMIT");
    if (rc == SQLITE_OK)
        m_active = false;
    // A failed COMMIT (another reader still holds its lock) leaves the
    // transaction open; the destructor rolls it back.
    else if (sqlite3_get_autocommit(m_db.handle()))
        m_active = false;
    return rc;
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace Sql
