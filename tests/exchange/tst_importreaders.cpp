// The import readers over small hand-written files: saved pages (JSON-LD,
// GBK, microdata, a "complete" save), JSON, a cookbook folder and zip, and
// MealMaster; and the sources they refuse, with why.
#include "exchange/importrun.h"
#include "exchange/importsources.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(ZX_SOURCE_DIR "/tests/exchange/fixtures/import/") + name;
}

// A zip at `path` holding `entries` (name in the zip -> bytes).
void makeZip(const QString &path, const QList<QPair<QByteArray, QByteArray>> &entries, bool stored = false)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(archive);
    for (const auto &[name, bytes] : entries) {
        char *copy = static_cast<char *>(malloc(size_t(bytes.size()) + 1));
        memcpy(copy, bytes.constData(), size_t(bytes.size()));
        zip_source_t *source = zip_source_buffer(archive, copy, zip_uint64_t(bytes.size()), 1);
        const zip_int64_t index = zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8);
        QVERIFY(index >= 0);
        if (stored)
            QCOMPARE(zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0), 0);
    }
    QCOMPARE(zip_close(archive), 0);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The cookbook folder of the fixtures, zipped.
QString cookbookZip(const QTemporaryDir &dir)
{
    const QString zip = dir.filePath(QStringLiteral("cookbook.zip"));
    QList<QPair<QByteArray, QByteArray>> entries;
    for (const char *file : {"01 番茄炒蛋/recipe.json", "01 番茄炒蛋/full.jpg", "02 拍黄瓜/recipe.json", "02 拍黄瓜/photo.png"})
        entries.append({QByteArray("cookbook/") + file, bytesOf(fixture(QStringLiteral("cookbook/")) + QString::fromUtf8(file))});
    makeZip(zip, entries);
    return zip;
}

} // namespace

class TestImportReaders : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void reads_data();
    void reads();
    void readsMarks_data();
    void readsMarks();
    void refuses_data();
    void refuses();
    void cutsAndCounts();
    void mendsHostileInput_data();
    void mendsHostileInput();
    void summaryKeepsPercentSignsInPaths();
    void readsPagesThatNameNoCharset_data();
    void readsPagesThatNameNoCharset();
    void storesTraditionalAsSimplified();
    void refusesOnlyTheFileThatFails_data();
    void refusesOnlyTheFileThatFails();
    void readsFilesNamedInGbk();
};

void TestImportReaders::reads_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QStringList>("ingredients");
    QTest::addColumn<QStringList>("method");
    QTest::addColumn<QString>("picture");   // "file:NAME", "url:ADDRESS" or ""
    QTest::addColumn<int>("skipped");
    QTest::addColumn<int>("servings");
    QTest::addColumn<QStringList>("tags");

    QTest::newRow("JSON-LD @graph") << "jsonld-graph.html" << 0 << 1 << "Tom & Jerry's 红烧肉" << "家常菜"
        << QStringList{"五花肉 500克", "", "冰糖 30克", "生抽 2勺"}
        << QStringList{"【准备】", "五花肉切块，焯水。", "【烧制】", "炒糖色…", "", "小火炖一小时。", "时间：1小时30分", "来源：https://www.example.com/recipes/hongshao?ref=home&x=1"}
        << "url:https://img.example.com/hongshao.jpg" << 0 << 4 << QStringList{"肉类"};
    QTest::newRow("JSON-LD array, own context, raw breaks, trailing commas")
        << "jsonld-array.html" << 0 << 1 << "Fluffy Pancakes" << "Breakfast"
        << QStringList{"2 cups flour", "1 egg", "", "1 cup milk"}
        << QStringList{"Mix everything.", "Fry in a pan.", "时间：30分", "来源：https://cooks.example.org/pancakes"}
        << "url:https://cooks.example.org/pancakes.jpg" << 0 << 8 << QStringList();
    QTest::newRow("GBK page declared gb2312") << "gbk.html" << 0 << 1 << "鱼香肉丝（喆师傅）" << "川菜"
        << QStringList{"猪里脊 300克", "木耳 50克"}
        << QStringList{"肉丝上浆。", "调鱼香汁，大火快炒。", "时间：25分", "来源：http://www.example.cn/yuxiang.html"}
        << "" << 0 << 0 << QStringList();
    QTest::newRow("microdata") << "microdata.html" << 0 << 1 << "Tomato Soup" << "Soups"
        << QStringList{"4 tomatoes", "1 onion, chopped"}
        << QStringList{"Chop the vegetables.", "Simmer for 30 minutes.", "时间：45分",
                       "来源：https://micro.example.net/soup"}
        << "url:https://micro.example.net/img/soup.jpg" << 0 << 4 << QStringList();
    QTest::newRow("complete save") << "saved-complete.html" << 0 << 1 << "Tomato salad" << ""
        << QStringList{"2 tomatoes"} << QStringList{"Slice.", "来源：https://www.example.com/recipes/tomato"}
        << "file:saved-complete_files/dish.png" << 0 << 0 << QStringList();
    QTest::newRow("JSON array, first") << "recipes.json" << 0 << 2 << "Green salad" << "Salads"
        << QStringList{"lettuce", "olive oil"} << QStringList{"Wash.", "Toss.", "来源：https://salad.example.com/green"}
        << "" << 1 << 0 << QStringList();
    QTest::newRow("JSON array, second") << "recipes.json" << 1 << 2 << "Plain rice" << ""
        << QStringList{} << QStringList{"Rinse.", "Boil.", "时间：1天2小时"} << "" << 1 << 0 << QStringList();
    for (const char *source : {"cookbook", "@zip"}) {
        QTest::addRow("%s, full.jpg", source) << source << 0 << 2 << "番茄炒蛋" << "家常菜"
            << QStringList{"番茄 2个", "鸡蛋 3个"} << QStringList{"打蛋。", "", "下番茄。", "来源：https://home.example.com/tomato-egg"}
            << "file:01 番茄炒蛋/full.jpg" << 0 << 0 << QStringList();
        QTest::addRow("%s, named picture", source) << source << 1 << 2 << "拍黄瓜" << "凉菜"
            << QStringList{"黄瓜 1根", "蒜 2瓣"} << QStringList{"拍碎黄瓜。"} << "file:02 拍黄瓜/photo.png" << 0 << 2 << QStringList();
    }
    QTest::newRow("dish folder") << "cookbook/02 拍黄瓜" << 0 << 1 << "拍黄瓜" << "凉菜"
        << QStringList{"黄瓜 1根", "蒜 2瓣"} << QStringList{"拍碎黄瓜。"} << "file:02 拍黄瓜/photo.png" << 0 << 2 << QStringList();
    QTest::newRow("MealMaster, two columns") << "two.mmf" << 0 << 2 << "Cannoli" << "Italian"
        << QStringList{"【FILLING】", "1 1/2 c Whole-milk ricotta cheese; well drained", "3 tb Sugar",
                       "1 1/2 c Milk chocolate; coarsely chopped", "1/4 c Pistachio nuts", "【DOUGH】",
                       "1 c All-purpose flour", "1 tb Sugar", "4 tb Sweet Marsala wine or dry white wine", "2 c Vegetable oil"}
        << QStringList{"In a bowl, combine the filling ingredients and mix well.", "Heat the oil to 375°F and fry the shells."}
        << "" << 0 << 16 << QStringList{"Desserts"};
    QTest::newRow("MealMaster, MMMMM") << "two.mmf" << 1 << 2 << "Hot Cocoa" << "Drinks"
        << QStringList{"2 c Milk", "2 tb Cocoa powder", "1 tb Sugar or honey to taste", "【TOPPING】", "1 pn Cinnamon"}
        << QStringList{"Warm the milk. Whisk in cocoa and sugar.", "Serve hot."} << "" << 0 << 2 << QStringList{"Hot"};
    // A folder of neither kind: one source, every recipe file in it.
    QTest::newRow("folder of files") << "" << 0 << 11 << "番茄炒蛋" << "家常菜"
        << QStringList{"番茄 2个", "鸡蛋 3个"} << QStringList{"打蛋。", "", "下番茄。", "来源：https://home.example.com/tomato-egg"}
        << "file:01 番茄炒蛋/full.jpg" << 1 << 0 << QStringList();
}

void TestImportReaders::reads()
{
    QFETCH(QString, source);
    QFETCH(int, index);
    QFETCH(int, count);
    QFETCH(QString, picture);
    const bool zipped = source == QLatin1String("@zip");
    const SourceReading reading = readSource(zipped ? cookbookZip(m_dir) : fixture(source));
    QVERIFY2(reading.refusal.isEmpty(), qPrintable(reading.refusal));
    QCOMPARE(reading.recipes.size(), count);
    const ImportedRecipe &recipe = reading.recipes.at(index);
    QTEST(recipe.name, "name");
    QTEST(recipe.category, "category");
    const auto lines = [](const QString &text) { return text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n")); };
    QTEST(lines(recipe.ingredients), "ingredients");
    QTEST(lines(recipe.method), "method");
    QTEST(reading.picturesSkipped, "skipped");
    QTEST(recipe.servings, "servings");
    QTEST(recipe.tags, "tags");
    if (picture.startsWith(QLatin1String("url:"))) {
        QCOMPARE(recipe.pictureUrl, picture.mid(4));
        QVERIFY(recipe.pictureFile.isEmpty());
    } else if (picture.startsWith(QLatin1String("file:"))) {
        QVERIFY2(recipe.pictureFile.endsWith(picture.mid(5)), qPrintable(recipe.pictureFile));
        QVERIFY(QFile::exists(recipe.pictureFile));
        if (zipped)
            QVERIFY(recipe.pictureFile.startsWith(reading.scratches.value(0)->path()));
    } else {
        QVERIFY(recipe.pictureFile.isEmpty() && recipe.pictureUrl.isEmpty());
    }
}

void TestImportReaders::readsMarks_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");   // for a .json file: the fields after the name
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("servings");
    QTest::addColumn<QStringList>("tags");
    const auto row = [](const char *title, const QByteArray &fields, const QString &name, int servings,
                        const QStringList &tags, const QString &category = QString()) {
        QTest::newRow(title) << "r.json" << fields << name << category << servings << tags;
    };
    const QString many = QStringLiteral("a1,a2,a3,a4,a5,a6,a7,a8,a9,a10,a11,a12,a13,a14,a15,a16,a17,a18,a19,a20,a21");
    row("ASCII commas, blanks", R"("name":"鸡","keywords":"麻辣, 下饭,,  ,#快手 家常")", "鸡", 0, {"麻辣", "下饭", "快手", "家常"});
    row("full-width commas", R"("name":"鸡","keywords":"麻辣，下饭、麻辣")", "鸡", 0, {"麻辣", "下饭"});
    row("array", R"("name":"鸡","keywords":["麻辣", 7, "下饭、川菜"])", "鸡", 0, {"麻辣", "下饭", "川菜"});
    row("search phrases out", R"("name":"鸡","keywords":"肉的做法,肉怎么做,肉的家常做法,How To Make pork,肉")", "鸡", 0, {"肉"});
    row("too long out, the rest kept", "\"name\":\"鸡\",\"keywords\":\"" + QByteArray(21, 'x') + ",辣\"", "鸡", 0, {"辣"});
    row("twenty kept", "\"name\":\"鸡\",\"keywords\":\"" + many.toUtf8() + "\"", "鸡", 0, many.split(u',').mid(0, 20));
    row("keywords an object", R"("name":"鸡","keywords":{"a":"辣"})", "鸡", 0, {});
    row("categories after the first", R"("name":"鸡","recipeCategory":["","川菜","下饭"],"keywords":"辣")", "鸡", 0,
        {"下饭", "辣"}, "川菜");
    for (const auto &[yield, servings] : {std::pair{"\"4\"", 4}, {"\"4 servings\"", 4}, {"\"4人份\"", 4}, {"\"2-3人份\"", 2},
                                          {"[\"\",\"4\",\"6 servings\"]", 4}, {"6", 6}, {"\"0\"", 0}, {"100", 0},
                                          {"\"100 cookies\"", 0}, {"\"many\"", 0}, {"\"2.5\"", 0}, {"true", 0},
                                          {"\"&#51; servings\"", 3}, {"{\"@value\":\"6人份\"}", 6}})
        QTest::addRow("yield %s", yield) << "r.json" << "\"name\":\"鸡\",\"recipeYield\":" + QByteArray(yield) << "鸡" << ""
                                         << servings << QStringList();
    row("（4人份）", R"("name":"宫保鸡丁 （4人份）")", "宫保鸡丁", 4, {});
    row("(十人份)", R"j("name":"宫保鸡丁(十人份)")j", "宫保鸡丁", 10, {});
    row("yield before the name", R"("name":"宫保鸡丁【4人份】","recipeYield":"3")", "宫保鸡丁", 3, {});
    row("brackets not a pair", R"("name":"宫保鸡丁（4人份】")", "宫保鸡丁（4人份】", 0, {});
    row("nothing else in the name", R"("name":"【两人份】")", "【两人份】", 2, {});
    row("0人份", R"j("name":"鸡(0人份)")j", "鸡(0人份)", 0, {});
    const QByteArray mm = "MMMMM----- Recipe via Meal-Master (tm) v8.05\n\n      Title: Mapo Tofu (4人份)\n";
    QTest::newRow("MealMaster") << "r.mmf" << mm + " Categories: Chinese, Main dish, Spicy\n   Servings: 6\n\n  1 lb tofu\nMMMMM\n"
                                << "Mapo Tofu" << "Chinese" << 6 << QStringList{"Main", "dish", "Spicy"};
    QTest::newRow("MealMaster, loaves") << "r.mmf" << mm + "      Yield: 12 loaves\n Categories: Bread\n\n  1 lb flour\nMMMMM\n"
                                               << "Mapo Tofu" << "Bread" << 12 << QStringList();
}

// What a source tells of the cook's marks; nothing here refuses a recipe.
void TestImportReaders::readsMarks()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QFile out(dir.filePath(file));
    const QByteArray text = file.endsWith(QLatin1String(".json")) ? "{\"@type\":\"Recipe\"," + bytes + "}" : bytes;
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(text) == text.size() && out.flush());
    const SourceReading reading = readSource(out.fileName());
    QVERIFY2(reading.refusal.isEmpty(), qPrintable(reading.refusal));
    QCOMPARE(reading.recipes.size(), 1);
    QTEST(reading.recipes.at(0).name, "name");
    QTEST(reading.recipes.at(0).category, "category");
    QTEST(reading.recipes.at(0).servings, "servings");
    QTEST(reading.recipes.at(0).tags, "tags");
    QVERIFY(!reading.recipes.at(0).favourite);   // only this program's own archives give it
}

void TestImportReaders::refuses_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("missing") << fixture("nowhere.html") << ImportRefusal::Missing;
    QTest::newRow("truncated JSON") << fixture("truncated.json") << ImportRefusal::Damaged;
    QTest::newRow("page without recipe") << fixture("no-recipe.html") << ImportRefusal::NoRecipe;
    QTest::newRow("picture") << fixture("cookbook/01 番茄炒蛋/full.jpg") << ImportRefusal::NotRecipeFile;
    QTest::newRow("text, no MealMaster") << fixture("notes.txt") << ImportRefusal::NotRecipeFile;
    QTest::newRow("unsafe zip") << "@unsafe" << ImportRefusal::UnsafePath;
    QTest::newRow("damaged zip") << "@damaged" << ImportRefusal::Damaged;
    QTest::newRow("zip too large") << "@large" << ImportRefusal::ArchiveTooLarge;
}

void TestImportReaders::refuses()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    const QByteArray recipe = bytesOf(fixture(QStringLiteral("cookbook/02 拍黄瓜/recipe.json")));
    if (path == QLatin1String("@unsafe")) {
        path = dir.filePath(QStringLiteral("in/unsafe.zip"));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("in"))));
        makeZip(path, {{"dish/recipe.json", recipe}, {"../evil.txt", "x"}, {"..\\..\\evil2.txt", "x"}});
    } else if (path == QLatin1String("@damaged")) {
        path = dir.filePath(QStringLiteral("damaged.zip"));
        makeZip(path, {{"dish/recipe.json", recipe}});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() - 30));   // the end of the central directory cut off
    } else if (path == QLatin1String("@large")) {
        path = dir.filePath(QStringLiteral("large.zip"));
        makeZip(path, {{"dish/recipe.json", recipe}});
        QByteArray bytes = bytesOf(path);   // both headers claim 4 GB expanded
        for (const auto &[magic, at] : {std::pair{QByteArray("PK\x03\x04"), 22}, std::pair{QByteArray("PK\x01\x02"), 24}})
            memcpy(bytes.data() + bytes.indexOf(magic) + at, "\xF0\xFF\xFF\xFF", 4);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    const SourceReading reading = readSource(path);
    QTEST(reading.refusal, "refusal");
    QVERIFY(reading.recipes.isEmpty());
    QVERIFY(reading.scratches.isEmpty());
    for (const QString &folder : {dir.path(), dir.filePath(QStringLiteral("in")), QDir::tempPath()}) {
        QVERIFY(!QFile::exists(folder + QStringLiteral("/evil.txt")));
        QVERIFY(!QFile::exists(folder + QStringLiteral("/evil2.txt")));
    }
}

// Over-long names cut with a note; readSources counts and stops when cancelled.
void TestImportReaders::cutsAndCounts()
{
    const QString path = m_dir.filePath(QStringLiteral("long.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\"@type\": \"Recipe\", \"name\": \"" + QByteArray(250, 'a') + "\"}");
    file.close();
    const SourceReading reading = readSource(path);
    QCOMPARE(reading.recipes.value(0).name.size(), 200);
    QCOMPARE(reading.notes, QStringList{QStringLiteral("「aaaaaaaaaaaaaaaaaaaa…」的名称太长，只留了前 200 个字")});

    Progress progress;
    QCOMPARE(readSources({path, fixture(QStringLiteral("two.mmf"))}, progress).size(), 2);
    QCOMPARE(progress.done(), 2);
    QCOMPARE(progress.total(), 2);
    progress.cancel();
    QVERIFY(readSources({path}, progress).isEmpty());
}

void TestImportReaders::mendsHostileInput_data()
{
    QTest::addColumn<QString>("file");   // written into a folder of its own; "dir/x" makes the folder the source
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<int>("skipped");
    const auto recipe = [](const QByteArray &name, const QByteArray &more = {}) {
        return "{\"@type\":\"Recipe\",\"name\":\"" + name + "\"" + more + "}";
    };
    QTest::newRow("objects one a line, no comma") << "two.json" << recipe("甲") + "\n" + recipe("乙") + "\n"
        << QStringList{"甲", "乙"} << "" << QStringList() << 0;
    QTest::newRow("escaped NUL") << "nul.json" << recipe("豆\\u0000腐") << QStringList{"豆腐"} << "" << QStringList() << 0;
    QTest::newRow("raw NUL") << "raw.json" << recipe(QByteArray("豆\0腐", 7)) << QStringList{"豆腐"} << "" << QStringList() << 0;
    QTest::newRow("stray Latin-1 byte") << "latin.json" << recipe("鱼\xB5香") << QStringList{"鱼香"} << "" << QStringList() << 0;
    QTest::newRow("stray byte in a page") << "page.html"
        << "<html><head><meta charset=utf-8><script type=\"application/ld+json\">" + recipe("鱼\xB5香") + "</script></head></html>"
        << QStringList{"鱼香"} << "" << QStringList() << 0;
    QTest::newRow("controls and turned text") << "ctl.json"
        << recipe("\xE2\x80\xAE反转\\u0007菜", ",\"recipeCategory\":\"\\u001b川\xE2\x81\xA6菜\"")
        << QStringList{"反转菜"} << "川菜" << QStringList() << 0;
    QTest::newRow("long category") << "cat.json" << recipe("长", ",\"recipeCategory\":\"" + QByteArray(250, 'c') + "\"")
        << QStringList{"长"} << QString(200, u'c')
        << QStringList{"「长」的分类「cccccccccccccccccccc…」太长，只留了前 200 个字"} << 0;
    QTest::newRow(".shtml in a folder") << "dir/a.shtml"
        << "<html><script type=\"application/ld+json\">" + recipe("页") + "</script></html>"
        << QStringList{"页"} << "" << QStringList() << 0;
    QTest::newRow("file: picture outside the source") << "pic.json"
        << recipe("偷图", ",\"image\":\"file://" + QFile::encodeName(fixture("cookbook/01 番茄炒蛋/full.jpg")) + "\"")
        << QStringList{"偷图"} << "" << QStringList() << 1;
    QByteArray many = "[";
    QStringList manyNames, manyNotes;
    for (int i = 0; i < 60; ++i) {
        const QByteArray name = QByteArray::number(i).rightJustified(210, 'n');
        many += (i ? "," : "") + recipe(name);
        manyNames << QString::fromLatin1(name.left(200));
        if (i < 50)
            manyNotes << QStringLiteral("「nnnnnnnnnnnnnnnnnnnn…」的名称太长，只留了前 200 个字");
    }
    manyNotes << QStringLiteral("还有 10 条说明没有列出");
    QTest::newRow("notes capped") << "many.json" << many + "]" << manyNames << "" << manyNotes << 0;
}

// Each of these once lost, garbled or pulled in what it should not.
void TestImportReaders::mendsHostileInput()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("dir"))));
    QFile out(dir.filePath(file));
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    out.close();
    const bool folder = file.startsWith(QLatin1String("dir/"));
    const SourceReading reading = readSource(folder ? dir.filePath(QStringLiteral("dir")) : out.fileName());
    QVERIFY2(reading.refusal.isEmpty(), qPrintable(reading.refusal));
    QStringList names;
    for (const ImportedRecipe &recipe : reading.recipes)
        names << recipe.name;
    QTEST(names, "names");
    QTEST(reading.recipes.first().category, "category");
    QTEST(reading.shownNotes(), "notes");
    QTEST(reading.picturesSkipped, "skipped");
    QVERIFY(reading.recipes.first().pictureFile.isEmpty());
}

void TestImportReaders::summaryKeepsPercentSignsInPaths()
{
    PreparedImport prepared;
    prepared.readings.resize(1);
    prepared.readings[0].path = QStringLiteral("/x/soup%1.json");
    prepared.sourceOf = {0, 0};
    ImportOutcome outcome;
    outcome.ids = {7, 0};
    QCOMPARE(importSourceLines(prepared, outcome), QStringList{"/x/soup%1.json：导入 1 道，跳过 1 道相同的"});
}

void TestImportReaders::readsPagesThatNameNoCharset_data()
{
    QTest::addColumn<QByteArray>("text");   // in the page's own bytes
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("notes");
    QTest::newRow("Big5") << QByteArray("\xAC\xF5\xBF\x4E\xA6\xD7\xAA\xBA\xB0\xB5\xAA\x6B\xA1\x41\xA5\xFD\xA7\xE2\xA4\xAD\xAA"
        "\xE1\xA6\xD7\xA4\xC1\xB6\xF4\xA1\x41\xA6\x41\xA5\xCE\xA6\x42\xBF\x7D\xAA\xA3\xBF\x7D\xA6\xE2\xA1\x41\xB3\xCC\xAB\xE1"
        "\xA4\x70\xA4\xF5\xBF\x4C\xA4\x40\xAD\xD3\xA4\x70\xAE\xC9\xA1\x43")
        << "紅燒肉的做法，先把五花肉切塊，再用冰糖炒糖色，最後小火燉一個小時。" << QStringList();
    QTest::newRow("Shift_JIS") << QByteArray("\x93\xF7\x82\xB6\x82\xE1\x82\xAA\x82\xCC\x8D\xEC\x82\xE8\x95\xFB\x81\x42\x82"
        "\xB6\x82\xE1\x82\xAA\x82\xA2\x82\xE0\x82\xC6\x8B\xCA\x82\xCB\x82\xAC\x82\xF0\x90\xD8\x82\xC1\x82\xC4\x81\x41"
        "\x8B\x8D\x93\xF7\x82\xC6\x88\xEA\x8F\x8F\x82\xC9\x8E\xCF\x82\xDC\x82\xB7\x81\x42")
        << "肉じゃがの作り方。じゃがいもと玉ねぎを切って、牛肉と一緒に煮ます。" << QStringList();
    QTest::newRow("GBK") << QByteArray("\xBA\xEC\xC9\xD5\xC8\xE2\xB5\xC4\xD7\xF6\xB7\xA8\xA3\xAC\xCF\xC8\xB0\xD1\xCE\xE5"
        "\xBB\xA8\xC8\xE2\xC7\xD0\xBF\xE9\xA3\xAC\xD4\xD9\xD3\xC3\xB1\xF9\xCC\xC7\xB3\xB4\xCC\xC7\xC9\xAB\xA3\xAC\xD7\xEE"
        "\xBA\xF3\xD0\xA1\xBB\xF0\xEC\xC0\xD2\xBB\xB8\xF6\xD0\xA1\xCA\xB1\xA1\xA3")
        << "红烧肉的做法，先把五花肉切块，再用冰糖炒糖色，最后小火炖一个小时。" << QStringList();
    QTest::newRow("Latin-1") << QByteArray("Cr\xE8" "me br\xFBl\xE9" "e \xE0 la fran\xE7" "aise, d\xE9j\xE0 servie")
        << "Crème brûlée à la française, déjà servie" << QStringList();
}

void TestImportReaders::readsPagesThatNameNoCharset()
{
    QFETCH(QByteArray, text);
    const QByteArray page = "<html><head><script type=\"application/ld+json\">{\"@type\":\"Recipe\",\"name\":\"" + text
                            + "\"}</script></head><body><h2>" + text + "</h2><p>" + text + "</p></body></html>";
    const QString path = m_dir.filePath(QStringLiteral("charset.html"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(page) == page.size());
    file.close();
    const SourceReading reading = readSource(path);
    QVERIFY2(reading.refusal.isEmpty(), qPrintable(reading.refusal));
    QTEST(reading.recipes.value(0).name, "name");
    QTEST(reading.notes, "notes");
}

// Traditional characters become simplified unless the cook keeps them;
// Japanese, whose kanji are its own, never changes.
void TestImportReaders::storesTraditionalAsSimplified()
{
    const QString path = m_dir.filePath(QStringLiteral("trad.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(R"([{"@type":"Recipe","name":"紅燒肉","recipeCategory":"家常菜","recipeIngredient":["五花肉","冰糖"],"recipeInstructions":"先把五花肉切塊，最後小火燉一個小時。"},
                   {"@type":"Recipe","name":"肉じゃが","recipeInstructions":"牛肉と一緒に煮ます。"}])");
    file.close();
    const QString folder = m_dir.filePath(QStringLiteral("data/"));
    for (const bool keep : {false, true}) {
        Progress progress;
        const PreparedImport prepared = prepareImport({path}, QString(), folder, progress, keep);
        QCOMPARE(prepared.dishes.size(), 2);
        QCOMPARE(prepared.dishes.at(0).name, keep ? "紅燒肉" : "红烧肉");
        QCOMPARE(prepared.dishes.at(0).method, keep ? "先把五花肉切塊，最後小火燉一個小時。" : "先把五花肉切块，最后小火炖一个小时。");
        QCOMPARE(prepared.dishes.at(1).name, "肉じゃが");
        QCOMPARE(prepared.readings.at(0).notes, keep ? QStringList() : QStringList{"已转为简体"});
    }
}


void TestImportReaders::refusesOnlyTheFileThatFails_data()
{
    QTest::addColumn<QString>("source");        // made in a fresh folder by the test
    QTest::addColumn<int>("recipes");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QStringList>("parts");
    QTest::newRow("zip, an entry whose check sum is wrong") << "damaged.zip" << 1 << ""
        << QStringList{"b 坏的：文件已损坏"};
    QTest::newRow("folder, one bad file") << "one-bad" << 1 << "" << QStringList{"bad.json：文件已损坏"};
    QTest::newRow("folder, only bad files") << "all-bad" << 0 << "没有找到菜谱"
        << QStringList{"bad.json：文件已损坏", "none.json：没有找到菜谱"};
    QTest::newRow("folder holding a zip: its pictures stay") << "with-zip" << 2 << "" << QStringList{};
}

void TestImportReaders::refusesOnlyTheFileThatFails()
{
    QFETCH(QString, source);
    QFETCH(int, recipes);
    QFETCH(QString, refusal);
    QFETCH(QStringList, parts);
    QTemporaryDir dir;
    const QByteArray good = R"({"@type":"Recipe","name":"好菜","recipeIngredient":["盐"]})";
    const QByteArray marker = "CORRUPT-ME";
    QDir(dir.path()).mkpath(QStringLiteral("one-bad"));
    QDir(dir.path()).mkpath(QStringLiteral("all-bad"));
    QDir(dir.path()).mkpath(QStringLiteral("with-zip"));
    const auto put = [&](const QString &name, const QByteArray &bytes) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    };
    put(QStringLiteral("one-bad/good.json"), good);
    put(QStringLiteral("one-bad/bad.json"), "{\"@type\":");
    put(QStringLiteral("all-bad/bad.json"), "{\"@type\":");
    put(QStringLiteral("all-bad/none.json"), "{\"a\": 1}");
    makeZip(dir.filePath(QStringLiteral("damaged.zip")),
            {{"a 好的/recipe.json", good}, {"b 坏的/recipe.json", good.chopped(1) + marker + "}"}}, true);
    QByteArray zipped = bytesOf(dir.filePath(QStringLiteral("damaged.zip")));
    zipped.replace(marker, "CORRUPT-ED");
    put(QStringLiteral("damaged.zip"), zipped);
    QVERIFY(QFile::copy(cookbookZip(m_dir), dir.filePath(QStringLiteral("with-zip/book.zip"))));

    Progress progress;
    const PreparedImport prepared = prepareImport({dir.filePath(source)}, QString(), dir.path() + u'/', progress);
    const SourceReading &reading = prepared.readings.at(0);
    QCOMPARE(prepared.dishes.size(), recipes);
    QCOMPARE(reading.refusal, refusal);
    QCOMPARE(reading.refusedParts, parts);
    QCOMPARE(anySourceRefused(prepared), !parts.isEmpty() || !refusal.isEmpty());
    for (const QString &part : parts)
        QVERIFY(importSourceLines(prepared, {}).contains(QStringLiteral("  ") + part));
    for (const QString &picture : prepared.pictureFiles)
        QVERIFY(picture.isEmpty() || QFileInfo(picture).isFile());
    QCOMPARE(std::count_if(prepared.pictureFiles.cbegin(), prepared.pictureFiles.cend(),
                           [](const QString &p) { return !p.isEmpty(); }), source == QLatin1String("with-zip") ? 2 : 0);
}

// Names as Chinese Windows writes them, in GBK bytes: Qt cannot name them.
void TestImportReaders::readsFilesNamedInGbk()
{
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    const QByteArray sichuan = root + "/\xb4\xa8\xb2\xcb";                                  // 川菜
    const QByteArray dishes[] = {root + "/\xba\xec\xc9\xd5\xc8\xe2.json",                // 红烧肉.json
                                 sichuan + "/\xc2\xe9\xc6\xc5\xb6\xb9\xb8\xaf.json",     // 麻婆豆腐.json
                                 sichuan + "/\xbb\xb5.json"};                               // 坏.json
    QCOMPARE(::mkdir(sichuan.constData(), 0700), 0);
    const QByteArray good = R"({"@type":"Recipe","name":"菜","recipeIngredient":["盐"]})";
    for (const QByteArray &path : dishes) {
        const QByteArray bytes = path.endsWith("\xbb\xb5.json") ? QByteArray("{") : good;
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size());
        ::close(fd);
    }
    const SourceReading folder = readSource(dir.path());
    QCOMPARE(folder.recipes.size(), 2);
    QCOMPARE(folder.refusedParts, QStringList{QStringLiteral("川菜/坏.json：文件已损坏")});
    std::shared_ptr<QTemporaryDir> links;
    const QString alone = reachablePath(dishes[0], links);
    QCOMPARE(QFileInfo(alone).fileName(), QStringLiteral("红烧肉.json"));
    QCOMPARE(readSource(alone).recipes.size(), 1);
}

QTEST_GUILESS_MAIN(TestImportReaders)
#include "tst_importreaders.moc"
