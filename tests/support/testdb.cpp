#include "testdb.h"
#include "app/frmmain.h"
#include "app/frmsplash.h"
#include "core/registry.h"

#include <QCoreApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <sqlite3.h>

using namespace zx;

QString TestDb::schema()
{
    return QStringLiteral(
        "CREATE TABLE \"01\" (id INTEGER PRIMARY KEY AUTOINCREMENT, category TEXT, \"名称\" TEXT, "
        "ingredients TEXT, method TEXT, picture TEXT);"
        "CREATE TABLE \"02\" (id INTEGER PRIMARY KEY AUTOINCREMENT, category TEXT);");
}

namespace {
TestDb *&newestDb()
{
    static TestDb *db = nullptr;
    return db;
}
} // namespace

TestDb::TestDb(const QString &sql) : m_outer(newestDb())
{
    exec(schema());
    if (!sql.isEmpty())
        exec(sql);
    m_catalogue = std::make_unique<Catalogue>(dir());
    newestDb() = this;
}

TestDb::~TestDb()
{
    // Windows are handed the catalogue; none may outlive it. (A TestDb made
    // inside another one only lends its file.)
    if (!m_outer)
        unloadAllWindows();
    newestDb() = m_outer;
}

Catalogue &testCatalogue()
{
    if (!newestDb())
        qFatal("testCatalogue() needs a TestDb");
    return newestDb()->catalogue();
}

void unloadAllWindows()
{
    zx::frmmain::unloadAll();
    Windows::unload<zx::frmSplash>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
QString TestDb::dir() const { return m_dir.path() + QLatin1Char('/'); }
QString TestDb::path() const { return dir() + QStringLiteral("cate.mdb"); }

void TestDb::exec(const QString &sql) const
{
    sqlite3 *db = nullptr;
    sqlite3_open(path().toUtf8().constData(), &db);
    char *err = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    const QString message = err ? QString::fromUtf8(err) : QString();
    sqlite3_free(err);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        qFatal("TestDb::exec failed: %s\n%s", qPrintable(message), qPrintable(sql));
}

QStringList TestDb::rows(const QString &sql) const
{
    QStringList out;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        qFatal("TestDb::rows failed: %s", qPrintable(message));
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList cols;
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            cols << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)));
        out << cols.join(QLatin1Char('|'));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

QString TestDb::scalar(const QString &sql) const
{
    const QStringList r = rows(sql);
    return r.isEmpty() ? QString() : r.first();
}

QByteArray TestDb::bytes() const
{
    QFile f(path());
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void typeText(QWidget *widget, const QString &text)
{
    widget->setFocus();
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(widget, &event);
}
