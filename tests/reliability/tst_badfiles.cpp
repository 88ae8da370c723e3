// Bad recipe database files: missing, empty, not a database, truncated,
// tables missing or short of columns, read-only, locked by another program,
// deleted or replaced while the program runs. Every window that needs the
// file must say so in a message and leave the file as it was; the main
// window's start-up stays silent with an empty tree; and once the good file
// is back the next operation works.
#include "reliability.h"

#include "core/cataloguecache.h"
#include "core/filestamp.h"
#include "store/sqlite.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>
#include <sqlite3.h>

using namespace zx;

using namespace Rel;

namespace {

const char *const Seed =
    "INSERT INTO \"02\"(category) VALUES ('汤'), ('凉菜');"
    "INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture) VALUES"
    " ('汤', '紫菜蛋花汤', '紫菜\r\n鸡蛋', '煮', ''),"
    " ('凉菜', '拍黄瓜', '黄瓜', '拍', '');"
    // Enough pages that cutting the file in half loses table data.
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 40)"
    " INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture)"
    " SELECT '汤', '汤' || i, printf('%.*c', 2000, 'x'), '炖', '' FROM n;";

enum Bad { Missing, Empty, TextFile, Truncated, NoDishTable, NoCategoryTable, FewColumns };

// Holds a write lock on the file from another process (the sqlite3 tool)
// or, where that tool is missing, from a second connection of this one.
class OtherWriter {
public:
    explicit OtherWriter(const QString &path)
    {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        if (!tool.isEmpty()) {
            m_process.start(tool, {path});
            m_process.waitForStarted();
            m_process.write("BEGIN EXCLUSIVE;\nSELECT 'locked';\n");
            while (!m_process.readAllStandardOutput().contains("locked") && m_process.waitForReadyRead(5000)) {
            }
            m_viaProcess = true;
        } else {
            sqlite3_open(path.toUtf8().constData(), &m_db);
            sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
        }
    }
    ~OtherWriter() { release(); }
    void release()
    {
        if (m_viaProcess && m_process.state() != QProcess::NotRunning) {
            m_process.write("ROLLBACK;\n.quit\n");
            m_process.closeWriteChannel();
            m_process.waitForFinished(5000);
        }
        if (m_db) {
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(m_db);
            m_db = nullptr;
        }
    }

private:
    QProcess m_process;
    bool m_viaProcess = false;
    sqlite3 *m_db = nullptr;
};

QString lastMessage(const ScriptedDialogs &d) { return d.messages.isEmpty() ? QString() : d.messages.last().text; }

} // namespace

class BadFiles : public QObject {
    Q_OBJECT
private slots:
    // The locks here are only ever waited out: a twentieth of a second will do.
    void initTestCase() { RecipeStore::setBusyTimeout(50); }
    void cleanup() { closeAll(); }

    void unusableFile_data();
    void unusableFile();
    void readOnly_data();
    void readOnly();
    void lockedByAnotherWriter();
    void deletedWhileRunning();
    void replacedWhileRunning();
    void keptCopyOnlyForTheSameFile();

private:
    // Checks what every window does with the file as it is now.
    void everyWindowComplains(const TestDb &db, ScriptedDialogs &dialogs, const QString &text);
    // With the good file back: a dish saved through the add window shows in the tree.
    void saveWorksAgain(const TestDb &db, ScriptedDialogs &dialogs, const QString &dish);
};

void BadFiles::unusableFile_data()
{
    QTest::addColumn<int>("bad");
    QTest::addColumn<int>("kind");
    QTest::newRow("missing") << int(Missing) << int(StoreError::Missing);
    QTest::newRow("empty file") << int(Empty) << int(StoreError::NotADatabase);
    QTest::newRow("text file") << int(TextFile) << int(StoreError::NotADatabase);
    QTest::newRow("truncated") << int(Truncated) << int(StoreError::NotADatabase);
    QTest::newRow("no table 01") << int(NoDishTable) << int(StoreError::WrongLayout);
    QTest::newRow("no table 02") << int(NoCategoryTable) << int(StoreError::WrongLayout);
    QTest::newRow("too few columns") << int(FewColumns) << int(StoreError::WrongLayout);
}

void BadFiles::everyWindowComplains(const TestDb &db, ScriptedDialogs &dialogs, const QString &text)
{
    const bool existed = QFile::exists(db.path());
    const QByteArray before = readFile(db.path());

    // Start-up: nothing said, empty tree, the design caption.
    MainWindow *main = Windows::show<MainWindow>(testCatalogue());
    QCOMPARE(dialogs.texts(), QStringList());
    QCOMPARE(topLevelRows(main), 0);
    QCOMPARE(main->windowTitle(), QString::fromUtf8(MainWindow::DesignCaption));

    // The add window: the empty list is explained, the save is refused and the typing kept.
    AddDishWindow *add = Windows::show<AddDishWindow>(testCatalogue());
    QCOMPARE(lastMessage(dialogs), QStringLiteral("读取菜谱分类失败：") + text);
    QCOMPARE(add->categories()->count(), 0);
    testCatalogue().setSelectedCategory(QStringLiteral("汤"));
    typeText(add->name(), QStringLiteral("酸辣汤"));
    typeText(add->ingredients(), QStringLiteral("豆腐"));
    typeText(add->method(), QStringLiteral("煮"));
    dialogs.answers.enqueue(DialogService::Yes);
    press(add, "addcp");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("保存失败：") + text);
    QCOMPARE(add->name()->text(), QStringLiteral("酸辣汤"));
    QCOMPARE(add->method()->toPlainText(), QStringLiteral("煮"));
    Windows::unload<AddDishWindow>();

    // The category manager: adding and deleting both refused.
    CategoryWindow *cats = Windows::show<CategoryWindow>(testCatalogue());
    QCOMPARE(lastMessage(dialogs), QStringLiteral("读取菜谱分类失败：") + text);
    typeText(cats->name(), QStringLiteral("面点"));
    press(cats, "Image1");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("新增分类失败：") + text);
    testCatalogue().setSelectedCategory(QStringLiteral("汤"));
    dialogs.answers.enqueue(DialogService::Yes);
    press(cats, "Image2");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("删除分类失败：") + text);
    QCOMPARE(testCatalogue().selectedCategory(), QStringLiteral("汤"));
    Windows::unload<CategoryWindow>();

    // The search window: told at load and at each search; nothing listed.
    dialogs.clear();
    FindWindow *search = Windows::show<FindWindow>(testCatalogue());
    QCOMPARE(dialogs.texts(), QStringList{text});
    typeText(child<QLineEdit>(search, "Text1"), QStringLiteral("汤"));
    press(search, "Image1");
    QCOMPARE(dialogs.texts(), (QStringList{text, text}));
    QCOMPARE(child<QListWidget>(search, "List1")->count(), 0);
    Windows::unload<FindWindow>();

    // The daily window: told at load and at each pick; the boxes stay empty.
    dialogs.clear();
    DailyDishWindow *daily = Windows::show<DailyDishWindow>(testCatalogue());
    press(daily, "Image1");
    QCOMPARE(dialogs.texts(), (QStringList{text, text}));
    QCOMPARE(child<QLineEdit>(daily, "Text1")->text(), QString());
    Windows::unload<DailyDishWindow>();

    // The file is as it was; a missing file was not created.
    QCOMPARE(QFile::exists(db.path()), existed);
    QCOMPARE(readFile(db.path()), before);
}

void BadFiles::saveWorksAgain(const TestDb &db, ScriptedDialogs &dialogs, const QString &dish)
{
    dialogs.clear();
    AddDishWindow *add = Windows::show<AddDishWindow>(testCatalogue());
    QCOMPARE(dialogs.texts(), QStringList());
    QCOMPARE(entries(add->categories()), (QStringList{QStringLiteral("汤"), QStringLiteral("凉菜")}));
    QVERIFY(clickEntry(add->categories(), QStringLiteral("汤")));
    typeText(add->name(), dish);
    typeText(add->ingredients(), QStringLiteral("番茄"));
    typeText(add->method(), QStringLiteral("煮"));
    dialogs.answers.enqueue(DialogService::Yes);
    press(add, "addcp");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("汤保存完毕！"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"01\" WHERE \"名称\"='%1'").arg(dish)), QStringLiteral("1"));
    MainWindow *main = Windows::get<MainWindow>(testCatalogue());
    QVERIFY(treeLines(main).contains(QStringLiteral("  ") + dish));
    QCOMPARE(main->windowTitle(), QStringLiteral("灶香居 2004 新春版 当前共有%1道美食")
                                      .arg(db.scalar(QStringLiteral("SELECT count(*) FROM \"01\""))));
    Windows::unload<AddDishWindow>();
}

void BadFiles::unusableFile()
{
    QFETCH(int, bad);
    QFETCH(int, kind);
    TestDb db(QString::fromUtf8(Seed));
    ScriptedDialogs dialogs;
    const QByteArray good = db.bytes();
    QVERIFY(good.size() > 64 * 1024);

    switch (Bad(bad)) {
    case Missing:
        QVERIFY(QFile::remove(db.path()));
        break;
    case Empty:
        writeFile(db.path(), QByteArray());
        break;
    case TextFile:
        writeFile(db.path(), QStringLiteral("菜谱：红烧肉\r\n五花肉 500 克\r\n").toUtf8());
        break;
    case Truncated:
        writeFile(db.path(), good.left(good.size() / 2));
        break;
    case NoDishTable:
        db.exec(QStringLiteral("DROP TABLE \"01\""));
        break;
    case NoCategoryTable:
        db.exec(QStringLiteral("DROP TABLE \"02\""));
        break;
    case FewColumns:
        db.exec(QStringLiteral("ALTER TABLE \"01\" DROP COLUMN picture"));
        break;
    }

    everyWindowComplains(db, dialogs, storeText(StoreError::Kind(kind)));

    closeAll();
    QFile::remove(db.path());
    writeFile(db.path(), good);
    saveWorksAgain(db, dialogs, QStringLiteral("番茄蛋汤"));
}

void BadFiles::readOnly_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("file marked read-only") << QStringLiteral("chmod");
    QTest::newRow("immutable file") << QStringLiteral("chattr file");
    QTest::newRow("immutable folder") << QStringLiteral("chattr folder");
}

// Reading goes on; every write is refused with the read-only message.
void BadFiles::readOnly()
{
    QFETCH(QString, how);
    TestDb db(QString::fromUtf8(Seed));
    ScriptedDialogs dialogs;
    const QByteArray before = db.bytes();
    const QString readOnly = storeText(StoreError::ReadOnly);
    const bool folder = how.endsWith(QLatin1String("folder"));
    QFile::remove(db.dir() + QStringLiteral("temp.txt"));

    std::unique_ptr<Immutable> lock;
    if (how == QLatin1String("chmod")) {
        QVERIFY(QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    } else {
        lock = std::make_unique<Immutable>(folder ? QDir(db.dir()).absolutePath() : db.path());
        if (!lock->ok())
            QSKIP("chattr +i is not available here, and root writes through plain permissions");
    }

    MainWindow *main = Windows::show<MainWindow>(testCatalogue());
    QCOMPARE(dialogs.texts(), QStringList());
    // Even where temp.txt cannot be written beside the file, the tree shows.
    QCOMPARE(treeLines(main).mid(0, 2), (QStringList{QStringLiteral("汤"), QStringLiteral("  汤1")}));

    AddDishWindow *add = Windows::show<AddDishWindow>(testCatalogue());
    QVERIFY(clickEntry(add->categories(), QStringLiteral("凉菜")));
    typeText(add->name(), QStringLiteral("皮蛋豆腐"));
    typeText(add->ingredients(), QStringLiteral("皮蛋"));
    typeText(add->method(), QStringLiteral("拌"));
    dialogs.answers.enqueue(DialogService::Yes);
    press(add, "addcp");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("保存失败：") + readOnly);
    QCOMPARE(add->name()->text(), QStringLiteral("皮蛋豆腐"));
    Windows::unload<AddDishWindow>();

    CategoryWindow *cats = Windows::show<CategoryWindow>(testCatalogue());
    typeText(cats->name(), QStringLiteral("面点"));
    press(cats, "Image1");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("新增分类失败：") + readOnly);
    QVERIFY(clickEntry(cats->categories(), QStringLiteral("凉菜")));
    dialogs.answers.enqueue(DialogService::Yes);
    if (folder)   // no safety copy can be made there: go on without one
        dialogs.answers.enqueue(DialogService::Yes);
    press(cats, "Image2");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("删除分类失败：") + readOnly);
    Windows::unload<CategoryWindow>();

    dialogs.clear();
    FindWindow *search = Windows::show<FindWindow>(testCatalogue());
    typeText(child<QLineEdit>(search, "Text1"), QStringLiteral("黄瓜"));
    press(search, "Image1");
    auto *found = child<QListWidget>(search, "List1");
    QCOMPARE(entries(found), QStringList{QStringLiteral("拍黄瓜")});
    found->setCurrentRow(0);
    typeText(child<QTextEdit>(search, "Text4"), QStringLiteral("再拌"));
    dialogs.answers.enqueue(DialogService::Yes);
    if (folder)
        dialogs.answers.enqueue(DialogService::Yes);
    press(search, "Image3");
    QCOMPARE(dialogs.texts().first(), QStringLiteral("确认修改[拍黄瓜]"));
    QCOMPARE(dialogs.texts().last(), readOnly);
    QCOMPARE(dialogs.texts().size(), folder ? 3 : 2);
    QVERIFY(Windows::loaded<FindWindow>());   // the window stays with the edit
    Windows::unload<FindWindow>();

    dialogs.clear();
    DailyDishWindow *daily = Windows::show<DailyDishWindow>(testCatalogue());
    daily->setDraw([] { return 0.0; });   // id 1
    press(daily, "Image1");
    QCOMPARE(dialogs.texts(), QStringList());
    QCOMPARE(child<QLineEdit>(daily, "Text1")->text(), QStringLiteral("紫菜蛋花汤"));
    Windows::unload<DailyDishWindow>();

    lock.reset();
    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(db.bytes(), before);
    closeAll();
    saveWorksAgain(db, dialogs, QStringLiteral("冬瓜汤"));
}

void BadFiles::lockedByAnotherWriter()
{
    TestDb db(QString::fromUtf8(Seed));
    ScriptedDialogs dialogs;
    const QByteArray before = db.bytes();
    {
        OtherWriter other(db.path());
        everyWindowComplains(db, dialogs, storeText(StoreError::Busy));
    }
    QCOMPARE(db.bytes(), before);
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    closeAll();
    saveWorksAgain(db, dialogs, QStringLiteral("番茄蛋汤"));

    // The other way round: while this program holds its write lock, looking
    // at the file (the stamp reads its header) must not let it go.
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (tool.isEmpty())
        QSKIP("the sqlite3 tool is missing: no second program to try the lock");
    Sql::Connection ours;
    QCOMPARE(ours.open(db.path(), SQLITE_OPEN_READWRITE), SQLITE_OK);
    QCOMPARE(ours.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    QVERIFY(FileStamp::of(db.path()).changeCounter() >= 0);
    QProcess other;
    other.start(tool, {db.path(), QStringLiteral("BEGIN IMMEDIATE; SELECT 'written';")});
    QVERIFY(other.waitForFinished(10000));
    QVERIFY(!other.readAllStandardOutput().contains("written"));
    QVERIFY(other.readAllStandardError().contains("locked"));
    ours.exec("ROLLBACK");
}

void BadFiles::deletedWhileRunning()
{
    TestDb db(QString::fromUtf8(Seed));
    ScriptedDialogs dialogs;
    const QByteArray good = db.bytes();
    MainWindow *main = Windows::show<MainWindow>(testCatalogue());
    const QStringList tree = treeLines(main);
    // Both windows share the picked category: the last click (汤) counts.
    CategoryWindow *cats = Windows::show<CategoryWindow>(testCatalogue());
    QVERIFY(clickEntry(cats->categories(), QStringLiteral("凉菜")));
    AddDishWindow *add = Windows::show<AddDishWindow>(testCatalogue());
    QVERIFY(clickEntry(add->categories(), QStringLiteral("汤")));
    typeText(add->name(), QStringLiteral("酸辣汤"));
    typeText(add->ingredients(), QStringLiteral("豆腐"));
    typeText(add->method(), QStringLiteral("煮"));

    QVERIFY(QFile::remove(db.path()));
    const QString missing = storeText(StoreError::Missing);

    dialogs.answers.enqueue(DialogService::Yes);
    press(add, "addcp");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("保存失败：") + missing);
    dialogs.answers.enqueue(DialogService::Yes);
    press(cats, "Image2");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("删除分类失败：") + missing);
    QVERIFY(!QFile::exists(db.path()));
    // The tree keeps what it showed.
    QCOMPARE(treeLines(main), tree);

    // The file comes back: the typed dish, still in the boxes, saves now.
    writeFile(db.path(), good);
    dialogs.answers.enqueue(DialogService::Yes);
    press(add, "addcp");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("汤保存完毕！"));
    QVERIFY(treeLines(main).contains(QStringLiteral("  酸辣汤")));
    QCOMPARE(db.scalar(QStringLiteral("SELECT category||'|'||ingredients FROM \"01\" WHERE \"名称\"='酸辣汤'")),
             QStringLiteral("汤|豆腐"));
}

void BadFiles::replacedWhileRunning()
{
    TestDb db(QString::fromUtf8(Seed));
    ScriptedDialogs dialogs;
    const QByteArray first = db.bytes();
    Windows::show<MainWindow>(testCatalogue());
    FindWindow *search = Windows::show<FindWindow>(testCatalogue());
    auto *text = child<QLineEdit>(search, "Text1");
    auto *list = child<QListWidget>(search, "List1");
    typeText(text, QStringLiteral("瓜"));
    press(search, "Image1");
    QCOMPARE(entries(list), QStringList{QStringLiteral("拍黄瓜")});
    list->setCurrentRow(0);

    // A downloaded database of the same layout put over the old one.
    {
        TestDb other(QStringLiteral("INSERT INTO \"02\"(category) VALUES ('瓜果');"
                                    "INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture)"
                                    " VALUES ('瓜果', '西瓜盅', '西瓜', '雕', ''), ('瓜果', '哈密瓜', '哈密瓜', '切', '');"));
        writeFile(db.path(), other.bytes());
    }
    const QByteArray second = db.bytes();
    QVERIFY(second != first);

    // The edit aimed at 拍黄瓜 of the old file. The new file's row with the
    // same id holds another dish, which must not be overwritten.
    typeText(child<QTextEdit>(search, "Text4"), QStringLiteral("再拍"));
    dialogs.answers.enqueue(DialogService::Yes);
    press(search, "Image3");
    QCOMPARE(lastMessage(dialogs), QStringLiteral("这道菜谱已在别处被修改，请重新选择后再修改。"));
    QCOMPARE(db.rows(QStringLiteral("SELECT \"名称\"||'|'||method FROM \"01\" ORDER BY id")),
             (QStringList{QStringLiteral("西瓜盅|雕"), QStringLiteral("哈密瓜|切")}));
    QCOMPARE(db.bytes(), second);

    // A new search, the edit given up, reads the new file.
    dialogs.clear();
    text->clear();
    typeText(text, QStringLiteral("瓜"));
    dialogs.answers.enqueue(DialogService::Yes);
    press(search, "Image1");
    QCOMPARE(entries(list), (QStringList{QStringLiteral("西瓜盅"), QStringLiteral("哈密瓜")}));
    // Written over the old file, it has the old file's inode; the tree's
    // read (once the change is seen) still makes its index there.
    QTRY_COMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = '01_tree'")),
                 QStringLiteral("1"));

    // Replaced by something that is no database: said, nothing listed.
    writeFile(db.path(), "not a database at all");
    dialogs.clear();
    press(search, "Image1");
    QCOMPARE(dialogs.texts(), QStringList{storeText(StoreError::NotADatabase)});
    QCOMPARE(list->count(), 0);

    // And back: the search finds again.
    writeFile(db.path(), second);
    dialogs.clear();
    press(search, "Image1");
    QCOMPARE(dialogs.texts(), QStringList());
    QCOMPARE(entries(list), (QStringList{QStringLiteral("西瓜盅"), QStringLiteral("哈密瓜")}));
}


// The copy of the tree kept between runs, and the first read begun ahead,
// stand in for the file only while the file is exactly as it was read:
// changed by another program between runs or after the read, or the copy
// damaged, and the tree comes from the file.
void BadFiles::keptCopyOnlyForTheSameFile()
{
    TestDb db(QString::fromUtf8(Seed));
    const auto startUp = [&db] {
        auto catalogue = std::make_unique<Catalogue>(db.dir());
        return catalogue->refresh().ok() ? std::move(catalogue) : nullptr;
    };
    const auto namesOf = [](const Catalogue &c) {
        QStringList names;
        for (qsizetype i = 0; i < c.data().dishCount(); ++i)
            names << c.data().name(i);
        return names;
    };
    QFile::remove(CatalogueCache::pathFor(db.path()));
    QStringList names = namesOf(*startUp());   // its end keeps the copy
    QVERIFY(QFile::exists(CatalogueCache::pathFor(db.path())));
    {
        const auto unchanged = startUp();
        QCOMPARE(unchanged->storeReads(), 0);
        QCOMPARE(namesOf(*unchanged), names);
    }

    // Renamed in place to a name of the same length, within the same second.
    db.exec(QStringLiteral("UPDATE \"01\" SET \"名称\" = '拍冬瓜' WHERE \"名称\" = '拍黄瓜'"));
    names.replace(names.indexOf(QStringLiteral("拍黄瓜")), QStringLiteral("拍冬瓜"));
    {
        const auto changed = startUp();
        QCOMPARE(changed->storeReads(), 1);
        QCOMPARE(namesOf(*changed), names);
    }

    // The first read begun ahead, as at start-up while the windows are
    // built, is taken only when the file is still as it read it.
    {
        Catalogue ahead(db.dir());
        ahead.beginFirstRead();
        QVERIFY(ahead.refresh().ok());
        QCOMPARE(ahead.storeReads(), 0);
        QCOMPARE(namesOf(ahead), names);
    }
    {
        Catalogue ahead(db.dir());
        ahead.beginFirstRead();
        QVERIFY(ahead.probe().ok());   // waits for the read begun ahead
        db.exec(QStringLiteral("UPDATE \"01\" SET \"名称\" = '拍黄瓜' WHERE \"名称\" = '拍冬瓜'"));
        names.replace(names.indexOf(QStringLiteral("拍冬瓜")), QStringLiteral("拍黄瓜"));
        QVERIFY(ahead.refresh().ok());
        QCOMPARE(ahead.storeReads(), 1);
        QCOMPARE(namesOf(ahead), names);
    }

    // One byte of the copy's names turned into another.
    QFile copy(CatalogueCache::pathFor(db.path()));
    QVERIFY(copy.open(QIODevice::ReadWrite));
    QByteArray bytes = copy.readAll();
    const qsizetype at = bytes.indexOf(QStringLiteral("紫菜蛋花汤").toUtf8());
    QVERIFY(at > 0);
    bytes[at + 1] = char(bytes[at + 1] ^ 1);
    QVERIFY(copy.seek(0) && copy.write(bytes) == bytes.size());
    copy.close();
    const auto damaged = startUp();
    QCOMPARE(damaged->storeReads(), 1);
    QCOMPARE(namesOf(*damaged), names);
}

QTEST_MAIN(BadFiles)
#include "tst_badfiles.moc"
