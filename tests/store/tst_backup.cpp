// Safety copies of cate.mdb in the folder 备份 beside it, on real files in a
// temporary folder, with the clock set by the test.
#include "store/backup.h"
#include "core/dialogs.h"
#include "core/startrestore.h"
#include "support/scripteddialogs.h"
#include "support/otherprogram.h"
#include "testdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <sqlite3.h>

namespace {

const QDateTime Now(QDate(2026, 12, 8), QTime(15, 30, 12));

using Connection = OtherProgram;

// The names in a folder, in code point order.
QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    names.sort();
    return names;
}

bool touch(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
}

} // namespace

class TstBackup : public QObject {
    Q_OBJECT
private slots:
    void copyIsTheWholeCommittedDatabase();
    void refusedWhenTheFolderCannotBeMade();
    void pruningKeepsWhatTheRuleKeeps();
    void restoreBringsACopyBack();
    void busyFileIsNeverOfferedForRestore();
};

void TstBackup::copyIsTheWholeCommittedDatabase()
{
    // Enough text for many pages and several large writes.
    TestDb db(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                             "INSERT INTO \"01\"(category, \"名称\", ingredients, method) "
                             "SELECT '家常菜', '菜' || i, printf('%.500c', 'x'), printf('%.800c', 'y') FROM n;"
                             "INSERT INTO \"02\"(category) VALUES ('家常菜');"));
    const QString expected = db.scalar(QStringLiteral("SELECT count(*) || '/' || sum(length(method)) FROM \"01\""));
    // Another program is in the middle of a write: the copy holds what was committed.
    Connection other(db.path());
    QCOMPARE(other.exec(QStringLiteral("BEGIN IMMEDIATE; DELETE FROM \"01\" WHERE rowid > 2990;")), SQLITE_OK);

    QVERIFY(!Backup::hasEditCopy(db.path(), Now.date()));
    const auto copy = Backup::makeCopy(db.path(), Backup::Reason::Edit, Now);
    QVERIFY2(copy.ok(), qPrintable(copy.ok() ? QString() : copy.error().detail));
    QCOMPARE(*copy, db.dir() + QStringLiteral("备份/cate-20261208-153012.mdb"));
    QCOMPARE(other.exec(QStringLiteral("COMMIT")), SQLITE_OK);
    {
        Connection read(*copy, SQLITE_OPEN_READONLY);
        QCOMPARE(read.scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        QCOMPARE(read.scalar(QStringLiteral("SELECT count(*) || '/' || sum(length(method)) FROM \"01\"")), expected);
        QCOMPARE(read.scalar(QStringLiteral("SELECT category FROM \"02\"")), QStringLiteral("家常菜"));
    }
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"01\"")), QStringLiteral("2990"));

    // One edit copy a day; deletion copies every time, even within a second.
    QVERIFY(Backup::hasEditCopy(db.path(), Now.date()));
    QVERIFY(!Backup::hasEditCopy(db.path(), Now.date().addDays(1)));
    QCOMPARE(*Backup::makeCopy(db.path(), Backup::Reason::Edit, Now.addSecs(3600)), *copy);
    QVERIFY(Backup::makeCopy(db.path(), Backup::Reason::CategoryDeletion, Now).ok());
    QVERIFY(Backup::makeCopy(db.path(), Backup::Reason::CategoryDeletion, Now).ok());
    QCOMPARE(filesIn(db.dir() + QStringLiteral("备份")),
             QStringList({"cate-20261208-153012-2-删除分类.mdb", "cate-20261208-153012-删除分类.mdb",
                          "cate-20261208-153012.mdb"}));
    Connection second(db.dir() + QStringLiteral("备份/cate-20261208-153012-2-删除分类.mdb"), SQLITE_OPEN_READONLY);
    QCOMPARE(second.scalar(QStringLiteral("SELECT count(*) FROM \"01\"")), QStringLiteral("2990"));
}

void TstBackup::refusedWhenTheFolderCannotBeMade()
{
    TestDb db(QStringLiteral("INSERT INTO \"02\"(category) VALUES ('凉菜');"));
    // A file stands where the folder would go.
    QVERIFY(touch(db.dir() + QStringLiteral("备份")));
    const auto copy = Backup::makeCopy(db.path(), Backup::Reason::CategoryDeletion, Now);
    QVERIFY(!copy.ok());
    QCOMPARE(copy.error().kind, StoreError::NoBackup);
    QCOMPARE(copy.error().userText(), QStringLiteral("“备份”文件夹无法写入，或者磁盘已满。"));
    QCOMPARE(filesIn(db.dir()), QStringList({"cate.mdb", "备份"}));
    QCOMPARE(QFileInfo(db.dir() + QStringLiteral("备份")).size(), 1);

    const auto missing = Backup::makeCopy(db.dir() + QStringLiteral("none.mdb"), Backup::Reason::Edit, Now);
    QCOMPARE(missing.error().kind, StoreError::Missing);
}

void TstBackup::pruningKeepsWhatTheRuleKeeps()
{
    TestDb db;
    const QString folder = db.dir() + QStringLiteral("备份/");
    QVERIFY(QDir().mkpath(folder));
    QStringList made, kept;
    auto add = [&](const QString &name, bool stays) {
        QVERIFY(touch(folder + name));
        made << name;
        if (stays)
            kept << name;
    };
    // Edit copies: from 20 days ago to today, two on some days; the last 14
    // days keep the first copy of each day.
    for (int back = 20; back >= 0; --back) {
        const QDateTime morning(Now.date().addDays(-back), QTime(8, 0, 5));
        add(Backup::copyName(morning, Backup::Reason::Edit), back < Backup::EditDays);
        if (back % 3 == 0)
            add(Backup::copyName(morning.addSecs(3600), Backup::Reason::Edit), false);
    }
    add(QStringLiteral("cate-20261208-080005-2.mdb"), false);   // the second copy of that second
    // Deletion copies: the last 20 stay, whatever their age.
    for (int i = 0; i < 25; ++i)
        add(Backup::copyName(Now.addDays(-40 + i), Backup::Reason::CategoryDeletion, 1 + i % 2), i >= 5);
    // Files the program did not make, however close their names.
    for (const char *name : {"cate-2026120-080005.mdb", "cate-20261399-080005.mdb", "cate-20200101-080005.mdb.bak",
                             "Cate-20200101-080005.mdb", "cate-20200101-080005-1.mdb", "cate-20200101-080005-删除.mdb",
                             "notes.txt", "cate.mdb"})
        add(QString::fromUtf8(name), true);

    const QStringList removed = Backup::prune(db.path(), Now);
    QStringList gone = made;
    for (const QString &name : std::as_const(kept))
        gone.removeOne(name);
    gone.sort();
    kept.sort();
    QStringList removedSorted = removed;
    removedSorted.sort();
    QCOMPARE(removedSorted, gone);
    QCOMPARE(filesIn(folder), kept);
    QCOMPARE(kept.filter(QStringLiteral("删除分类")).size(), Backup::DeletionCopies);
    // Nothing more to do the next time.
    QVERIFY(Backup::prune(db.path(), Now).isEmpty());
}

// A copy is listed with its counts and put back through SQLite into the
// file another program has open; one that is no catalogue is listed with
// its reason and refused. At start, a damaged file with copies beside it
// is kept aside and the newest readable copy comes back on a yes.
void TstBackup::restoreBringsACopyBack()
{
    TestDb db(QStringLiteral("INSERT INTO \"02\"(category) VALUES ('家常菜');"
                             "INSERT INTO \"01\"(category, \"名称\") VALUES ('家常菜', '红烧肉');"));
    QVERIFY(Backup::makeCopy(db.path(), Backup::Reason::DishDeletion, Now).ok());
    QFile junk(db.dir() + QStringLiteral("备份/cate-20261209-100000-导入.mdb"));
    QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(4096, 'x')) == 4096);
    junk.close();
    const QString count = QStringLiteral("SELECT count(*) FROM \"01\"");
    {
        Connection other(db.path());
        db.exec(QStringLiteral("DELETE FROM \"01\""));
        const std::vector<Backup::CopyInfo> copies = Backup::listCopies(db.path());
        QCOMPARE(copies.size(), size_t(2));
        QVERIFY(!copies[0].problem.isEmpty());
        QCOMPARE(copies[1].dishes, 1);
        QCOMPARE(copies[1].reason, Backup::Reason::DishDeletion);
        QVERIFY(!Backup::restoreCopy(db.path(), copies[0].path).ok());
        QCOMPARE(db.scalar(count), QStringLiteral("0"));
        QVERIFY(Backup::restoreCopy(db.path(), copies[1].path).ok());
        QCOMPARE(other.scalar(count), QStringLiteral("1"));
    }
    QFile damaged(db.path());
    QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate) && damaged.write("damaged") == 7);
    damaged.close();
    ScriptedDialogs dialogs;
    dialogs.answers.enqueue(DialogService::Yes);
    QVERIFY(offerRestoreAtStart(db.dir()));
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("找不到可用的菜谱数据库 cate.mdb。\r\n\r\n"
                                                         "要用最近的备份（2026-12-08 15:30:12，1 道美食）恢复吗？")});
    // The yes opens the restore window; the file is set aside only when a
    // copy takes its place, with its journal, as a copy of its own.
    QVERIFY(touch(db.path() + QStringLiteral("-journal")));
    const QStringList before = filesIn(db.dir());
    const auto aside = Backup::setAside(db.path(), Now.addDays(1));
    QVERIFY(aside.ok());
    QCOMPARE(filesIn(db.dir()), QStringList(before.mid(2)));
    QCOMPARE(QFileInfo(*aside).fileName(), QStringLiteral("cate-20261209-153012-损坏.mdb"));
    QVERIFY(QFileInfo::exists(*aside + QStringLiteral("-journal")));
    const std::vector<Backup::CopyInfo> copies = Backup::listCopies(db.path());
    QCOMPARE(copies.front().reason, Backup::Reason::Damaged);
    QVERIFY(!copies.front().problem.isEmpty());
}

// Another program in the middle of a write holds the file: the start says
// so, asks nothing and touches nothing.
void TstBackup::busyFileIsNeverOfferedForRestore()
{
    TestDb db(QStringLiteral("INSERT INTO \"02\"(category) VALUES ('家常菜');"));
    QVERIFY(Backup::makeCopy(db.path(), Backup::Reason::Import, Now).ok());
    Connection other(db.path());
    QVERIFY(other.lockExclusively());
    const QStringList before = filesIn(db.dir());
    ScriptedDialogs dialogs;
    QVERIFY(!offerRestoreAtStart(db.dir()));
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("菜谱数据库正被其他程序占用，请稍后再试。")});
    QCOMPARE(filesIn(db.dir()), before);
}

QTEST_GUILESS_MAIN(TstBackup)
#include "tst_backup.moc"
