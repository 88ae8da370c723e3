#pragma once
// A small RAII layer over the SQLite C API: a connection, a prepared
// statement and a transaction guard. Every call hands back SQLite's own
// result code; the recipe store turns codes into StoreError kinds.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

struct sqlite3;
struct sqlite3_stmt;

namespace Sql {

// The first `size` bytes of a database file (fewer when it is shorter;
// none when it cannot be opened), read through the engine's own file layer.
// POSIX locks belong to the process, and closing any descriptor of a file
// drops every lock the process holds on it: a file opened and closed
// beside a connection, on any thread, would let another program write
// while that connection reads or writes. The engine's layer keeps such a
// descriptor open until its connections release their locks.
QByteArray readFileStart(const QString &path, int size);

class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    Connection(Connection &&other) noexcept;
    Connection &operator=(Connection &&other) noexcept;

    // sqlite3_open_v2 with the given flags (never add SQLITE_OPEN_CREATE for
    // cate.mdb) and file layer (VFS; nullptr: the system's). Extended result
    // codes are switched on.
    int open(const QString &path, int flags, const char *vfs = nullptr);
    void close();
    sqlite3 *handle() const { return m_db; }

    // Runs one or more statements that return no rows of interest.
    int exec(const char *sql);
    int setBusyTimeout(int milliseconds);
    qint64 lastInsertRowid() const;
    qint64 changes() const;
    QString errorMessage() const;

private:
    sqlite3 *m_db = nullptr;
};

class Statement {
public:
    Statement() = default;
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;

    int prepare(const Connection &db, const QString &sql);
    bool isPrepared() const { return m_st != nullptr; }

    // Parameters count from 1, as in SQLite.
    int bindText(int index, const QString &text);
    int bindInt64(int index, qint64 value);
    int bindNull(int index);

    // SQLITE_ROW while there is a row, SQLITE_DONE at the end, else an error.
    int step();
    int reset();

    // Columns count from 0. NULL reads as an empty text or 0.
    QString columnText(int column) const;
    // The column's bytes as UTF-8 without a copy: valid until the next
    // step() or reset(). Empty (and null data) for NULL.
    QByteArrayView columnUtf8(int column) const;
    qint64 columnInt64(int column) const;
    double columnDouble(int column) const;
    // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL.
    int columnType(int column) const;
    bool columnIsNull(int column) const;

private:
    sqlite3_stmt *m_st = nullptr;
};

// Begins a transaction on construction and rolls it back on destruction
// unless commit() succeeded. Immediate (BEGIN IMMEDIATE) is for writing: a
// competing writer is found before any change is made. Deferred (BEGIN) is
// for reading: every read inside it sees the same snapshot of the file.
class Transaction {
public:
    enum Mode { Immediate, Deferred };
    explicit Transaction(Connection &db, Mode mode = Immediate);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    int beginResult() const { return m_begin; }
    bool active() const { return m_active; }
    int commit();

private:
    Connection &m_db;
    int m_begin;
    bool m_active = false;
};

// "name" with inner double quotes doubled: safe to put into SQL as an identifier.
QString quoteIdentifier(const QString &name);

} // namespace Sql
