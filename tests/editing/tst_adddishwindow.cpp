// The add-recipe window driven through its widgets on a real cate.mdb.
#include "editing/editinghelpers.h"
#include "support/scripteddialogs.h"
#include "support/testdb.h"

#include "core/appinfo.h"
#include "skin/imagecontrol.h"
#include "store/recipestore.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QtTest>
#include <memory>

using namespace zx;

namespace {
const char *const Seed =
    "INSERT INTO \"02\"(category) VALUES (' 凉菜 '), ('家常菜  '), ('汤');"
    "INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture)"
    " VALUES ('汤', '紫菜蛋花汤', '紫菜', '煮', '');";

const char *const AllDishes =
    "SELECT category, \"名称\", ingredients, method, picture FROM \"01\" ORDER BY id";

struct AddWindow {
    AddDishWindow *w = nullptr;
    QListWidget *list = nullptr;
    QLineEdit *name = nullptr;
    QLineEdit *picturePath = nullptr;
    QTextEdit *ingredients = nullptr;
    QTextEdit *method = nullptr;
    QLabel *preview = nullptr;
    QWidget *addimage = nullptr;
    QWidget *addcp = nullptr;

    void open()
    {
        w = Windows::show<AddDishWindow>(testCatalogue());
        list = w->findChild<QListWidget *>(QStringLiteral("List1"));
        name = w->findChild<QLineEdit *>(QStringLiteral("Text1"));
        picturePath = w->findChild<QLineEdit *>(QStringLiteral("Text2"));
        ingredients = w->findChild<QTextEdit *>(QStringLiteral("Text3"));
        method = w->findChild<QTextEdit *>(QStringLiteral("Text4"));
        preview = w->findChild<QLabel *>(QStringLiteral("Image8"));
        addimage = w->findChild<QWidget *>(QStringLiteral("addimage"));
        addcp = w->findChild<QWidget *>(QStringLiteral("addcp"));
    }
    bool complete() const
    {
        return w && list && name && picturePath && ingredients && method && preview && addimage && addcp;
    }
    void type(const QString &n, const QString &i, const QString &m)
    {
        typeText(name, n);
        typeText(ingredients, i);
        typeText(method, m);
    }
};

QString writePicture(const TestDb &db, const QString &file, QColor colour)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = db.dir() + file;
    image.save(path, "PNG");
    return path;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}


QColor previewColour(const QLabel *preview) { return preview->pixmap().toImage().pixelColor(5, 5); }
} // namespace

class TestAddDishWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        unloadEverything();
    }

    void loadListsCategoriesAsStored()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        testCatalogue().setSelectedCategory(QStringLiteral("汤"));
        AddWindow a;
        a.open();
        QVERIFY(a.complete());
        QVERIFY(QTest::qWaitForWindowExposed(a.w));

        QCOMPARE(a.w->windowTitle(), QStringLiteral("：：添加美食：："));
        QCOMPARE(entries(a.list), (QStringList{QStringLiteral(" 凉菜 "), QStringLiteral("家常菜  "),
                                               QStringLiteral("汤")}));
        QVERIFY(a.list->selectedItems().isEmpty());
        // Opening keeps a category picked earlier.
        QCOMPARE(testCatalogue().selectedCategory(), QStringLiteral("汤"));
        QVERIFY(a.picturePath->text().isEmpty());
        QVERIFY(a.preview->pixmap().isNull());
        QVERIFY(dialogs.messages.isEmpty());

        const QStringList captions{QStringLiteral("菜肴名称："), QStringLiteral("制作方法："),
                                   QStringLiteral("选择所属分类："), QStringLiteral("原    料：")};
        for (int i = 0; i < 4; ++i) {
            auto *label = a.w->findChild<QLabel *>(QStringLiteral("Label1_%1").arg(i));
            QVERIFY(label);
            QCOMPARE(label->text(), captions.at(i));
        }
        QCOMPARE(a.w->findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("菜谱图片预览"));

        // Every control lies below the title bar and inside the window.
        for (QWidget *c : {static_cast<QWidget *>(a.list), static_cast<QWidget *>(a.name),
                           static_cast<QWidget *>(a.ingredients), static_cast<QWidget *>(a.method),
                           static_cast<QWidget *>(a.preview), a.addimage, a.addcp,
                           static_cast<QWidget *>(a.picturePath)}) {
            QVERIFY2(c->y() >= 40, qPrintable(c->objectName()));
            QVERIFY2(a.w->rect().contains(c->geometry()), qPrintable(c->objectName()));
        }
        QCOMPARE(a.addcp->size(), QSize(94, 32));
        QVERIFY(a.addcp->x() > a.addimage->x());
        QCOMPARE(a.addcp->y(), a.addimage->y());
        QVERIFY(a.addimage->y() >= a.method->geometry().bottom());
    }

    void loadCopesWithEmptyAndBrokenStores()
    {
        {
            TestDb empty;
            ScriptedDialogs dialogs;
            AddWindow a;
            a.open();
            QCOMPARE(a.list->count(), 0);
            QVERIFY(dialogs.messages.isEmpty());
            unloadEverything();
        }
        TestDb db;
        QFile::remove(db.path());
        QFile text(db.path());
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("这不是数据库\r\n");
        text.close();
        ScriptedDialogs dialogs;
        AddWindow a;
        a.open();
        QVERIFY(a.complete());
        QCOMPARE(a.list->count(), 0);
        QCOMPARE(dialogs.texts(),
                 QStringList{QStringLiteral("读取菜谱分类失败：")
                             + storeText(StoreError::NotADatabase)});
        // The window still answers the cook.
        QVERIFY(a.w->isVisible());
        press(a.addcp);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("请先选择菜谱分类！"));
    }

    void saveWritesDishAndRefreshesTree()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        Windows::show<MainWindow>(testCatalogue());
        QCOMPARE(mainCaption(), countCaption(1));
        const QString picture = writePicture(db, QStringLiteral("红烧肉.png"), Qt::red);
        AddWindow a;
        a.open();
        dialogs.clear();

        QVERIFY(clickEntry(a.list, QStringLiteral("家常菜  ")));
        QCOMPARE(testCatalogue().selectedCategory(), QStringLiteral("家常菜  "));
        a.type(QStringLiteral(" 红烧肉 "), QStringLiteral(" 五花肉\n冰糖 "), QStringLiteral("切块\n小火炖 "));
        typeText(a.w->servings(), QStringLiteral("４"));   // full width
        dialogs.pictures.enqueue(picture);
        press(a.addimage);
        dialogs.answers.enqueue(DialogService::Yes);
        press(a.addcp);

        QCOMPARE(dialogs.messages.size(), 2);
        const ShownMessage &ask = dialogs.messages.at(0);
        QCOMPARE(ask.text, QStringLiteral("[红烧肉]位于家常菜  目录下\r\n\r\n是否保存？"));
        QCOMPARE(ask.title, QStringLiteral("保存菜谱"));
        QCOMPARE(ask.buttons, DialogService::YesNo);
        QCOMPARE(ask.defaultButton, DialogService::No);
        QCOMPARE(ask.icon, DialogService::Stop);
        const ShownMessage &done = dialogs.messages.at(1);
        QCOMPARE(done.text, QStringLiteral("家常菜  保存完毕！"));
        QCOMPARE(done.title, QStringLiteral("保存完毕"));
        QCOMPARE(done.buttons, DialogService::OkOnly);
        QCOMPARE(done.icon, DialogService::NoIcon);

        // The dish names the picture's copy in 图片 beside cate.mdb.
        const QString kept = db.rows(QString::fromUtf8(AllDishes)).last().section(QLatin1Char('|'), -1);
        QCOMPARE(db.rows(QString::fromUtf8(AllDishes)).last(),
                 QStringLiteral("家常菜  |红烧肉|五花肉\r\n冰糖|切块\r\n小火炖|") + kept);
        QCOMPARE(QFileInfo(kept).path(), db.dir() + QStringLiteral("图片"));
        QCOMPARE(fileBytes(kept), fileBytes(picture));
        QCOMPARE(mainCaption(), countCaption(2));
        QCOMPARE(testCatalogue().totalDishes(), 2);
        QCOMPARE(db.scalar(QStringLiteral("SELECT servings FROM marks_dish WHERE dish = 2")), QStringLiteral("4"));

        // Texts, picture and preview go, and the category is used up: nothing
        // stays highlighted.
        QVERIFY(a.name->text().isEmpty());
        QVERIFY(a.ingredients->toPlainText().isEmpty());
        QVERIFY(a.method->toPlainText().isEmpty());
        QVERIFY(a.picturePath->text().isEmpty());
        QVERIFY(a.preview->pixmap().isNull());
        QVERIFY(a.list->selectedItems().isEmpty());
        QVERIFY(testCatalogue().selectedCategory().isEmpty());
    }

    void secondSaveNeedsAnotherClickAndNoOldPicture()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        const QString picture = writePicture(db, QStringLiteral("p.png"), Qt::blue);
        AddWindow a;
        a.open();
        QVERIFY(clickEntry(a.list, QStringLiteral("汤")));
        a.type(QStringLiteral("酸辣汤"), QStringLiteral("豆腐"), QStringLiteral("勾芡"));
        dialogs.pictures.enqueue(picture);
        press(a.addimage);
        dialogs.answers.enqueue(DialogService::Yes);
        press(a.addcp);
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"01\"")), QStringLiteral("2"));

        dialogs.clear();
        a.type(QStringLiteral("罗宋汤"), QStringLiteral("牛肉"), QStringLiteral("慢炖"));
        const QByteArray before = db.bytes();
        press(a.addcp);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("请先选择菜谱分类！")});
        QCOMPARE(db.bytes(), before);

        // Clicking the entry picks it again.
        QVERIFY(clickEntry(a.list, QStringLiteral("汤")));
        QCOMPARE(testCatalogue().selectedCategory(), QStringLiteral("汤"));
        dialogs.answers.enqueue(DialogService::Yes);
        press(a.addcp);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("汤保存完毕！"));
        const QStringList rows = db.rows(QString::fromUtf8(AllDishes));
        QCOMPARE(rows.size(), 3);
        QVERIFY(rows.at(1).startsWith(QStringLiteral("汤|酸辣汤|豆腐|勾芡|") + db.dir() + QStringLiteral("图片/")));
        QCOMPARE(rows.at(2), QStringLiteral("汤|罗宋汤|牛肉|慢炖|"));   // the last picture is not inherited
    }

    // Both editing windows open: a category added in the manager shows in
    // the add-recipe list at once, the highlighted entry staying highlighted;
    // one deleted meanwhile by another program takes no dish.
    void listFollowsCategoriesAndRefusesAGoneOne()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        AddWindow a;
        a.open();
        CategoryWindow *m = Windows::show<CategoryWindow>(testCatalogue());
        QVERIFY(clickEntry(a.list, QStringLiteral("汤")));
        typeText(m->name(), QStringLiteral("面点"));
        QTest::mouseClick(m->addButton(), Qt::LeftButton);
        QCOMPARE(entries(a.list).last(), QStringLiteral("面点"));
        QCOMPARE(a.list->currentItem()->text(), QStringLiteral("汤"));
        QVERIFY(a.list->currentItem()->isSelected());

        db.exec(QStringLiteral("DELETE FROM \"02\" WHERE category = '汤'"));
        a.type(QStringLiteral("罗宋汤"), QStringLiteral("牛肉"), QStringLiteral("慢炖"));
        const QByteArray before = db.bytes();
        dialogs.clear();
        dialogs.answers.enqueue(DialogService::Yes);
        press(a.addcp);
        QCOMPARE(dialogs.texts().last(), QStringLiteral("分类“汤”已不存在，请重新选择菜谱分类。"));
        QCOMPARE(db.bytes(), before);
        QCOMPARE(a.name->text(), QStringLiteral("罗宋汤"));
        QCOMPARE(a.method->toPlainText(), QStringLiteral("慢炖"));
    }

    void dishWithoutPictureStoresNoPath()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        AddWindow a;
        a.open();
        QVERIFY(clickEntry(a.list, QStringLiteral(" 凉菜 ")));
        a.type(QStringLiteral("拍黄瓜"), QStringLiteral("黄瓜\u00a02根"), QStringLiteral("拍碎"));
        dialogs.answers.enqueue(DialogService::Yes);
        press(a.addcp);
        QCOMPARE(db.rows(QString::fromUtf8(AllDishes)).last(), QStringLiteral(" 凉菜 |拍黄瓜|黄瓜\u00a02根|拍碎|"));
        QCOMPARE(dialogs.messages.last().text, QStringLiteral(" 凉菜 保存完毕！"));
    }

    void refusalsWriteNothing_data()
    {
        QTest::addColumn<bool>("pickCategory");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("ingredients");
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("answer");   // -1: no scripted answer
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("servings");

        const QString ask = QStringLiteral("[鱼香肉丝]位于家常菜  目录下\r\n\r\n是否保存？");
        QTest::newRow("no category") << false << "鱼香肉丝" << "肉丝" << "炒" << -1 << "请先选择菜谱分类！" << "";
        QTest::newRow("blank name") << true << "   " << "肉丝" << "炒" << -1 << "资料都没有怎么保存啊？" << "";
        QTest::newRow("blank ingredients") << true << "鱼香肉丝" << "" << "炒" << -1 << "资料都没有怎么保存啊？" << "";
        QTest::newRow("blank method") << true << "鱼香肉丝" << "肉丝" << "  " << -1 << "资料都没有怎么保存啊？" << "";
        QTest::newRow("answered No") << true << "鱼香肉丝" << "肉丝" << "炒" << int(DialogService::No) << ask << "";
        QTest::newRow("box closed") << true << "鱼香肉丝" << "肉丝" << "炒" << -1 << ask << "";
        const QString servings = QStringLiteral("份量请填 1 到 99 之间的整数。");
        for (const char *typed : {"0", "100", "两", "3.5", "-2"})
            QTest::newRow(typed) << true << "鱼香肉丝" << "肉丝" << "炒" << -1 << servings << QString::fromUtf8(typed);
    }

    void refusalsWriteNothing()
    {
        QFETCH(bool, pickCategory);
        QFETCH(QString, name);
        QFETCH(QString, ingredients);
        QFETCH(QString, method);
        QFETCH(int, answer);
        QFETCH(QString, said);
        QFETCH(QString, servings);

        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        AddWindow a;
        a.open();
        if (pickCategory)
            QVERIFY(clickEntry(a.list, QStringLiteral("家常菜  ")));
        a.type(name, ingredients, method);
        typeText(a.w->servings(), servings);
        if (answer >= 0)
            dialogs.answers.enqueue(DialogService::Answer(answer));
        const QByteArray before = db.bytes();
        press(a.addcp);

        QCOMPARE(dialogs.texts(), QStringList{said});
        QCOMPARE(dialogs.messages.first().title,
                 answer == -1 && !said.startsWith(QLatin1Char('[')) ? QString() : QStringLiteral("保存菜谱"));
        QCOMPARE(db.bytes(), before);
        QCOMPARE(a.name->text(), name);
        QCOMPARE(a.ingredients->toPlainText(), ingredients);
        QCOMPARE(a.method->toPlainText(), method);
        QCOMPARE(testCatalogue().selectedCategory(), pickCategory ? QStringLiteral("家常菜  ") : QString());
    }

    void pictureChoice()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        AddWindow a;
        a.open();

        dialogs.pictures.enqueue(QString());   // cancelled
        press(a.addimage);
        QCOMPARE(dialogs.pictureDialogs, 1);
        QVERIFY(a.picturePath->text().isEmpty());
        QVERIFY(a.preview->pixmap().isNull());

        const QString good = writePicture(db, QStringLiteral("good.png"), Qt::green);
        dialogs.pictures.enqueue(good);
        press(a.addimage);
        QCOMPARE(a.picturePath->text(), good);
        QCOMPARE(previewColour(a.preview), QColor(Qt::green));
        // Fitted inside the box, centred, in its own proportions (40 x 30).
        const QSizeF shown = a.preview->pixmap().deviceIndependentSize();
        const QSize box = a.preview->contentsRect().size();
        QVERIFY(!a.preview->hasScaledContents() && a.preview->alignment() == Qt::AlignCenter);
        QVERIFY(qAbs(shown.width() - box.width()) <= 1 || qAbs(shown.height() - box.height()) <= 1);
        QVERIFY(qAbs(shown.width() * 30 - shown.height() * 40) <= 40);

        // Not a picture, then a file that is gone: the path is taken, the preview stays.
        const QString bad = db.dir() + QStringLiteral("bad.jpg");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("plain text, not a jpeg");
        f.close();
        for (const QString &path : {bad, db.dir() + QStringLiteral("gone.gif")}) {
            dialogs.pictures.enqueue(path);
            press(a.addimage);
            QCOMPARE(a.picturePath->text(), path);
            QCOMPARE(previewColour(a.preview), QColor(Qt::green));
        }
        QCOMPARE(dialogs.pictureDialogs, 4);

        dialogs.pictures.enqueue(QString());
        press(a.addimage);
        QCOMPARE(a.picturePath->text(), db.dir() + QStringLiteral("gone.gif"));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void categoryCarriedOverFromCategoryManager()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        CategoryWindow *m = Windows::show<CategoryWindow>(testCatalogue());
        QVERIFY(clickEntry(m->findChild<QListWidget *>(QStringLiteral("List1")), QStringLiteral(" 凉菜 ")));
        Windows::unload<CategoryWindow>();

        AddWindow a;
        a.open();
        QVERIFY(a.list->selectedItems().isEmpty());
        a.type(QStringLiteral("皮蛋豆腐"), QStringLiteral("皮蛋"), QStringLiteral("拌"));
        dialogs.answers.enqueue(DialogService::Yes);
        press(a.addcp);
        QCOMPARE(dialogs.messages.first().text, QStringLiteral("[皮蛋豆腐]位于 凉菜 目录下\r\n\r\n是否保存？"));
        QCOMPARE(db.rows(QString::fromUtf8(AllDishes)).last(), QStringLiteral(" 凉菜 |皮蛋豆腐|皮蛋|拌|"));
    }

    void storeFailureKeepsInput_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<int>("kind");
        QTest::newRow("file missing") << "missing" << int(StoreError::Missing);
        QTest::newRow("not a database") << "text" << int(StoreError::NotADatabase);
        QTest::newRow("locked by another program") << "locked" << int(StoreError::Busy);
    }

    void storeFailureKeepsInput()
    {
        QFETCH(QString, damage);
        QFETCH(int, kind);

        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        Windows::show<MainWindow>(testCatalogue());
        AddWindow a;
        a.open();
        QVERIFY(clickEntry(a.list, QStringLiteral("汤")));
        a.type(QStringLiteral("冬瓜汤"), QStringLiteral("冬瓜\n虾米"), QStringLiteral("煮"));
        dialogs.clear();

        std::unique_ptr<ExclusiveLock> lock;
        QByteArray text("冬瓜汤\r\n");
        if (damage == QLatin1String("missing")) {
            QVERIFY(QFile::remove(db.path()));
        } else if (damage == QLatin1String("text")) {
            QFile f(db.path());
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(text);
        } else {
            lock = std::make_unique<ExclusiveLock>(db.path());
            QVERIFY(lock->ok());
        }
        dialogs.answers.enqueue(DialogService::Yes);
        press(a.addcp);

        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages.at(1).text,
                 QStringLiteral("保存失败：") + storeText(StoreError::Kind(kind)));
        QCOMPARE(a.name->text(), QStringLiteral("冬瓜汤"));
        QCOMPARE(a.ingredients->toPlainText(), QStringLiteral("冬瓜\n虾米"));
        QCOMPARE(a.method->toPlainText(), QStringLiteral("煮"));
        QCOMPARE(testCatalogue().selectedCategory(), QStringLiteral("汤"));
        QCOMPARE(mainCaption(), countCaption(1));

        if (damage == QLatin1String("missing")) {
            QVERIFY(!QFile::exists(db.path()));
        } else if (damage == QLatin1String("text")) {
            QCOMPARE(db.bytes(), text);
        } else {
            lock.reset();
            QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"01\"")), QStringLiteral("1"));
            // Once the other program lets go, the same input saves.
            dialogs.clear();
            dialogs.answers.enqueue(DialogService::Yes);
            press(a.addcp);
            QCOMPARE(dialogs.messages.last().text, QStringLiteral("汤保存完毕！"));
            QCOMPARE(db.rows(QString::fromUtf8(AllDishes)).last(), QStringLiteral("汤|冬瓜汤|冬瓜\r\n虾米|煮|"));
            QCOMPARE(mainCaption(), countCaption(2));
        }
    }

    void savedWhenSummaryCannotBeWritten()
    {
        TestDb db(QString::fromUtf8(Seed));
        ScriptedDialogs dialogs;
        Windows::show<MainWindow>(testCatalogue());
        // temp.txt cannot be written: a side summary, it changes nothing else.
        QFile::remove(testCatalogue().summaryPath());
        QVERIFY(QDir().mkpath(testCatalogue().summaryPath()));
        AddWindow a;
        a.open();
        QVERIFY(clickEntry(a.list, QStringLiteral("家常菜  ")));
        a.type(QStringLiteral("炒青菜"), QStringLiteral("青菜"), QStringLiteral("炒"));
        dialogs.clear();
        dialogs.answers.enqueue(DialogService::Yes);
        press(a.addcp);

        QCOMPARE(dialogs.messages.size(), 2);
        const ShownMessage &done = dialogs.messages.at(1);
        QCOMPARE(done.text, QStringLiteral("家常菜  保存完毕！"));
        QCOMPARE(done.title, QStringLiteral("保存完毕"));
        QCOMPARE(mainCaption(), countCaption(2));
        QCOMPARE(db.rows(QString::fromUtf8(AllDishes)).last(), QStringLiteral("家常菜  |炒青菜|青菜|炒|"));
        QVERIFY(a.name->text().isEmpty());
        QVERIFY(testCatalogue().selectedCategory().isEmpty());
    }
};

QTEST_MAIN(TestAddDishWindow)
#include "tst_adddishwindow.moc"
