#pragma once
// A temporary application folder holding a real cate.mdb for a test.
// App::AppDir points at it while the object lives.
#include <QString>
#include <QTemporaryDir>

class TestDb {
public:
    // An empty recipe database (both tables, no rows) unless `sql` is given;
    // `sql` runs after the tables are made.
    explicit TestDb(const QString &sql = QString());
    ~TestDb();

    QString dir() const;        // ends in '/'
    QString path() const;       // dir() + "cate.mdb"
    // Runs SQL on the file (fails the test on error).
    void exec(const QString &sql) const;
    // One text value or a whole query's rows as "a|b|c" lines, table order.
    QString scalar(const QString &sql) const;
    QStringList rows(const QString &sql) const;
    QByteArray bytes() const;   // the file's bytes

    // The standard layout of the two tables.
    static QString schema();

private:
    QTemporaryDir m_dir;
    QString m_oldAppDir;
};

// Sends a commit string to a widget as if typed through an input method
// (QTest::keyClicks cannot type Chinese).
class QWidget;
void typeText(QWidget *widget, const QString &text);
