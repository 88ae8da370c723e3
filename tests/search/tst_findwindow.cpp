// The search-and-modify window against a real cate.mdb in a temporary folder.
#include "search/findwindow.h"
#include "support/otherprogram.h"

#include "core/appinfo.h"
#include "core/registry.h"
#include "skin/imagecontrol.h"
#include "skin/twips.h"
#include "store/recipestore.h"
#include "support/scripteddialogs.h"
#include "support/testdb.h"
#include "support/widgetsteps.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <sqlite3.h>

using namespace zx;

namespace {

// The window as the cook has it: loaded through the registry and shown.
struct FindFixture {
    FindWindow *w;
    FindFixture()
    {
        w = Windows::show<FindWindow>(testCatalogue());
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    ~FindFixture()
    {
        Windows::unload<FindWindow>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QLineEdit *name() const { return w->findChild<QLineEdit *>("Text1"); }
    QLineEdit *picturePath() const { return w->findChild<QLineEdit *>("Text2"); }
    QTextEdit *ingredients() const { return w->findChild<QTextEdit *>("Text3"); }
    QTextEdit *method() const { return w->findChild<QTextEdit *>("Text4"); }
    QListWidget *found() const { return w->findChild<QListWidget *>("List1"); }
    ImageControl *picture() const { return w->findChild<ImageControl *>("Image8"); }
    ImageControl *button(const char *name) const { return w->findChild<ImageControl *>(name); }

    void press(const char *name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    void searchFor(const QString &text) const
    {
        name()->setText(text);
        press("Image1");
    }
    QStringList listed() const
    {
        return entries(found());
    }
    QList<qint64> listedIds() const
    {
        QList<qint64> ids;
        for (int i = 0; i < found()->count(); ++i)
            ids << found()->item(i)->data(Qt::UserRole).toLongLong();
        return ids;
    }
    void clickRow(int row) const
    {
        QListWidgetItem *item = found()->item(row);
        QVERIFY(item);
        QTest::mouseClick(found()->viewport(), Qt::LeftButton, {}, found()->visualItemRect(item).center());
        QCOMPARE(found()->currentRow(), row);
    }
};

bool findLoaded() { return Windows::loaded<FindWindow>() != nullptr; }

QString dishSql(const QString &category, const QString &name, const QString &ingredients = QStringLiteral("料"),
                const QString &method = QStringLiteral("做法"), const QString &picture = QString())
{
    auto q = [](QString s) { return QLatin1Char('\'') + s.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); };
    return QStringLiteral("INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture) VALUES (%1,%2,%3,%4,%5);")
        .arg(q(category), q(name), q(ingredients), q(method), q(picture));
}

QString savePng(const QString &path, const QColor &colour)
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(colour);
    image.save(path, "PNG");
    return path;
}

} // namespace

class TestFindWindow : public QObject {
    Q_OBJECT
private slots:
    void layoutAndCaptions();
    void searchListsEveryMatchInTableOrder();
    void emptySearchTextRunsNoSearch();
    void patternCharactersKeepTheirMeaning_data();
    void patternCharactersKeepTheirMeaning();
    void pinyinFindsAsACookTypes_data();
    void pinyinFindsAsACookTypes();
    void quotesAndInvalidPatterns();
    void clickShowsExactlyTheClickedRow();
    void equalNamesInTwoCategoriesAreEachEditable();
    void previewFollowsThePicturePath();
    void storeRewritesOneRowTrimmed();
    void storeRefusals();
    void storeFaultsKeepTheWindow();
    void focusAloneShowsNoDish();
    void changeMadeElsewhereIsNeverOverwritten();
    void onlyTheCooksOwnEditsAsk();
    void longNamesKeepTheQuestionOnScreen();
    void savedWhenSummaryCannotBeWritten();
    void resetKeepsIngredientsAndMethod();
    void pictureChooser();
    void missingStoreAtLoad();
    void searchByIngredientsAndMethod();
    void treeNamesFindWhatTheFileFinds();
    void tagWordsFindByTag_data();
    void tagWordsFindByTag();
};

void TestFindWindow::layoutAndCaptions()
{
    ScriptedDialogs dialogs;
    TestDb db;
    FindFixture f;
    QCOMPARE(f.w->objectName(), QStringLiteral("find"));
    QCOMPARE(f.w->windowTitle(), QStringLiteral("：：查询/修改食谱：："));
    QCOMPARE(f.w->size(), Twips::size(8820, 7170));
    QVERIFY(dialogs.messages.isEmpty());

    const QStringList captions = {"菜肴名称：", "原   料：", "找到的食谱：", "制作方法：", "菜谱图片预览："};
    const QPoint places[5] = {Twips::point(360, 840), Twips::point(2640, 1320), Twips::point(360, 1320),
                              Twips::point(2640, 2880), Twips::point(240, 5760)};
    for (int i = 0; i < 5; ++i) {
        auto *label = f.w->findChild<QLabel *>(QStringLiteral("Label1_%1").arg(i));
        QVERIFY(label);
        QCOMPARE(label->text(), captions[i]);
        QCOMPARE(label->pos(), places[i]);
        QVERIFY(label->isVisible());
    }
    QCOMPARE(f.name()->geometry(), Twips::rect(1440, 720, 3975, 390));
    QCOMPARE(f.found()->geometry(), Twips::rect(240, 1560, 2295, 2550));
    QCOMPARE(f.ingredients()->geometry(), Twips::rect(2640, 1560, 5775, 1215));
    QCOMPARE(f.method()->geometry(), Twips::rect(2640, 3120, 5775, 2415));
    QCOMPARE(f.picture()->parentWidget()->geometry(), Twips::rect(240, 4200, 2295, 1455));
    QCOMPARE(f.button("Image1")->geometry(), Twips::rect(5520, 720, 1410, 480));
    QCOMPARE(f.button("Image2")->geometry(), Twips::rect(3240, 5640, 1410, 480));
    QCOMPARE(f.button("Image3")->geometry(), Twips::rect(4800, 5640, 1410, 480));
    QCOMPARE(f.button("Image4")->geometry(), Twips::rect(6240, 5640, 1410, 480));
    for (const char *name : {"Image1", "Image2", "Image3", "Image4"})
        QCOMPARE(f.button(name)->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(f.found()->viewport()->cursor().shape(), Qt::PointingHandCursor);
    // Everything starts empty.
    QVERIFY(f.name()->text().isEmpty() && f.picturePath()->text().isEmpty());
    QVERIFY(f.ingredients()->toPlainText().isEmpty() && f.method()->toPlainText().isEmpty());
    QCOMPARE(f.found()->count(), 0);
    QVERIFY(!f.picture()->hasPicture());
}

void TestFindWindow::searchListsEveryMatchInTableOrder()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("家常菜", "红烧肉") + dishSql("海鲜", "清蒸鱼") + dishSql("家常菜", "红烧排骨")
              + dishSql("湘菜", "红烧肉") + dishSql("海鲜", "糖醋红烧鱼") + dishSql("西餐", "Beef Steak"));
    FindFixture f;
    f.ingredients()->setPlainText("旧的原料");
    f.method()->setPlainText("旧的做法");

    f.searchFor("红烧");
    // Dishes of one name say their category, and of one category too the
    // first line of their ingredients.
    QCOMPARE(f.listed(), QStringList({"红烧肉 — 家常菜", "红烧排骨", "红烧肉 — 湘菜", "糖醋红烧鱼"}));
    QCOMPARE(f.listedIds(), QList<qint64>({1, 3, 4, 5}));
    // The whole entry is its tooltip, where the list cuts a long one short.
    for (int i = 0; i < f.found()->count(); ++i)
        QCOMPARE(f.found()->item(i)->toolTip(), f.found()->item(i)->text());

    // A second search replaces the list; the boxes are untouched.
    f.searchFor("鱼");
    QCOMPARE(f.listed(), QStringList({"清蒸鱼", "糖醋红烧鱼"}));
    QCOMPARE(f.ingredients()->toPlainText(), QStringLiteral("旧的原料"));
    QCOMPARE(f.method()->toPlainText(), QStringLiteral("旧的做法"));
    QCOMPARE(f.name()->text(), QStringLiteral("鱼"));

    // Latin letters match without regard to case.
    f.searchFor("beef");
    QCOMPARE(f.listed(), QStringList({"Beef Steak"}));

    // Nothing found: the list says so in one greyed line, no message.
    f.searchFor("佛跳墙");
    QCOMPARE(f.listed(), QStringList());
    QCOMPARE(f.found()->count(), 1);
    QVERIFY(!(f.found()->item(0)->flags() & Qt::ItemIsSelectable));

    // Blanks around the text, full-width ones too, are no part of it; a
    // text of blanks only searches nothing.
    f.searchFor("\u3000Steak ");
    QCOMPARE(f.listed(), QStringList({"Beef Steak"}));
    f.searchFor("\u3000 ");
    QCOMPARE(f.found()->count(), 0);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestFindWindow::emptySearchTextRunsNoSearch()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("家常菜", "红烧肉"));
    FindFixture f;
    f.searchFor("肉");
    QCOMPARE(f.found()->count(), 1);

    // With the store turned into a text file, any search would complain;
    // an empty text empties the list and asks the store nothing.
    QFile::remove(db.path());
    QFile junk(db.path());
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a database\n");
    junk.close();
    f.searchFor(QString());
    QCOMPARE(f.found()->count(), 0);
    QVERIFY(dialogs.messages.isEmpty());

    // ...while a real search does tell the cook the store is unusable.
    f.searchFor("肉");
    QCOMPARE(f.found()->count(), 0);
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, RecipeStore(db.path()).probe().error().userText());
}

void TestFindWindow::patternCharactersKeepTheirMeaning_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("? any one character") << "鱼?号" << QStringList({"鱼1号", "鱼a号", "鱼b号", "鱼d号", "鱼?号"});
    QTest::newRow("# one digit") << "鱼#号" << QStringList({"鱼1号"});
    QTest::newRow("[a-c] a range") << "鱼[a-c]号" << QStringList({"鱼a号", "鱼b号"});
    QTest::newRow("[?] a literal ?") << "鱼[?]号" << QStringList({"鱼?号"});
    QTest::newRow("* any run") << "鱼*汤" << QStringList({"鱼头豆腐汤"});
    // Full-width forms are characters of names, found by their own text.
    QTest::newRow("！ a character") << "吃！" << QStringList({"好吃！豆腐"});
    QTest::newRow("［新］ characters") << "［新］" << QStringList({"［新］红烧肉"});
    QTest::newRow("＃ a character") << "第＃1" << QStringList({"第＃1号汤"});
    QTest::newRow("＊ a character") << "＊辣" << QStringList({"特＊辣鸡"});
}

void TestFindWindow::patternCharactersKeepTheirMeaning()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    ScriptedDialogs dialogs;
    TestDb db(dishSql("a", "鱼1号") + dishSql("a", "鱼a号") + dishSql("a", "鱼b号") + dishSql("a", "鱼d号")
              + dishSql("a", "鱼?号") + dishSql("a", "鱼头豆腐汤") + dishSql("a", "好吃！豆腐")
              + dishSql("a", "［新］红烧肉") + dishSql("a", "第＃1号汤") + dishSql("a", "特＊辣鸡"));
    FindFixture f;
    f.searchFor(text);
    QCOMPARE(f.listed(), expected);
    QVERIFY(dialogs.messages.isEmpty());
}

// Pinyin as a cook types it, against names with polyphones, Latin letters
// and an emoji; traditional characters find simplified names.
void TestFindWindow::pinyinFindsAsACookTypes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    const QStringList hongshao{"红烧肉", "红烧排骨"};
    QTest::newRow("initials") << "hsr" << QStringList{"红烧肉"};
    QTest::newRow("full syllables, either case") << "HongShaoRou" << QStringList{"红烧肉"};
    QTest::newRow("half-typed last syllable") << "hongshaor" << hongshao.mid(0, 1);
    QTest::newRow("from a later syllable") << "shaopaig" << QStringList{"红烧排骨"};
    QTest::newRow("initials then a character") << "hs肉" << QStringList{"红烧肉"};
    QTest::newRow("a character then initials") << "红s" << hongshao;
    QTest::newRow("chang of 长寿") << "csm" << QStringList{"长寿面"};
    QTest::newRow("zhang of 长") << "zsm" << QStringList{"长寿面"};
    QTest::newRow("zh as an initial, chong of 重") << "zhqxm" << QStringList{"重庆小面"};
    QTest::newRow("chong") << "chongqing" << QStringList{"重庆小面"};
    QTest::newRow("either reading of 地") << "desx" << QStringList{"地三鲜"};
    QTest::newRow("traditional characters") << "紅燒肉" << QStringList{"红烧肉"};
    QTest::newRow("traditional and pinyin") << "燒pg" << QStringList{"红烧排骨"};
    QTest::newRow("Latin letters then pinyin") << "apple's sl" << QStringList{"Apple's 沙拉"};
    QTest::newRow("an emoji is left out") << "nrm" << QStringList{"🍜牛肉面"};
    QTest::newRow("digits") << "3hc" << QStringList{"3号菜"};
    QTest::newRow("not inside a syllable") << "aor" << QStringList();
    QTest::newRow("not a wrong initial") << "hsy" << QStringList();
    QTest::newRow("a wildcard: a pattern only") << "h*r" << QStringList();
    QTest::newRow("no letter: characters only") << "红烧" << hongshao;
}

void TestFindWindow::pinyinFindsAsACookTypes()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    ScriptedDialogs dialogs;
    TestDb db(dishSql("a", "红烧肉") + dishSql("a", "长寿面") + dishSql("a", "重庆小面") + dishSql("a", "地三鲜")
              + dishSql("a", "红烧排骨") + dishSql("a", "Apple's 沙拉") + dishSql("a", "🍜牛肉面")
              + dishSql("a", "3号菜") + dishSql("a", QString(10000, QChar(0x9762))));
    FindFixture f;
    f.searchFor(text);
    QCOMPARE(f.listed(), expected);
}

void TestFindWindow::quotesAndInvalidPatterns()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("a", "老王's 鸡") + dishSql("a", "O'Brien汤") + dishSql("a", "Robert'); DROP TABLE \"01\";--")
              + dishSql("a", "[特]价菜"));
    FindFixture f;

    f.searchFor("'");
    QCOMPARE(f.listed(), QStringList({"老王's 鸡", "O'Brien汤", "Robert'); DROP TABLE \"01\";--"}));
    f.searchFor("王'");
    QCOMPARE(f.listed(), QStringList({"老王's 鸡"}));
    f.searchFor("'); DROP TABLE \"01\";--");
    QCOMPARE(f.listed(), QStringList({"Robert'); DROP TABLE \"01\";--"}));
    QCOMPARE(db.scalar("SELECT count(*) FROM \"01\""), QStringLiteral("4"));

    // An unclosed '[' finds nothing and says nothing; the next search works.
    f.searchFor("[特");
    QCOMPARE(f.listed(), QStringList());
    QCOMPARE(f.found()->item(0)->text(), QStringLiteral("没有找到符合条件的菜谱。"));
    QVERIFY(dialogs.messages.isEmpty());
    f.searchFor("[[]特]");
    QCOMPARE(f.listed(), QStringList({"[特]价菜"}));
    QVERIFY(dialogs.messages.isEmpty());
}

void TestFindWindow::clickShowsExactlyTheClickedRow()
{
    ScriptedDialogs dialogs;
    // An earlier dish whose longer name contains the later dish's name.
    TestDb db(dishSql("川菜", "麻婆豆腐煲", "豆腐 1块\r\n牛肉末", "先炒肉末\r\n再下豆腐", "")
              + dishSql("川菜", "豆腐", "嫩豆腐", "切块\r\n焯水", "")
              + dishSql("川菜", "家常豆腐", "老豆腐", "煎", ""));
    FindFixture f;
    f.searchFor("豆腐");
    QCOMPARE(f.listed(), QStringList({"麻婆豆腐煲", "豆腐", "家常豆腐"}));

    f.clickRow(1);
    QCOMPARE(f.name()->text(), QStringLiteral("豆腐"));
    QCOMPARE(f.ingredients()->toPlainText(), QStringLiteral("嫩豆腐"));
    QCOMPARE(f.method()->toPlainText(), QStringLiteral("切块\n焯水"));

    f.clickRow(0);
    QCOMPARE(f.name()->text(), QStringLiteral("麻婆豆腐煲"));
    QCOMPARE(f.ingredients()->toPlainText(), QStringLiteral("豆腐 1块\n牛肉末"));
    QCOMPARE(f.method()->toPlainText(), QStringLiteral("先炒肉末\n再下豆腐"));

    // The arrow keys move through the list and show each dish.
    QTest::keyClick(f.found(), Qt::Key_Down);
    QCOMPARE(f.name()->text(), QStringLiteral("豆腐"));
    QTest::keyClick(f.found(), Qt::Key_Down);
    QCOMPARE(f.name()->text(), QStringLiteral("家常豆腐"));
    QCOMPARE(f.ingredients()->toPlainText(), QStringLiteral("老豆腐"));

    // A row deleted after the search: the texts go, name and picture stay.
    db.exec("DELETE FROM \"01\" WHERE id = 2");
    f.clickRow(1);
    QCOMPARE(f.name()->text(), QStringLiteral("家常豆腐"));
    QVERIFY(f.ingredients()->toPlainText().isEmpty());
    QVERIFY(f.method()->toPlainText().isEmpty());
    QVERIFY(dialogs.messages.isEmpty());
}

void TestFindWindow::equalNamesInTwoCategoriesAreEachEditable()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("家常菜", "红烧肉", "五花肉", "慢炖") + dishSql("湘菜", "红烧肉", "带皮五花", "加辣椒"));
    for (int row : {1, 0}) {
        FindFixture f;
        f.searchFor("红烧肉");
        f.clickRow(row);
        QCOMPARE(f.ingredients()->toPlainText(), row == 0 ? QStringLiteral("五花肉") : QStringLiteral("带皮五花"));
        f.name()->setText(row == 0 ? "家常红烧肉" : "湘味红烧肉");
        dialogs.answers.enqueue(DialogService::Yes);
        f.press("Image3");
        QVERIFY(!findLoaded());
    }
    QCOMPARE(db.rows("SELECT id, category, \"名称\", ingredients, method FROM \"01\" ORDER BY id"),
             QStringList({"1|家常菜|家常红烧肉|五花肉|慢炖", "2|湘菜|湘味红烧肉|带皮五花|加辣椒"}));
}

void TestFindWindow::previewFollowsThePicturePath()
{
    ScriptedDialogs dialogs;
    TestDb db;
    const QString red = savePng(db.dir() + "red.png", Qt::red);
    const QString missing = db.dir() + "gone.png";
    const QString notAPicture = db.dir() + "notes.jpg";
    QFile f1(notAPicture);
    QVERIFY(f1.open(QIODevice::WriteOnly));
    f1.write("plain text");
    f1.close();
    db.exec(dishSql("a", "有图", "x", "y", red) + dishSql("a", "无图", "x", "y", "")
            + dishSql("a", "图丢了", "x", "y", missing) + dishSql("a", "坏图", "x", "y", notAPicture));
    FindFixture f;
    f.searchFor("图");
    QCOMPARE(f.found()->count(), 4);

    f.clickRow(0);
    QCOMPARE(f.picturePath()->text(), red);
    QVERIFY(f.picture()->hasPicture());
    QCOMPARE(f.picture()->picture().toImage().pixelColor(0, 0), QColor(Qt::red));

    // A missing file and a file that is no picture never leave the previous
    // dish's picture in the preview.
    f.clickRow(2);
    QCOMPARE(f.picturePath()->text(), missing);
    QVERIFY(!f.picture()->hasPicture());
    f.clickRow(0);
    QCOMPARE(f.picture()->picture().toImage().pixelColor(0, 0), QColor(Qt::red));
    f.clickRow(3);
    QCOMPARE(f.picturePath()->text(), notAPicture);
    QVERIFY(!f.picture()->hasPicture());

    // An empty path clears it.
    f.clickRow(1);
    QVERIFY(f.picturePath()->text().isEmpty());
    QVERIFY(!f.picture()->hasPicture());
    QVERIFY(dialogs.messages.isEmpty());
}

void TestFindWindow::storeRewritesOneRowTrimmed()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("家常菜", "番茄炒蛋", "番茄", "炒", "/old.png") + dishSql("家常菜", "番茄牛腩", "牛腩", "炖")
              + dishSql("汤", "番茄炒蛋", "第二个", "同名"));
    const QStringList before = db.rows("SELECT * FROM \"01\" ORDER BY id");
    FindFixture f;
    f.searchFor("番茄");
    f.clickRow(0);
    f.name()->setText("  西红柿炒鸡蛋 ");
    f.ingredients()->setPlainText(" 番茄 2个\n鸡蛋 3个  ");
    f.method()->setPlainText("  先炒蛋\n后炒番茄 ");
    dialogs.answers.enqueue(DialogService::Yes);
    f.press("Image3");

    QCOMPARE(dialogs.messages.size(), 1);
    const ShownMessage &ask = dialogs.messages[0];
    QCOMPARE(ask.text, QStringLiteral("确认修改[西红柿炒鸡蛋]"));
    QCOMPARE(ask.title, QStringLiteral("：：修改菜谱：："));
    QCOMPARE(ask.buttons, DialogService::YesNo);
    QCOMPARE(ask.defaultButton, DialogService::No);
    QCOMPARE(ask.icon, DialogService::Stop);

    const QStringList after = db.rows("SELECT * FROM \"01\" ORDER BY id");
    QCOMPARE(after[0], QStringLiteral("1|家常菜|西红柿炒鸡蛋|番茄 2个\r\n鸡蛋 3个|先炒蛋\r\n后炒番茄|/old.png"));
    QCOMPARE(after.mid(1), before.mid(1));

    // Saved: the catalogue is rebuilt (temp.txt written) and the window goes.
    QVERIFY(QFile::exists(db.dir() + "temp.txt"));
    QCOMPARE(testCatalogue().totalDishes(), qint64(3));
    QVERIFY(!findLoaded());
}

void TestFindWindow::storeRefusals()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("家常菜", "番茄炒蛋", "番茄", "炒") + dishSql("家常菜", "葱油饼", "面粉", "烙"));
    const QStringList original = db.rows("SELECT * FROM \"01\" ORDER BY id");
    FindFixture f;

    // Blank name, ingredients or method: refused before any question.
    f.searchFor("番茄");
    f.clickRow(0);
    for (int box = 0; box < 3; ++box) {
        dialogs.clear();
        f.name()->setText(box == 0 ? "   " : "番茄炒蛋");
        f.ingredients()->setPlainText(box == 1 ? "  " : "番茄");
        f.method()->setPlainText(box == 2 ? "" : "炒");
        f.press("Image3");
        QCOMPARE(dialogs.texts(), QStringList({"啥都没写怎么更新啊？"}));
        QCOMPARE(dialogs.messages[0].buttons, DialogService::OkOnly);
        QCOMPARE(dialogs.messages[0].icon, DialogService::NoIcon);
        QVERIFY(dialogs.messages[0].title.isEmpty());
    }

    // No answered: nothing written, input kept, window open.
    dialogs.clear();
    f.name()->setText("番茄炒蛋改");
    f.method()->setPlainText("大火炒");
    dialogs.answers.enqueue(DialogService::No);
    f.press("Image3");
    QCOMPARE(dialogs.texts(), QStringList({"确认修改[番茄炒蛋改]"}));
    QCOMPARE(f.name()->text(), QStringLiteral("番茄炒蛋改"));
    QCOMPARE(f.method()->toPlainText(), QStringLiteral("大火炒"));
    QVERIFY(findLoaded());

    // Nothing selected (a new search replaced the list): nothing written,
    // and said before any question (a Yes at hand is never asked for).
    dialogs.clear();
    f.name()->setText("葱油饼");
    dialogs.answers.enqueue(DialogService::Yes);   // the edit shown is given up
    f.press("Image1");
    QCOMPARE(f.found()->count(), 1);
    dialogs.clear();
    f.ingredients()->setPlainText("新面粉");
    f.method()->setPlainText("新烙法");
    dialogs.answers.enqueue(DialogService::Yes);
    f.press("Image3");
    QCOMPARE(dialogs.texts(), QStringList({"请先在找到的食谱中选择要修改的菜谱。"}));
    QCOMPARE(f.ingredients()->toPlainText(), QStringLiteral("新面粉"));
    QVERIFY(findLoaded());

    // The row was deleted meanwhile: told so, window stays with the edit.
    f.clickRow(0);
    f.ingredients()->setPlainText("新面粉");
    db.exec("DELETE FROM \"01\" WHERE id = 2");
    dialogs.clear();
    dialogs.answers.enqueue(DialogService::Yes);
    f.press("Image3");
    QCOMPARE(dialogs.texts(), QStringList({"确认修改[葱油饼]", "这道菜谱已不存在，可能已被删除。"}));
    QCOMPARE(f.ingredients()->toPlainText(), QStringLiteral("新面粉"));
    QVERIFY(findLoaded());

    QCOMPARE(db.rows("SELECT * FROM \"01\" ORDER BY id"), original.mid(0, 1));
    QVERIFY(!QFile::exists(db.dir() + "temp.txt"));
}

void TestFindWindow::storeFaultsKeepTheWindow()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("家常菜", "番茄炒蛋", "番茄", "炒"));
    const QStringList original = db.rows("SELECT * FROM \"01\"");
    FindFixture f;
    f.searchFor("番茄");
    f.clickRow(0);
    f.name()->setText("番茄炒蛋（改）");

    // Another program holds the file locked for writing.
    OtherProgram other(db.path());
    QVERIFY(other.lockExclusively());
    dialogs.answers.enqueue(DialogService::Yes);
    f.press("Image3");
    other.release();
    QCOMPARE(dialogs.messages.size(), 2);
    QVERIFY(!dialogs.messages[1].text.isEmpty());
    QVERIFY(findLoaded());
    QCOMPARE(f.name()->text(), QStringLiteral("番茄炒蛋（改）"));
    QCOMPARE(f.found()->currentRow(), 0);
    QCOMPARE(db.rows("SELECT * FROM \"01\""), original);

    // The file was swapped for something that is no database.
    QFile::remove(db.path());
    QFile junk(db.path());
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a recipe database at all, just some words\n");
    junk.close();
    dialogs.clear();
    dialogs.answers.enqueue(DialogService::Yes);
    f.press("Image3");
    QCOMPARE(dialogs.texts(), QStringList({"确认修改[番茄炒蛋（改）]", RecipeStore(db.path()).probe().error().userText()}));
    QVERIFY(findLoaded());
    QCOMPARE(f.name()->text(), QStringLiteral("番茄炒蛋（改）"));
    QCOMPARE(f.ingredients()->toPlainText(), QStringLiteral("番茄"));
}

void TestFindWindow::focusAloneShowsNoDish()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("家常菜", "番茄炒蛋", "番茄", "炒") + dishSql("家常菜", "番茄牛腩", "牛腩", "炖"));
    const QStringList original = db.rows("SELECT * FROM \"01\" ORDER BY id");
    FindFixture f;
    f.w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.w));
    f.name()->setFocus();
    f.searchFor("番茄");

    // Tab (past 开始查询) moves into the list, which makes its first entry
    // current without selecting it: no dish is shown, the search text stays.
    for (int i = 0; i < 4 && !f.found()->hasFocus(); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(f.found()->hasFocus());
    QCOMPARE(f.found()->currentRow(), 0);
    QVERIFY(f.found()->selectedItems().isEmpty());
    QCOMPARE(f.name()->text(), QStringLiteral("番茄"));
    QVERIFY(f.ingredients()->toPlainText().isEmpty());

    // A click on the empty part of the list selects nothing either.
    QTest::mouseClick(f.found()->viewport(), Qt::LeftButton, {}, f.found()->viewport()->rect().bottomLeft() + QPoint(5, -5));
    QVERIFY(f.found()->selectedItems().isEmpty());
    QCOMPARE(f.name()->text(), QStringLiteral("番茄"));

    // So 更 新 has nothing to rewrite, and says so before any question.
    f.ingredients()->setPlainText("新原料");
    f.method()->setPlainText("新做法");
    dialogs.answers.enqueue(DialogService::Yes);
    f.press("Image3");
    QCOMPARE(dialogs.texts(), QStringList({"请先在找到的食谱中选择要修改的菜谱。"}));
    QCOMPARE(db.rows("SELECT * FROM \"01\" ORDER BY id"), original);
    QVERIFY(findLoaded());

    // The arrow keys select, and the selected dish is shown.
    QTest::keyClick(f.found(), Qt::Key_Down);
    QCOMPARE(f.found()->selectedItems().size(), 1);
    QCOMPARE(f.name()->text(), QStringLiteral("番茄牛腩"));
    QCOMPARE(f.ingredients()->toPlainText(), QStringLiteral("牛腩"));
}

void TestFindWindow::changeMadeElsewhereIsNeverOverwritten()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("家常菜", "番茄炒蛋", "番茄", "炒", "/pictures/egg.jpg"));
    FindFixture f;
    f.searchFor("番茄");
    f.clickRow(0);
    f.method()->setPlainText("我的做法");

    // Another copy of the program stores its own edit of the dish meanwhile.
    db.exec("UPDATE \"01\" SET ingredients = '番茄 3个' WHERE id = 1");
    dialogs.answers.enqueue(DialogService::Yes);
    f.press("Image3");
    QCOMPARE(dialogs.texts(), QStringList({"确认修改[番茄炒蛋]", "这道菜谱已在别处被修改，请重新选择后再修改。"}));
    QCOMPARE(db.rows("SELECT * FROM \"01\""), QStringList({"1|家常菜|番茄炒蛋|番茄 3个|炒|/pictures/egg.jpg"}));
    QCOMPARE(f.method()->toPlainText(), QStringLiteral("我的做法"));
    QVERIFY(findLoaded());

    // Clicking the entry again, and giving up the edit, shows the row as it
    // is now; then the edit goes in.
    dialogs.clear();
    dialogs.answers.enqueue(DialogService::Yes);
    f.clickRow(0);
    QCOMPARE(dialogs.texts(), QStringList({"您输入的内容还没有保存，确定要放弃吗？"}));
    QCOMPARE(f.ingredients()->toPlainText(), QStringLiteral("番茄 3个"));
    QCOMPARE(f.method()->toPlainText(), QStringLiteral("炒"));
    f.method()->setPlainText("我的做法");
    dialogs.clear();
    dialogs.answers.enqueue(DialogService::Yes);
    f.press("Image3");
    QCOMPARE(dialogs.texts(), QStringList({"确认修改[番茄炒蛋]"}));
    QCOMPARE(db.rows("SELECT * FROM \"01\""), QStringList({"1|家常菜|番茄炒蛋|番茄 3个|我的做法|/pictures/egg.jpg"}));
    QVERIFY(!findLoaded());
}

// Showing a dish is no edit, even of texts a box shows otherwise (a
// no-break space from a web page); a new search text in the name box is no
// edit either; a dish moved to another category meanwhile is still stored.
void TestFindWindow::onlyTheCooksOwnEditsAsk()
{
    ScriptedDialogs dialogs;
    const QString nbsp = QStringLiteral("豆腐\u00a0200克");
    TestDb db(dishSql("家常菜", "麻婆豆腐", nbsp, "炒\u00a0一下") + dishSql("家常菜", "白灼菜心", "菜心", "灼"));
    FindFixture f;
    f.searchFor("豆腐");
    f.clickRow(0);
    f.clickRow(0);
    f.press("Image4");
    f.searchFor("豆腐");
    f.clickRow(0);
    f.searchFor("白灼");
    QCOMPARE(f.listed(), QStringList({"白灼菜心"}));
    QVERIFY(dialogs.messages.isEmpty());

    f.searchFor("豆腐");
    f.clickRow(0);
    QVERIFY(testCatalogue().moveDish(1, QStringLiteral("川菜")).value());
    f.method()->moveCursor(QTextCursor::End);
    f.method()->insertPlainText(QStringLiteral("。"));
    f.method()->moveCursor(QTextCursor::Start);
    f.method()->insertPlainText(QStringLiteral("\u00a0"));
    dialogs.answers.enqueue(DialogService::Yes);
    f.press("Image3");
    QCOMPARE(dialogs.texts(), QStringList({"确认修改[麻婆豆腐]"}));
    QCOMPARE(db.rows("SELECT * FROM \"01\" WHERE id = 1"),
             QStringList({"1|川菜|麻婆豆腐|" + nbsp + "|\u00a0炒\u00a0一下。|"}));
}

void TestFindWindow::longNamesKeepTheQuestionOnScreen()
{
    TestDb db(dishSql("家常菜", "番茄炒蛋", "番茄", "炒"));
    QString longName;
    for (int i = 0; i < 1000; ++i)
        longName += QStringLiteral("番茄炒蛋%1").arg(i % 10).leftJustified(10, QLatin1Char('x'));
    QCOMPARE(longName.size(), 10000);
    {
        ScriptedDialogs dialogs;
        FindFixture f;
        f.searchFor("番茄");
        f.clickRow(0);
        f.name()->setText(longName);
        dialogs.answers.enqueue(DialogService::Yes);
        f.press("Image3");
        // The question names the dish by its first 40 characters; all of it is stored.
        QCOMPARE(dialogs.texts(), QStringList({"确认修改[" + longName.left(40) + "…]"}));
        QCOMPARE(db.scalar("SELECT \"名称\" FROM \"01\""), longName);
    }

    // The real box, handed the whole name, still fits the screen with its buttons.
    QRect box, buttons;
    const auto answerNo = [&] {
        auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!shown)
            return false;
        box = shown->frameGeometry();
        buttons = QRect(shown->button(QMessageBox::No)->mapToGlobal(QPoint(0, 0)), shown->button(QMessageBox::No)->size());
        shown->button(QMessageBox::No)->click();
        return true;
    };
    std::function<void()> poll = [&] { if (!answerNo()) QTimer::singleShot(20, poll); };
    QTimer::singleShot(20, poll);
    const auto answer = DialogService::instance().message(nullptr, "确认修改[" + longName + "]", "：：修改菜谱：：",
                                                          DialogService::YesNo, DialogService::No, DialogService::Stop);
    QCOMPARE(answer, DialogService::No);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(screen.contains(QRect(box.topLeft(), box.size())),
             qPrintable(QStringLiteral("box %1x%2 on a %3x%4 screen").arg(box.width()).arg(box.height())
                            .arg(screen.width()).arg(screen.height())));
    QVERIFY(screen.contains(buttons));
}

void TestFindWindow::savedWhenSummaryCannotBeWritten()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("家常菜", "番茄炒蛋", "番茄", "炒"));
    // temp.txt cannot be written when a folder has taken its name.
    QVERIFY(QDir(db.dir()).mkdir("temp.txt"));
    FindFixture f;
    f.searchFor("番茄");
    f.clickRow(0);
    f.method()->setPlainText("小火慢炒");
    dialogs.answers.enqueue(DialogService::Yes);
    f.press("Image3");
    QCOMPARE(db.scalar("SELECT method FROM \"01\""), QStringLiteral("小火慢炒"));
    // temp.txt is a side summary: nothing more is said, the window closes.
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(!findLoaded());
}

void TestFindWindow::resetKeepsIngredientsAndMethod()
{
    ScriptedDialogs dialogs;
    TestDb db;
    db.exec(dishSql("a", "红烧鱼", "草鱼", "红烧", savePng(db.dir() + "fish.png", Qt::blue)));
    FindFixture f;
    f.searchFor("鱼");
    f.clickRow(0);
    QVERIFY(f.picture()->hasPicture());
    f.press("Image4");
    QVERIFY(f.name()->text().isEmpty());
    QVERIFY(f.picturePath()->text().isEmpty());
    QCOMPARE(f.found()->count(), 0);
    QVERIFY(!f.picture()->hasPicture());
    QCOMPARE(f.ingredients()->toPlainText(), QStringLiteral("草鱼"));
    QCOMPARE(f.method()->toPlainText(), QStringLiteral("红烧"));
}

void TestFindWindow::pictureChooser()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("a", "红烧鱼", "草鱼", "红烧", "/pictures/old.jpg"));
    const QString green = savePng(db.dir() + "green.png", Qt::green);
    const QString junkPath = db.dir() + "junk.jpg";
    QFile junk(junkPath);
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("no picture here");
    junk.close();
    FindFixture f;
    f.searchFor("鱼");
    f.clickRow(0);

    // Cancelled: nothing changes.
    f.press("Image2");
    QCOMPARE(dialogs.pictureDialogs, 1);
    QCOMPARE(f.picturePath()->text(), QStringLiteral("/pictures/old.jpg"));
    QVERIFY(!f.picture()->hasPicture());

    // A file that is no picture: a short message, preview and path kept.
    dialogs.pictures.enqueue(junkPath);
    f.press("Image2");
    QCOMPARE(dialogs.texts(), QStringList({"这个文件不能作为图片打开。"}));
    QCOMPARE(f.picturePath()->text(), QStringLiteral("/pictures/old.jpg"));

    // A picture: previewed, and what the edit stores...
    dialogs.pictures.enqueue(green);
    f.press("Image2");
    QCOMPARE(f.picturePath()->text(), green);
    QCOMPARE(f.picture()->picture().toImage().pixelColor(0, 0), QColor(Qt::green));
    dialogs.answers.enqueue(DialogService::Yes);
    f.press("Image3");
    // ...as its copy in 图片 beside cate.mdb.
    const QString kept = db.scalar("SELECT picture FROM \"01\"");
    QCOMPARE(QFileInfo(kept).path(), db.dir() + "图片");
    QFile copy(kept), chosen(green);
    QVERIFY(copy.open(QIODevice::ReadOnly) && chosen.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), chosen.readAll());
}

void TestFindWindow::missingStoreAtLoad()
{
    ScriptedDialogs dialogs;
    TestDb db;
    QVERIFY(QFile::remove(db.path()));
    FindFixture f;
    QCOMPARE(dialogs.messages.size(), 1);
    QVERIFY(!dialogs.messages[0].text.isEmpty());
    // The window stays usable: typing, reset and search all answer.
    typeText(f.name(), QStringLiteral("红烧"));
    QCOMPARE(f.name()->text(), QStringLiteral("红烧"));
    f.press("Image1");
    QCOMPARE(dialogs.messages.size(), 2);
    QCOMPARE(f.found()->count(), 0);
    f.press("Image4");
    QVERIFY(f.name()->text().isEmpty());
    QVERIFY(findLoaded());
    QVERIFY(!QFile::exists(db.path()));
}

// Ticked, every word must be found in the name, the ingredients or the
// method; the words are marked in the shown dish until the text is edited.
void TestFindWindow::searchByIngredientsAndMethod()
{
    ScriptedDialogs dialogs;
    TestDb db(dishSql("家常菜", "麻婆豆腐", "豆腐 牛肉末", "先炒牛肉末，再下豆腐和青椒")
              + dishSql("家常菜", "青椒肉丝", "青椒 里脊", "滑炒") + dishSql("汤", "豆腐汤", "豆腐", "煮")
              + dishSql("家常菜", "虎皮青椒", "青椒", "煎"));
    FindFixture f;
    auto *check = f.w->findChild<QCheckBox *>("Check1");
    QVERIFY(check && !check->isChecked() && check->focusPolicy() != Qt::NoFocus);
    QCOMPARE(check->text(), QStringLiteral("查原料和做法"));
    f.searchFor("豆腐 青椒");
    QCOMPARE(f.listed(), QStringList());   // unticked: the name, the whole text as one pattern
    f.name()->setText("豆腐");
    QTest::keyClick(f.name(), Qt::Key_Return);   // Enter searches as 开始查询 does
    QCOMPARE(f.listed(), (QStringList{"麻婆豆腐", "豆腐汤"}));

    check->setChecked(true);
    f.searchFor("豆腐 青椒");   // 青椒 only in the method of 麻婆豆腐
    QCOMPARE(f.listed(), QStringList{"麻婆豆腐"});
    f.searchFor("青椒 [里]?");
    QCOMPARE(f.listed(), QStringList{"青椒肉丝"});
    f.searchFor("豆腐 鸡蛋");
    QCOMPARE(f.listed(), QStringList());
    f.searchFor("  青椒  ");
    QCOMPARE(f.listed(), (QStringList{"麻婆豆腐", "青椒肉丝", "虎皮青椒"}));

    f.searchFor("豆腐 青椒");
    f.clickRow(0);
    const QList<QTextEdit::ExtraSelection> marks = f.method()->extraSelections();
    QCOMPARE(marks.size(), 2);
    QCOMPARE(marks[0].cursor.selectedText(), QStringLiteral("豆腐"));
    QCOMPARE(marks[1].cursor.selectedText(), QStringLiteral("青椒"));
    QCOMPARE(f.ingredients()->extraSelections().size(), 1);
    QCOMPARE(f.method()->toPlainText(), QStringLiteral("先炒牛肉末，再下豆腐和青椒"));
    typeText(f.method(), QStringLiteral("！"));
    QVERIFY(f.method()->extraSelections().isEmpty());

    // Ctrl+Tab types a tab in the box; Tab leaves it.
    f.method()->setFocus();
    QTest::keyClick(f.method(), Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(f.method()->toPlainText().contains(QLatin1Char('\t')));
}

// The search by name runs over the names the tree keeps (also after our own
// writes, which the tree follows in memory); for every kind of pattern it
// must find exactly the rows a search of the file itself finds.
void TestFindWindow::treeNamesFindWhatTheFileFinds()
{
    TestDb db(QStringLiteral(
        "INSERT INTO \"02\"(category) VALUES ('汤'), (' 凉菜');"
        "INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture) VALUES"
        " ('汤', '豆腐汤', '', '', ''), (' 凉菜 ', ' 拌豆腐 ', '', '', ''), ('汤', NULL, '', '', ''),"
        " ('无此类', '红烧3号', '', '', ''), ('汤', 'Äpfel ä', '', '', ''), (NULL, '清蒸7号鱼', '', '', ''),"
        " ('汤', 'apple派', '', '', ''), ('汤', '豆', '', '', ''), ('汤', '红豆', '', '', ''), ('汤', '腐乳', '', '', '');"));
    Catalogue &catalogue = testCatalogue();
    QVERIFY(catalogue.refresh().ok());
    QVERIFY(catalogue.addDish(QStringLiteral(" 汤"), QStringLiteral(" 新豆腐 "), QStringLiteral("料"),
                              QStringLiteral("法"), QString()).ok());
    // Renamed, its old name's bytes stay behind in memory, unused.
    QVERIFY(catalogue.updateDish(1, QStringLiteral("鸡汤"), QString(), QString(), QString()).ok());
    QCOMPARE(catalogue.storeReads(), 1);   // the add and the rename were followed in memory
    const QStringList patterns = {"豆腐", "[红清]*#号", "豆", " ", "a", "Ä", "ä", "#", "?", "[!豆]", "*", "腐汤", "[a-z]派",
                                  "df", "hongd", "j汤"};
    for (const QString &text : patterns) {
        const auto fromTree = catalogue.searchNames(text);
        const auto fromFile = RecipeStore(db.path()).searchDishesByName(text, RecipeStore::SearchFields::NamesOnly);
        QVERIFY(fromTree.ok() && fromFile.ok());
        QStringList tree, file;
        for (const DishRecord &d : *fromTree)
            tree << QStringLiteral("%1|%2|%3").arg(d.id).arg(d.category, d.name);
        for (const DishRecord &d : *fromFile)
            file << QStringLiteral("%1|%2|%3").arg(d.id).arg(d.category, d.name);
        QVERIFY2(tree == file, qPrintable(text + QStringLiteral(": ") + tree.join(u',') + QStringLiteral(" / ")
                                          + file.join(u',')));
    }
    // Not 红豆 and 腐乳, side by side, nor the old name of 鸡汤.
    QCOMPARE(catalogue.searchNames(QStringLiteral("豆腐"))->size(), 2);
}

// Words that begin with '#' or "-#" find by the tags the tags box wrote
// (and "#最爱" the favourites); the other words keep their name search.
void TestFindWindow::tagWordsFindByTag_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one tag") << "#麻辣" << QStringList({"辣子鸡", "宫保鸡丁", "麻婆豆腐"});
    QTest::newRow("both tags") << "#麻辣 #下饭" << QStringList({"辣子鸡", "麻婆豆腐"});
    QTest::newRow("not a tag") << "#麻辣 -#花生" << QStringList({"辣子鸡", "麻婆豆腐"});
    QTest::newRow("favourites") << "#最爱" << QStringList({"宫保鸡丁"});
    QTest::newRow("name and tag") << "鸡 #麻辣" << QStringList({"辣子鸡", "宫保鸡丁"});
    QTest::newRow("name without tag") << "鸡 -#麻辣" << QStringList({"白切鸡"});
    QTest::newRow("# inside a word") << "鱼#号" << QStringList({"鱼1号"});
    QTest::newRow("no such tag") << "#甜" << QStringList();
}

void TestFindWindow::tagWordsFindByTag()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    ScriptedDialogs dialogs;
    TestDb db(dishSql("川菜", "辣子鸡") + dishSql("川菜", "宫保鸡丁") + dishSql("川菜", "麻婆豆腐")
              + dishSql("粤菜", "白切鸡") + dishSql("粤菜", "鱼1号"));
    const QStringList typed = {"麻辣、下饭", "麻辣 花生", "麻辣，下饭"};
    for (int i = 0; i < typed.size(); ++i) {
        FindFixture edit;
        edit.searchFor(QStringList({"辣子鸡", "宫保鸡丁", "麻婆豆腐"}).at(i));
        edit.clickRow(0);
        edit.w->tags()->setText(typed.at(i));
        edit.w->servings()->setText(i == 0 ? QStringLiteral("2") : QString());
        dialogs.answers.enqueue(DialogService::Yes);
        edit.press("Image3");
        QVERIFY(!findLoaded());
    }
    QCOMPARE(db.scalar("SELECT count(*) FROM marks_tags"), QStringLiteral("6"));
    QCOMPARE(db.scalar("SELECT group_concat(dish || ':' || servings) FROM marks_dish"), QStringLiteral("1:2"));
    QVERIFY(testCatalogue().setFavourite(2, true).value());
    FindFixture f;
    f.searchFor(text);
    QCOMPARE(f.listed(), expected);
}

QTEST_MAIN(TestFindWindow)
#include "tst_findwindow.moc"
