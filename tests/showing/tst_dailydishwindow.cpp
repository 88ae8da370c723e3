// The daily recipe window against a real cate.mdb in a temporary folder.
#include "showing/dailydishwindow.h"

#include "showing/recipeprint.h"
#include "core/registry.h"
#include "skin/richtextbox.h"
#include "skin/imagecontrol.h"
#include "skin/twips.h"
#include "support/printout.h"
#include "support/scripteddialogs.h"
#include "support/testdb.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <random>

using namespace zx;

namespace {

struct DayWindow {
    DailyDishWindow *w;
    DayWindow()
    {
        w = Windows::show<DailyDishWindow>(testCatalogue());
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    ~DayWindow()
    {
        Windows::unload<DailyDishWindow>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QLineEdit *name() const { return w->findChild<QLineEdit *>("Text1"); }
    RichTextBox *ingredients() const { return w->findChild<RichTextBox *>("boxx2"); }
    RichTextBox *method() const { return w->findChild<RichTextBox *>("Boxx3"); }
    void press(const char *name) const { QTest::mouseClick(w->findChild<ImageControl *>(name), Qt::LeftButton); }
    QString shown() const { return name()->text() + '|' + ingredients()->text() + '|' + method()->text(); }
};

// Draws that land on these places (from 0, in table order) of a table of
// `rows` dishes, in this order.
std::function<double()> drawsFor(QList<int> places, int rows, int *calls = nullptr)
{
    auto queue = std::make_shared<QList<int>>(std::move(places));
    auto index = std::make_shared<int>(0);
    return [queue, index, rows, calls] {
        if (calls)
            ++*calls;
        const int place = queue->at(*index % queue->size());
        ++*index;
        return (place + 0.5) / rows;
    };
}

// n dishes with ids 1..n: name "菜<id>", ingredients "料<id>" over two lines.
QString numberedDishes(int n)
{
    return QStringLiteral(
               "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < %1) "
               "INSERT INTO \"01\"(id, category, \"名称\", ingredients, method, picture) "
               "SELECT i, '家常菜', '菜' || i, '料' || i || char(13,10) || '盐', '做法' || i, '' FROM k;")
        .arg(n);
}

} // namespace

class TestDailyDishWindow : public QObject {
    Q_OBJECT
private slots:
    void opensEmptyWithItsLayout();
    void picksReachEveryDish();
    void everyIdCanBeDrawn();
    void nothingToPickKeepsTheShownDish();
    void unusableStore();
    void printNeedsAShownDish();
    void printComposesTheShownDishTrimmed();
};

void TestDailyDishWindow::opensEmptyWithItsLayout()
{
    ScriptedDialogs dialogs;
    TestDb db(numberedDishes(3));
    DayWindow d;
    QCOMPARE(d.w->objectName(), QStringLiteral("daycate"));
    QCOMPARE(d.w->windowTitle(), QStringLiteral("：：每日一菜：："));
    QCOMPARE(d.w->skin(), FramedWindow::Skin::CloseOnly);
    QCOMPARE(d.w->size(), Twips::size(8175, 5520));
    QVERIFY(dialogs.messages.isEmpty());
    // No dish at load, and no design text in the boxes.
    QCOMPARE(d.shown(), QStringLiteral("||"));
    QCOMPARE(d.name()->geometry(), Twips::rect(240, 400, 7695, 375));
    QCOMPARE(d.ingredients()->geometry(), Twips::rect(240, 885, 7695, 1095));
    QCOMPARE(d.method()->geometry(), Twips::rect(240, 2085, 7695, 2415));
    QCOMPARE(d.w->findChild<ImageControl *>("Image1")->geometry(), Twips::rect(2520, 4560, 1410, 480));
    QCOMPARE(d.w->findChild<ImageControl *>("Image2")->geometry(), Twips::rect(4200, 4560, 1410, 480));
    QCOMPARE(d.name()->font().pointSize(), 12);
    // The cook reads the dish but cannot change it.
    QVERIFY(d.ingredients()->isReadOnly() && d.method()->isReadOnly());
}

void TestDailyDishWindow::picksReachEveryDish()
{
    ScriptedDialogs dialogs;
    TestDb db(numberedDishes(1800));
    DayWindow d;
    auto engine = std::make_shared<std::mt19937>(20040122u);
    d.w->setDraw([engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); });

    QSet<int> seen;
    for (int i = 0; i < 300; ++i) {
        d.press("Image1");
        const QString name = d.name()->text();
        QVERIFY(name.startsWith(QStringLiteral("菜")));
        const int id = name.mid(1).toInt();
        QVERIFY2(id >= 1 && id <= 1800, qPrintable(name));
        QCOMPARE(d.ingredients()->text(), QStringLiteral("料%1\r\n盐").arg(id));
        QCOMPARE(d.method()->text(), QStringLiteral("做法%1").arg(id));
        seen.insert(id);
    }
    // The print is of the dish the boxes show.
    const QStringList printed = printedLines(printOut(dialogs, [&d] { d.press("Image2"); }));
    QVERIFY(printed.contains(QStringLiteral("菜 名: ") + d.name()->text()));
    QCOMPARE(printed.mid(printed.indexOf(QStringLiteral("配 料:")) + 1, 2), d.ingredients()->toPlainText().split('\n'));
    QCOMPARE(printed.mid(printed.indexOf(QStringLiteral("制作方法:")) + 1, 1), QStringList{d.method()->toPlainText()});
    QVERIFY(seen.size() > 200);
    QVERIFY(dialogs.messages.isEmpty());

    // The ends of the draw: 0 gives the first dish, just under 1 the last.
    d.w->setDraw([] { return 0.0; });
    d.press("Image1");
    QCOMPARE(d.name()->text(), QStringLiteral("菜1"));
    d.w->setDraw([] { return std::nextafter(1.0, 0.0); });
    d.press("Image1");
    QCOMPARE(d.name()->text(), QStringLiteral("菜1800"));
}

// Ids with gaps, and ids past 1700 (dishes an import added): each dish
// is one place of the draw, whatever its id.
void TestDailyDishWindow::everyIdCanBeDrawn()
{
    ScriptedDialogs dialogs;
    TestDb db("INSERT INTO \"01\"(id, category, \"名称\", ingredients, method, picture) VALUES "
              "(5, 'a', '五号菜', '料5', '法5', ''), (900, 'a', '九百号菜', '料900', '法900', ''), "
              "(1701, 'a', '导入的菜', '料', '法', '');");
    DayWindow d;
    int calls = 0;
    d.w->setDraw(drawsFor({2, 1, 0}, 3, &calls));
    QStringList shown;
    for (int i = 0; i < 3; ++i) {
        d.press("Image1");
        shown << d.shown();
    }
    QCOMPARE(shown, QStringList({"导入的菜|料|法", "九百号菜|料900|法900", "五号菜|料5|法5"}));
    QCOMPARE(calls, 3);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestDailyDishWindow::nothingToPickKeepsTheShownDish()
{
    ScriptedDialogs dialogs;
    TestDb db("INSERT INTO \"01\"(id, category, \"名称\", ingredients, method, picture) VALUES "
              "(5, 'a', '五号菜', '料5', '法5', '');");
    DayWindow d;
    d.w->setDraw(drawsFor({0}, 1));
    d.press("Image1");
    QCOMPARE(d.shown(), QStringLiteral("五号菜|料5|法5"));

    // An empty table: said, and the boxes keep the dish they show...
    db.exec("DELETE FROM \"01\"");
    d.press("Image1");
    QCOMPARE(dialogs.texts(), QStringList({"没有找到可以推荐的菜谱。"}));
    QCOMPARE(d.shown(), QStringLiteral("五号菜|料5|法5"));
    // ... and print what they say, a name the cook typed too.
    d.name()->setText(QStringLiteral(" 五号菜（改） "));
    const QStringList printed = printedLines(printOut(dialogs, [&d] { d.press("Image2"); }));
    QVERIFY(printed.contains(QStringLiteral("菜 名: 五号菜（改）")));
    QCOMPARE(printed.mid(printed.indexOf(QStringLiteral("配 料:")) + 1, 1), QStringList{"料5"});
    // An empty name box prints nothing.
    const int printerDialogs = dialogs.printerDialogs;
    d.name()->clear();
    d.press("Image2");
    QCOMPARE(dialogs.printerDialogs, printerDialogs);
}

void TestDailyDishWindow::unusableStore()
{
    ScriptedDialogs dialogs;
    TestDb db(numberedDishes(2));
    QVERIFY(QFile::remove(db.path()));
    DayWindow d;
    QCOMPARE(dialogs.messages.size(), 1);
    const QString loadMessage = dialogs.messages[0].text;
    QVERIFY(!loadMessage.isEmpty());

    d.w->setDraw(drawsFor({0}, 2));
    d.press("Image1");
    QCOMPARE(dialogs.texts(), QStringList({loadMessage, loadMessage}));
    QCOMPARE(d.shown(), QStringLiteral("||"));
    QVERIFY(!QFile::exists(db.path()));

    // The file comes back: the next pick works in the same window.
    TestDb again(numberedDishes(2));
    QVERIFY(QFile::copy(again.path(), db.path()));
    d.press("Image1");
    QCOMPARE(d.name()->text(), QStringLiteral("菜1"));
}

void TestDailyDishWindow::printNeedsAShownDish()
{
    ScriptedDialogs dialogs;
    TestDb db("INSERT INTO \"01\"(id, category, \"名称\", ingredients, method, picture) VALUES "
              "(1, 'a', '白米饭', '米', '', ''), (2, 'a', '白粥', '米', '熬', '');");
    DayWindow d;
    d.press("Image2");
    QCOMPARE(dialogs.printerDialogs, 0);

    // A dish with no method cannot be printed either.
    d.w->setDraw(drawsFor({0}, 2));
    d.press("Image1");
    QCOMPARE(d.name()->text(), QStringLiteral("白米饭"));
    d.press("Image2");
    QCOMPARE(dialogs.printerDialogs, 0);

    // With a whole dish the printer dialog opens once; cancelled, nothing else happens.
    d.w->setDraw(drawsFor({1}, 2));
    d.press("Image1");
    dialogs.printerAnswers.enqueue(false);
    d.press("Image2");
    QCOMPARE(dialogs.printerDialogs, 1);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestDailyDishWindow::printComposesTheShownDishTrimmed()
{
    ScriptedDialogs dialogs;
    TestDb db("INSERT INTO \"01\"(id, category, \"名称\", ingredients, method, picture) VALUES "
              "(7, 'a', '  糖醋排骨 ', ' 排骨 500克' || char(13,10) || '白糖  ', '  焯水' || char(13,10) || '收汁 ', '');");
    DayWindow d;
    d.w->setDraw(drawsFor({0}, 1));
    d.press("Image1");
    QCOMPARE(d.name()->text(), QStringLiteral("  糖醋排骨 "));

    // What lands on paper is the composed page of the trimmed texts, with
    // the dish's category: read back, it matches that page printed
    // directly, blank for blank.
    const QString printed = printOut(dialogs, [&d] { d.press("Image2"); });
    QCOMPARE(dialogs.printerDialogs, 1);
    const QString composed = printOut(dialogs, [] {
        printRecipe(PrintedDish{QStringLiteral("糖醋排骨"), QString(), QStringLiteral("a"),
                                QStringLiteral("排骨 500克\r\n白糖"), QStringLiteral("焯水\r\n收汁"), QString()});
    });
    QVERIFY(!printed.isEmpty());
    QCOMPARE(printed, composed);
    const QStringList lines = printedLines(printed);
    QVERIFY(lines.contains(QStringLiteral("菜 名: 糖醋排骨")));
    QCOMPARE(lines.mid(lines.indexOf(QStringLiteral("配 料:")) + 1, 2), (QStringList{"排骨 500克", "白糖"}));
    QCOMPARE(lines.mid(lines.indexOf(QStringLiteral("制作方法:")) + 1, 2), (QStringList{"焯水", "收汁"}));
}

QTEST_MAIN(TestDailyDishWindow)
#include "tst_dailydishwindow.moc"
