// Saved pages as real sites write them: HTML5's named references, the
// variants of microdata and JSON-LD, Chinese recipe sites and pages that
// declare traditional Chinese.
#include "exchange/importrun.h"
#include "exchange/importsources.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray jsonLd(const QByteArray &json, const QByteArray &html = {}, const QByteArray &head = {}, const QByteArray &body = {})
{
    return "<html" + html + "><head><meta charset=utf-8>" + head + "<script type=\"application/ld+json\">" + json
           + "</script></head><body>" + body + "</body></html>";
}

QByteArray microdata(const QByteArray &properties)
{
    return "<html><body><div itemscope itemtype=\"https://schema.org/Recipe\">" + properties + "</div></body></html>";
}

QStringList lines(const QString &text)
{
    return text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
}

} // namespace

class TestImportPages : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("page.html"));
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() ? path : QString();
    }

    SourceReading read(const QByteArray &bytes)
    {
        const SourceReading reading = readSource(write(bytes));
        [&] { QVERIFY2(reading.refusal.isEmpty(), qPrintable(reading.refusal)); }();
        return reading;
    }

private slots:
    void decodesHtml5References_data();
    void decodesHtml5References();
    void readsSiteVariants_data();
    void readsSiteVariants();
    void readsChineseSites_data();
    void readsChineseSites() { readsSiteVariants(); }
    void simplifiesDeclaredTraditional_data();
    void simplifiesDeclaredTraditional();
};

void TestImportPages::decodesHtml5References_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("ingredients");
    const QByteArray fractions = "&frac13; cup flour\",\"&frac23; cup sugar\",\"&frac18; tsp salt\",\"&half; cup milk";
    const QStringList decoded{"⅓ cup flour", "⅔ cup sugar", "⅛ tsp salt", "½ cup milk"};
    QTest::newRow("JSON-LD") << jsonLd("{\"@type\":\"Recipe\",\"name\":\"Cake &frac13;\",\"recipeIngredient\":[\"" + fractions + "\"]}")
                             << "Cake ⅓" << decoded;
    QTest::newRow("JSON-LD, written about") << jsonLd(R"({"@type":"Recipe","name":"&amp;frac13; &amp;#189;",
        "recipeIngredient":["&copy 2020","?a=1&copy=2","&notin;x","&frac13"]})")
        << "&frac13; ½" << QStringList{"© 2020", "?a=1&copy=2", "∉x", "&frac13"};
    QTest::newRow("microdata") << microdata(R"(<h2 itemprop="name">Cake &frac13;</h2>
        <meta itemprop="recipeIngredient" content="&frac13; cup flour"><li itemprop="recipeIngredient">&frac23; cup sugar</li>
        <li itemprop="recipeIngredient">&frac18; tsp salt</li><li itemprop="recipeIngredient">&half; cup milk</li>)")
                               << "Cake ⅓" << decoded;
    QTest::newRow("microdata, written about") << microdata(R"(<h2 itemprop="name">&amp;frac13; &copy 2020</h2>
        <meta itemprop="recipeIngredient" content="&amp;frac13; &half"><li itemprop="recipeIngredient">a&lt;b &amp c</li>)")
        << "&frac13; © 2020" << QStringList{"&frac13; &half", "a<b & c"};
    QTest::newRow("title, named in no recipe") << QByteArray("<html><head><title>Pie &frac23;</title></head><body>"
        "<div itemscope itemtype=\"https://schema.org/Recipe\"><p itemprop=recipeIngredient>egg</p></div></body></html>")
        << "Pie ⅔" << QStringList{"egg"};
}

void TestImportPages::decodesHtml5References()
{
    QFETCH(QByteArray, page);
    const SourceReading reading = read(page);
    QCOMPARE(reading.recipes.size(), 1);
    QTEST(reading.recipes.at(0).name, "name");
    QTEST(lines(reading.recipes.at(0).ingredients), "ingredients");
}

void TestImportPages::readsSiteVariants_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("ingredients");   // of the first
    QTest::addColumn<QStringList>("method");
    QTest::newRow("ItemListElement") << jsonLd(R"({"@type":"Recipe","name":"Roux","recipeInstructions":[{"@type":"HowToSection",
        "name":"Sauce","ItemListElement":[{"@type":"HowToStep","text":"Stir."}]},{"@type":"ItemList","ItemListElement":["Serve."]}]})")
        << QStringList{"Roux"} << QStringList() << QStringList{"【Sauce】", "Stir.", "Serve."};
    QTest::newRow("old microdata names") << microdata(R"(<h1 itemprop="name">Eggs</h1><li itemprop="ingredient">1 egg</li>
        <li itemprop="recipeIngredient">salt</li><li itemprop="ingredient">butter</li><div itemprop="instructions"><p>Beat.</p><p>Fry.</p></div>)")
        << QStringList{"Eggs"} << QStringList{"1 egg", "salt", "butter"} << QStringList{"Beat.", "Fry."};
    QTest::newRow("second recipe for ratings") << jsonLd(R"([{"@type":"Recipe","name":"Pie","recipeIngredient":["apple"]},
        {"@type":"Recipe","name":"Pie","aggregateRating":{"ratingValue":"4.5"}},{"@type":"Recipe","review":[{"reviewBody":"Nice"}]}])")
        << QStringList{"Pie"} << QStringList{"apple"} << QStringList();
    QTest::newRow("markup in content") << microdata(R"(<meta itemprop="name" content="Rice">
        <meta itemprop="recipeIngredient" content="&lt;p&gt;1 cup &lt;b&gt;rice&lt;/b&gt;&lt;/p&gt;">
        <meta itemprop="recipeInstructions" content="<p>Boil.<br />Drain.</p><p>Serve.</p>">)")
        << QStringList{"Rice"} << QStringList{"1 cup rice"} << QStringList{"Boil.", "Drain.", "Serve."};
    QTest::newRow("named steps") << jsonLd(R"({"@type":"Recipe","name":"Cake","recipeInstructions":[
        {"@type":"HowToStep","name":"Boil","text":"boil the water."},{"@type":"HowToStep","name":"Sauce","text":"Stir the roux."},
        {"@type":"HowToStep","name":"Fold the egg whites…","text":"Fold the egg whites gently."},
        {"@type":"HowToStep","name":"Rest the dough...","text":"Rest the dough."},{"@type":"HowToStep","name":"只有名字"},
        {"@type":"HowToStep","name":"Dust:","text":"Sugar on top."}]})")
        << QStringList{"Cake"} << QStringList()
        << QStringList{"boil the water.", "Sauce：Stir the roux.", "Fold the egg whites gently.", "Rest the dough.", "只有名字",
                       "Dust：Sugar on top."};
    QTest::newRow("doubled brackets") << jsonLd(R"j({"@type":"Recipe","name":"Soup","recipeIngredient":["1 cup water ((cold))",
        "2 onions (, chopped)","盐（（少许））","葱 （，切末）","rice (cooked)"]})j")
        << QStringList{"Soup"} << QStringList{"1 cup water (cold)", "2 onions (chopped)", "盐（少许）", "葱 （切末）", "rice (cooked)"}
        << QStringList();
}

void TestImportPages::readsSiteVariants()
{
    QFETCH(QByteArray, page);
    const SourceReading reading = read(page);
    QStringList names;
    for (const ImportedRecipe &recipe : reading.recipes)
        names << recipe.name;
    QTEST(names, "names");
    QTEST(lines(reading.recipes.value(0).ingredients), "ingredients");
    QTEST(lines(reading.recipes.value(0).method), "method");
}

void TestImportPages::readsChineseSites_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("ingredients");
    QTest::addColumn<QStringList>("method");
    const auto named = [](const QByteArray &name, const QByteArray &h1s) {
        return jsonLd("{\"@type\":\"Recipe\",\"name\":\"" + name + "\",\"recipeIngredient\":[\"饭\"]}", {}, {}, h1s);
    };
    const QStringList rice{"饭"};
    QTest::newRow("heading holds the name") << named("焗饭", "<h1>番茄鸡肉浓情<b>焗饭</b>【两人份】</h1>")
                                            << QStringList{"番茄鸡肉浓情焗饭"} << rice << QStringList();   // 【两人份】: servings
    QTest::newRow("heading without the name") << named("焗饭", "<h1>今日推荐</h1>") << QStringList{"焗饭"} << rice << QStringList();
    QTest::newRow("only the first heading") << named("焗饭", "<h1>美食网</h1><h1>番茄焗饭</h1>") << QStringList{"焗饭"} << rice
                                            << QStringList();
    QTest::newRow("English name, never") << named("Rice", "<h1>Fried Rice for two</h1>") << QStringList{"Rice"} << rice << QStringList();
    QTest::newRow("microdata") << microdata("<h1>番茄焗饭</h1><meta itemprop=name content=焗饭><p itemprop=recipeIngredient>饭</p>")
                               << QStringList{"番茄焗饭"} << rice << QStringList();
    const auto method = [](const QByteArray &instructions) {
        return jsonLd("{\"@type\":\"Recipe\",\"name\":\"菜\",\"recipeInstructions\":" + instructions + "}");
    };
    QByteArray twelve = "\"";
    QStringList twelveSteps;
    for (int k = 1; k <= 12; ++k) {
        twelve += QByteArray::number(k) + ". 第" + QByteArray::number(k) + "步 ";
        twelveSteps << QStringLiteral("第%1步").arg(k);
    }
    const QStringList none;
    QTest::newRow("1. to 12.") << method(twelve + "\"") << QStringList{"菜"} << none << twelveSteps;
    QTest::newRow("1、 with a preface") << method("\"做法：1、洗净2、打 4、5 个鸡蛋\"") << QStringList{"菜"} << none
                                         << QStringList{"做法：", "洗净", "打 4、5 个鸡蛋"};
    QTest::newRow("1． and an empty step") << method("[\"1．切块 2． 3．下锅\"]") << QStringList{"菜"} << none
                                           << QStringList{"切块", "下锅"};
    QTest::newRow("circled, one step") << method("[{\"@type\":\"HowToStep\",\"text\":\"①洗净②切块\\n③炒\"}]") << QStringList{"菜"}
                                       << none << QStringList{"洗净", "切块", "炒"};
    QTest::newRow("decimals") << method("\"1.放入 1.5 克盐 2.5 分钟后 2.出锅\"") << QStringList{"菜"} << none
                              << QStringList{"放入 1.5 克盐 2.5 分钟后", "出锅"};
    QTest::newRow("one number") << method("\"加 1.5 克盐，3、4 个鸡蛋\"") << QStringList{"菜"} << none
                                << QStringList{"加 1.5 克盐，3、4 个鸡蛋"};
    QTest::newRow("out of order") << method("\"2.切 1.炒\"") << QStringList{"菜"} << none << QStringList{"2.切 1.炒"};
    QTest::newRow("steps given apart") << method("[\"1.切\",\"2.炒\"]") << QStringList{"菜"} << none
                                       << QStringList{"1.切", "2.炒"};
}

void TestImportPages::simplifiesDeclaredTraditional_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("name");   // 牛肉麵: one character differs, too few to tell alone
    const QByteArray recipe = R"({"@type":"Recipe","name":"牛肉麵"})";
    QTest::newRow("html lang zh-Hant") << jsonLd(recipe, " lang=zh-Hant") << "牛肉面";
    QTest::newRow("html lang zh_TW") << jsonLd(recipe, " lang=zh_TW") << "牛肉面";
    QTest::newRow("content-language zh-HK")
        << jsonLd(recipe, {}, "<meta http-equiv=Content-Language content=\"zh-HK, en\">") << "牛肉面";
    QTest::newRow("inLanguage zh-MO") << jsonLd(R"({"@type":"Recipe","name":"牛肉麵","inLanguage":"zh-MO"})") << "牛肉面";
    QTest::newRow("inLanguage of the page") << jsonLd(R"({"@graph":[{"@type":"WebPage","inLanguage":"zh-Hant-TW"},)"
                                                      R"({"@type":"Recipe","name":"牛肉麵"}]})") << "牛肉面";
    QTest::newRow("Big5, declared") << QByteArray("<html><head><meta charset=big5><script type=\"application/ld+json\">"
                                                  "{\"@type\":\"Recipe\",\"name\":\"\xA4\xFB\xA6\xD7\xC4\xD1\"}</script>")
                                    << "牛肉面";
    QTest::newRow("Big5 declared, saved as UTF-8") << jsonLd(recipe).replace("utf-8", "big5") << "牛肉面";
    QTest::newRow("zh-CN") << jsonLd(recipe, " lang=zh-CN") << "牛肉麵";
    QTest::newRow("zh-Hans-HK") << jsonLd(recipe, " lang=zh-Hans-HK") << "牛肉麵";
    QTest::newRow("no language") << jsonLd(recipe) << "牛肉麵";
    QTest::newRow("kana") << jsonLd(R"({"@type":"Recipe","name":"牛肉麵のスープ"})", " lang=zh-TW") << "牛肉麵のスープ";
    QTest::newRow("nothing differs") << jsonLd(R"({"@type":"Recipe","name":"牛肉"})", " lang=zh-TW") << "牛肉";
}

// Converted with a note, unless the cook keeps them.
void TestImportPages::simplifiesDeclaredTraditional()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, name);
    const QString path = write(page);
    const QString original = name == QStringLiteral("牛肉面") ? QStringLiteral("牛肉麵") : name;
    for (const bool keep : {false, true}) {
        Progress progress;
        const PreparedImport prepared = prepareImport({path}, QString(), m_dir.filePath(QStringLiteral("data/")), progress, keep);
        QCOMPARE(prepared.dishes.size(), 1);
        QCOMPARE(prepared.dishes.at(0).name, keep ? original : name);
        QCOMPARE(prepared.readings.at(0).notes, !keep && name != original ? QStringList{"已转为简体"} : QStringList());
    }
}

QTEST_GUILESS_MAIN(TestImportPages)
#include "tst_importpages.moc"
