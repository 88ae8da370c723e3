#pragma once
// A temporary data folder holding a real cate.mdb for a test, and the
// catalogue over it that the windows are handed (testCatalogue()).
#include "core/catalogue.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

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

    Catalogue &catalogue() const { return *m_catalogue; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Catalogue> m_catalogue;
    TestDb *m_outer = nullptr;
};

// The catalogue of the newest TestDb still alive (what the program would
// have made at start-up).
Catalogue &testCatalogue();

// What the cook is told of a store error of this kind on the test
// catalogue's file (a missing file names its folder).
QString storeText(StoreError::Kind kind);

// Unloads every window, as the program's exit does, without quitting.
void unloadAllWindows();

// Sends a commit string to a widget as if typed through an input method
// (QTest::keyClicks cannot type Chinese).
class QWidget;
void typeText(QWidget *widget, const QString &text);
