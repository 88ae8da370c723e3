// The catalogue rebuild reads each table once; its tree, list, caption and
// temp.txt must be exactly what walking "01" once per listed category gives.
// The reference here does that walk over the file with plain SQLite, on
// randomised databases (fixed seeds) full of awkward rows.
#include "app/cataloguemodel.h"
#include "app/mainwindow.h"
#include "core/appinfo.h"
#include "core/catalogue.h"
#include "core/registry.h"
#include "store/recipestore.h"
#include "testdb.h"

#include <QFile>
#include <QListWidget>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <random>
#include <sqlite3.h>

using namespace zx;

namespace {

QString trimmed(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

QString columnText(sqlite3_stmt *st, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, column)));
}

struct RefDish {
    qint64 id;
    QString name;
    bool operator==(const RefDish &o) const { return id == o.id && name == o.name; }
};
struct RefCategory {
    QString name;
    QVector<RefDish> dishes;
    bool unfiled = false;            // the last node, of dishes no listed category claims
};
struct Reference {
    QStringList listed;              // trimmed "02", duplicates kept
    QVector<RefCategory> tree;       // one node per distinct name
    qint64 total = 0;
    QByteArray summary;
};

// Case folded first, then code units: the tree's ascending order.
bool before(const RefDish &a, const RefDish &b) { return dishNameLess(a.name, b.name); }

// The straightforward rebuild: "02" once, then all of "01" once per listed
// category, comparing trimmed texts. A name listed twice gets one node and
// its dishes once, but a summary line for each listing. One more pass puts
// the dishes no listed category claims under a last node "未分类", which
// has no summary line.
Reference referenceRebuild(const QString &path)
{
    Reference ref;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM \"02\" ORDER BY rowid", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        ref.listed << trimmed(columnText(st, 1));
    sqlite3_finalize(st);

    QHash<QString, int> counts;
    for (const QString &c : std::as_const(ref.listed)) {
        if (counts.contains(c))
            continue;
        RefCategory node{c, {}};
        qint64 rows = 0;
        sqlite3_prepare_v2(db, "SELECT * FROM \"01\" ORDER BY rowid", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            ++rows;
            if (trimmed(columnText(st, 1)) == c)
                node.dishes.push_back({sqlite3_column_int64(st, 0), trimmed(columnText(st, 2))});
        }
        sqlite3_finalize(st);
        ref.total = rows;
        std::stable_sort(node.dishes.begin(), node.dishes.end(), before);
        counts.insert(c, int(node.dishes.size()));
        ref.tree.push_back(node);
    }
    RefCategory unfiled{QStringLiteral("未分类"), {}, true};
    sqlite3_prepare_v2(db, "SELECT * FROM \"01\" ORDER BY rowid", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        if (!counts.contains(trimmed(columnText(st, 1))))
            unfiled.dishes.push_back({sqlite3_column_int64(st, 0), trimmed(columnText(st, 2))});
    }
    sqlite3_finalize(st);
    std::stable_sort(unfiled.dishes.begin(), unfiled.dishes.end(), before);
    if (!unfiled.dishes.isEmpty())
        ref.tree.push_back(unfiled);
    if (ref.listed.isEmpty()) {
        sqlite3_prepare_v2(db, "SELECT count(*) FROM \"01\"", -1, &st, nullptr);
        sqlite3_step(st);
        ref.total = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    for (const QString &c : std::as_const(ref.listed))
        ref.summary += c.toUtf8() + " = " + QByteArray::number(counts.value(c)) + "\r\n";
    return ref;
}

// A database with awkward rows: names and categories with blanks around them
// (and a tab, which is no blank), Latin names differing only in case, repeated
// names, categories listed twice, an empty-looking category, categories with
// no dishes, dishes of no listed category and NULL columns.
QString randomKitchen(unsigned seed, int categories, int dishes)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const QStringList catPool = {QStringLiteral("凉菜"), QStringLiteral("热菜"), QStringLiteral("汤羹"),
                                 QStringLiteral("Soup"), QStringLiteral("soup"), QStringLiteral("家 常"),
                                 QStringLiteral("凉菜\t"), QStringLiteral("甜品"), QStringLiteral("  "),
                                 QStringLiteral("空的分类"), QStringLiteral("面点"), QStringLiteral("粥")};
    const QStringList namePool = {QStringLiteral("红烧肉"), QStringLiteral("拍黄瓜"), QStringLiteral("Apple派"),
                                  QStringLiteral("apple派"), QStringLiteral("APPLE派"), QStringLiteral("鱼香肉丝"),
                                  QStringLiteral("宫保鸡丁"), QStringLiteral("a"), QStringLiteral("Z"),
                                  QStringLiteral("豆腐"), QStringLiteral("豆腐 汤"), QStringLiteral("1号菜"),
                                  QStringLiteral("麻婆豆腐"), QStringLiteral("")};
    auto blanks = [&](const QString &s) {
        switch (pick(5)) {
        case 0: return QStringLiteral(" ") + s;
        case 1: return s + QStringLiteral("  ");
        case 2: return QStringLiteral("  ") + s + QStringLiteral(" ");
        default: return s;
        }
    };
    auto quote = [](const QString &s) { return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); };

    QString sql = QStringLiteral("BEGIN;");
    QStringList listed;
    for (int i = 0; i < categories; ++i) {
        QString c = catPool[pick(int(catPool.size()))];
        listed << c;
        sql += QStringLiteral("INSERT INTO \"02\"(category) VALUES(%1);").arg(quote(blanks(c)));
    }
    const QStringList unknown = {QStringLiteral("无此类"), QStringLiteral("凉 菜")};
    for (int i = 0; i < dishes; ++i) {
        QString category;
        const int roll = pick(20);
        if (roll == 0)
            category = unknown[pick(int(unknown.size()))];
        else if (listed.isEmpty() || roll == 1)
            category = catPool[pick(int(catPool.size()))];
        else
            category = listed[pick(int(listed.size()))];
        const QString cat = pick(30) == 0 ? QStringLiteral("NULL") : quote(blanks(category));
        const QString name = pick(40) == 0 ? QStringLiteral("NULL") : quote(blanks(namePool[pick(int(namePool.size()))]));
        sql += QStringLiteral("INSERT INTO \"01\"(category,\"名称\",ingredients,method,picture) "
                              "VALUES(%1,%2,'料%3','做法'||char(13,10)||'第二步','');")
                   .arg(cat, name)
                   .arg(i);
    }
    return sql + QStringLiteral("COMMIT;");
}

// Compares what the main window shows after a rebuild with the reference.
void compareWithReference(const QString &dbPath)
{
    const Reference ref = referenceRebuild(dbPath);
    MainWindow *main = Windows::get<MainWindow>(testCatalogue());
    const CatalogueModel *model = main->treeModel();

    const QModelIndex root = model->index(0, 0);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(root.data().toString(), QStringLiteral("我的灶香居"));
    QCOMPARE(model->rowCount(root), int(ref.tree.size()));
    for (int c = 0; c < ref.tree.size(); ++c) {
        const QModelIndex cat = model->index(c, 0, root);
        QCOMPARE(cat.data().toString(), ref.tree[c].name);
        const QString key = cat.data(CatalogueModel::KeyRole).toString();
        if (ref.tree[c].unfiled)
            QVERIFY2(!ref.listed.contains(key) && key != cat.data().toString(), qPrintable(key));
        else
            QCOMPARE(key, ref.tree[c].name);
        QVector<RefDish> shown;
        for (int d = 0; d < model->rowCount(cat); ++d) {
            const QModelIndex dish = model->index(d, 0, cat);
            QCOMPARE(dish.data(CatalogueModel::KeyRole).toString(), QString());
            shown.push_back({dish.data(CatalogueModel::DishIdRole).toLongLong(), dish.data().toString()});
        }
        if (shown != ref.tree[c].dishes) {
            QStringList got, want;
            for (const RefDish &d : shown)
                got << QStringLiteral("%1:%2").arg(d.id).arg(d.name);
            for (const RefDish &d : ref.tree[c].dishes)
                want << QStringLiteral("%1:%2").arg(d.id).arg(d.name);
            QFAIL(qPrintable(QStringLiteral("category \"%1\"\n got: %2\nwant: %3")
                                 .arg(ref.tree[c].name, got.join(u' '), want.join(u' '))));
        }
    }

    // Every listed category, trimmed, in table order, duplicates kept: the
    // categories temp.txt counts.
    QCOMPARE(testCatalogue().data().categories, ref.listed);
    QCOMPARE(main->windowTitle(), QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(ref.total));
    QCOMPARE(testCatalogue().totalDishes(), ref.total);

    QFile summary(testCatalogue().summaryPath());
    QVERIFY(summary.open(QIODevice::ReadOnly));
    QCOMPARE(summary.readAll(), ref.summary);
}

} // namespace

class TestRebuildEquivalence : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        Windows::unload<MainWindow>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void matchesPerCategoryScans_data()
    {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<int>("categories");
        QTest::addColumn<int>("dishes");
        QTest::newRow("mixed, 1500 dishes") << 2004u << 30 << 1500;
        QTest::newRow("another seed") << 17u << 12 << 400;
        QTest::newRow("one category") << 5u << 1 << 60;
        QTest::newRow("categories, no dishes") << 9u << 8 << 0;
        QTest::newRow("dishes, no categories") << 11u << 0 << 50;
    }
    void matchesPerCategoryScans()
    {
        QFETCH(unsigned, seed);
        QFETCH(int, categories);
        QFETCH(int, dishes);
        TestDb db(randomKitchen(seed, categories, dishes));
        // The main window's load runs the rebuild, as at start-up.
        Windows::get<MainWindow>(testCatalogue());
        compareWithReference(db.path());
        // The reference is not trivially empty where the database is not,
        // and dishes of no listed category are there to be shown.
        if (categories > 1 && dishes > 0)
            QVERIFY(referenceRebuild(db.path()).tree.size() > 1);
        if (dishes >= 400)
            QVERIFY(referenceRebuild(db.path()).tree.last().unfiled);
    }

    // Every change made elsewhere is followed by a rebuild that must match
    // the file as it now is, not the tree as it was.
    void matchesAfterChanges()
    {
        TestDb db(randomKitchen(42u, 20, 600));
        Windows::get<MainWindow>(testCatalogue());
        compareWithReference(db.path());

        QVERIFY(RecipeStore(db.path()).addDish(QStringLiteral(" 热菜 "), QStringLiteral("  新菜 "),
                                     QStringLiteral("料"), QStringLiteral("法"), QString())
                    .ok());
        QVERIFY(RecipeStore(db.path()).addDish(QStringLiteral("无此类"), QStringLiteral("孤儿"),
                                     QStringLiteral("料"), QStringLiteral("法"), QString())
                    .ok());
        QVERIFY(testCatalogue().refresh().ok());
        compareWithReference(db.path());

        QVERIFY(RecipeStore(db.path()).addCategory(QStringLiteral("  热菜")).ok());   // listed once more
        QVERIFY(RecipeStore(db.path()).addCategory(QStringLiteral("新分类")).ok());   // empty
        QVERIFY(testCatalogue().refresh().ok());
        compareWithReference(db.path());

        const qint64 firstId = db.scalar(QStringLiteral("SELECT min(id) FROM \"01\"")).toLongLong();
        const auto updated = RecipeStore(db.path()).updateDish(firstId, QStringLiteral("AAA改名"),
                                                     QStringLiteral("料"), QStringLiteral("法"), QString());
        QVERIFY(updated.ok() && *updated);
        QVERIFY(RecipeStore(db.path()).deleteCategory(QStringLiteral("凉菜")).ok());
        QVERIFY(testCatalogue().refresh().ok());
        compareWithReference(db.path());
    }

    // Our own writes are followed in memory, not by reading the file again;
    // after random sequences of them (with now and then a change made
    // elsewhere in between) the tree must be what a full read gives.
    void ownWritesMatchAFullRead()
    {
        TestDb db(randomKitchen(7u, 15, 300));
        Catalogue &catalogue = testCatalogue();
        Windows::get<MainWindow>(catalogue);
        std::mt19937 rng(2024);
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        const QStringList names = {QStringLiteral(" 新菜 "), QStringLiteral("豆腐"), QStringLiteral("Apple派"),
                                   QStringLiteral(""), QStringLiteral("  ")};
        int ownWrites = 0;
        for (int step = 0; step < 120; ++step) {
            const QStringList listed = catalogue.data().categories;
            const QString someCategory = listed.isEmpty() ? QStringLiteral("凉菜") : listed[pick(int(listed.size()))];
            const int readsBefore = catalogue.storeReads();
            bool elsewhere = false;
            switch (pick(9)) {
            case 0: case 1: case 2:
                QVERIFY(catalogue.addDish(pick(4) == 0 ? QStringLiteral("无此类") : QStringLiteral(" ") + someCategory,
                                          names[pick(int(names.size()))], QStringLiteral("料"), QStringLiteral("法"),
                                          QString()).ok());
                break;
            case 3: case 4: {
                const qsizetype rows = catalogue.data().dishCount();
                if (rows == 0)
                    continue;
                const qint64 id = catalogue.data().id(pick(int(rows)));
                QVERIFY(catalogue.updateDish(id, names[pick(int(names.size()))] + QString::number(step),
                                             QStringLiteral("料"), QStringLiteral("法"), QString()).ok());
                break;
            }
            case 5:
                QVERIFY(catalogue.addCategory(pick(2) ? QStringLiteral("  新分类") : someCategory).ok());
                break;
            case 6: case 7:
                QVERIFY(catalogue.deleteCategory(someCategory + QStringLiteral(" ")).ok());
                break;
            default:
                db.exec(QStringLiteral("UPDATE \"01\" SET \"名称\" = '别处改%1' WHERE id = (SELECT min(id) FROM \"01\")").arg(step));
                QVERIFY(catalogue.followOutsideChanges());
                elsewhere = true;
                break;
            }
            if (!elsewhere && catalogue.storeReads() == readsBefore)
                ++ownWrites;
            compareWithReference(db.path());
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("after step %1").arg(step)));
        }
        QVERIFY2(ownWrites > 60, qPrintable(QString::number(ownWrites)));
    }
};

QTEST_MAIN(TestRebuildEquivalence)
#include "tst_rebuild_equivalence.moc"
