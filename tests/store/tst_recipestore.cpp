// The recipe store on real cate.mdb files in a temporary folder.
#include "store/backup.h"
#include "store/recipestore.h"
#include "support/otherprogram.h"
#include "testdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <memory>
#include <random>
#include <sqlite3.h>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>


namespace {

const QString CRLF = QStringLiteral("\r\n");

// An SQL text literal.
QString lit(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

QString dishSql(const QString &category, const QString &name, const QString &ingredients = QStringLiteral("料"),
                const QString &method = QStringLiteral("法"), const QString &picture = QString())
{
    return QStringLiteral("INSERT INTO \"01\"(category,\"名称\",ingredients,method,picture) VALUES(%1,%2,%3,%4,%5);")
        .arg(lit(category), lit(name), lit(ingredients), lit(method), lit(picture));
}

QString categorySql(const QString &category)
{
    return QStringLiteral("INSERT INTO \"02\"(category) VALUES(%1);").arg(lit(category));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TstRecipeStore : public QObject {
    Q_OBJECT
private slots:
    void listsKeepTableOrderAndTrimOnlyBlanks();
    void catalogueReadsBothTablesOnce();
    void largeCatalogueReadIsTheTable();
    void findDishMatchesTrimmedAndTakesFirst();
    void addDishTrimsAllButCategoryAndAssignsIds();
    void updateDishRewritesTheRowById();
    void deleteAndMoveDishGoByIdAlone();
    void addCategoryKeepsBlanksAndDuplicates();
    void deleteCategoryTakesDishesAndFirstRow();
    void deleteCategoryIsAllOrNothing();
    void searchUsesPatternInTableOrder();
    void searchRejectsBadPattern();
    void namesOnlySearchFollowsEveryChange();
    void searchByWords_data();
    void searchByWords();
    void searchByWordsFollowsEveryChange();
    void oddTextsRoundTrip();
    void pickDrawsWithinBounds();
    void pickEndsOnGappedAndEmptyTables();
    void pickIsTheSameWhateverTheIdColumn();
    void replacementFileWithOtherColumnNames();
    void badFilesAreReportedAndLeftAlone_data();
    void badFilesAreReportedAndLeftAlone();
    void missingFileIsNeverCreated();
    void readOnlyFileRefusesWrites();
    void readOnlyFolderRefusesWrites();
    void lockedFileGivesBusy();
    void writesAreDurableAtOnce();
    void errorTextsAreChinese();
    void starterDatabaseIsComplete();
    void storeServesOnlyTheThreadThatOwnsIt();
    void marksLiveBesideTheDishes();
    void tagsAreTakenApart_data();
    void tagsAreTakenApart();
};

void TstRecipeStore::listsKeepTableOrderAndTrimOnlyBlanks()
{
    TestDb db(categorySql(QStringLiteral("汤羹")) + categorySql(QStringLiteral("  家常菜 ")) + categorySql(QStringLiteral("凉菜\t"))
              + categorySql(QStringLiteral("汤羹")) + categorySql(QStringLiteral("Soup"))
              + dishSql(QStringLiteral("家常菜"), QStringLiteral(" 鱼香肉丝 "))
              + dishSql(QStringLiteral("汤羹"), QStringLiteral("紫菜蛋花汤"))
              + dishSql(QStringLiteral("家常菜  "), QStringLiteral("番茄炒蛋"))
              + dishSql(QStringLiteral("  家常菜"), QStringLiteral("地三鲜"))
              + dishSql(QStringLiteral("凉菜"), QStringLiteral("拍黄瓜"))
              + dishSql(QStringLiteral("soup"), QStringLiteral("Corn soup"))
              + dishSql(QStringLiteral("素菜"), QStringLiteral("清炒时蔬")));

    const auto cats = RecipeStore(db.path()).listCategories();
    QVERIFY(cats.ok());
    QCOMPARE(*cats, QStringList({"汤羹", "家常菜", "凉菜\t", "汤羹", "Soup"}));

    const auto rows = RecipeStore(db.path()).listCategoryRows();
    QVERIFY(rows.ok());
    QCOMPARE(rows->size(), 5);
    QCOMPARE(rows->at(1).category, QStringLiteral("  家常菜 "));
    QCOMPARE(rows->at(2).category, QStringLiteral("凉菜\t"));
    QCOMPARE(rows->at(4).id, 5);

    // Blanks on either side do not matter; a tab and letter case do.
    QCOMPARE(*RecipeStore(db.path()).listDishesOfCategory(QStringLiteral("家常菜")),
             QStringList({"鱼香肉丝", "番茄炒蛋", "地三鲜"}));
    QCOMPARE(*RecipeStore(db.path()).listDishesOfCategory(QStringLiteral("凉菜\t")), QStringList());
    QCOMPARE(*RecipeStore(db.path()).listDishesOfCategory(QStringLiteral("Soup")), QStringList());
    QCOMPARE(*RecipeStore(db.path()).listDishesOfCategory(QStringLiteral("soup")), QStringList({"Corn soup"}));
    // A dish of a category not in "02" still counts.
    QCOMPARE(*RecipeStore(db.path()).countDishes(), 7);

    // Natural order survives deleting a row in the middle.
    db.exec(QStringLiteral("DELETE FROM \"01\" WHERE id = 2;") + dishSql(QStringLiteral("家常菜"), QStringLiteral("回锅肉")));
    QCOMPARE(*RecipeStore(db.path()).listDishesOfCategory(QStringLiteral("家常菜")),
             QStringList({"鱼香肉丝", "番茄炒蛋", "地三鲜", "回锅肉"}));
    QCOMPARE(*RecipeStore(db.path()).countDishes(), 7);

    TestDb empty;
    QCOMPARE(*RecipeStore(empty.path()).listCategories(), QStringList());
    QCOMPARE(*RecipeStore(empty.path()).countDishes(), 0);
}

void TstRecipeStore::catalogueReadsBothTablesOnce()
{
    TestDb db(categorySql(QStringLiteral(" 川菜")) + categorySql(QStringLiteral("川菜"))
              + dishSql(QStringLiteral("川菜 "), QStringLiteral(" 麻婆豆腐"))
              + dishSql(QStringLiteral("无名"), QStringLiteral("孤菜"))
              + dishSql(QStringLiteral("川菜"), QStringLiteral("水煮鱼 ")));
    const auto data = RecipeStore(db.path()).loadCatalogue();
    QVERIFY(data.ok());
    QCOMPARE(data->categories, QStringList({"川菜", "川菜"}));
    QCOMPARE(data->totalDishes, 3);
    QCOMPARE(data->dishCount(), 3);
    QCOMPARE(data->key(0).id, 1);
    QCOMPARE(data->key(0).category, QStringLiteral("川菜"));
    QCOMPARE(data->key(0).name, QStringLiteral("麻婆豆腐"));
    QCOMPARE(data->key(1).category, QStringLiteral("无名"));
    QCOMPARE(data->key(2).name, QStringLiteral("水煮鱼"));

    // Read from the catalogue index (in its own order: category, name), the
    // dishes still come in table order. A file that cannot be written is
    // left without the index, and as it was.
    const QByteArray withoutIndex = db.bytes();
    QFile::setPermissions(db.path(), QFile::ReadOwner);
    const auto refused = RecipeStore(db.path()).ensureCatalogueIndex();
    QVERIFY(refused.ok() && !*refused);
    QCOMPARE(db.bytes(), withoutIndex);
    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::WriteOwner);
    const auto made = RecipeStore(db.path()).ensureCatalogueIndex();
    QVERIFY(made.ok() && *made);
    QVERIFY(db.rows(QStringLiteral("EXPLAIN QUERY PLAN SELECT rowid, category, \"名称\" FROM \"01\""))
                .join(u' ').contains(QStringLiteral("COVERING INDEX")));
    const auto fromIndex = RecipeStore(db.path()).loadCatalogue();
    QVERIFY(fromIndex.ok());
    QCOMPARE(fromIndex->keys().size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(fromIndex->key(i).id, data->key(i).id);
        QCOMPARE(fromIndex->key(i).category, data->key(i).category);
        QCOMPARE(fromIndex->key(i).name, data->key(i).name);
    }

    TestDb empty;
    const auto none = RecipeStore(empty.path()).loadCatalogue();
    QVERIFY(none.ok());
    QVERIFY(none->categories.isEmpty());
    QCOMPARE(none->totalDishes, 0);
}

// A catalogue large enough to be read in two halves at once gives exactly
// the rows of the table, in table order: categories without a value, equal
// to where the halves meet, with blanks, not listed; names without a value.
void TstRecipeStore::largeCatalogueReadIsTheTable()
{
    TestDb db(QStringLiteral("INSERT INTO \"02\"(category) VALUES ('丙'),('甲'),('戊'),('乙'),('丁');"));
    QVERIFY(*RecipeStore(db.path()).ensureCatalogueIndex());
    db.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 24000) "
        "INSERT INTO \"01\"(id, category, \"名称\") SELECT (i * 7919) % 24001, "
        "CASE i % 9 WHEN 0 THEN NULL WHEN 1 THEN ' 丙 ' WHEN 2 THEN '未列' WHEN 3 THEN '甲' WHEN 4 THEN '戊' "
        "WHEN 5 THEN '乙' WHEN 6 THEN '丁' WHEN 7 THEN '丙' ELSE 12 END, "
        "CASE WHEN i % 97 = 0 THEN NULL ELSE ' 菜' || ((i * 31) % 1000) END FROM n;"
        "DELETE FROM \"01\" WHERE id % 13 = 0;"));
    const QStringList table = db.rows(QStringLiteral(
        "SELECT id, trim(ifnull(category, ''), ' '), trim(ifnull(\"名称\", ''), ' ') FROM \"01\" ORDER BY rowid"));
    QVERIFY(table.size() > 20000);
    const auto data = RecipeStore(db.path()).loadCatalogue();
    QVERIFY(data.ok());
    QCOMPARE(data->dishCount(), table.size());
    for (qsizetype i = 0; i < data->dishCount(); ++i) {
        const DishKey k = data->key(i);
        QCOMPARE(QStringLiteral("%1|%2|%3").arg(k.id).arg(k.category, k.name), table.at(i));
    }
    QCOMPARE(data->namesInPlace().size(), size_t(table.size()));
    for (const auto &place : data->namesInPlace())
        QCOMPARE(data->rawName(place), data->rawName(qsizetype(place.row)));
}

void TstRecipeStore::findDishMatchesTrimmedAndTakesFirst()
{
    TestDb db(dishSql(QStringLiteral("家常菜"), QStringLiteral("红烧肉"), QStringLiteral("五花肉"), QStringLiteral("第一种"))
              + dishSql(QStringLiteral(" 家常菜 "), QStringLiteral(" 红烧肉 "), QStringLiteral("猪肉"), QStringLiteral("第二种"), QStringLiteral(" /p.jpg "))
              + dishSql(QStringLiteral("川菜"), QStringLiteral("红烧肉"), QStringLiteral("辣"), QStringLiteral("第三种")));

    auto found = RecipeStore(db.path()).findDish(QStringLiteral("  家常菜"), QStringLiteral("红烧肉  "));
    QVERIFY(found.ok() && found->has_value());
    QCOMPARE((*found)->id, 1);
    QCOMPARE((*found)->method, QStringLiteral("第一种"));

    found = RecipeStore(db.path()).findDish(QStringLiteral("川菜"), QStringLiteral("红烧肉"));
    QVERIFY(found.ok() && found->has_value());
    QCOMPARE((*found)->id, 3);

    found = RecipeStore(db.path()).findDish(QStringLiteral("家常菜"), QStringLiteral("红烧"));
    QVERIFY(found.ok());
    QVERIFY(!found->has_value());

    // By id the row comes back exactly as stored.
    const auto byId = RecipeStore(db.path()).findDishById(2);
    QVERIFY(byId.ok() && byId->has_value());
    QCOMPARE((*byId)->category, QStringLiteral(" 家常菜 "));
    QCOMPARE((*byId)->name, QStringLiteral(" 红烧肉 "));
    QCOMPARE((*byId)->picture, QStringLiteral(" /p.jpg "));
    QVERIFY(!RecipeStore(db.path()).findDishById(99)->has_value());
}

void TstRecipeStore::addDishTrimsAllButCategoryAndAssignsIds()
{
    TestDb db;
    const QString method = QStringLiteral("1. 切块。") + CRLF + QStringLiteral("2. 下锅。 ");
    const auto first = RecipeStore(db.path()).addDish(QStringLiteral(" 家常菜 "), QStringLiteral("  番茄炒蛋 "),
                               QStringLiteral(" 番茄 2个\r\n鸡蛋 3个 "), method, QStringLiteral(" C:\\图\\a.jpg "));
    QVERIFY(first.ok());
    QCOMPARE(*first, 1);
    QCOMPARE(db.rows(QStringLiteral("SELECT id, category, \"名称\", picture FROM \"01\"")),
             QStringList({"1| 家常菜 |番茄炒蛋|C:\\图\\a.jpg"}));
    QCOMPARE(db.scalar(QStringLiteral("SELECT ingredients FROM \"01\"")), QStringLiteral("番茄 2个\r\n鸡蛋 3个"));
    QCOMPARE(db.scalar(QStringLiteral("SELECT method FROM \"01\"")), QStringLiteral("1. 切块。\r\n2. 下锅。"));

    // Same name again is a second row; ids go up and are not reused.
    QCOMPARE(*RecipeStore(db.path()).addDish(QStringLiteral("家常菜"), QStringLiteral("番茄炒蛋"), {}, {}, {}), 2);
    db.exec(QStringLiteral("DELETE FROM \"01\" WHERE id = 2"));
    QCOMPARE(*RecipeStore(db.path()).addDish(QStringLiteral("家常菜"), QStringLiteral("蒜蓉西兰花"), {}, {}, {}), 3);
    QCOMPARE(db.rows(QStringLiteral("SELECT id, \"名称\" FROM \"01\" ORDER BY rowid")),
             QStringList({"1|番茄炒蛋", "3|蒜蓉西兰花"}));
}

void TstRecipeStore::updateDishRewritesTheRowById()
{
    TestDb db(dishSql(QStringLiteral("家常菜"), QStringLiteral("红烧肉"))
              + dishSql(QStringLiteral("川菜"), QStringLiteral("红烧肉"))
              + dishSql(QStringLiteral("凉菜"), QStringLiteral("拍黄瓜")));
    const auto updated = RecipeStore(db.path()).updateDish(2, QStringLiteral(" 红烧肉（辣） "), QStringLiteral(" 五花肉 500克 "),
                                    QStringLiteral("1. 焯水。\r\n2. 炒糖色。 "), QStringLiteral(" "));
    QVERIFY(updated.ok());
    QVERIFY(*updated);
    QCOMPARE(db.rows(QStringLiteral("SELECT id, category, \"名称\", ingredients, picture FROM \"01\" ORDER BY rowid")),
             QStringList({"1|家常菜|红烧肉|料|", "2|川菜|红烧肉（辣）|五花肉 500克|", "3|凉菜|拍黄瓜|料|"}));
    QCOMPARE(db.scalar(QStringLiteral("SELECT method FROM \"01\" WHERE id = 2")), QStringLiteral("1. 焯水。\r\n2. 炒糖色。"));

    // The row is gone: nothing is written anywhere.
    db.exec(QStringLiteral("DELETE FROM \"01\" WHERE id = 3"));
    const QByteArray before = db.bytes();
    const auto gone = RecipeStore(db.path()).updateDish(3, QStringLiteral("新名"), {}, {}, {});
    QVERIFY(gone.ok());
    QVERIFY(!*gone);
    QCOMPARE(db.bytes(), before);

    // The row is looked at under the write's lock: another program cannot
    // change it between the look and the write; a no writes nothing.
    OtherProgram other(db.path());
    int otherWrote = SQLITE_OK;
    DishRecord seen;
    const auto refused = RecipeStore(db.path()).updateDish(2, QStringLiteral("新名"), {}, {}, {}, [&](const DishRecord &row) {
        seen = row;
        otherWrote = other.exec("UPDATE \"01\" SET method = '别人改的' WHERE id = 2");
        return false;
    });
    QVERIFY(refused.ok());
    QVERIFY(!*refused);
    QCOMPARE(otherWrote & 0xff, SQLITE_BUSY);
    QCOMPARE(seen.name, QStringLiteral("红烧肉（辣）"));
    QCOMPARE(seen.method, QStringLiteral("1. 焯水。\r\n2. 炒糖色。"));
    QCOMPARE(db.bytes(), before);
}

void TstRecipeStore::deleteAndMoveDishGoByIdAlone()
{
    TestDb db(dishSql(QStringLiteral("川菜"), QStringLiteral("红烧肉"), QStringLiteral("料"), QStringLiteral("法"),
                      QStringLiteral("/p/rou.jpg"))
              + dishSql(QStringLiteral("川菜"), QStringLiteral("红烧肉")) + dishSql(QStringLiteral("凉菜"), QStringLiteral("拍黄瓜")));
    RecipeStore store(db.path());
    QVERIFY(*store.deleteDish(2));
    QVERIFY(*store.moveDish(1, QStringLiteral("家常菜")));
    QVERIFY(*store.setDishPicture(1, QString()));
    QCOMPARE(db.rows(QStringLiteral("SELECT id, category, \"名称\", picture FROM \"01\" ORDER BY rowid")),
             QStringList({"1|家常菜|红烧肉|", "3|凉菜|拍黄瓜|"}));
    QCOMPARE(store.searchDishesByName(QStringLiteral("红烧"), RecipeStore::SearchFields::NamesOnly)->at(0).category,
             QStringLiteral("家常菜"));

    // Gone: false, and the file is left as it was.
    const QByteArray before = db.bytes();
    for (const StoreResult<bool> &gone : {store.deleteDish(2), store.moveDish(2, QStringLiteral("凉菜"))}) {
        QVERIFY(gone.ok());
        QVERIFY(!*gone);
    }
    QCOMPARE(db.bytes(), before);
}

void TstRecipeStore::addCategoryKeepsBlanksAndDuplicates()
{
    TestDb db(categorySql(QStringLiteral("凉菜")));
    QCOMPARE(*RecipeStore(db.path()).addCategory(QStringLiteral(" 粤菜 ")), 2);
    QCOMPARE(*RecipeStore(db.path()).addCategory(QStringLiteral("凉菜")), 3);
    QCOMPARE(*RecipeStore(db.path()).addCategory(QStringLiteral("   ")), 4);
    QCOMPARE(db.rows(QStringLiteral("SELECT id, category FROM \"02\" ORDER BY rowid")),
             QStringList({"1|凉菜", "2| 粤菜 ", "3|凉菜", "4|   "}));
    const auto rows = RecipeStore(db.path()).listCategoryRows();
    QCOMPARE(rows->at(3).category, QStringLiteral("   "));
}

void TstRecipeStore::deleteCategoryTakesDishesAndFirstRow()
{
    TestDb db(categorySql(QStringLiteral("汤羹")) + categorySql(QStringLiteral(" 川菜")) + categorySql(QStringLiteral("川菜 "))
              + dishSql(QStringLiteral("川菜"), QStringLiteral("麻婆豆腐"))
              + dishSql(QStringLiteral("汤羹"), QStringLiteral("酸辣汤"))
              + dishSql(QStringLiteral("川菜   "), QStringLiteral("回锅肉"))
              + dishSql(QStringLiteral("川菜\t"), QStringLiteral("夫妻肺片"))
              + dishSql(QStringLiteral("川"), QStringLiteral("宫保鸡丁")));

    const auto outcome = RecipeStore(db.path()).deleteCategory(QStringLiteral("川菜 "));
    QVERIFY(outcome.ok());
    QCOMPARE(outcome->dishesDeleted, 2);
    QVERIFY(outcome->categoryRowDeleted);
    QCOMPARE(db.rows(QStringLiteral("SELECT category FROM \"02\" ORDER BY rowid")), QStringList({"汤羹", "川菜 "}));
    QCOMPARE(db.rows(QStringLiteral("SELECT \"名称\" FROM \"01\" ORDER BY rowid")),
             QStringList({"酸辣汤", "夫妻肺片", "宫保鸡丁"}));

    // The second row of the duplicate goes next time; no dishes are left for it.
    const auto again = RecipeStore(db.path()).deleteCategory(QStringLiteral("川菜"));
    QCOMPARE(again->dishesDeleted, 0);
    QVERIFY(again->categoryRowDeleted);
    QCOMPARE(db.rows(QStringLiteral("SELECT category FROM \"02\"")), QStringList({"汤羹"}));

    // A name that is nowhere: nothing happens.
    const auto nothing = RecipeStore(db.path()).deleteCategory(QStringLiteral("粤菜"));
    QVERIFY(nothing.ok());
    QCOMPARE(nothing->dishesDeleted, 0);
    QVERIFY(!nothing->categoryRowDeleted);

    // With "01" empty the category row still goes.
    TestDb empty(categorySql(QStringLiteral("凉菜")));
    const auto lone = RecipeStore(empty.path()).deleteCategory(QStringLiteral("凉菜"));
    QVERIFY(lone.ok());
    QVERIFY(lone->categoryRowDeleted);
    QCOMPARE(empty.scalar(QStringLiteral("SELECT count(*) FROM \"02\"")), QStringLiteral("0"));

    // Read through the catalogue index, the delete still takes exactly the
    // dishes whose category, blanks trimmed, is the name, whatever else
    // sorts near it and whatever kind of value another program stored.
    TestDb odd(QStringLiteral("DROP TABLE \"01\"; CREATE TABLE \"01\"(id INTEGER PRIMARY KEY AUTOINCREMENT, category,"
                              " \"名称\" TEXT, ingredients TEXT, method TEXT, picture TEXT);"));
    odd.exec(QStringLiteral("INSERT INTO \"01\"(category,\"名称\") VALUES ('abc','a'),(' abc','b'),('abc  ','c'),"
                            "('abc!','d'),('abcd','e'),('abc'||char(9),'f'),(NULL,'g'),('','h'),('  ','i'),"
                            "(x'616263','j'),('ab','k'),(char(9)||'abc','l'),('5','m'),(' 5 ','n'),(5.5,'o'),"
                            "(x'','p'),(5,'q');"));
    QVERIFY(*RecipeStore(odd.path()).ensureCatalogueIndex());
    for (const QString &name : {QStringLiteral("abc"), QString(), QStringLiteral("5"), QStringLiteral("5.5")}) {
        const QString trimmedIs = QStringLiteral(" WHERE trim(ifnull(category,''),' ') = '%1'").arg(name);
        const QStringList kept = odd.rows(QStringLiteral("SELECT \"名称\" FROM \"01\" WHERE NOT") + trimmedIs.mid(6));
        const int taken = odd.scalar(QStringLiteral("SELECT count(*) FROM \"01\"") + trimmedIs).toInt();
        QVERIFY2(taken > 0, qPrintable(name));
        QCOMPARE(RecipeStore(odd.path()).deleteCategory(name)->dishesDeleted, taken);
        QCOMPARE(odd.rows(QStringLiteral("SELECT \"名称\" FROM \"01\"")), kept);
    }
}

void TstRecipeStore::deleteCategoryIsAllOrNothing()
{
    TestDb db(categorySql(QStringLiteral("川菜")) + dishSql(QStringLiteral("川菜"), QStringLiteral("麻婆豆腐"))
              + dishSql(QStringLiteral("川菜"), QStringLiteral("水煮鱼")));
    // The category row refuses to go: the dishes must stay as well.
    db.exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON \"02\" BEGIN SELECT RAISE(ABORT, 'kept'); END;"));
    const QByteArray before = db.bytes();
    const auto outcome = RecipeStore(db.path()).deleteCategory(QStringLiteral("川菜"));
    QVERIFY(!outcome.ok());
    QCOMPARE(outcome.error().kind, StoreError::Other);
    QVERIFY(outcome.error().detail.contains(QStringLiteral("kept")));
    QCOMPARE(db.rows(QStringLiteral("SELECT \"名称\" FROM \"01\" ORDER BY rowid")), QStringList({"麻婆豆腐", "水煮鱼"}));
    QCOMPARE(db.bytes(), before);
    QVERIFY(!QFile::exists(db.path() + QStringLiteral("-journal")));
}

void TstRecipeStore::searchUsesPatternInTableOrder()
{
    TestDb db(dishSql(QStringLiteral("川菜"), QStringLiteral("宫保鸡丁"))
              + dishSql(QStringLiteral("粤菜"), QStringLiteral("白切鸡"))
              + dishSql(QStringLiteral("家常菜"), QStringLiteral("番茄炒蛋"))
              + dishSql(QStringLiteral("汤羹"), QStringLiteral("鸡蛋汤"))
              + dishSql(QStringLiteral("面点"), QStringLiteral("Pizza 2号"))
              + dishSql(QStringLiteral("面点"), QStringLiteral("pizza")));
    auto names = [&](const QString &text) {
        QStringList out;
        const auto rows = RecipeStore(db.path()).searchDishesByName(text);
        if (!rows.ok())
            return QStringList({QStringLiteral("error")});
        for (const DishRecord &d : *rows)
            out << d.name;
        return out;
    };
    QCOMPARE(names(QStringLiteral("鸡")), QStringList({"宫保鸡丁", "白切鸡", "鸡蛋汤"}));
    QCOMPARE(names(QStringLiteral("蛋")), QStringList({"番茄炒蛋", "鸡蛋汤"}));
    QCOMPARE(names(QStringLiteral("PIZZA")), QStringList({"Pizza 2号", "pizza"}));
    QCOMPARE(names(QStringLiteral("#号")), QStringList({"Pizza 2号"}));
    QCOMPARE(names(QStringLiteral("鸡?")), QStringList({"宫保鸡丁", "鸡蛋汤"}));
    QCOMPARE(names(QStringLiteral("[白宫]")), QStringList({"宫保鸡丁", "白切鸡"}));
    QCOMPARE(names(QStringLiteral("鸭")), QStringList());

    const auto rows = RecipeStore(db.path()).searchDishesByName(QStringLiteral("白切"));
    QCOMPARE(rows->size(), 1);
    QCOMPARE(rows->at(0).id, 2);
    QCOMPARE(rows->at(0).category, QStringLiteral("粤菜"));
    QCOMPARE(rows->at(0).ingredients, QStringLiteral("料"));

    // The lean form for result lists: the same rows, names and ids only.
    const auto lean = RecipeStore(db.path()).searchDishesByName(QStringLiteral("鸡"), RecipeStore::SearchFields::NamesOnly);
    const auto whole = RecipeStore(db.path()).searchDishesByName(QStringLiteral("鸡"));
    QCOMPARE(lean->size(), whole->size());
    for (int i = 0; i < lean->size(); ++i) {
        QCOMPARE(lean->at(i).id, whole->at(i).id);
        QCOMPARE(lean->at(i).category, whole->at(i).category);
        QCOMPARE(lean->at(i).name, whole->at(i).name);
        QVERIFY(lean->at(i).ingredients.isEmpty());
    }
}

// The names-only search keeps the names between searches; every change,
// ours or another program's, must show in the next search.
void TstRecipeStore::namesOnlySearchFollowsEveryChange()
{
    TestDb db(dishSql(QStringLiteral("川菜"), QStringLiteral("宫保鸡丁")));
    RecipeStore store(db.path());
    auto found = [&](const QString &text) {
        QStringList out;
        const auto rows = store.searchDishesByName(text, RecipeStore::SearchFields::NamesOnly);
        for (const DishRecord &d : *rows)
            out << QStringLiteral("%1:%2").arg(d.id).arg(d.name);
        return out;
    };
    QCOMPARE(found(QStringLiteral("鸡")), QStringList({"1:宫保鸡丁"}));
    // Another program adds a dish.
    db.exec(QStringLiteral("INSERT INTO \"01\"(category,\"名称\") VALUES ('粤菜','白切鸡');"));
    QCOMPARE(found(QStringLiteral("鸡")), QStringList({"1:宫保鸡丁", "2:白切鸡"}));
    // Our own writes.
    QCOMPARE(*store.addDish(QStringLiteral("川菜"), QStringLiteral("辣子鸡"), {}, {}, {}), 3);
    QCOMPARE(found(QStringLiteral("鸡")), QStringList({"1:宫保鸡丁", "2:白切鸡", "3:辣子鸡"}));
    QVERIFY(*store.updateDish(2, QStringLiteral("白斩鸡"), {}, {}, {}));
    QCOMPARE(found(QStringLiteral("白?鸡")), QStringList({"2:白斩鸡"}));
    QCOMPARE(store.deleteCategory(QStringLiteral("川菜"))->dishesDeleted, 2);
    QCOMPARE(found(QStringLiteral("鸡")), QStringList({"2:白斩鸡"}));
    // The file replaced by another one.
    TestDb other(dishSql(QStringLiteral("汤羹"), QStringLiteral("鸡蛋汤")));
    QFile::remove(db.path());
    QVERIFY(QFile::copy(other.path(), db.path()));
    QCOMPARE(found(QStringLiteral("鸡")), QStringList({"1:鸡蛋汤"}));
}

namespace {

// Dishes whose words sit in different columns; one method and one set of
// ingredients are NULL.
TestDb *wordsDb()
{
    return new TestDb(
        dishSql(QStringLiteral("川菜"), QStringLiteral("宫保鸡丁"), QStringLiteral("鸡胸肉 300克\r\n花生米"), QStringLiteral("1. 鸡丁腌制。\r\n2. 大火爆炒。"))
        + dishSql(QStringLiteral("川菜"), QStringLiteral("麻婆豆腐"), QStringLiteral("豆腐 1块\r\n牛肉末"), QStringLiteral("1. 豆腐切块。\r\n2. 小火慢炖三分钟。"))
        + dishSql(QStringLiteral("家常菜"), QStringLiteral("红烧肉"), QStringLiteral("五花肉 500克\r\n冰糖"), QStringLiteral("1. 焯水。\r\n2. 小火慢炖一小时。"))
        + dishSql(QStringLiteral("面点"), QStringLiteral("Pizza 2号"), QStringLiteral("Flour 200g\r\nTomato"), QStringLiteral("1. Bake 15 min."))
        + QStringLiteral("INSERT INTO \"01\"(category,\"名称\",ingredients) VALUES('粤菜','清蒸鲈鱼','鲈鱼 1条');"
                         "INSERT INTO \"01\"(category,\"名称\") VALUES('凉菜','拍黄瓜');"));
}

QString wordsFound(const StoreResult<QVector<DishRecord>> &rows)
{
    if (!rows.ok())
        return QStringLiteral("error %1").arg(rows.error().kind);
    QStringList out;
    for (const DishRecord &d : *rows) {
        out << d.name;
        if (!d.ingredients.isEmpty() || !d.method.isEmpty())
            out << QStringLiteral("(texts read)");
    }
    return out.join(QLatin1Char(','));
}

} // namespace

void TstRecipeStore::searchByWords_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("found");   // names in table order, or "error <kind>"

    const QString bad = QStringLiteral("error %1").arg(StoreError::BadPattern);
    QTest::newRow("in the method only") << QStringList{"慢炖"} << "麻婆豆腐,红烧肉";
    QTest::newRow("name and method") << QStringList{"豆腐", "慢炖"} << "麻婆豆腐";
    QTest::newRow("ingredients and method") << QStringList{"五花肉", "慢炖"} << "红烧肉";
    QTest::newRow("every word needed") << QStringList{"慢炖", "鸭"} << "";
    QTest::newRow("digit pattern") << QStringList{"#克"} << "宫保鸡丁,红烧肉";
    QTest::newRow("list and star") << QStringList{"[红清]*肉"} << "红烧肉";
    QTest::newRow("letter case") << QStringList{"tomato", "BAKE #"} << "Pizza 2号";
    QTest::newRow("NULL texts match nothing") << QStringList{"鲈鱼", "?"} << "清蒸鲈鱼";
    QTest::newRow("no match") << QStringList{"鸭"} << "";
    QTest::newRow("no words") << QStringList{} << "宫保鸡丁,麻婆豆腐,红烧肉,Pizza 2号,清蒸鲈鱼,拍黄瓜";
    QTest::newRow("empty words left out") << QStringList{"", "鸡"} << "宫保鸡丁";
    QTest::newRow("invalid word") << QStringList{"豆腐", "[z-a]"} << bad;
    QTest::newRow("unclosed list") << QStringList{"["} << bad;
    QTest::newRow("quotes are text") << QStringList{"' OR 1=1 --"} << "";
}

void TstRecipeStore::searchByWords()
{
    QFETCH(QStringList, words);
    QFETCH(QString, found);
    std::unique_ptr<TestDb> db(wordsDb());
    // The first search reads every dish; the next one passes over dishes
    // by what was kept from the first.
    QCOMPARE(wordsFound(RecipeStore(db->path()).searchDishesByWords(words)), found);
    QCOMPARE(wordsFound(RecipeStore(db->path()).searchDishesByWords(words)), found);
}

// What the search by words keeps between searches must follow every change:
// ours, another program's, a replaced file.
void TstRecipeStore::searchByWordsFollowsEveryChange()
{
    std::unique_ptr<TestDb> db(wordsDb());
    RecipeStore store(db->path());
    auto found = [&](const QStringList &words) { return wordsFound(store.searchDishesByWords(words)); };
    QCOMPARE(found({"慢炖"}), QStringLiteral("麻婆豆腐,红烧肉"));
    QVERIFY(*store.updateDish(1, QStringLiteral("宫保鸡丁"), QStringLiteral("鸡胸肉"), QStringLiteral("慢炖"), {}));
    QCOMPARE(found({"慢炖"}), QStringLiteral("宫保鸡丁,麻婆豆腐,红烧肉"));
    QCOMPARE(*store.addDish(QStringLiteral("汤羹"), QStringLiteral("老鸭汤"), QStringLiteral("鸭 1只"), QStringLiteral("慢炖"), {}), 7);
    QCOMPARE(found({"鸭", "慢炖"}), QStringLiteral("老鸭汤"));
    QCOMPARE(store.deleteCategory(QStringLiteral("川菜"))->dishesDeleted, 2);
    QCOMPARE(found({"慢炖"}), QStringLiteral("红烧肉,老鸭汤"));
    // A row id freed at the end of the table is used again.
    db->exec(QStringLiteral("DELETE FROM \"01\" WHERE rowid = 7;"));
    QCOMPARE(found({"慢炖"}), QStringLiteral("红烧肉"));
    db->exec(QStringLiteral("INSERT INTO \"01\"(id, category, \"名称\", method) VALUES(7, '汤羹', '炖鸡汤', '慢炖');"));
    QCOMPARE(found({"炖鸡"}), QStringLiteral("炖鸡汤"));
    QVERIFY(*store.updateDish(7, QStringLiteral("蒸鸡"), {}, QStringLiteral("清蒸"), {}));
    QCOMPARE(found({"清蒸"}), QStringLiteral("清蒸鲈鱼,蒸鸡"));
    // A trigger that writes other rows.
    db->exec(QStringLiteral("CREATE TRIGGER t AFTER UPDATE ON \"01\" BEGIN UPDATE \"01\" SET method = '酱香' WHERE rowid = 3; END;"));
    QCOMPARE(found({"酱香"}), QString());
    QVERIFY(*store.updateDish(7, QStringLiteral("蒸鸡"), {}, QStringLiteral("清蒸"), {}));
    QCOMPARE(found({"酱香"}), QStringLiteral("红烧肉"));
    // The file replaced by another one.
    TestDb other(dishSql(QStringLiteral("汤羹"), QStringLiteral("鸭血汤"), QStringLiteral("鸭血"), QStringLiteral("慢炖")));
    QFile::remove(db->path());
    QVERIFY(QFile::copy(other.path(), db->path()));
    QCOMPARE(found({"慢炖"}), QStringLiteral("鸭血汤"));
}

void TstRecipeStore::searchRejectsBadPattern()
{
    TestDb db(dishSql(QStringLiteral("川菜"), QStringLiteral("宫保鸡丁")));
    for (const QString &text : {QStringLiteral("["), QStringLiteral("鸡[丁"), QStringLiteral("[z-a]")}) {
        const auto rows = RecipeStore(db.path()).searchDishesByName(text);
        QVERIFY2(!rows.ok(), qPrintable(text));
        QCOMPARE(rows.error().kind, StoreError::BadPattern);
    }
    // Texts that would break a pasted query are plain text here.
    for (const QString &text : {QStringLiteral("'"), QStringLiteral("' OR 1=1 --"), QStringLiteral("\"")}) {
        const auto rows = RecipeStore(db.path()).searchDishesByName(text);
        QVERIFY(rows.ok());
        QVERIFY(rows->isEmpty());
    }
}

void TstRecipeStore::oddTextsRoundTrip()
{
    TestDb db;
    const QStringList names = {QStringLiteral("😀笑脸饼"), QStringLiteral("老王's \"秘制\" 酱"), QStringLiteral("C:\\菜\\汤"),
                               QStringLiteral("100%牛肉"), QStringLiteral("a_b"), QStringLiteral("𠮷野家牛丼")};
    for (const QString &name : names)
        QVERIFY(RecipeStore(db.path()).addDish(QStringLiteral("杂"), name, name, name, name).ok());
    QString big;
    for (int i = 0; big.size() < 1024 * 1024; ++i)
        big += QStringLiteral("第%1行：猪肉 500克").arg(i) + CRLF;
    const auto bigId = RecipeStore(db.path()).addDish(QStringLiteral("杂"), QStringLiteral("大菜"), big, big + QStringLiteral("完"), {});
    QVERIFY(bigId.ok());

    for (const QString &name : names) {
        const auto found = RecipeStore(db.path()).findDish(QStringLiteral("杂"), name);
        QVERIFY2(found.ok() && found->has_value(), qPrintable(name));
        QCOMPARE((*found)->name, name);
        QCOMPARE((*found)->picture, name);
    }
    const auto bigDish = RecipeStore(db.path()).findDishById(*bigId);
    // Only blanks are trimmed: the final line break stays.
    QCOMPARE((*bigDish)->ingredients, big);
    QCOMPARE((*bigDish)->method, big + QStringLiteral("完"));
}

void TstRecipeStore::pickDrawsWithinBounds()
{
    // Table order: ids 1, 2, 1700, 1701 (an imported dish may be far past 1700).
    TestDb db(dishSql(QStringLiteral("a"), QStringLiteral("一")) + dishSql(QStringLiteral("a"), QStringLiteral("二"))
              + QStringLiteral("INSERT INTO \"01\"(id, category, \"名称\") VALUES(1700, 'a', '末'), (1701, 'a', '导入');"));
    RecipeStore store(db.path());
    const struct {
        double draw;
        const char *name;
    } cases[] = {{0.0, "一"}, {0.2499, "一"}, {0.25, "二"}, {0.5, "末"}, {0.75, "导入"}, {0.9999999, "导入"},
                 // out of [0, 1): the nearest end
                 {1.0, "导入"}, {7.0, "导入"}, {-0.1, "一"}, {std::nan(""), "一"}};
    for (const auto &c : cases) {
        int used = 0;
        const auto picked = store.pickRandomDish([&] { ++used; return c.draw; });
        QVERIFY(picked.ok() && picked->has_value());
        QCOMPARE((*picked)->name, QString::fromUtf8(c.name));
        QCOMPARE(used, 1);
    }
}

void TstRecipeStore::pickEndsOnGappedAndEmptyTables()
{
    TestDb empty;
    int used = 0;
    const auto picked = RecipeStore(empty.path()).pickRandomDish([&] { ++used; return 0.5; });
    QVERIFY(picked.ok());
    QVERIFY(!picked->has_value());
    QCOMPARE(used, 0);
}

// The same dishes in the same table order, once with the id as the row id
// and once as a plain column (one id written as a real number, one
// repeated): every draw lands on the same dish, also after another
// program added one.
void TstRecipeStore::pickIsTheSameWhateverTheIdColumn()
{
    QStringList values;
    for (int id = 3; id <= 1760; id += 7)
        values << QStringLiteral("(%1, 'a', '菜%1')").arg(id);
    TestDb rowid(QStringLiteral("INSERT INTO \"01\"(id, category, \"名称\") VALUES %1;").arg(values.join(QLatin1Char(','))));
    values.replace(3, QStringLiteral("(24.0, 'a', '菜24')"));
    values.replace(1, QStringLiteral("(3, 'a', '菜10')"));
    TestDb plain(QStringLiteral("DROP TABLE \"01\"; CREATE TABLE \"01\" (id INTEGER, category TEXT, \"名称\" TEXT, "
                                "ingredients TEXT, method TEXT, picture TEXT);"
                                "INSERT INTO \"01\"(id, category, \"名称\") VALUES %1;").arg(values.join(QLatin1Char(','))));
    auto picks = [](const QString &path) {
        std::mt19937 rng(2004);
        QStringList out;
        RecipeStore store(path);
        for (int i = 0; i < 300; ++i) {
            const auto picked = store.pickRandomDish([&] { return std::uniform_real_distribution<double>(0, 1)(rng); });
            out << (picked.ok() && picked->has_value() ? (*picked)->name : QStringLiteral("-"));
        }
        return out;
    };
    const QStringList expected = picks(rowid.path());
    QVERIFY(!expected.contains(QStringLiteral("-")));
    QCOMPARE(picks(plain.path()), expected);

    RecipeStore plainStore(plain.path());
    const auto last = [&] {
        const auto picked = plainStore.pickRandomDish([] { return 0.9999999; });
        return picked.ok() && picked->has_value() ? (*picked)->name : QString();
    };
    QCOMPARE(last(), QStringLiteral("菜1760"));
    for (const TestDb *db : {&rowid, &plain})
        db->exec(QStringLiteral("INSERT INTO \"01\"(id, category, \"名称\") VALUES (5000, 'a', '新来的');"));
    QCOMPARE(last(), QStringLiteral("新来的"));
    QCOMPARE(picks(plain.path()), picks(rowid.path()));
}

void TstRecipeStore::replacementFileWithOtherColumnNames()
{
    // A downloaded file whose columns are named differently, with an extra
    // column, and whose column 0 is a plain number that the store must fill.
    TestDb db;
    db.exec(QStringLiteral(
        "DROP TABLE \"01\"; DROP TABLE \"02\";"
        "CREATE TABLE \"01\" (\"编号\" INT, \"类 别\" TEXT, \"na\"\"me\" TEXT, \"用料\" TEXT, \"做法\" TEXT, \"图\" TEXT, extra TEXT);"
        "CREATE TABLE \"02\" (k NUMERIC, \"名\" TEXT);"
        "INSERT INTO \"01\" VALUES (7, '凉菜', '拍黄瓜', '黄瓜', '拍碎', '', 'x'), (3, ' 凉菜', '皮蛋豆腐', '皮蛋', '切', '', 'y');"
        "INSERT INTO \"02\" VALUES (9, '凉菜');"));
    QVERIFY(RecipeStore(db.path()).probe().ok());
    QCOMPARE(*RecipeStore(db.path()).listCategories(), QStringList({"凉菜"}));
    QCOMPARE(*RecipeStore(db.path()).listDishesOfCategory(QStringLiteral("凉菜")), QStringList({"拍黄瓜", "皮蛋豆腐"}));
    QCOMPARE(*RecipeStore(db.path()).addDish(QStringLiteral("凉菜"), QStringLiteral("凉拌木耳"), {}, {}, {}), 8);
    QCOMPARE(*RecipeStore(db.path()).addCategory(QStringLiteral("汤羹")), 10);
    QVERIFY(*RecipeStore(db.path()).updateDish(3, QStringLiteral("皮蛋豆腐 "), QStringLiteral("皮蛋 2个"), {}, {}));
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM \"01\" ORDER BY rowid")),
             QStringList({"7|凉菜|拍黄瓜|黄瓜|拍碎||x", "3| 凉菜|皮蛋豆腐|皮蛋 2个|||y", "8|凉菜|凉拌木耳||||"}));
    const auto found = RecipeStore(db.path()).searchDishesByName(QStringLiteral("木耳"));
    QCOMPARE(found->size(), 1);
    QCOMPARE(found->at(0).id, 8);
    QCOMPARE(RecipeStore(db.path()).loadCatalogue()->key(1).id, 3);
    const auto outcome = RecipeStore(db.path()).deleteCategory(QStringLiteral("凉菜"));
    QCOMPARE(outcome->dishesDeleted, 3);
    QCOMPARE(db.rows(QStringLiteral("SELECT * FROM \"02\"")), QStringList({"10|汤羹"}));
}

void TstRecipeStore::badFilesAreReportedAndLeftAlone_data()
{
    QTest::addColumn<QByteArray>("content");   // empty: built below from a real file
    QTest::addColumn<QString>("setup");        // SQL that reshapes a real file
    QTest::addColumn<int>("kind");

    QTest::newRow("empty file") << QByteArray("") << QString() << int(StoreError::NotADatabase);
    QTest::newRow("text file") << QByteArray("番茄炒蛋\r\n鸡蛋 3个\r\n").repeated(100) << QString() << int(StoreError::NotADatabase);
    QTest::newRow("short header") << QByteArray("SQLite format 3\0", 16) << QString() << int(StoreError::NotADatabase);
    QTest::newRow("truncated") << QByteArray("truncate") << QString() << int(StoreError::NotADatabase);
    QTest::newRow("garbled pages") << QByteArray("garble") << QString() << int(StoreError::NotADatabase);
    QTest::newRow("no dish table") << QByteArray() << QStringLiteral("DROP TABLE \"01\";") << int(StoreError::WrongLayout);
    QTest::newRow("no category table") << QByteArray() << QStringLiteral("DROP TABLE \"02\";") << int(StoreError::WrongLayout);
    QTest::newRow("five dish columns") << QByteArray()
        << QStringLiteral("DROP TABLE \"01\"; CREATE TABLE \"01\"(a, b, c, d, e);") << int(StoreError::WrongLayout);
    QTest::newRow("one category column") << QByteArray()
        << QStringLiteral("DROP TABLE \"02\"; CREATE TABLE \"02\"(a);") << int(StoreError::WrongLayout);
    QTest::newRow("category view") << QByteArray()
        << QStringLiteral("DROP TABLE \"02\"; CREATE VIEW \"02\" AS SELECT 1 AS a, 'x' AS b;") << int(StoreError::WrongLayout);
}

void TstRecipeStore::badFilesAreReportedAndLeftAlone()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, setup);
    QFETCH(int, kind);

    QString many;
    for (int i = 0; i < 400; ++i)
        many += dishSql(QStringLiteral("家常菜"), QStringLiteral("菜%1").arg(i), QString(300, QChar(0x6599)));
    TestDb db(QStringLiteral("BEGIN;") + categorySql(QStringLiteral("家常菜")) + many + QStringLiteral("COMMIT;"));
    if (!setup.isEmpty()) {
        db.exec(setup);
    } else if (content == "truncate") {
        const QByteArray whole = db.bytes();
        QVERIFY(writeFile(db.path(), whole.left(whole.size() / 2)));
    } else if (content == "garble") {
        QByteArray whole = db.bytes();
        for (qsizetype i = 4096; i < whole.size(); ++i)
            whole[i] = char(0xA5);
        QVERIFY(writeFile(db.path(), whole));
    } else {
        QVERIFY(writeFile(db.path(), content));
    }
    const QByteArray before = db.bytes();
    const QStringList filesBefore = filesIn(db.dir());

    auto check = [&](const StoreError &e, const char *what) {
        QVERIFY2(e.kind == kind, qPrintable(QStringLiteral("%1: kind %2, %3").arg(what).arg(e.kind).arg(e.detail)));
    };
    QVERIFY(!RecipeStore(db.path()).probe().ok());
    check(RecipeStore(db.path()).probe().error(), "Probe");
    const auto cat = RecipeStore(db.path()).loadCatalogue();
    QVERIFY(!cat.ok());
    check(cat.error(), "LoadCatalogue");
    const auto add = RecipeStore(db.path()).addDish(QStringLiteral("家常菜"), QStringLiteral("新菜"), {}, {}, {});
    QVERIFY(!add.ok());
    check(add.error(), "AddDish");
    const auto addCat = RecipeStore(db.path()).addCategory(QStringLiteral("新类"));
    QVERIFY(!addCat.ok());
    check(addCat.error(), "AddCategory");
    const auto del = RecipeStore(db.path()).deleteCategory(QStringLiteral("家常菜"));
    QVERIFY(!del.ok());
    check(del.error(), "DeleteCategory");

    QCOMPARE(db.bytes(), before);
    QCOMPARE(filesIn(db.dir()), filesBefore);
}

void TstRecipeStore::missingFileIsNeverCreated()
{
    TestDb db;
    const QString path = db.dir() + QStringLiteral("nowhere.mdb");
    const auto r = RecipeStore(path).loadCatalogue();
    QVERIFY(!r.ok());
    QCOMPARE(r.error().kind, StoreError::Missing);
    const auto add = RecipeStore(path).addDish(QStringLiteral("a"), QStringLiteral("b"), {}, {}, {});
    QCOMPARE(add.error().kind, StoreError::Missing);
    QCOMPARE(RecipeStore(path).addCategory(QStringLiteral("a")).error().kind, StoreError::Missing);
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(filesIn(db.dir()), QStringList({"cate.mdb"}));
}

void TstRecipeStore::readOnlyFileRefusesWrites()
{
    TestDb db(categorySql(QStringLiteral("凉菜")) + dishSql(QStringLiteral("凉菜"), QStringLiteral("拍黄瓜")));
    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QByteArray before = db.bytes();

    QCOMPARE(*RecipeStore(db.path()).listCategories(), QStringList({"凉菜"}));
    QCOMPARE(RecipeStore(db.path()).searchDishesByName(QStringLiteral("黄瓜"))->size(), 1);
    QCOMPARE(RecipeStore(db.path()).addDish(QStringLiteral("凉菜"), QStringLiteral("新"), {}, {}, {}).error().kind, StoreError::ReadOnly);
    QCOMPARE(RecipeStore(db.path()).updateDish(1, QStringLiteral("新"), {}, {}, {}).error().kind, StoreError::ReadOnly);
    QCOMPARE(RecipeStore(db.path()).addCategory(QStringLiteral("新")).error().kind, StoreError::ReadOnly);
    QCOMPARE(RecipeStore(db.path()).deleteCategory(QStringLiteral("凉菜")).error().kind, StoreError::ReadOnly);
    QCOMPARE(db.bytes(), before);

    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(RecipeStore(db.path()).addCategory(QStringLiteral("新")).ok());
}

void TstRecipeStore::readOnlyFolderRefusesWrites()
{
    TestDb db(categorySql(QStringLiteral("凉菜")));
    const QString folder = QDir(db.dir()).absolutePath();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    const QByteArray before = db.bytes();
    const auto add = RecipeStore(db.path()).addCategory(QStringLiteral("新"));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!add.ok());
    QCOMPARE(add.error().kind, StoreError::ReadOnly);
    QCOMPARE(db.bytes(), before);
    QCOMPARE(*RecipeStore(db.path()).listCategories(), QStringList({"凉菜"}));
}

void TstRecipeStore::lockedFileGivesBusy()
{
    TestDb db(categorySql(QStringLiteral("凉菜")) + dishSql(QStringLiteral("凉菜"), QStringLiteral("拍黄瓜")));
    {
        // Another program is in the middle of writing.
        OtherProgram other(db.path());
        QCOMPARE(other.exec("BEGIN IMMEDIATE; INSERT INTO \"02\"(category) VALUES('别人的');"), SQLITE_OK);
        const auto add = RecipeStore(db.path()).addDish(QStringLiteral("凉菜"), QStringLiteral("新"), {}, {}, {});
        QVERIFY(!add.ok());
        QCOMPARE(add.error().kind, StoreError::Busy);
        // Readers still see the last committed state.
        QCOMPARE(*RecipeStore(db.path()).listCategories(), QStringList({"凉菜"}));
        QCOMPARE(other.exec("COMMIT"), SQLITE_OK);
    }
    {
        // Another program holds the file exclusively: even reading waits, then gives up.
        OtherProgram other(db.path());
        QCOMPARE(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        const auto cats = RecipeStore(db.path()).loadCatalogue();
        QVERIFY(!cats.ok());
        QCOMPARE(cats.error().kind, StoreError::Busy);
        other.exec("ROLLBACK");
    }
    {
        // A reader keeps its snapshot open while we commit: the commit waits, gives
        // up, and nothing of the write stays.
        OtherProgram other(db.path());
        QCOMPARE(other.exec("BEGIN; SELECT count(*) FROM \"01\";"), SQLITE_OK);
        const QByteArray before = db.bytes();
        const auto del = RecipeStore(db.path()).deleteCategory(QStringLiteral("凉菜"));
        QVERIFY(!del.ok());
        QCOMPARE(del.error().kind, StoreError::Busy);
        other.exec("COMMIT");
        QCOMPARE(db.bytes(), before);
    }
    QCOMPARE(*RecipeStore(db.path()).listCategories(), QStringList({"凉菜", "别人的"}));
    QCOMPARE(*RecipeStore(db.path()).countDishes(), 1);
    QVERIFY(RecipeStore(db.path()).addDish(QStringLiteral("凉菜"), QStringLiteral("新"), {}, {}, {}).ok());
}

void TstRecipeStore::writesAreDurableAtOnce()
{
    // Whatever a write reported as done is in the file with no journal left
    // over, so a crash right after it loses nothing.
    TestDb db;
    QVERIFY(RecipeStore(db.path()).addCategory(QStringLiteral("凉菜")).ok());
    QVERIFY(RecipeStore(db.path()).addDish(QStringLiteral("凉菜"), QStringLiteral("拍黄瓜"), {}, {}, {}).ok());
    QCOMPARE(filesIn(db.dir()), QStringList({"cate.mdb"}));
    QCOMPARE(db.rows(QStringLiteral("SELECT category, \"名称\" FROM \"01\"")), QStringList({"凉菜|拍黄瓜"}));
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA journal_mode")), QStringLiteral("delete"));
}

void TstRecipeStore::errorTextsAreChinese()
{
    StoreError e;
    e.kind = StoreError::Missing;
    QCOMPARE(e.userText(), QStringLiteral("找不到菜谱数据库 cate.mdb，请把它放在程序所在的文件夹里。"));
    // Installed, the file is looked for in the cook's data folder: that is named.
    e.detail = QStringLiteral("/home/cook/.local/share/zaoxiangju/cate.mdb");
    QCOMPARE(e.userText(), QStringLiteral("找不到菜谱数据库 cate.mdb，请把它放在 /home/cook/.local/share/zaoxiangju 里。"));
    e.detail = QCoreApplication::applicationDirPath() + QStringLiteral("/cate.mdb");
    QCOMPARE(e.userText(), QStringLiteral("找不到菜谱数据库 cate.mdb，请把它放在程序所在的文件夹里。"));
    e.detail.clear();
    e.kind = StoreError::NotADatabase;
    QCOMPARE(e.userText(), QStringLiteral("cate.mdb 不是有效的菜谱数据库，或者已经损坏。"));
    e.kind = StoreError::Busy;
    QCOMPARE(e.userText(), QStringLiteral("菜谱数据库正被其他程序占用，请稍后再试。"));
    e.kind = StoreError::Other;
    e.detail = QStringLiteral("disk I/O error");
    QCOMPARE(e.userText(), QStringLiteral("菜谱数据库出错，这一步没有完成。\r\ndisk I/O error"));
    e.kind = StoreError::DiskFull;
    QCOMPARE(e.userText(), QStringLiteral("磁盘已满，菜谱没有保存。"));
}

void TstRecipeStore::starterDatabaseIsComplete()
{
    const QString starter = QStringLiteral(ZX_BINARY_DIR "/starter/cate.mdb");
    QVERIFY2(QFileInfo::exists(starter), "the starter_db target makes it");
    TestDb db;
    QFile::remove(db.path());
    QVERIFY(QFile::copy(starter, db.path()));
    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::WriteOwner);

    QVERIFY(RecipeStore(db.path()).probe().ok());
    const auto data = RecipeStore(db.path()).loadCatalogue();
    QVERIFY(data.ok());
    QCOMPARE(data->categories, QStringList({"家常菜", "凉菜", "汤羹", "川菜", "粤菜", "面点主食"}));
    QVERIFY(data->totalDishes >= 36);
    QSet<QString> names;
    for (const DishKey &key : data->keys()) {
        QVERIFY2(data->categories.contains(key.category), qPrintable(key.name));
        QVERIFY2(!names.contains(key.name), qPrintable(key.name));
        names.insert(key.name);
        const auto dish = RecipeStore(db.path()).findDishById(key.id);
        QVERIFY(dish.ok() && dish->has_value());
        const DishRecord &d = **dish;
        for (const QString &text : {d.ingredients, d.method}) {
            QVERIFY2(text.contains(CRLF), qPrintable(key.name));
            QCOMPARE(text.count(QLatin1Char('\n')), text.count(CRLF));   // no bare line feeds
            QCOMPARE(text, trimBlanks(text));
        }
        QVERIFY2(d.method.startsWith(QStringLiteral("1. ")), qPrintable(key.name));
        QVERIFY(d.picture.isEmpty());
    }
    for (const QString &category : data->categories)
        QVERIFY2(RecipeStore(db.path()).listDishesOfCategory(category)->size() >= 5, qPrintable(category));
}

// Handed over through a join, a store serves the thread that adopted it;
// any other thread that calls it stops the program.
void TstRecipeStore::storeServesOnlyTheThreadThatOwnsIt()
{
    TestDb db(dishSql(QStringLiteral("川菜"), QStringLiteral("宫保鸡丁")));
    RecipeStore store(db.path());
    qint64 countedThere = -1;
    std::thread([&] {
        store.adoptThread();
        countedThere = store.countDishes().ok() ? *store.countDishes() : -1;
    }).join();
    QCOMPARE(countedThere, 1);
    store.adoptThread();
    QCOMPARE(*store.countDishes(), 1);

    const pid_t child = fork();
    if (child == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        // The stop says nothing through the test's loggers: their report
        // file is the parent's.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        std::thread([&] { static_cast<void>(store.countDishes()); }).join();
        _exit(0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), SIGABRT);
}


// Marks are made by the first write that needs them (never on a read or a
// read-only file), follow a move and an edit, go with their dish, and come
// back with a safety copy.
void TstRecipeStore::marksLiveBesideTheDishes()
{
    TestDb db(categorySql(QStringLiteral("凉菜")) + dishSql(QStringLiteral("川菜"), QStringLiteral("麻婆豆腐"))
              + dishSql(QStringLiteral("川菜"), QStringLiteral("回锅肉")) + dishSql(QStringLiteral("凉菜"), QStringLiteral("拍黄瓜")));
    const QString markTables = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name LIKE 'marks%'");
    const QString markRows = QStringLiteral("SELECT (SELECT count(*) FROM marks_tags) + (SELECT count(*) FROM marks_dish)");
    QFile::setPermissions(db.path(), QFile::ReadOwner);
    QVERIFY(RecipeStore(db.path()).readMarks()->tags.isEmpty());
    QCOMPARE(RecipeStore(db.path()).setTags(1, {QStringLiteral("麻辣")}).error().kind, StoreError::ReadOnly);
    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::WriteOwner);
    RecipeStore store(db.path());
    QVERIFY(*store.setFavourite(1, false));
    QCOMPARE(db.scalar(markTables), QStringLiteral("0"));

    const QString layout = db.scalar(QStringLiteral("SELECT group_concat(sql) FROM sqlite_master WHERE tbl_name IN ('01','02')"));
    QVERIFY(*store.setTags(1, {QStringLiteral("麻辣"), QStringLiteral("下饭")}));
    const EditedMarks servings{{QStringLiteral("麻辣"), QStringLiteral("下饭")}, 3};
    QVERIFY(*store.updateDish(1, QStringLiteral("麻婆豆腐"), QStringLiteral("豆腐 1块"), QStringLiteral("烧"), {}, {}, &servings));
    QVERIFY(*store.setFavourite(2, true));
    QVERIFY(!*store.setTags(9, {QStringLiteral("无")}));
    QCOMPARE(*store.tagCategory(QStringLiteral(" 凉菜"), QStringLiteral("快手菜")), 1);
    QCOMPARE(db.scalar(QStringLiteral("SELECT group_concat(sql) FROM sqlite_master WHERE tbl_name IN ('01','02')")), layout);
    QVERIFY(Backup::makeCopy(db.path(), Backup::Reason::DishDeletion, QDateTime::currentDateTime()).ok());

    QVERIFY(*store.moveDish(1, QStringLiteral("凉菜")));
    QVERIFY(*store.updateDish(1, QStringLiteral("麻婆豆腐"), QStringLiteral("豆腐"), QStringLiteral("烧"), {}));
    QCOMPARE(store.readMarks()->tagsOf(1), QStringList({"麻辣", "下饭"}));
    QCOMPARE(store.readMarks()->servingsOf(1), 3);
    QVERIFY(*store.deleteDish(2));
    QVERIFY(store.readMarks()->favourites.isEmpty());
    QCOMPARE(store.deleteCategory(QStringLiteral("凉菜"))->dishesDeleted, 2);
    QCOMPARE(db.scalar(markRows), QStringLiteral("0"));

    QVERIFY(Backup::restoreCopy(db.path(), Backup::listCopies(db.path()).at(0).path).ok());
    const DishMarks back = *RecipeStore(db.path()).readMarks();
    QCOMPARE(back.tagsOf(1), QStringList({"麻辣", "下饭"}));
    QCOMPARE(back.tagsOf(3), QStringList({"快手菜"}));
    QCOMPARE(back.favourites, QSet<qint64>({2}));
    QCOMPARE(back.servings, (QHash<qint64, int>{{1, 3}}));
}

void TstRecipeStore::tagsAreTakenApart_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("tags");
    QTest::addColumn<QString>("refused");   // the tag over the length, "many" for too many
    QTest::newRow("separators") << QStringLiteral("麻辣 下饭，快手菜、宴客,家常\t凉") << QStringList({"麻辣", "下饭", "快手菜", "宴客", "家常", "凉"}) << QString();
    QTest::newRow("unicode blanks") << QStringLiteral("\u3000麻辣\u00a0\u2003下饭\u200b ") << QStringList({"麻辣", "下饭"}) << QString();
    QTest::newRow("duplicates, hashes, empties") << QStringLiteral("#麻辣,,麻辣 、 #下饭 # 麻辣") << QStringList({"麻辣", "下饭"}) << QString();
    QTest::newRow("blanks only") << QStringLiteral(" \u3000 ，") << QStringList() << QString();
    QTest::newRow("twenty characters") << QString(20, QChar(0x8fa3)) << QStringList({QString(20, QChar(0x8fa3))}) << QString();
    QTest::newRow("twenty-one") << QStringLiteral("辣 ") + QString(21, QChar(0x8fa3)) << QStringList() << QString(21, QChar(0x8fa3));
    QStringList twenty;
    for (int i = 0; i < 21; ++i)
        twenty << QString::number(i);
    QTest::newRow("twenty tags") << twenty.mid(0, 20).join(QLatin1Char(' ')) << twenty.mid(0, 20) << QString();
    QTest::newRow("twenty-one tags") << twenty.join(QLatin1Char(' ')) << QStringList() << QStringLiteral("many");
}

void TstRecipeStore::tagsAreTakenApart()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, tags);
    QFETCH(QString, refused);
    const Marks::Parsed parsed = Marks::parseTags(typed);
    QCOMPARE(parsed.ok(), refused.isEmpty());
    if (parsed.ok())
        QCOMPARE(parsed.tags, tags);
    else
        QCOMPARE(parsed.tooMany ? QStringLiteral("many") : parsed.tooLong, refused);
}

QTEST_GUILESS_MAIN(TstRecipeStore)
#include "tst_recipestore.moc"
