// The main window: start-up state, the catalogue tree after a rebuild, the
// caption, temp.txt, the dish display and the exit.
#include "app/cataloguemodel.h"
#include "app/dishmarksview.h"
#include "app/mainwindow.h"
#include "app/servingsview.h"
#include "app/treemenu.h"
#include "editing/tagswindow.h"
#include "files/exportwindow.h"
#include "files/restorewindow.h"
#include "store/backup.h"
#include "core/appinfo.h"
#include "core/fonts.h"
#include "core/registry.h"
#include "search/findwindow.h"
#include "skin/richtextbox.h"
#include "skin/imagecontrol.h"
#include "web/aboutwindow.h"
#include "otherprogram.h"
#include "printout.h"
#include "scripteddialogs.h"
#include "testdb.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QPainter>
#include <QSet>
#include <QTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTreeView>

using namespace zx;

namespace {
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QStringList childTexts(const QAbstractItemModel *m, const QModelIndex &parent)
{
    QStringList out;
    for (int i = 0; i < m->rowCount(parent); ++i)
        out << m->index(i, 0, parent).data().toString();
    return out;
}

QModelIndex childNamed(const QAbstractItemModel *m, const QModelIndex &parent, const QString &text,
                       int occurrence = 0)
{
    for (int i = 0; i < m->rowCount(parent); ++i) {
        const QModelIndex idx = m->index(i, 0, parent);
        if (idx.data().toString() == text && occurrence-- == 0)
            return idx;
    }
    return QModelIndex();
}

void clickNode(QTreeView *tv, const QModelIndex &index)
{
    tv->scrollTo(index);
    const QRect r = tv->visualRect(index);
    QVERIFY2(r.isValid(), "node not visible");
    QTest::mouseClick(tv->viewport(), Qt::LeftButton, {}, r.center());
}

const char *const Kitchen =
    "INSERT INTO \"02\"(category) VALUES ('凉菜'),(' 热菜 '),('汤'),('凉菜'),('空类');"
    "INSERT INTO \"01\"(category,\"名称\",ingredients,method,picture) VALUES"
    "('热菜','红烧肉','五花肉'||char(13,10)||'冰糖','焯水'||char(13,10)||'慢炖',''),"
    "('凉菜 ',' 拍黄瓜 ','黄瓜','拍碎拌匀',''),"
    "('热菜','鱼香肉丝','里脊','滑炒',''),"
    "('热菜','红烧肉','第二份五花肉','另一种做法',''),"
    "('无此类','孤儿菜','x','y',''),"
    "('热菜','Apple派','a','b',''),"
    "('凉菜','皮蛋豆腐','皮蛋','拌','');";
// The main window over the test catalogue: 热菜 open, its first 红烧肉 clicked.
MainWindow *showAtBraisedPork()
{
    MainWindow *w = Windows::show<MainWindow>(testCatalogue());
    QTreeView *tv = w->tree();
    const QModelIndex hot = childNamed(tv->model(), tv->model()->index(0, 0), "热菜");
    tv->expand(hot);
    clickNode(tv, childNamed(tv->model(), hot, "红烧肉"));
    return w;
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        Windows::unload<MainWindow>();
        flushDeletes();
    }

    // Within a category, dishes are in the order a Chinese reader expects:
    // digits by value first, then Chinese names by pinyin, each character by
    // its reading in the name, then Latin letters alphabetically.
    void dishesInPinyinOrder()
    {
        // 长寿面 is read chang shou, under c (not zhang), 重庆 chong qing.
        const QStringList ordered{"1号菜", "2号菜", "10号菜", "阿胶糕", "白菜", "白灼菜心", "菠菜", "长寿面", "重庆小面", "蛋炒饭",
                                  "豆腐", "红烧肉", "鱼香肉丝", "紫菜汤", "Apple派", "banana船"};
        QString sql = QStringLiteral("INSERT INTO \"02\"(category) VALUES ('菜');");
        for (int i = int(ordered.size()) - 1; i >= 0; i -= 2)   // odd places backwards, then the rest
            sql += QStringLiteral("INSERT INTO \"01\"(category, \"名称\") VALUES ('菜', '%1');").arg(ordered[i]);
        for (int i = int(ordered.size()) - 2; i >= 0; i -= 2)
            sql += QStringLiteral("INSERT INTO \"01\"(category, \"名称\") VALUES ('菜', '%1');").arg(ordered[i]);
        TestDb db(sql);
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        const QAbstractItemModel *m = w->tree()->model();
        QCOMPARE(childTexts(m, m->index(0, 0, m->index(0, 0))), ordered);
    }

    void startupBuildsTreeCaptionAndSummary()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        testCatalogue().setSelectedCategory(QStringLiteral("旧的"));
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        QVERIFY(QTest::qWaitForWindowExposed(w));

        QCOMPARE(testCatalogue().dataFolder(), db.dir());
        QVERIFY(testCatalogue().selectedCategory().isEmpty());
        QCOMPARE(w->windowTitle(), QStringLiteral("灶香居 2004 新春版 当前共有7道美食"));
        QCOMPARE(testCatalogue().totalDishes(), qint64(7));

        const QAbstractItemModel *m = w->tree()->model();
        QCOMPARE(m->rowCount(), 1);
        const QModelIndex root = m->index(0, 0);
        QCOMPARE(root.data().toString(), QStringLiteral("我的灶香居"));
        // Categories trimmed, in table order; a name listed twice is one node;
        // the dish of no listed category last, under 未分类.
        QCOMPARE(childTexts(m, root), (QStringList{"凉菜", "热菜", "汤", "空类", "未分类"}));
        // Dishes in pinyin order; same-name dishes both present.
        QCOMPARE(childTexts(m, m->index(0, 0, root)), (QStringList{"拍黄瓜", "皮蛋豆腐"}));
        QCOMPARE(childTexts(m, m->index(1, 0, root)),
                 (QStringList{"红烧肉", "红烧肉", "鱼香肉丝", "Apple派"}));
        QCOMPARE(m->rowCount(m->index(2, 0, root)), 0);
        const QModelIndex unfiled = m->index(4, 0, root);
        QCOMPARE(childTexts(m, unfiled), QStringList{"孤儿菜"});
        for (int i = 0; i < 4; ++i)
            QVERIFY(unfiled.data(CatalogueModel::KeyRole) != m->index(i, 0, root).data(CatalogueModel::KeyRole));

        // The catalogue keeps every listed name, trimmed, duplicates too.
        QCOMPARE(testCatalogue().data().categories, (QStringList{"凉菜", "热菜", "汤", "凉菜", "空类"}));

        // Root expanded and selected, categories collapsed.
        QVERIFY(w->tree()->isExpanded(root));
        for (int i = 0; i < m->rowCount(root); ++i)
            QVERIFY(!w->tree()->isExpanded(m->index(i, 0, root)));
        QCOMPARE(w->tree()->currentIndex(), root);

        QFile summary(db.dir() + "temp.txt");
        QVERIFY(summary.open(QIODevice::ReadOnly));
        QCOMPARE(summary.readAll(),
                 QByteArray("凉菜 = 2\r\n热菜 = 4\r\n汤 = 0\r\n凉菜 = 2\r\n空类 = 0\r\n"));
    }

    // Small Song text is drawn from the face's own bitmaps where a screen
    // pixel is a logical pixel: every pixel of a toolbar caption is its
    // colour or the background's. At twice the density, and at sizes the
    // face has no bitmaps for, the text is smoothed.
    void smallTextIsDrawnFromTheFontsBitmaps()
    {
        const auto shades = [](const QFont &font) {
            QImage image(120, 30, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            p.setFont(font);
            p.setPen(Qt::black);
            p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("每日菜谱 2004"));
            p.end();
            QSet<QRgb> seen;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    seen.insert(image.pixel(x, y));
            return seen.size();
        };
        chooseSongRendering(96, 2.0);
        QVERIFY(shades(songFont(9)) > 2);
        chooseSongRendering(96, 1.0);
        QCOMPARE(shades(songFont(9)), 2);
        QCOMPARE(shades(songFont(12, true)), 2);
        QVERIFY(shades(songFont(18)) > 2);
        chooseSongRendering(0, 1.0);
        QVERIFY(shades(songFont(9)) > 2);
    }

    void nodePicturesFollowSelection()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        MainWindow *w = Windows::get<MainWindow>(testCatalogue());
        const QAbstractItemModel *m = w->tree()->model();
        const QModelIndex root = m->index(0, 0);
        const QModelIndex cat = m->index(0, 0, root);
        const QModelIndex dish = m->index(0, 0, cat);
        auto picture = [](const QModelIndex &i, QIcon::Mode mode) {
            return qvariant_cast<QIcon>(i.data(Qt::DecorationRole)).pixmap(16, 16, mode).toImage();
        };
        QVERIFY(!picture(root, QIcon::Normal).isNull());
        QCOMPARE(picture(root, QIcon::Selected), picture(root, QIcon::Normal));
        QVERIFY(picture(cat, QIcon::Normal) != picture(cat, QIcon::Selected));
        QVERIFY(picture(dish, QIcon::Normal) != picture(dish, QIcon::Selected));
        QVERIFY(picture(cat, QIcon::Normal) != picture(dish, QIcon::Normal));
    }

    void dishClickShowsThatRow()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTreeView *tv = w->tree();
        const QAbstractItemModel *m = tv->model();
        const QModelIndex hot = m->index(1, 0, m->index(0, 0));

        // A click on the root or a category leaves the display as it is.
        clickNode(tv, m->index(0, 0));
        clickNode(tv, hot);
        QVERIFY(w->name()->text().isEmpty());
        QVERIFY(!w->name()->isReadOnly());

        tv->expand(hot);
        clickNode(tv, childNamed(m, hot, "红烧肉", 0));
        QCOMPARE(w->name()->text(), QStringLiteral("红烧肉"));
        QCOMPARE(w->ingredients()->text(), QStringLiteral("五花肉\r\n冰糖"));
        QCOMPARE(w->method()->text(), QStringLiteral("焯水\r\n慢炖"));
        QVERIFY(w->name()->isReadOnly() && w->ingredients()->isReadOnly() && w->method()->isReadOnly());
        // The print is of the dish shown, a line for each line of its texts.
        {
            ScriptedDialogs dialogs;
            const QStringList printed = printedLines(printOut(dialogs, [w] { w->printShown(); }));
            QVERIFY(printed.contains(QStringLiteral("菜 名: 红烧肉")));
            QCOMPARE(printed.mid(printed.indexOf(QStringLiteral("配 料:")) + 1, 2), (QStringList{"五花肉", "冰糖"}));
            QCOMPARE(printed.mid(printed.indexOf(QStringLiteral("制作方法:")) + 1, 2), (QStringList{"焯水", "慢炖"}));
        }

        // The second dish of the same name shows its own row.
        clickNode(tv, childNamed(m, hot, "红烧肉", 1));
        QCOMPARE(w->ingredients()->text(), QStringLiteral("第二份五花肉"));

        // Names and texts are shown trimmed.
        const QModelIndex cold = m->index(0, 0, m->index(0, 0));
        tv->expand(cold);
        clickNode(tv, childNamed(m, cold, "拍黄瓜"));
        QCOMPARE(w->name()->text(), QStringLiteral("拍黄瓜"));

        // A dish of no listed category is shown from 未分类.
        const QModelIndex unfiled = m->index(4, 0, m->index(0, 0));
        tv->expand(unfiled);
        clickNode(tv, childNamed(m, unfiled, "孤儿菜"));
        QCOMPARE(w->name()->text(), QStringLiteral("孤儿菜"));
        clickNode(tv, childNamed(m, cold, "拍黄瓜"));

        // A rebuild leaves the display alone.
        db.exec("DELETE FROM \"01\" WHERE \"名称\" LIKE '%黄瓜%';");
        QVERIFY(testCatalogue().refresh().ok());
        QCOMPARE(w->name()->text(), QStringLiteral("拍黄瓜"));
        QCOMPARE(w->windowTitle(), QStringLiteral("灶香居 2004 新春版 当前共有6道美食"));
    }

    // The arrow keys in the tree show the dish that becomes current.
    void keyboardInTheTreeShowsTheDish()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->tree()->setFocus();
        const QAbstractItemModel *m = w->tree()->model();
        w->tree()->setCurrentIndex(m->index(0, 0, m->index(0, 0)));   // 凉菜
        QTest::keyClick(w->tree(), Qt::Key_Right);   // open it
        QTest::keyClick(w->tree(), Qt::Key_Down);    // its first dish
        QCOMPARE(w->name()->text(), QStringLiteral("拍黄瓜"));
        QTest::keyClick(w->tree(), Qt::Key_Down);
        QCOMPARE(w->name()->text(), QStringLiteral("皮蛋豆腐"));
    }

    void displayFollowsAnEditOfTheShownDish()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        ScriptedDialogs dialogs;
        QImage green(20, 10, QImage::Format_RGB32);
        green.fill(Qt::green);
        QVERIFY(green.save(db.dir() + "green.png"));
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QAbstractItemModel *m = w->tree()->model();
        const QModelIndex hot = m->index(1, 0, m->index(0, 0));
        w->tree()->expand(hot);
        clickNode(w->tree(), childNamed(m, hot, "鱼香肉丝"));
        QCOMPARE(w->ingredients()->text(), QStringLiteral("里脊"));

        // The cook edits that dish in the search window and stores it.
        FindWindow *find = Windows::show<FindWindow>(testCatalogue());
        find->findChild<QLineEdit *>("Text1")->setText("鱼香");
        find->search();
        find->findChild<QListWidget *>("List1")->setCurrentRow(0);
        find->findChild<QLineEdit *>("Text1")->setText("鱼香肉丝（改）");
        find->findChild<QTextEdit *>("Text3")->setPlainText("里脊\n木耳");
        dialogs.pictures.enqueue(db.dir() + "green.png");
        find->choosePicture();
        dialogs.answers.enqueue(DialogService::Yes);
        find->storeEdit();
        QVERIFY(!Windows::loaded<FindWindow>());

        QCOMPARE(w->name()->text(), QStringLiteral("鱼香肉丝（改）"));
        QCOMPARE(w->ingredients()->text(), QStringLiteral("里脊\r\n木耳"));
        QCOMPARE(w->picture()->picture().size(), QSize(20, 10));
        // The print follows the edit as well.
        const QStringList printed = printedLines(printOut(dialogs, [w] { w->printShown(); }));
        QVERIFY(printed.contains(QStringLiteral("菜 名: 鱼香肉丝（改）")));
        QCOMPARE(printed.mid(printed.indexOf(QStringLiteral("配 料:")) + 1, 2), (QStringList{"里脊", "木耳"}));

        // An edit of another dish leaves the display alone.
        QVERIFY(testCatalogue().updateDish(1, "红烧肉", "别的", "别的", "").ok());
        QCOMPARE(w->name()->text(), QStringLiteral("鱼香肉丝（改）"));
        QCOMPARE(w->ingredients()->text(), QStringLiteral("里脊\r\n木耳"));
    }

    void pictureShownAndEmptyWhenUnreadable()
    {
        TestDb db;
        ScriptedDialogs dialogs;
        QImage red(40, 30, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(db.dir() + "red.png"));
        db.exec(QString("INSERT INTO \"02\"(category) VALUES ('菜');"
                        "INSERT INTO \"01\"(category,\"名称\",ingredients,method,picture) VALUES"
                        "('菜','有图','a','b','%1red.png'),('菜','坏图','a','b','%1nothing.png'),"
                        "('菜','无图','a','b','  '),('菜','空白',NULL,NULL,NULL);").arg(db.dir()));
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QAbstractItemModel *m = w->tree()->model();
        const QModelIndex cat = m->index(0, 0, m->index(0, 0));
        w->tree()->expand(cat);
        clickNode(w->tree(), childNamed(m, cat, "有图"));
        QCOMPARE(w->picture()->picture().size(), QSize(40, 30));
        // A picture that cannot be loaded leaves the frame empty, never
        // the previous dish's picture.
        clickNode(w->tree(), childNamed(m, cat, "坏图"));
        QCOMPARE(w->name()->text(), QStringLiteral("坏图"));
        QVERIFY(!w->picture()->hasPicture());
        clickNode(w->tree(), childNamed(m, cat, "有图"));
        clickNode(w->tree(), childNamed(m, cat, "无图"));
        QVERIFY(!w->picture()->hasPicture());

        // Columns without a value read as empty.
        clickNode(w->tree(), childNamed(m, cat, "有图"));
        clickNode(w->tree(), childNamed(m, cat, "空白"));
        QCOMPARE(w->name()->text(), QStringLiteral("空白"));
        QCOMPARE(w->ingredients()->text(), QString());
        QCOMPARE(w->method()->text(), QString());
        QVERIFY(!w->picture()->hasPicture());
        // Nothing to print in a dish without ingredients or method.
        w->printShown();
        QCOMPARE(dialogs.printerDialogs, 0);
    }

    // cate.mdb rewritten by another program: the node clicked on the old
    // tree must not show the row that now has its id.
    void clickAfterAnOutsideChangeShowsNoOtherDish()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        const QAbstractItemModel *m = w->tree()->model();
        const QModelIndex hot = m->index(1, 0, m->index(0, 0));
        w->tree()->expand(hot);
        clickNode(w->tree(), childNamed(m, hot, "红烧肉"));
        const QModelIndex stale = childNamed(m, hot, "鱼香肉丝");
        db.exec(QString("DELETE FROM \"01\"; DELETE FROM \"02\"; INSERT INTO \"02\"(category) VALUES ('瓜果');"
                        "INSERT INTO \"01\"(id,category,\"名称\",ingredients,method,picture) VALUES"
                        "(%1,'瓜果','木瓜','木瓜','炖','');").arg(stale.data(CatalogueModel::DishIdRole).toLongLong()));
        clickNode(w->tree(), stale);
        QCOMPARE(w->name()->text(), QString());
        QCOMPARE(w->ingredients()->text(), QString());
        // The tree was drawn anew from the file as it now is.
        QCOMPARE(childTexts(m, m->index(0, 0)), QStringList{"瓜果"});
    }

    // A change keeps the open nodes, the selection, the scroll and the
    // keyboard; a dish added elsewhere opens nothing; the selected dish gone,
    // the dish now in its place is selected, and with none left its category.
    void treeKeepsItsPlaceThroughChanges()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        MainWindow *w = showAtBraisedPork();
        QTreeView *tv = w->tree();
        const QAbstractItemModel *m = tv->model();
        tv->setFocus();
        auto place = [&] {
            QStringList open;
            for (const QString &c : childTexts(m, m->index(0, 0)))
                if (tv->isExpanded(childNamed(m, m->index(0, 0), c)))
                    open << c;
            return open.join(QLatin1Char(',')) + QLatin1Char('|') + tv->currentIndex().parent().data().toString()
                   + QLatin1Char('/') + tv->currentIndex().data().toString();
        };
        const qint64 shown = tv->currentIndex().data(CatalogueModel::DishIdRole).toLongLong();
        QCOMPARE(place(), QStringLiteral("热菜|热菜/红烧肉"));
        QVERIFY(testCatalogue().addDish(QStringLiteral("汤"), QStringLiteral("蛋花汤"), "蛋", "煮", QString()).ok());
        QCOMPARE(place(), QStringLiteral("热菜|热菜/红烧肉"));
        QCOMPARE(tv->currentIndex().data(CatalogueModel::DishIdRole).toLongLong(), shown);
        QCOMPARE(w->focusWidget(), tv);
        db.exec(QStringLiteral("DELETE FROM \"01\" WHERE id = %1").arg(shown));
        QVERIFY(testCatalogue().followOutsideChanges());
        QCOMPARE(place(), QStringLiteral("热菜|热菜/红烧肉"));   // the other 红烧肉, now in its place
        QVERIFY(tv->currentIndex().data(CatalogueModel::DishIdRole).toLongLong() != shown);
        db.exec(QStringLiteral("DELETE FROM \"01\" WHERE trim(category) = '热菜'"));
        QVERIFY(testCatalogue().followOutsideChanges());
        QCOMPARE(place(), QStringLiteral("热菜|我的灶香居/热菜"));
    }

    // The Delete key deletes the one dish selected, by its id, after a yes
    // and a safety copy; the tree's menu moves a dish, which stays selected.
    void treeDeletesAndMovesOneDish()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        ScriptedDialogs dialogs;
        dialogs.answers.enqueue(DialogService::Yes);
        MainWindow *w = showAtBraisedPork();
        QTreeView *tv = w->tree();
        const qint64 gone = tv->currentIndex().data(CatalogueModel::DishIdRole).toLongLong();
        QTest::keyClick(tv, Qt::Key_Delete);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("真的要删除 红烧肉吗？"));
        QCOMPARE(dialogs.messages[0].title, QStringLiteral("：：删除菜谱：："));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"01\" WHERE id = %1").arg(gone)), "0");
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM \"01\" WHERE \"名称\" = '红烧肉'")), "1");
        QCOMPARE(QDir(db.dir() + "备份").entryList({"*-删除菜谱.mdb"}).size(), 1);
        const qint64 kept = tv->currentIndex().data(CatalogueModel::DishIdRole).toLongLong();
        QVERIFY(kept != gone && tv->currentIndex().data().toString() == "红烧肉");

        std::unique_ptr<QMenu> menu(w->treeMenu()->menuFor(tv->currentIndex()));
        QMenu *moves = menu->findChild<QMenu *>();
        QStringList offered;
        for (QAction *a : moves->actions())
            offered << a->text() + (a->isEnabled() ? "" : "(灰)");
        QCOMPARE(offered, QStringList({"凉菜", "热菜(灰)", "汤", "空类"}));
        moves->actions().at(2)->trigger();   // 汤
        QCOMPARE(db.scalar(QStringLiteral("SELECT category FROM \"01\" WHERE id = %1").arg(kept)), "汤");
        QCOMPARE(tv->currentIndex().parent().data().toString() + "/" + tv->currentIndex().data().toString(), "汤/红烧肉");
        QCOMPARE(tv->currentIndex().data(CatalogueModel::DishIdRole).toLongLong(), kept);
        QVERIFY(tv->isExpanded(tv->currentIndex().parent()));
    }

    // Ctrl+D and the menu make a dish a favourite and back: a starred
    // picture in the tree, a star in the name box, the texts unchanged.
    void favouritesByKeyAndMenu()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        MainWindow *w = showAtBraisedPork();
        QTreeView *tv = w->tree();
        const qint64 id = tv->currentIndex().data(CatalogueModel::DishIdRole).toLongLong();
        auto iconKey = [tv] { return tv->currentIndex().data(Qt::DecorationRole).value<QIcon>().cacheKey(); };
        auto offered = [w, tv] {
            std::unique_ptr<QMenu> menu(w->treeMenu()->menuFor(tv->currentIndex()));
            return menu->actions().at(1)->text();
        };
        QLabel *star = w->marksView()->star();
        QCOMPARE(offered(), QStringLiteral("加入我的最爱"));
        QTest::keyClick(tv, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(db.scalar(QStringLiteral("SELECT favourite FROM marks_dish WHERE dish = %1").arg(id)), "1");
        QCOMPARE(iconKey(), CatalogueModel::favouriteIcon().cacheKey());
        QVERIFY(star->isVisible());
        QCOMPARE(star->accessibleName(), QStringLiteral("我的最爱"));
        QCOMPARE(w->name()->text(), QStringLiteral("红烧肉"));
        QCOMPARE(tv->currentIndex().data().toString(), QStringLiteral("红烧肉"));
        std::unique_ptr<QMenu> menu(w->treeMenu()->menuFor(tv->currentIndex()));
        QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("移出我的最爱"));
        menu->actions().at(1)->trigger();
        QCOMPARE(db.scalar(QStringLiteral("SELECT favourite FROM marks_dish WHERE dish = %1").arg(id)), "0");
        QCOMPARE(iconKey(), CatalogueModel::nodeIcon(CatalogueModel::Dish).cacheKey());
        QVERIFY(!star->isVisible());
    }

    // The 份量 box scales what is shown and printed, never what is stored;
    // lines it cannot scale stay as written, grey; another dish brings its
    // own number back.
    void servingsScaleTheShownIngredients()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        db.exec("UPDATE \"01\" SET ingredients = '五花肉 500克'||char(13,10)||'冰糖 适量'||char(13,10)||'八角2个' WHERE id = 1;");
        ScriptedDialogs dialogs;
        MainWindow *w = showAtBraisedPork();
        QSpinBox *box = w->servingsView()->box();
        QCOMPARE(box->accessibleName(), QStringLiteral("份量"));
        QCOMPARE(box->text(), QStringLiteral("—"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Up);
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(box->text(), QStringLiteral("2人份"));
        QCOMPARE(w->ingredients()->text(), QStringLiteral("五花肉 1000克\r\n冰糖 适量\r\n八角4个"));
        const auto colour = [w](int line) {
            const QTextBlock block = w->ingredients()->document()->findBlockByNumber(line);
            return QTextCursor(block).charFormat().foreground().color();
        };
        QCOMPARE(colour(1), QColor(0x80, 0x80, 0x80));
        QVERIFY(colour(0) != colour(1));
        const QStringList printed = printedLines(printOut(dialogs, [w] { w->printShown(); }));
        QVERIFY(printed.contains(QStringLiteral("菜 名: 红烧肉（按 2 人份）")));
        QCOMPARE(printed.mid(printed.indexOf(QStringLiteral("配 料:")) + 1, 1), QStringList{"五花肉 1000克"});
        QVERIFY(db.scalar("SELECT ingredients FROM \"01\" WHERE id = 1").startsWith(QStringLiteral("五花肉 500克")));

        const EditedMarks four{{}, 4};
        QVERIFY(*testCatalogue().updateDish(1, QStringLiteral("红烧肉"), db.scalar("SELECT ingredients FROM \"01\" WHERE id = 1"),
                                            QStringLiteral("焯水"), {}, {}, &four));
        QCOMPARE(box->text(), QStringLiteral("4人份"));
        QCOMPARE(w->ingredients()->text(), QStringLiteral("五花肉 500克\r\n冰糖 适量\r\n八角2个"));
        box->setValue(2);
        QCOMPARE(w->ingredients()->text(), QStringLiteral("五花肉 250克\r\n冰糖 适量\r\n八角1个"));
        QCOMPARE(box->minimum(), 1);
    }

    // The menus' tags windows: one tag to a category in one write, a dish's
    // own tags edited (a tag too long refused), the grey line following.
    void tagsFromTheMenus()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        ScriptedDialogs dialogs;
        MainWindow *w = showAtBraisedPork();
        QTreeView *tv = w->tree();
        auto chose = [w](const QModelIndex &node, const QString &text) {
            std::unique_ptr<QMenu> menu(w->treeMenu()->menuFor(node));
            for (QAction *a : menu->actions())
                if (a->text() == text)
                    a->trigger();
            return Windows::loaded<TagsWindow>();
        };
        TagsWindow *tags = chose(tv->currentIndex().parent(), QStringLiteral("给本分类加标签…"));
        QVERIFY(tags);
        tags->tags()->setText(QStringLiteral("快手菜"));
        QTest::keyClick(tags->tags(), Qt::Key_Return);
        QCOMPARE(db.scalar("SELECT count(*) FROM marks_tags WHERE tag = '快手菜'"),
                 db.scalar("SELECT count(*) FROM \"01\" WHERE trim(category) = '热菜'"));
        QCOMPARE(w->marksView()->tags()->text(), QStringLiteral("标签：快手菜"));
        flushDeletes();
        tags = chose(tv->currentIndex(), QStringLiteral("标签…"));
        QCOMPARE(tags->tags()->text(), QStringLiteral("快手菜"));
        tags->tags()->setText(QStringLiteral("麻辣 ") + QString(21, QChar(0x8fa3)));
        QTest::keyClick(tags->tags(), Qt::Key_Return);
        QCOMPARE(dialogs.messages.last().text, QStringLiteral("标签太长（最多 20 个字）：") + QString(21, QChar(0x8fa3)));
        tags->tags()->setText(QStringLiteral("麻辣、下饭"));
        QTest::keyClick(tags->tags(), Qt::Key_Return);
        QCOMPARE(w->marksView()->tags()->text(), QStringLiteral("标签：麻辣 下饭"));
        QVERIFY(w->marksView()->tags()->isVisible());
        flushDeletes();
        QVERIFY(!Windows::loaded<TagsWindow>());
    }

    // A cookbook archive made through the menu brings the same dishes back
    // into an emptied catalogue (the pair of equal dishes, the dish of an
    // unlisted category, the picture's bytes), and a second import adds none.
    void exportedArchiveImportsBackTheSameDishes()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        QImage photo(40, 30, QImage::Format_RGB32);
        photo.fill(Qt::darkRed);
        QVERIFY(photo.save(db.dir() + "p.png"));
        db.exec("UPDATE \"01\" SET picture='" + db.dir() + "p.png' WHERE \"名称\"='鱼香肉丝';"
                "INSERT INTO \"01\"(category,\"名称\",ingredients,method) VALUES('汤','蛋花汤','蛋','煮'),('汤','蛋花汤','蛋','煮');");
        const QString dishes = "SELECT trim(category,' ')||'/'||trim(\"名称\",' ')||'/'||ingredients||'/'||method FROM \"01\" ORDER BY 1";
        const QStringList before = db.rows(dishes);
        ScriptedDialogs dialogs;
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        const QModelIndex root = w->tree()->model()->index(0, 0);
        const auto trigger = [&](const QString &text) {
            std::unique_ptr<QMenu> menu(w->treeMenu()->menuFor(root));
            for (QAction *a : menu->actions())
                if (a->text() == text)
                    return a->trigger();
            QFAIL(qPrintable("no menu entry " + text));
        };
        const QString zip = db.dir() + "菜谱.zip";
        dialogs.exportTargets.enqueue(zip);
        trigger("导出全部菜谱…");
        auto *exporter = Windows::loaded<ExportWindow>();
        QVERIFY(exporter && exporter->isVisible());
        exporter->archiveChoice()->click();
        QTest::mouseClick(exporter->exportButton(), Qt::LeftButton);
        QTRY_COMPARE(dialogs.texts(), QStringList({"已导出 9 道美食到 " + zip + "。"}));

        db.exec("DELETE FROM \"01\"; DELETE FROM \"02\";");
        testCatalogue().followOutsideChanges();
        for (int round = 0; round < 2; ++round) {
            dialogs.recipeSources.enqueue({zip});
            trigger("导入菜谱…");
            QTRY_COMPARE(dialogs.texts().size(), round + 2);
        }
        QCOMPARE(db.rows(dishes), before);
        QCOMPARE(dialogs.texts().mid(1), QStringList({"导入了 9 道美食（跳过 0 道相同的）。\n放进了：热菜 4 道、无此类 1 道、凉菜 2 道、汤 2 道",
                                                      "导入了 0 道美食（跳过 9 道相同的）。"}));
        QFile kept(db.scalar("SELECT picture FROM \"01\" WHERE \"名称\"='鱼香肉丝'")), original(db.dir() + "p.png");
        QVERIFY(kept.fileName().startsWith(db.dir() + "图片/") && kept.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), original.readAll());
        // The second round added nothing: it made no safety copy.
        QCOMPARE(QDir(db.dir() + "备份").entryList({"*-导入.mdb"}).size(), 1);
        QCOMPARE(w->tree()->currentIndex().data(CatalogueModel::DishIdRole).toString(),
                 db.scalar("SELECT min(id) FROM \"01\""));
    }

    // Files dropped on a category node go into that category; a source
    // that is no recipe is named in the summary.
    void droppedFilesImportIntoTheCategoryUnderThem()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        ScriptedDialogs dialogs;
        QFile json(db.dir() + "r.json");
        QVERIFY(json.open(QIODevice::WriteOnly));
        json.write(R"({"@type":"Recipe","name":"拖来的汤","recipeCategory":"别处","recipeIngredient":["水"],"recipeInstructions":"煮"})");
        json.close();
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        QTreeView *tv = w->tree();
        const QModelIndex soup = childNamed(tv->model(), tv->model()->index(0, 0), "汤");
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(json.fileName()), QUrl::fromLocalFile(db.dir() + "不在.html")});
        const QPoint at = tv->visualRect(soup).center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(tv->viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(tv->viewport(), &drop);
        QTRY_COMPARE(dialogs.texts(), QStringList({"导入了 1 道美食（跳过 0 道相同的）。\n放进了：汤 1 道\n不在.html：找不到这个文件"}));
        QCOMPARE(db.scalar("SELECT category FROM \"01\" WHERE \"名称\"='拖来的汤'"), "汤");
    }

    // A picture is copied into 图片 only for a dish that comes in: not
    // when the write is refused, nor for a dish skipped as equal.
    void picturesFollowOnlyTheDishesThatComeIn()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        RecipeStore::setBusyTimeout(50);
        ScriptedDialogs dialogs;
        const QString dish = db.dir() + "来的菜/";
        QVERIFY(QDir().mkpath(dish));
        QFile json(dish + "recipe.json");
        QVERIFY(json.open(QIODevice::WriteOnly));
        json.write(R"({"@type":"Recipe","name":"带图的菜","recipeIngredient":["水"],"recipeInstructions":"煮"})");
        json.close();
        const auto photo = [&](Qt::GlobalColor colour) {
            QImage picture(8, 8, QImage::Format_RGB32);
            picture.fill(colour);
            QVERIFY(picture.save(dish + "full.png"));
        };
        photo(Qt::red);
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        const auto importOnce = [&](int texts) {
            dialogs.recipeSources.enqueue({dish});
            std::unique_ptr<QMenu> menu(w->treeMenu()->menuFor(w->tree()->model()->index(0, 0)));
            for (QAction *a : menu->actions())
                if (a->text() == "导入菜谱…")
                    a->trigger();
            QTRY_COMPARE(dialogs.texts().size(), texts);
        };
        const auto kept = [&] { return QDir(db.dir() + "图片").entryList(QDir::Files); };
        {
            OtherProgram other(db.path());
            QVERIFY(other.lockExclusively());
            importOnce(1);
            QVERIFY2(dialogs.texts().last().startsWith("导入失败，菜谱没有改动："), qPrintable(dialogs.texts().last()));
            QCOMPARE(kept(), QStringList());
        }
        importOnce(2);
        QCOMPARE(kept().size(), 1);
        QCOMPARE(db.scalar("SELECT picture FROM \"01\" WHERE \"名称\"='带图的菜'"), db.dir() + "图片/" + kept().first());
        photo(Qt::blue);
        importOnce(3);
        QCOMPARE(dialogs.texts().last(), "导入了 0 道美食（跳过 1 道相同的）。");
        QCOMPARE(kept().size(), 1);
        RecipeStore::setBusyTimeout(1000);
    }

    void missingStoreGivesEmptyTreeAndDesignCaption()
    {
        TestDb db;
        QFile::remove(db.path());
        ScriptedDialogs dialogs;
        MainWindow *w = Windows::get<MainWindow>(testCatalogue());
        QCOMPARE(w->windowTitle(), QString::fromUtf8(MainWindow::DesignCaption));
        QCOMPARE(w->tree()->model()->rowCount(), 0);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(!QFile::exists(db.path()));
        QVERIFY(!testCatalogue().refresh().ok());
    }

    // No usable file but copies in 备份: the root and its menu stay, the
    // caption says so, and the window the start's yes opens restores the
    // newest copy on Enter and 是. A dish shown before a restore is read
    // again from the restored file, or goes with it.
    void restoreShowsWhatItRestored()
    {
        TestDb db(Kitchen);
        ScriptedDialogs dialogs;
        const QDateTime nine(QDate(2026, 12, 8), QTime(9, 0));
        QVERIFY(Backup::makeCopy(db.path(), Backup::Reason::Import, nine).ok());
        db.exec("DELETE FROM \"01\" WHERE rowid = 1");
        QVERIFY(Backup::makeCopy(db.path(), Backup::Reason::Import, nine.addSecs(60)).ok());
        QVERIFY(QFile::remove(db.path()));
        MainWindow *w = Windows::get<MainWindow>(testCatalogue());
        QCOMPARE(w->windowTitle(), QStringLiteral("灶香居 2004 新春版 cate.mdb 无法使用"));
        QCOMPARE(w->tree()->model()->rowCount(), 1);
        RestoreWindow *restore = Windows::show<RestoreWindow>(testCatalogue());
        restore->selectNewestUsable();
        restore->copies()->setCurrentRow(1);   // the older one, 红烧肉 still in it
        dialogs.answers.enqueue(DialogService::Yes);
        QTest::keyClick(restore->copies(), Qt::Key_Return);
        QCOMPARE(w->windowTitle(), QStringLiteral("灶香居 2004 新春版 当前共有7道美食"));

        showAtBraisedPork();
        QCOMPARE(w->ingredients()->text(), QStringLiteral("五花肉\r\n冰糖"));
        restore->listCopies();
        restore->selectNewestUsable();   // the copy without it
        dialogs.answers.enqueue(DialogService::Yes);
        QTest::keyClick(restore->copies(), Qt::Key_Return);
        QCOMPARE(w->windowTitle(), QStringLiteral("灶香居 2004 新春版 当前共有6道美食"));
        QCOMPARE(w->name()->text(), QString());
        QTest::mouseClick(w->findChild<ImageControl *>("print"), Qt::LeftButton);
        QCOMPARE(dialogs.printerDialogs, 0);
        Windows::unload<RestoreWindow>();
    }

    void emptyTablesGiveRootAndZero()
    {
        TestDb db("INSERT INTO \"02\"(category) VALUES ('a'),('b');");
        MainWindow *w = Windows::get<MainWindow>(testCatalogue());
        QCOMPARE(w->windowTitle(), QStringLiteral("灶香居 2004 新春版 当前共有0道美食"));
        QCOMPARE(childTexts(w->tree()->model(), w->tree()->model()->index(0, 0)), (QStringList{"a", "b"}));
        db.exec("DELETE FROM \"02\";");
        QVERIFY(testCatalogue().refresh().ok());
        QCOMPARE(w->tree()->model()->rowCount(), 1);
        QFile summary(db.dir() + "temp.txt");
        QVERIFY(summary.open(QIODevice::ReadOnly));
        QCOMPARE(summary.size(), 0);
    }

    void printNeedsNameIngredientsAndMethod()
    {
        TestDb db("INSERT INTO \"02\"(category) VALUES ('菜');"
                  "INSERT INTO \"01\"(category,\"名称\",ingredients,method,picture) VALUES"
                  "('菜','白米饭','米','  ',''),('菜','白粥','  米 ','熬','');");
        ScriptedDialogs dialogs;
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // No dish shown: the print button does nothing.
        QTest::mouseClick(w->findChild<ImageControl *>("print"), Qt::LeftButton);
        QCOMPARE(dialogs.printerDialogs, 0);

        // A dish whose method is only blanks shows none and prints nothing.
        const QAbstractItemModel *m = w->tree()->model();
        const QModelIndex cat = m->index(0, 0, m->index(0, 0));
        w->tree()->expand(cat);
        clickNode(w->tree(), childNamed(m, cat, "白米饭"));
        QCOMPARE(w->name()->text(), QStringLiteral("白米饭"));
        QTest::mouseClick(w->findChild<ImageControl *>("print"), Qt::LeftButton);
        QCOMPARE(dialogs.printerDialogs, 0);

        // A whole dish opens the printer dialog once and prints it trimmed.
        clickNode(w->tree(), childNamed(m, cat, "白粥"));
        const QStringList printed = printedLines(printOut(dialogs, [w] {
            QTest::mouseClick(w->findChild<ImageControl *>("print"), Qt::LeftButton);
        }));
        QCOMPARE(dialogs.printerDialogs, 1);
        QVERIFY(printed.contains(QStringLiteral("菜 名: 白粥")));
        QCOMPARE(printed.mid(printed.indexOf(QStringLiteral("配 料:")) + 1, 1), QStringList{"米"});
        QCOMPARE(printed.mid(printed.indexOf(QStringLiteral("制作方法:")) + 1, 1), QStringList{"熬"});
    }

    // 导出菜谱 offers the kind of cookbook exported last, and Enter
    // presses 导 出 (which asks where to).
    void exportRemembersTheKindAndEnterExports()
    {
        TestDb db(QString::fromUtf8(Kitchen));
        ScriptedDialogs dialogs;
        auto *first = Windows::show<ExportWindow>(testCatalogue());
        first->webChoice()->click();
        dialogs.exportTargets.enqueue(QString());   // asked where to, and cancelled
        QTest::keyClick(first->webChoice(), Qt::Key_Return);
        QVERIFY(dialogs.exportTargets.isEmpty());
        Windows::unload<ExportWindow>();
        auto *again = Windows::show<ExportWindow>(testCatalogue());
        QVERIFY(again->webChoice()->isChecked());
        again->archiveChoice()->click();
        dialogs.exportTargets.enqueue(db.dir() + "菜谱.zip");
        QTest::keyClick(again->archiveChoice(), Qt::Key_Enter, Qt::KeypadModifier);
        QTRY_VERIFY(!dialogs.texts().isEmpty() && dialogs.texts().last().startsWith(QStringLiteral("已导出")));
        Windows::unload<ExportWindow>();
        QVERIFY(Windows::show<ExportWindow>(testCatalogue())->archiveChoice()->isChecked());
        Windows::unload<ExportWindow>();
    }

    void toolbarAndExit()
    {
        TestDb db("INSERT INTO \"02\"(category) VALUES ('菜');");
        ScriptedDialogs dialogs;
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QStringList buttons{"Image2", "Image3", "Image4", "Image11", "Image5", "Image6"};
        QList<QWidget *> opened;
        for (const QString &name : buttons) {
            auto *button = w->findChild<ImageControl *>(name);
            QVERIFY2(button, qPrintable(name));
            QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
            const QWidgetList before = QApplication::topLevelWidgets();
            QTest::mouseClick(button, Qt::LeftButton);
            QWidget *shown = nullptr;
            for (QWidget *t : QApplication::topLevelWidgets())
                if (!before.contains(t) && t->isVisible())
                    shown = t;
            QVERIFY2(shown, qPrintable(name));
            // A second press brings up the same window.
            QTest::mouseClick(button, Qt::LeftButton);
            for (QWidget *t : QApplication::topLevelWidgets())
                QVERIFY(before.contains(t) || t == shown || !t->isVisible());
            opened << shown;
        }
        QStringList names;
        for (QWidget *o : opened)
            names << o->objectName();
        QCOMPARE(names, (QStringList{"daycate", "Add", "find", "addmulu", "down", "about"}));
        // The recipes are not in the program's folder: the download note names theirs.
        QVERIFY(opened.at(4)->findChild<QLabel *>("Label1")->text().contains(QDir::toNativeSeparators(QDir::cleanPath(db.dir()))));

        QTest::mouseClick(w->findChild<ImageControl *>("Image7"), Qt::LeftButton);
        flushDeletes();
        QVERIFY(!Windows::loaded<MainWindow>());
        for (QWidget *t : QApplication::topLevelWidgets())
            QVERIFY2(!t->isVisible(), qPrintable(t->objectName()));
    }

    void toolbarBringsBackAWindowInItsState()
    {
        TestDb db;
        MainWindow *w = Windows::show<MainWindow>(testCatalogue());
        auto *button = w->findChild<ImageControl *>("Image6");
        QTest::mouseClick(button, Qt::LeftButton);
        AboutWindow *shown = Windows::loaded<AboutWindow>();
        QVERIFY(shown);
        shown->showMaximized();
        shown->showMinimized();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(Windows::loaded<AboutWindow>(), shown);
        QVERIFY(shown->isVisible());
        QCOMPARE(shown->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized), Qt::WindowMaximized);
        Windows::unload<AboutWindow>();
    }

    void appDirAlwaysEndsInOneSeparator()
    {
        QCOMPARE(App::withTrailingSeparator("/"), QStringLiteral("/"));
        QCOMPARE(App::withTrailingSeparator("/opt/zx"), QStringLiteral("/opt/zx/"));
        QCOMPARE(App::withTrailingSeparator("/opt/zx/"), QStringLiteral("/opt/zx/"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
