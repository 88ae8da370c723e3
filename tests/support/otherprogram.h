#pragma once
// Another program's connection to a database file: how every test commits,
// locks or reads behind the program's back, and reads back what landed.
#include <QString>
#include <QStringList>

struct sqlite3;

class OtherProgram {
public:
    // Opens `path` (never creating it unless the flags say so); flags as
    // sqlite3_open_v2's, read-write by default.
    explicit OtherProgram(const QString &path, int flags = 0);
    ~OtherProgram();
    OtherProgram(const OtherProgram &) = delete;
    OtherProgram &operator=(const OtherProgram &) = delete;

    bool isOpen() const { return m_open; }
    // SQLite's result code; the error text in lastError().
    int exec(const QString &sql);
    QString lastError() const { return m_error; }
    // The first column of the first row, or "(error)".
    QString scalar(const QString &sql);
    // Every row as "a|b|c" (NULL as the empty text).
    QStringList rows(const QString &sql);
    // Holds the file with an exclusive lock (a writer in the middle of its
    // transaction) until release() or the end.
    bool lockExclusively() { return m_locked = exec(QStringLiteral("BEGIN EXCLUSIVE")) == 0; }
    void release();

private:
    sqlite3 *m_db = nullptr;
    bool m_open = false;
    bool m_locked = false;
    QString m_error;
};
