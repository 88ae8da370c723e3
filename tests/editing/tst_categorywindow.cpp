// The category manager driven through its widgets on a real cate.mdb.
#include "app/cataloguemodel.h"
#include "editing/editinghelpers.h"
#include "files/restorewindow.h"
#include "store/backup.h"
#include "support/scripteddialogs.h"
#include "support/testdb.h"

#include "core/appinfo.h"
#include "store/recipestore.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

using namespace zx;

namespace {
// Two category rows whose trimmed names are equal, and dishes whose
// category carries blanks.
const char *const Seed =
    "INSERT INTO \"02\"(category) VALUES ('家常菜'), ('凉菜'), ('家常菜  ');"
    "INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture) VALUES"
    " ('家常菜', '红烧肉', '五花肉', '炖', ''),"
    " ('凉菜', '拍黄瓜', '黄瓜', '拍', ''),"
    " ('家常菜  ', '糖醋排骨', '排骨', '炸', ''),"
    " (' 家常菜', '鱼香肉丝', '肉丝', '炒', ''),"
    " ('家常', '家常豆腐', '豆腐', '烧', '');";

const char *const Categories = "SELECT category FROM \"02\" ORDER BY id";
const char *const Dishes = "SELECT category || '|' || \"名称\" FROM \"01\" ORDER BY id";


QString askDelete(const QString &category)
{
    return QStringLiteral("真的要删除 ") + category + QStringLiteral("吗？\r\n此分类下所有菜谱将一起被删除！");
}

struct Manager {
    CategoryWindow *w = nullptr;
    QListWidget *list = nullptr;
    QLineEdit *name = nullptr;
    QWidget *add = nullptr;
    QWidget *remove = nullptr;

    void open()
    {
        w = Windows::show<CategoryWindow>(testCatalogue());
        list = w->findChild<QListWidget *>(QStringLiteral("List1"));
        name = w->findChild<QLineEdit *>(QStringLiteral("Text1"));
        add = w->findChild<QWidget *>(QStringLiteral("Image1"));
        remove = w->findChild<QWidget *>(QStringLiteral("Image2"));
    }
    bool complete() const { return w && list && name && add && remove; }
};
} // namespace

class TestCategoryWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        unloadEverything();
    }

    void loadListsCategoriesAndForgetsSelection()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        testCatalogue().setSelectedCategory(QStringLiteral("凉菜"));
        Manager m;
        m.open();
        QVERIFY(m.complete());
        QVERIFY(QTest::qWaitForWindowExposed(m.w));

        QCOMPARE(m.w->windowTitle(), QStringLiteral("：：菜谱分类：："));
        QCOMPARE(entries(m.list), (QStringList{QStringLiteral("家常菜"), QStringLiteral("凉菜"),
                                               QStringLiteral("家常菜  ")}));
        QVERIFY(testCatalogue().selectedCategory().isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(m.w->findChild<QLabel *>(QStringLiteral("Label1_0"))->text(), QStringLiteral("添加新分类："));
        QCOMPARE(m.w->findChild<QLabel *>(QStringLiteral("Label1_1"))->text(), QStringLiteral("选择类别："));
        auto *hint = m.w->findChild<QLabel *>(QStringLiteral("Label2"));
        QCOMPARE(hint->text(), QStringLiteral("请先选择分类后再删除！"));

        // Top row: caption, box, add button; below: list, and on its right
        // the delete button over the hint.
        for (QWidget *c : {static_cast<QWidget *>(m.list), static_cast<QWidget *>(m.name), m.add, m.remove,
                           static_cast<QWidget *>(hint)}) {
            QVERIFY2(c->y() >= 40, qPrintable(c->objectName()));
            QVERIFY2(m.w->rect().contains(c->geometry()), qPrintable(c->objectName()));
        }
        QVERIFY(m.add->x() > m.name->geometry().right());
        QVERIFY(m.list->y() > m.add->geometry().bottom());
        QVERIFY(m.remove->x() > m.list->geometry().right());
        QVERIFY(hint->y() > m.remove->geometry().bottom());
        QCOMPARE(m.remove->size(), QSize(94, 32));
    }

    void loadFailureLeavesEmptyList()
    {
        TestDb db(QString::fromUtf8(Seed));
        QVERIFY(QFile::remove(db.path()));
        ScriptedDialogs dialogs;
        testCatalogue().setSelectedCategory(QStringLiteral("凉菜"));
        Manager m;
        m.open();
        QVERIFY(m.complete());
        QCOMPARE(m.list->count(), 0);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("读取菜谱分类失败：") + storeText(StoreError::Missing)});
        QVERIFY(testCatalogue().selectedCategory().isEmpty());
        press(m.remove);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("请先选择分类"));
        QVERIFY(!QFile::exists(db.path()));
    }

    void addStoresTheNameWithoutItsBlanks()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        Windows::show<MainWindow>(testCatalogue());
        Manager m;
        m.open();
        dialogs.clear();

        const QByteArray before = db.bytes();
        press(m.add);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("请填写菜谱分类名称！")});
        QCOMPARE(dialogs.messages.first().title, QString());
        QCOMPARE(db.bytes(), before);
        dialogs.clear();

        // Blanks as a Chinese keyboard types them count as blanks: alone they
        // are no name, around a name no part of it.
        for (const QString &typed : {QStringLiteral("\u3000 "), QStringLiteral("凉菜\u3000"), QStringLiteral("\u00a0家常菜")}) {
            m.name->clear();
            typeText(m.name, typed);
            press(m.add);
        }
        QCOMPARE(dialogs.texts(), (QStringList{QStringLiteral("请填写菜谱分类名称！"), QStringLiteral("分类“凉菜”已经存在！"),
                                               QStringLiteral("分类“家常菜”已经存在！")}));
        dialogs.clear();
        m.name->clear();
        typeText(m.name, QStringLiteral(" 面点\u3000"));
        press(m.add);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(m.name->text().isEmpty());
        QCOMPARE(db.rows(QString::fromUtf8(Categories)),
                 (QStringList{QStringLiteral("家常菜"), QStringLiteral("凉菜"), QStringLiteral("家常菜  "),
                              QStringLiteral("面点")}));
        // The main window's tree and this list follow at once.
        // The new category, trimmed, is the tree's last before 未分类.
        const CatalogueModel *tree = Windows::loaded<MainWindow>()->treeModel();
        const int nodes = tree->rowCount(tree->rootIndex());
        QCOMPARE(tree->index(nodes - 2, 0, tree->rootIndex()).data().toString(), QStringLiteral("面点"));
        QCOMPARE(entries(m.list).last(), QStringLiteral("面点"));

        // The same name again, blanks aside, is refused and writes nothing.
        const QByteArray added = db.bytes();
        typeText(m.name, QStringLiteral("面点  "));
        press(m.add);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("分类“面点”已经存在！")});
        QCOMPARE(db.bytes(), added);
        QCOMPARE(m.name->text(), QStringLiteral("面点  "));

        dialogs.clear();
        m.name->clear();
        typeText(m.name, QStringLiteral("   "));
        press(m.add);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("请填写菜谱分类名称！")});
        QCOMPARE(db.rows(QString::fromUtf8(Categories)).last(), QStringLiteral("面点"));

        unloadEverything();
        m.open();
        QCOMPARE(m.list->count(), 4);
        QCOMPARE(m.list->item(3)->text(), QStringLiteral("面点"));
    }

    void deleteRemovesDishesAndFirstCategoryRow()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        Windows::show<MainWindow>(testCatalogue());
        QCOMPARE(mainCaption(), countCaption(5));
        Manager m;
        m.open();
        dialogs.clear();

        QVERIFY(clickEntry(m.list, QStringLiteral("家常菜  ")));
        QCOMPARE(testCatalogue().selectedCategory(), QStringLiteral("家常菜  "));
        dialogs.answers.enqueue(DialogService::Yes);
        press(m.remove);

        QCOMPARE(dialogs.texts(), (QStringList{askDelete(QStringLiteral("家常菜  ")),
                                               QStringLiteral("整个世界都清静了！")}));
        const ShownMessage &ask = dialogs.messages.first();
        QCOMPARE(ask.title, QStringLiteral("：：删除分类：："));
        QCOMPARE(ask.buttons, DialogService::YesNo);
        QCOMPARE(ask.defaultButton, DialogService::No);
        QCOMPARE(ask.icon, DialogService::Stop);
        QCOMPARE(dialogs.messages.at(1).title, QString());
        QCOMPARE(dialogs.messages.at(1).icon, DialogService::NoIcon);

        // Every dish of the trimmed name went, blanks or not; only the first
        // matching category row went.
        QCOMPARE(db.rows(QString::fromUtf8(Dishes)),
                 (QStringList{QStringLiteral("凉菜|拍黄瓜"), QStringLiteral("家常|家常豆腐")}));
        QCOMPARE(db.rows(QString::fromUtf8(Categories)),
                 (QStringList{QStringLiteral("凉菜"), QStringLiteral("家常菜  ")}));
        QVERIFY(testCatalogue().selectedCategory().isEmpty());
        QCOMPARE(mainCaption(), countCaption(2));
        // The list follows the table; nothing stays highlighted.
        QCOMPARE(entries(m.list), (QStringList{QStringLiteral("凉菜"), QStringLiteral("家常菜  ")}));
        QVERIFY(m.list->selectedItems().isEmpty());
    }

    // A safety copy is made before a delete (begun while the question is
    // read, of the file as it is when the answer comes; a No leaves none);
    // when none can be made the cook is asked, and No changes nothing.
    void deleteMakesASafetyCopyFirst()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        Manager m;
        m.open();
        QVERIFY(clickEntry(m.list, QStringLiteral("凉菜")));
        dialogs.answers.enqueue(DialogService::No);
        press(m.remove);
        QCOMPARE(QDir(db.dir() + QStringLiteral("备份")).entryList(QDir::Files | QDir::Hidden), QStringList());
        dialogs.answers.enqueue(DialogService::Yes);
        dialogs.whileAsking = [&] {
            // Once the copy begun with the question is written whole.
            const QDir folder(db.dir() + QStringLiteral("备份"));
            QTRY_VERIFY(!folder.entryList({QStringLiteral("*.part")}, QDir::Files).isEmpty());
            const QString part = folder.filePath(folder.entryList({QStringLiteral("*.part")}, QDir::Files).first());
            QTRY_COMPARE(QFileInfo(part).size(), QFileInfo(db.path()).size());
            db.exec(QStringLiteral("INSERT INTO \"01\"(category, \"名称\") VALUES ('凉菜', '刚添的菜')"));
        };
        press(m.remove);
        dialogs.whileAsking = nullptr;
        const QStringList copies = QDir(db.dir() + QStringLiteral("备份")).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(copies.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^cate-\\d{8}-\\d{6}-删除分类\\.mdb$")).match(copies.first()).hasMatch());
        // The copy holds the category the delete then took away, with the
        // dish added while the question was open.
        OtherProgram copy(db.dir() + QStringLiteral("备份/") + copies.first(), SQLITE_OPEN_READONLY);
        const QStringList counts = copy.rows(QStringLiteral("SELECT (SELECT count(*) FROM \"02\" WHERE category = '凉菜'),"
                                                            " (SELECT count(*) FROM \"01\" WHERE \"名称\" = '刚添的菜')"));
        QCOMPARE(counts.size(), 1);
        const int kept = counts.first().section(QLatin1Char('|'), 0, 0).toInt();
        const int added = counts.first().section(QLatin1Char('|'), 1, 1).toInt();
        QCOMPARE(kept, 1);
        QCOMPARE(added, 1);
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"02\" WHERE category = '凉菜'")), QStringLiteral("0"));

        // A file where the folder should be: no copy, the cook says No.
        QVERIFY(QDir(db.dir() + QStringLiteral("备份")).removeRecursively());
        QFile blocker(db.dir() + QStringLiteral("备份"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(clickEntry(m.list, QStringLiteral("家常菜")));
        const QByteArray before = db.bytes();
        dialogs.clear();
        dialogs.answers.enqueue(DialogService::Yes);
        dialogs.answers.enqueue(DialogService::No);
        press(m.remove);
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(dialogs.messages.at(1).text.startsWith(QStringLiteral("无法创建备份：")));
        QVERIFY(dialogs.messages.at(1).text.endsWith(QStringLiteral("仍要继续吗？")));
        QCOMPARE(dialogs.messages.at(1).defaultButton, DialogService::No);
        QCOMPARE(db.bytes(), before);

        // The copy begun cannot be put in place (its name is taken while the
        // question is open): nothing goes with it; a copy is made anew, then
        // the delete.
        QVERIFY(QFile::remove(db.dir() + QStringLiteral("备份")));
        dialogs.clear();
        dialogs.answers.enqueue(DialogService::Yes);
        const QDir folder(db.dir() + QStringLiteral("备份"));
        QString taken;
        dialogs.whileAsking = [&] {
            QTRY_VERIFY(!folder.entryList({QStringLiteral("*.part")}, QDir::Files).isEmpty());
            taken = folder.entryList({QStringLiteral("*.part")}, QDir::Files).first().chopped(5);
            QFile blocker(folder.filePath(taken));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.write("not a copy");
        };
        press(m.remove);
        dialogs.whileAsking = nullptr;
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages.at(1).text, QStringLiteral("整个世界都清静了！"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"01\" WHERE \"名称\" = '红烧肉'")), QStringLiteral("0"));
        QFile blocked(folder.filePath(taken));
        QVERIFY(blocked.open(QIODevice::ReadOnly));
        QCOMPARE(blocked.readAll(), QByteArray("not a copy"));
        const QStringList made = folder.entryList({QStringLiteral("*.mdb")}, QDir::Files);
        QCOMPARE(made.size(), 2);
        const QString anew = folder.filePath(made.at(made.at(0) == taken ? 1 : 0));
        QVERIFY(anew.endsWith(QStringLiteral("-删除分类.mdb")));
        const int inCopy = OtherProgram(anew, SQLITE_OPEN_READONLY)
                               .scalar(QStringLiteral("SELECT count(*) FROM \"01\" WHERE \"名称\" = '红烧肉'"))
                               .toInt();
        QCOMPARE(inCopy, 1);
    }

    void deletingAgainFindsNothing()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        Windows::show<MainWindow>(testCatalogue());
        Manager m;
        m.open();
        QVERIFY(clickEntry(m.list, QStringLiteral("凉菜")));
        dialogs.answers.enqueue(DialogService::Yes);
        press(m.remove);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("整个世界都清静了！"));
        QCOMPARE(mainCaption(), countCaption(4));

        QVERIFY(!entries(m.list).contains(QStringLiteral("凉菜")));

        // Picked while another program deleted it: nothing left to delete.
        dialogs.clear();
        testCatalogue().setSelectedCategory(QStringLiteral("凉菜"));
        const QByteArray before = db.bytes();
        dialogs.answers.enqueue(DialogService::Yes);
        press(m.remove);
        QCOMPARE(dialogs.texts(), QStringList{askDelete(QStringLiteral("凉菜"))});
        QCOMPARE(db.bytes(), before);
        QVERIFY(testCatalogue().selectedCategory().isEmpty());
        QCOMPARE(mainCaption(), countCaption(4));
    }

    void deleteWithNoDishesStillRemovesCategory()
    {
        TestDb db(QStringLiteral("INSERT INTO \"02\"(category) VALUES ('汤'), ('粥');"));
        ScriptedDialogs dialogs;
        Manager m;
        m.open();
        QVERIFY(clickEntry(m.list, QStringLiteral("粥")));
        dialogs.answers.enqueue(DialogService::Yes);
        press(m.remove);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("整个世界都清静了！"));
        QCOMPARE(db.rows(QString::fromUtf8(Categories)), QStringList{QStringLiteral("汤")});
    }

    void deleteRefusals()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        Manager m;
        m.open();
        const QByteArray before = db.bytes();

        press(m.remove);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("请先选择分类")});

        QVERIFY(clickEntry(m.list, QStringLiteral("家常菜")));
        dialogs.clear();
        dialogs.answers.enqueue(DialogService::No);
        press(m.remove);
        press(m.remove);   // closing the box answers No as well
        QCOMPARE(dialogs.texts(), (QStringList{askDelete(QStringLiteral("家常菜")), askDelete(QStringLiteral("家常菜"))}));
        QCOMPARE(testCatalogue().selectedCategory(), QStringLiteral("家常菜"));
        QCOMPARE(db.bytes(), before);
    }

    void interruptedDeleteChangesNothing()
    {
        TestDb db(QString::fromUtf8(Seed));
        // The category row refuses to go after the dishes are already deleted.
        db.exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON \"02\" BEGIN SELECT RAISE(ABORT, 'kept'); END;"));
        const QStringList dishesBefore = db.rows(QString::fromUtf8(Dishes));
        ScriptedDialogs dialogs;
        Windows::show<MainWindow>(testCatalogue());
        Manager m;
        m.open();
        QVERIFY(clickEntry(m.list, QStringLiteral("家常菜")));
        dialogs.clear();
        dialogs.answers.enqueue(DialogService::Yes);
        press(m.remove);

        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY2(dialogs.messages.at(1).text.startsWith(QStringLiteral("删除分类失败：")),
                 qPrintable(dialogs.messages.at(1).text));
        QCOMPARE(db.rows(QString::fromUtf8(Dishes)), dishesBefore);
        QCOMPARE(db.rows(QString::fromUtf8(Categories)).size(), 3);
        QCOMPARE(testCatalogue().selectedCategory(), QStringLiteral("家常菜"));
        QCOMPARE(mainCaption(), countCaption(5));
    }

    void lockedStoreChangesNothing()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        Manager m;
        m.open();
        QVERIFY(clickEntry(m.list, QStringLiteral("凉菜")));
        typeText(m.name, QStringLiteral("面点"));
        const QByteArray before = db.bytes();
        {
            ExclusiveLock lock(db.path());
            QVERIFY(lock.ok());
            dialogs.answers.enqueue(DialogService::Yes);
            press(m.remove);
            press(m.add);
        }
        QCOMPARE(dialogs.texts(), (QStringList{askDelete(QStringLiteral("凉菜")),
                                               QStringLiteral("删除分类失败：") + storeText(StoreError::Busy),
                                               QStringLiteral("新增分类失败：") + storeText(StoreError::Busy)}));
        QCOMPARE(db.bytes(), before);
        QCOMPARE(testCatalogue().selectedCategory(), QStringLiteral("凉菜"));
        QCOMPARE(m.name->text(), QStringLiteral("面点"));
    }

    void addedWhenSummaryCannotBeWritten()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        Windows::show<MainWindow>(testCatalogue());
        QFile::remove(testCatalogue().summaryPath());
        QVERIFY(QDir().mkpath(testCatalogue().summaryPath()));
        Manager m;
        m.open();
        dialogs.clear();
        typeText(m.name, QStringLiteral("面点"));
        press(m.add);
        // temp.txt is a side summary: the tree follows all the same, silently.
        QCOMPARE(dialogs.messages.size(), 0);
        QCOMPARE(db.rows(QString::fromUtf8(Categories)).last(), QStringLiteral("面点"));
        CatalogueModel *model = Windows::loaded<MainWindow>()->treeModel();
        const QModelIndex root = model->rootIndex();
        // The new category is the last one; the seed's dish of no listed
        // category stands after it, under 未分类.
        const int nodes = model->rowCount(root);
        QCOMPARE(model->index(nodes - 2, 0, root).data().toString(), QStringLiteral("面点"));
        QCOMPARE(model->index(nodes - 1, 0, root).data().toString(), QStringLiteral("未分类"));
    }

    // The restore window lists the copies, newest first, and puts the chosen
    // one back after a question and a copy of the file as it was.
    void restoreWindowPutsACopyBack()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        MainWindow *main = Windows::show<MainWindow>(testCatalogue());
        const QString before = db.scalar(QStringLiteral("SELECT count(*) FROM \"01\""));
        QVERIFY(Backup::makeCopy(db.path(), Backup::Reason::DishDeletion, QDateTime(QDate(2026, 12, 8), QTime(9, 0))).ok());
        db.exec(QStringLiteral("DELETE FROM \"01\""));
        auto *w = Windows::show<RestoreWindow>(testCatalogue());
        QCOMPARE(w->copies()->item(0)->text(),
                 QStringLiteral("2026-12-08 09:00:00  删除菜谱前  %1 道美食，3 个分类").arg(before));
        w->copies()->setCurrentRow(0);
        dialogs.answers.enqueue(DialogService::Yes);
        press(w->restoreButton());
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("用 2026-12-08 09:00:00 的备份替换现在的菜谱吗？\r\n现在的菜谱会先另存一份备份。")});
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"01\"")), before);
        QVERIFY(main->windowTitle().contains(before));
        QCOMPARE(w->copies()->count(), 2);
        QVERIFY(w->copies()->item(0)->text().contains(QStringLiteral("恢复前  0 道美食")));
        Windows::unload<RestoreWindow>();
    }
};

QTEST_MAIN(TestCategoryWindow)
#include "tst_categorywindow.moc"
