#include "testdb.h"

#include "otherprogram.h"
#include "app/mainwindow.h"
#include "app/splashwindow.h"
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
    zx::MainWindow::unloadAll();
    Windows::unload<zx::SplashWindow>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
QString TestDb::dir() const { return m_dir.path() + QLatin1Char('/'); }
QString TestDb::path() const { return dir() + QStringLiteral("cate.mdb"); }

void TestDb::exec(const QString &sql) const
{
    OtherProgram other(path(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (other.exec(sql) != 0)
        qFatal("TestDb::exec failed: %s\n%s", qPrintable(other.lastError()), qPrintable(sql));
}

QStringList TestDb::rows(const QString &sql) const
{
    OtherProgram other(path(), SQLITE_OPEN_READONLY);
    const QStringList out = other.rows(sql);
    if (!other.lastError().isEmpty())
        qFatal("TestDb::rows failed: %s", qPrintable(other.lastError()));
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

QString storeText(StoreError::Kind kind)
{
    StoreError e;
    e.kind = kind;
    if (kind == StoreError::Missing)
        e.detail = testCatalogue().storePath();
    return e.userText();
}
