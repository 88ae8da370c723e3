// From the catalogue to the table, as the cook goes: what is at hand, the
// missing put on the shopping list, a week arranged, its list made and
// copied; against a real cate.mdb, through the real windows.
#include "table/pantrywindow.h"
#include "table/shoppingwindow.h"
#include "table/weekwindow.h"

#include "core/registry.h"
#include "skin/imagecontrol.h"
#include "store/backup.h"
#include "support/scripteddialogs.h"
#include "support/testdb.h"
#include "support/widgetsteps.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

using namespace zx;

namespace {
QString dish(const char *category, const char *name, const char *ingredients)
{
    return QStringLiteral("INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture) VALUES ('%1', '%2', '%3', '炒', '');")
        .arg(QString::fromUtf8(category), QString::fromUtf8(name), QString::fromUtf8(ingredients));
}

void press(QWidget *window, const char *button)
{
    auto *b = window->findChild<ImageControl *>(QString::fromUtf8(button));
    QVERIFY2(b, button);
    b->press();
}
} // namespace

class TestTableJourney : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { unloadAllWindows(); }

    void pantryWeekAndList()
    {
        ScriptedDialogs dialogs;
        TestDb db(QStringLiteral("INSERT INTO \"02\"(category) VALUES ('家常菜'), ('汤');")
                  + dish("家常菜", "番茄炒蛋", "番茄 2个\r\n鸡蛋 3个\r\n盐 适量\r\n葱 1根")
                  + dish("家常菜", "番茄牛腩", "西红柿 1个\r\n牛腩 500克\r\n姜 3片")
                  + dish("汤", "紫菜蛋花汤", "紫菜 10克\r\n鸡蛋 1个\r\n虾皮 少许")
                  + dish("下饭", "红烧肉", "五花肉 1斤\r\n冰糖 30克\r\n生抽 2勺\r\n五花肉 200克"));
        QVERIFY(db.catalogue().refresh().ok());
        const QString planTables = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name LIKE 'plan%'");

        // 我有什么: opened and read, nothing is written.
        PantryWindow *pantry = Windows::show<PantryWindow>(db.catalogue());
        QTRY_VERIFY(pantry->indexReady());
        QCOMPARE(pantry->hint()->text(), QStringLiteral("请先写下您有的食材。"));
        QCOMPARE(db.scalar(planTables), QStringLiteral("0"));
        typeText(pantry->haveBox(), QStringLiteral("番茄、鸡蛋"));
        QCOMPARE(entries(pantry->results()),
                 QStringList({"番茄炒蛋 — 全都有", "番茄牛腩 — 缺：牛腩", "紫菜蛋花汤 — 缺：紫菜、虾皮"}));
        QVERIFY(clickEntry(pantry->results(), QStringLiteral("番茄牛腩 — 缺：牛腩")));
        press(pantry, "missingToList");

        // Only what is missing: 番茄 is at hand, 姜 a staple.
        ShoppingWindow *list = Windows::show<ShoppingWindow>(db.catalogue());
        QCOMPARE(list->listText(), QStringLiteral("购物清单（1 道菜）\n【肉禽】\n牛腩 500克（番茄牛腩）\n"));

        // A week of two dishes a place from four dishes: it says so.
        WeekWindow *week = Windows::show<WeekWindow>(db.catalogue());
        press(week, "autoArrange");
        QCOMPARE(dialogs.texts(), QStringList{"可选的菜只有 4 道，排不满一周。"});
        QCOMPARE(week->plan().dishCount(), 4);
        press(week, "copyWeek");
        const QStringList weekLines = QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(weekLines.size(), 14);
        QVERIFY(weekLines.first().startsWith(QStringLiteral("周一 午饭：")));
        QCOMPARE(weekLines.last(), QStringLiteral("周日 晚饭：（空）"));
        press(week, "makeList");

        // The list: every dish of the week, the same ingredient once.
        const QStringList lines = list->listText().split(u'\n');
        QCOMPARE(lines.first(), QStringLiteral("购物清单（4 道菜）"));
        QVERIFY(lines.contains(QStringLiteral("五花肉 700克（红烧肉）")));
        QVERIFY(lines.contains(QStringLiteral("牛腩 500克（番茄牛腩）")));
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^鸡蛋 4个（"))).size(), 1);
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^番茄 3个（"))).size(), 1);
        QVERIFY(lines.contains(QStringLiteral("盐 适量（番茄炒蛋）")));
        list->hideStaples()->setChecked(true);
        press(list, "copyList");
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(copied, list->listText());
        QVERIFY(!copied.contains(QStringLiteral("盐 适量")));
        QVERIFY(copied.contains(QStringLiteral("【干货调料】\n冰糖 30克（红烧肉）\n")));

        // In the file, beside "01" and "02", which are as they were.
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM plan_dishes WHERE list = 'shopping'")), "4");
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM plan_dishes WHERE list = 'week'")), "4");
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"01\"")), "4");

        // A safety copy carries the plans; bringing it back brings them back.
        const auto copy = Backup::makeCopy(db.path(), Backup::Reason::Edit, QDateTime::currentDateTime());
        QVERIFY(copy.ok());
        press(list, "clearList");
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM plan_dishes WHERE list = 'shopping'")), "0");
        unloadAllWindows();
        QVERIFY(Backup::restoreCopy(db.path(), *copy).ok());
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM plan_dishes WHERE list = 'shopping'")), "4");

        // A dish deleted meanwhile leaves the list, with a note.
        QVERIFY(db.catalogue().refresh().ok());
        const qint64 soup = db.scalar(QStringLiteral("SELECT id FROM \"01\" WHERE \"名称\" = '紫菜蛋花汤'")).toLongLong();
        QVERIFY(*db.catalogue().deleteDish(soup));
        dialogs.clear();
        list = Windows::show<ShoppingWindow>(db.catalogue());
        QCOMPARE(dialogs.texts(), QStringList{"“紫菜蛋花汤”已被删除，已从清单中去掉。"});
        QCOMPARE(list->dishList()->count(), 3);
        QVERIFY(list->listText().startsWith(QStringLiteral("购物清单（3 道菜）\n")));
    }
};

QTEST_MAIN(TestTableJourney)
#include "tst_tablejourney.moc"
