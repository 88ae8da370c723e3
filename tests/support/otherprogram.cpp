#include "otherprogram.h"

#include <sqlite3.h>

OtherProgram::OtherProgram(const QString &path, int flags)
{
    m_open = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags ? flags : SQLITE_OPEN_READWRITE, nullptr)
             == SQLITE_OK;
}

OtherProgram::~OtherProgram()
{
    release();
    sqlite3_close(m_db);
}

int OtherProgram::exec(const QString &sql)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    m_error = err ? QString::fromUtf8(err) : QString();
    sqlite3_free(err);
    return rc;
}

QString OtherProgram::scalar(const QString &sql)
{
    const QStringList found = rows(sql);
    return found.isEmpty() || !m_error.isEmpty() ? QStringLiteral("(error)") : found.first().section(QLatin1Char('|'), 0, 0);
}

QStringList OtherProgram::rows(const QString &sql)
{
    QStringList out;
    sqlite3_stmt *st = nullptr;
    m_error.clear();
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
        return out;
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        QStringList cols;
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            cols << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)));
        out << cols.join(QLatin1Char('|'));
    }
    if (rc != SQLITE_DONE)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_finalize(st);
    return out;
}

void OtherProgram::release()
{
    if (m_locked)
        exec(QStringLiteral("ROLLBACK"));
    m_locked = false;
}
