// The cookbook writers: what lands on disk, and that nothing is left behind
// when an export is refused, fails or is cancelled.
#include "exchange/exportcookbook.h"
#include "exchange/exportsnapshot.h"
#include "exchange/importrun.h"

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
                         QStringLiteral("排骨 500克\r\n\r\n姜 3片\r\n\r\n"), step.repeated(i % 3 ? 2 : 40), picture});
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
    book->dishes.append({book->sections.first().heading, QStringLiteral("垫页菜"), QStringLiteral("水"),
                         QStringLiteral("烧开。\r\n").repeated(fillerLines + 1), QString()});
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
    book.dishes[0] = {QStringLiteral("汤羹"), name, ingredients, method, QString()};
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
