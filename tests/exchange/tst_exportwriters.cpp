// The cookbook writers: what lands on disk, and that nothing is left behind
// when an export is refused, fails or is cancelled.
#include "exchange/exportcookbook.h"
#include "exchange/exportsnapshot.h"
#include "exchange/exportwriters.h"
#include "exchange/importrun.h"
#include "store/sqlite.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>
#include <zip.h>

namespace {

// `count` dishes named 第NN道菜 in two sections; the method of every third
// runs long, so that dishes span pages.
ExportSnapshot snapshot(int count, const QString &picture = QString())
{
    ExportSnapshot s;
    s.title = QStringLiteral("全部菜谱");
    s.date = QDate(2004, 3, 9);
    s.sections = {{QStringLiteral("汤羹"), {}}, {QStringLiteral("未分类"), {}}};
    for (int i = 0; i < count; ++i) {
        const QString step = QStringLiteral("冷水下锅，大火烧开后转小火慢炖，撇去浮沫。\r\n");
        s.dishes.append({i % 2 ? QString() : QStringLiteral("汤羹"), QStringLiteral("第%1道菜").arg(i + 1, 2, 10, QLatin1Char('0')),
                         QStringLiteral("排骨 500克\r\n\r\n姜 3片\r\n\r\n"), step.repeated(i % 3 ? 2 : 40), picture, {}});
        s.sections[i % 2].dishes.append(i);
    }
    return s;
}

QStringList everything(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names << it.next();
    names.sort();
    return names;
}

QByteArray zipEntry(const QString &zipPath, const QString &name)
{
    zip_t *zip = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, nullptr);
    if (!zip)
        return {};
    QByteArray data;
    zip_stat_t stat;
    if (zip_stat(zip, name.toUtf8().constData(), 0, &stat) == 0) {
        zip_file_t *file = zip_fopen_index(zip, stat.index, 0);
        data.resize(qsizetype(stat.size));
        if (!file || zip_fread(file, data.data(), stat.size) != zip_int64_t(stat.size))
            data.clear();
        if (file)
            zip_fclose(file);
    }
    zip_close(zip);
    return data;
}

} // namespace

class TestExportWriters : public QObject
{
    Q_OBJECT

private slots:
    void pdfContentsGivesEachDishsPage();
    void pdfHeadingsStayWithTheirText_data();
    void pdfHeadingsStayWithTheirText();
    void archiveHoldsRecipesAndPictures();
    void archiveReadsBackUnchanged_data();
    void archiveReadsBackUnchanged();
    void methodLinesGoOutAsFields_data();
    void methodLinesGoOutAsFields();
    void marksComeBackFromTheArchive();
    void webCookbookTakesOnlyAnEmptyFolder();
    void failuresLeaveNothing();
};

void TestExportWriters::pdfContentsGivesEachDishsPage()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("菜谱.pdf"));
    Progress progress;
    // Enough dishes for two pages of contents.
    const ExportSnapshot book = snapshot(70);
    QVERIFY(writeCookbook(ExportFormat::Pdf, book, out, progress).ok);
    QProcess text;
    text.start(pdftotext, {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), out, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000));
    const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'));
    QVERIFY(pages.value(1).contains(QStringLiteral("目录")));
    QVERIFY(pages.value(2).contains(QStringLiteral("第70道菜")));   // the contents go on
    for (const ExportDish &dish : book.dishes) {
        const QRegularExpression row(QRegularExpression::escape(dish.name) + QStringLiteral("\\s+(\\d+)\\s*$"),
                                     QRegularExpression::MultilineOption);
        const int listed = row.match(pages.join(QString())).captured(1).toInt();
        QVERIFY2(listed > 3 && pages.value(listed - 1).contains(dish.name), qPrintable(dish.name));
        QVERIFY(!row.match(pages.value(listed - 1)).hasMatch());
    }
}

void TestExportWriters::pdfHeadingsStayWithTheirText_data()
{
    QTest::addColumn<int>("fillerLines");
    for (int lines = 0; lines <= 26; lines += 2)
        QTest::newRow(qPrintable(QStringLiteral("%1 lines first").arg(lines))) << lines;
}

// The starter catalogue, shifted down the pages a line at a time by a first
// dish of growing length: no page of dishes ends with a dish's name, its
// category, 用料 or 做法 while their text goes on over the page.
void TestExportWriters::pdfHeadingsStayWithTheirText()
{
    QFETCH(int, fillerLines);
    QTemporaryDir dir;
    QVERIFY(QFile::copy(QStringLiteral(ZX_BINARY_DIR "/starter/cate.mdb"), dir.filePath(QStringLiteral("cate.mdb"))));
    RecipeStore store(dir.filePath(QStringLiteral("cate.mdb")));
    const StoreResult<ExportRows> rows = store.readEverything();
    QVERIFY(rows.ok());
    std::optional<ExportSnapshot> book = makeSnapshot(rows.value(), QString(), dir.path(), QDate(2004, 3, 9));
    QVERIFY(book && !book->sections.isEmpty());
    ExportDish filler;
    filler.category = book->sections.first().heading;
    filler.name = QStringLiteral("垫页菜");
    filler.ingredients = QStringLiteral("水");
    filler.method = QStringLiteral("烧开。\r\n").repeated(fillerLines + 1);
    book->dishes.append(filler);
    book->sections.first().dishes.prepend(int(book->dishes.size() - 1));
    QSet<QString> headings{QStringLiteral("用料"), QStringLiteral("做法")};
    for (const ExportDish &dish : std::as_const(book->dishes))
        headings << dish.name << dish.category;
    headings.remove(QString());

    const QString out = dir.filePath(QStringLiteral("书.pdf"));
    Progress progress;
    QVERIFY(writeCookbook(ExportFormat::Pdf, *book, out, progress).ok);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), out, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000));
    const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'));
    const QRegularExpression footer(QStringLiteral("^— \\d+ —$"));
    bool dishPages = false;
    for (qsizetype page = 0; page < pages.size(); ++page) {
        QStringList lines;
        for (const QString &line : pages[page].split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty() && !footer.match(line.trimmed()).hasMatch())
                lines << line.trimmed();
        dishPages = dishPages || lines.contains(QStringLiteral("用料"));   // the contents are over
        if (dishPages && !lines.isEmpty() && page + 1 < pages.size() && !pages[page + 1].trimmed().isEmpty())
            QVERIFY2(!headings.contains(lines.last()), qPrintable(QStringLiteral("page %1 ends with %2").arg(page + 1).arg(lines.last())));
    }
    QVERIFY(dishPages);
}

void TestExportWriters::archiveHoldsRecipesAndPictures()
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("汤.PNG"));
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    QVERIFY(image.save(picture, "PNG"));
    ExportSnapshot book = snapshot(3, picture);
    book.dishes[1].name = book.dishes[0].name;
    book.dishes[2].picturePath = dir.filePath(QStringLiteral("gone.jpg"));
    const QString out = dir.filePath(QStringLiteral("菜谱.zip"));
    QFile::copy(picture, out);   // an earlier export, replaced
    Progress progress;
    const ExportOutcome outcome = writeCookbook(ExportFormat::Json, book, out, progress);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.picturesMissing, 1);
    QCOMPARE(progress.done(), 3);

    QFile source(picture);
    QVERIFY(source.open(QIODevice::ReadOnly));
    QCOMPARE(zipEntry(out, QStringLiteral("第01道菜 (2)/full.png")), source.readAll());
    const QJsonObject recipe = QJsonDocument::fromJson(zipEntry(out, QStringLiteral("第01道菜/recipe.json"))).object();
    QCOMPARE(recipe.value(QStringLiteral("@type")).toString(), QStringLiteral("Recipe"));
    QCOMPARE(recipe.value(QStringLiteral("recipeCategory")).toString(), QStringLiteral("汤羹"));
    QCOMPARE(recipe.value(QStringLiteral("image")).toString(), QStringLiteral("full.png"));
    QCOMPARE(recipe.value(QStringLiteral("recipeIngredient")).toArray(),
             QJsonArray({QStringLiteral("排骨 500克"), QString(), QStringLiteral("姜 3片")}));
    QCOMPARE(recipe.value(QStringLiteral("recipeInstructions")).toArray().size(), 40);
    const QJsonObject unnamed = QJsonDocument::fromJson(zipEntry(out, QStringLiteral("第03道菜/recipe.json"))).object();
    QVERIFY(!unnamed.contains(QStringLiteral("image")));
    const QJsonObject uncategorised = QJsonDocument::fromJson(zipEntry(out, QStringLiteral("第01道菜 (2)/recipe.json"))).object();
    QVERIFY(uncategorised.contains(QStringLiteral("name")) && !uncategorised.contains(QStringLiteral("recipeCategory")));
}

void TestExportWriters::archiveReadsBackUnchanged_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ingredients");
    QTest::addColumn<QString>("method");
    QTest::newRow("references") << "a &amp; b" << "&lt;escaped&gt; &frac13;杯" << "&#x4e00;步";
    QTest::newRow("tags") << "<p>不是标签</p>" << "<b>糖</b>\r\n<br>" << "<script>x</script>";
    QTest::newRow("blanks") << "红\u00a0烧  肉" << "盐\t1克\r\n\r\n  油   2勺\r\n\r\n" << "  先炒。\r\n\t再炖。  ";
    QTest::newRow("empty name") << "" << "" << "";
}

void TestExportWriters::archiveReadsBackUnchanged()
{
    QFETCH(QString, name);
    QFETCH(QString, ingredients);
    QFETCH(QString, method);
    QTemporaryDir dir;
    ExportSnapshot book = snapshot(1);
    book.dishes[0] = {QStringLiteral("汤羹"), name, ingredients, method, QString(), {}};
    const QString out = dir.filePath(QStringLiteral("book.zip"));
    Progress progress;
    QVERIFY(writeCookbook(ExportFormat::Json, book, out, progress).ok);
    const PreparedImport back = prepareImport({out}, QString(), dir.path() + u'/', progress);
    QCOMPARE(back.dishes.size(), 1);
    QCOMPARE(back.dishes[0].name, name);
    QCOMPARE(back.dishes[0].category, QStringLiteral("汤羹"));
    QCOMPARE(back.dishes[0].ingredients, ingredients);
    QCOMPARE(back.dishes[0].method, method);
}

void TestExportWriters::methodLinesGoOutAsFields_data()
{
    QTest::addColumn<QString>("ingredients");
    QTest::addColumn<QString>("method");
    QTest::addColumn<int>("servings");
    QTest::addColumn<QByteArray>("fields");   // what recipe.json holds of them; null: left out
    const QByteArray none = R"("recipeYield":null,"totalTime":null,"isBasedOn":null,"isFavorite":null,"keywords":null)";
    const auto steps = [](const QByteArray &texts) { return "\"recipeInstructions\":[" + texts + "]"; };
    const auto step = [](const QByteArray &text) { return R"({"@type":"HowToStep","text":")" + text + "\"}"; };
    QTest::newRow("steps alone") << "盐" << "切。\r\n炖。" << 0
        << "{" + steps(step("切。") + "," + step("炖。")) + "," + none + R"(,"recipeIngredient":["盐"]})";
    QTest::newRow("an earlier import's lines") << "" << "切。\r\n份量：4 bowls\r\n时间：1小时30分\r\n来源：https://x.example/a" << 0
        << "{" + steps(step("切。")) + R"(,"recipeYield":"4 bowls","totalTime":"PT1H30M","isBasedOn":"https://x.example/a"})";
    for (const auto &[time, iso] : {std::pair{"25分钟", "\"PT25M\""}, {"1天2小时", "\"P1DT2H\""}, {"2 小时", "\"PT2H\""},
                                    {"半小时", "null"}, {"30", "null"}, {"", "null"}})
        QTest::addRow("时间：%s", time) << "" << QStringLiteral("时间：") + QString::fromUtf8(time) << 0
                                       << "{" + steps("") + R"(,"totalTime":)" + iso + "}";
    QTest::newRow("sections") << "【配料】\r\n盐\r\n【】" << "先洗。\r\n【准备】\r\n切。\r\n\r\n 【烧】 \r\n炖。" << 0
        << "{" + steps(step("先洗。") + R"(,{"@type":"HowToSection","name":"准备","itemListElement":[)" + step("切。") + ","
                       + step("") + R"(]},{"@type":"HowToSection","name":"烧","itemListElement":[)" + step("炖。") + "]}")
               + R"(,"recipeIngredient":["盐","【】"]})";
    QTest::newRow("the servings mark before the 份量 line") << "" << "份量：2碗" << 4
        << "{" + steps("") + R"(,"recipeYield":"4人份"})";
}

void TestExportWriters::methodLinesGoOutAsFields()
{
    QFETCH(QString, ingredients);
    QFETCH(QString, method);
    QFETCH(int, servings);
    QFETCH(QByteArray, fields);
    ExportDish dish{QStringLiteral("汤羹"), QStringLiteral("汤"), ingredients, method, QString(), {}, servings, false};
    const QJsonObject recipe = QJsonDocument::fromJson(ExportWriting::recipeJson(dish, QString(), false)).object();
    const QJsonObject wanted = QJsonDocument::fromJson(fields).object();
    for (auto it = wanted.constBegin(); it != wanted.constEnd(); ++it)
        QVERIFY2(recipe.value(it.key()) == (it->isNull() ? QJsonValue(QJsonValue::Undefined) : *it), qPrintable(it.key()));
    // The exact texts as they are, whatever went out as fields.
    QCOMPARE(recipe.value(QStringLiteral("zaoxiangju")).toObject(),
             QJsonObject({{"name", "汤"}, {"category", "汤羹"}, {"ingredients", ingredients}, {"method", method}}));
}

namespace {
// A catalogue file of the standard layout; ids of deleted rows are used again.
QString catalogueFile(const QString &path)
{
    Sql::Connection db;
    const bool made = db.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) == SQLITE_OK
        && db.exec("CREATE TABLE \"01\" (id INTEGER PRIMARY KEY, category TEXT, \"名称\" TEXT, ingredients TEXT, method TEXT,"
                   " picture TEXT); CREATE TABLE \"02\" (id INTEGER PRIMARY KEY, category TEXT);") == SQLITE_OK;
    return made ? path : QString();
}

// Each dish's marks, by its name: "tags|servings|favourite".
QMap<QString, QString> marksByName(RecipeStore &store)
{
    QMap<QString, QString> out;
    const StoreResult<ExportRows> rows = store.readEverything();
    for (const DishRecord &dish : rows->dishes)
        out.insert(dish.name, QStringLiteral("%1|%2|%3").arg(rows->marks.tagsOf(dish.id).join(u' '))
                                  .arg(rows->marks.servingsOf(dish.id)).arg(rows->marks.isFavourite(dish.id)));
    return out;
}
} // namespace

// Out through an archive and into an empty catalogue: the same dishes
// with the same marks.
void TestExportWriters::marksComeBackFromTheArchive()
{
    QTemporaryDir dir;
    RecipeStore from(catalogueFile(dir.filePath(QStringLiteral("from.mdb"))));
    const StoreResult<qint64> mapo = from.addDish(QStringLiteral("川菜"), QStringLiteral("麻婆豆腐"), QStringLiteral("豆腐"),
                                                  QStringLiteral("炒。"), QString(), {{QStringLiteral("麻辣"), QStringLiteral("下饭")}, 4});
    QVERIFY(mapo.ok() && from.setFavourite(*mapo, true).ok());
    QVERIFY(from.addDish(QStringLiteral("主食"), QStringLiteral("米饭【两人份】"), QStringLiteral("米"),
                         QStringLiteral("煮。\r\n份量：4人份"), QString()).ok());   // a 份量 line, no mark
    QVERIFY(from.addDish(QStringLiteral("汤羹"), QStringLiteral("汤"), QString(), QString(), QString(),
                         {{QStringLiteral("红烧肉的做法")}, 99}).ok());
    const std::optional<ExportSnapshot> book = makeSnapshot(*from.readEverything(), QString(), dir.path(), QDate(2004, 3, 9));
    const QString out = dir.filePath(QStringLiteral("book.zip"));
    Progress progress;
    QVERIFY(book && writeCookbook(ExportFormat::Json, *book, out, progress).ok);
    const QJsonObject recipe = QJsonDocument::fromJson(zipEntry(out, QStringLiteral("麻婆豆腐/recipe.json"))).object();
    QCOMPARE(recipe.value(QStringLiteral("keywords")), QJsonValue(QStringLiteral("麻辣, 下饭")));
    QCOMPARE(recipe.value(QStringLiteral("isFavorite")), QJsonValue(true));

    // Marks a program left under the id the first dish will take are not its own.
    RecipeStore to(catalogueFile(dir.filePath(QStringLiteral("to.mdb"))));
    const StoreResult<qint64> gone = to.addDish(QStringLiteral("旧"), QStringLiteral("旧"), QString(), QString(), QString(),
                                                {{QStringLiteral("旧")}, 2});
    QVERIFY(gone.ok() && to.setFavourite(*gone, true).ok());
    Sql::Connection db;
    QVERIFY(db.open(dir.filePath(QStringLiteral("to.mdb")), SQLITE_OPEN_READWRITE) == SQLITE_OK && db.exec("DELETE FROM \"01\"") == SQLITE_OK);
    const PreparedImport back = prepareImport({out}, QString(), dir.path() + u'/', progress);
    QVERIFY(to.importDishes(back.dishes, back.marks).ok());
    QCOMPARE(to.readEverything()->dishes.value(0).id, *gone);
    QCOMPARE(marksByName(to), marksByName(from));
    // Equal dishes are not added again, and keep the marks they have.
    QVERIFY(to.setTags(*gone, {QStringLiteral("改过")}).ok());
    const QMap<QString, QString> before = marksByName(to);
    QVERIFY(to.importDishes(back.dishes, back.marks)->skipped == 3 && marksByName(to) == before);
}

void TestExportWriters::webCookbookTakesOnlyAnEmptyFolder()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("网页"));
    QVERIFY(QDir(out).mkpath(QStringLiteral(".")));
    QFile keep(out + QStringLiteral("/keep.txt"));
    QVERIFY(keep.open(QIODevice::WriteOnly) && keep.write("mine") == 4);
    keep.close();
    Progress progress;
    const ExportOutcome refused = writeCookbook(ExportFormat::Html, snapshot(2), out, progress);
    QVERIFY(!refused.ok && refused.error.contains(QStringLiteral("已经存在而且不是空文件夹")));
    QCOMPARE(everything(dir.path()), QStringList({out, keep.fileName()}));

    QVERIFY(keep.remove());
    QVERIFY(writeCookbook(ExportFormat::Html, snapshot(2), out, progress).ok);
    QFile page(out + QStringLiteral("/菜谱/第01道菜.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    const QRegularExpression script(QStringLiteral("<script type=\"application/ld\\+json\">(.*)</script>"),
                                    QRegularExpression::DotMatchesEverythingOption);
    const QJsonObject recipe = QJsonDocument::fromJson(script.match(html).captured(1).toUtf8()).object();
    QCOMPARE(recipe.value(QStringLiteral("name")).toString(), QStringLiteral("第01道菜"));
    QVERIFY(html.contains(QStringLiteral("href=\"../index.html\"")));
    QVERIFY(QFile::exists(out + QStringLiteral("/index.html")));
}

void TestExportWriters::failuresLeaveNothing()
{
    QTemporaryDir dir;
    Progress progress;
    // Written whole, but the destination is a folder with something in it.
    const QString taken = dir.filePath(QStringLiteral("taken.pdf"));
    QVERIFY(QDir(taken).mkpath(QStringLiteral("inside")));
    const ExportOutcome blocked = writeCookbook(ExportFormat::Pdf, snapshot(2), taken, progress);
    QVERIFY(!blocked.ok && !blocked.cancelled && blocked.error.contains(taken));
    // A folder that cannot be made: its parent is a file.
    QFile file(dir.filePath(QStringLiteral("plain")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const ExportOutcome nowhere = writeCookbook(ExportFormat::Json, snapshot(2), file.fileName() + QStringLiteral("/x.zip"), progress);
    QVERIFY(!nowhere.ok && !nowhere.error.isEmpty());
    progress.cancel();
    for (const ExportFormat format : {ExportFormat::Pdf, ExportFormat::Html, ExportFormat::Json}) {
        const ExportOutcome stopped = writeCookbook(format, snapshot(2), dir.filePath(QStringLiteral("stopped")), progress);
        QVERIFY(!stopped.ok && stopped.cancelled);
    }
    QCOMPARE(everything(dir.path()), QStringList({file.fileName(), taken, taken + QStringLiteral("/inside")}));
}

QTEST_MAIN(TestExportWriters)
#include "tst_exportwriters.moc"
