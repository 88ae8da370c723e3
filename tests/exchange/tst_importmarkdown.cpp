// Markdown recipes: the name, the sections, the syntax taken out, the
// pictures found beside the file, and a folder of them sorted by sub-folder.
#include "core/recipekinds.h"
#include "exchange/importsources.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString write(const QTemporaryDir &dir, const QString &path, const QByteArray &bytes)
{
    const QString file = dir.filePath(path);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() ? file : QString();
}

QStringList lines(const QString &text)
{
    return text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
}

} // namespace

class TestImportMarkdown : public QObject {
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void pictures_data();
    void pictures();
    void foldersGiveCategories();
};

void TestImportMarkdown::reads_data()
{
    QTest::addColumn<QByteArray>("markdown");
    QTest::addColumn<QString>("name");   // empty: refused as no recipe file
    QTest::addColumn<QStringList>("ingredients");
    QTest::addColumn<QStringList>("method");

    // names
    QTest::newRow("ATX between rules, 的做法 off") << QByteArray("---\n# 红烧肉的做法\n---\n") << "红烧肉" << QStringList() << QStringList();
    QTest::newRow("deeper, closed, BOM, CR LF, NUL") << QByteArray("\xEF\xBB\xBF### 番茄炒蛋 ###\r\n正@文\r\n").replace('@', '\0')
        << "番茄炒蛋" << QStringList() << QStringList{"正文"};
    QTest::newRow("setext") << QByteArray("前言\n#\n糖醋排骨\n===\n\n酸甜可口。\n") << "糖醋排骨" << QStringList() << QStringList{"酸甜可口。"};
    QTest::newRow("no heading") << QByteArray("#家常菜\n- 盐\n```\n# 代码\n```\n") << "" << QStringList() << QStringList();

    // sections
    QTest::newRow("必备原料和工具, 操作, other, intro") << QByteArray(
        "# 可乐鸡翅的做法\n家常菜，\n孩子爱吃。\n\nEasy\nand quick\n## 必备原料和工具\n- 鸡翅\n* 可乐\n"
        "## 操作\n1. 鸡翅焯水\n2) 倒入可乐\n## 附加内容\n如果想更入味……\n## 空的\n")
        << "可乐鸡翅" << QStringList{"鸡翅", "可乐"}
        << QStringList{"家常菜，孩子爱吃。", "Easy and quick", "鸡翅焯水", "倒入可乐", "【附加内容】", "如果想更入味……"};
    QTest::newRow("计算 replaces, sub-headings") << QByteArray(
        "# 红烧肉\n## 原料\n- 五花肉\n- 冰糖\n### 调料\n- 生抽\n## 计算\n- 五花肉 500 克\n- 生抽 15 ml\n"
        "## Directions\n### 收汁\n大火收汁\n```\n# 不是标题\n\n```\n## TIPS ##\n趁热吃\n")
        << "红烧肉" << QStringList{"五花肉 500 克", "生抽 15 ml", "冰糖"}
        << QStringList{"【收汁】", "大火收汁", "# 不是标题", "【TIPS】", "趁热吃"};
    QTest::newRow("English") << QByteArray("Pancakes\n--\nIngredients:\n## INGREDIENTS\n+ flour\n## Method\n##\n- [ ] Mix.\n")
        << "Pancakes" << QStringList{"flour"} << QStringList{"Ingredients:", "Mix."};

    // syntax
    QTest::newRow("links, pictures, emphasis, code, comments, tables") << QByteArray(
        "# [**宫保**鸡丁](http://x.cn/a_(b))\n<!-- 草稿\n# 不要 -->\n## 用料\n"
        "- [鸡胸肉](https://shop.example.com/a_b \"店\") 300 克\n- `花生` *一把*，_适量_\n"
        "- \\*不是强调\\* snake_case_x 2 * 3 3~5\n[1]: https://x.cn\n## 步骤\n> 先 __腌制__ ![图](a.jpg)\n***\n"
        "| 火候 | 时间 |\n|:---|---:|\n| 大火 | 1 分钟 |\n<img src=\"b.png\"> ~~炒~~ 出锅 &amp; <https://x.cn> [装盘][1]\n")
        << "宫保鸡丁" << QStringList{"鸡胸肉 300 克", "花生 一把，适量", "*不是强调* snake_case_x 2 * 3 3~5"}
        << QStringList{"先 腌制", "火候 时间", "大火 1 分钟", "炒 出锅 & https://x.cn 装盘"};
}

void TestImportMarkdown::reads()
{
    QFETCH(QByteArray, markdown);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const SourceReading reading = readSource(write(dir, QStringLiteral("菜.md"), markdown));
    QCOMPARE(reading.refusal, name.isEmpty() ? ImportRefusal::NotRecipeFile : QString());
    if (name.isEmpty())
        return;
    QCOMPARE(reading.recipes.size(), 1);
    const ImportedRecipe &recipe = reading.recipes.first();
    QCOMPARE(recipe.name, name);
    QVERIFY(recipe.category.isEmpty());
    QTEST(lines(recipe.ingredients), "ingredients");
    QTEST(lines(recipe.method), "method");
}

void TestImportMarkdown::pictures_data()
{
    QTest::addColumn<QByteArray>("markdown");
    QTest::addColumn<QString>("picture");   // the file taken, or empty
    QTest::addColumn<int>("skipped");
    QTest::newRow("first that is there, percent-encoded") << QByteArray(
        "# 菜\n![](./没有.jpg) ![](https://x.cn/y.jpg) ![](data:image/png;base64,AA==)\n"
        "<IMG alt='x' SRC='%E6%88%90%E5%93%81.jpg'> ![](成品.jpg)\n") << "成品.jpg" << 0;
    QTest::newRow("missing one counted") << QByteArray("# 菜\n![](nothere.png)\n") << "" << 1;
    QTest::newRow("outside the folder") << QByteArray("# 菜\n![](../outside.jpg)\n") << "" << 1;
    QTest::newRow("not a picture") << QByteArray("# 菜\n![](菜.md)\n") << "" << 1;
    QTest::newRow("on the web only") << QByteArray("# 菜\n![](//x.cn/a.jpg)\n") << "" << 0;
    QTest::newRow("in a comment") << QByteArray("# 菜\n<!-- ![](成品.jpg) -->\n") << "" << 0;
}

void TestImportMarkdown::pictures()
{
    QFETCH(QByteArray, markdown);
    QFETCH(QString, picture);
    QTemporaryDir dir;
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (const char *file : {"dish/成品.jpg", "outside.jpg"})
        QVERIFY(image.save(write(dir, QString::fromUtf8(file), "x")));
    const SourceReading reading = readSource(write(dir, QStringLiteral("dish/菜.md"), markdown));
    QCOMPARE(reading.recipes.size(), 1);
    QCOMPARE(reading.recipes.first().pictureFile, picture.isEmpty() ? QString() : dir.filePath("dish/" + picture));
    QVERIFY(reading.recipes.first().pictureUrl.isEmpty());
    QTEST(reading.picturesSkipped, "skipped");
}

// Given a folder, a recipe naming no category takes its first sub-folder's name.
void TestImportMarkdown::foldersGiveCategories()
{
    QTemporaryDir dir;
    write(dir, QStringLiteral("dishes/meat_dish/红烧肉/红烧肉.md"), "# 红烧肉的做法\n");
    write(dir, QStringLiteral("dishes/vegetable_dish/炒青菜.markdown"), "# 炒青菜\n");
    write(dir, QStringLiteral("dishes/vegetable_dish/汤.MD"), "---\ntitle: x\ncategory: \"汤羹\"\n---\n# 紫菜汤\n");
    write(dir, QStringLiteral("dishes/顶.md"), "# 顶\n");
    QMap<QString, QString> categories;
    for (const ImportedRecipe &recipe : readSource(dir.filePath(QStringLiteral("dishes"))).recipes)
        categories.insert(recipe.name, recipe.category);
    const QMap<QString, QString> expected = {
        {"红烧肉", "meat_dish"}, {"炒青菜", "vegetable_dish"}, {"紫菜汤", "汤羹"}, {"顶", ""}};
    QCOMPARE(categories, expected);
    QCOMPARE(readSource(dir.filePath(QStringLiteral("dishes/meat_dish/红烧肉/红烧肉.md"))).recipes.value(0).category, QString());
    QVERIFY(RecipeKinds::chooserFilter().contains(QLatin1String("*.md *.markdown")));
}

QTEST_GUILESS_MAIN(TestImportMarkdown)
#include "tst_importmarkdown.moc"
