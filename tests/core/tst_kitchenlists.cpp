// The shopping list's merging, the stall table's reach, the pantry's
// ranking and the week's filling, on the shipped tables.
#include "core/ingredients.h"
#include "core/pantry.h"
#include "core/shoppinglist.h"
#include "core/weekplan.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

class TestKitchenLists : public QObject {
    Q_OBJECT
    Ingredients::Tables m_tables = Ingredients::loadTables(QStringLiteral("/nonexistent/"));

    // Dishes written "名|份数倍数|原料行;原料行".
    static QList<Shopping::Dish> dishes(const QStringList &lines)
    {
        QList<Shopping::Dish> out;
        for (const QString &written : lines) {
            const QStringList parts = written.split(u'|');
            out << Shopping::Dish{out.size() + 1, parts[0], parts[2].split(u';').join(u'\n'), parts[1].toDouble()};
        }
        return out;
    }

private slots:
    void merges_data()
    {
        QTest::addColumn<QStringList>("dishes");
        QTest::addColumn<QStringList>("expected");   // lines the list must hold
        QTest::newRow("grams") << QStringList{"甲|1|番茄 150克", "乙|1|番茄 200克"} << QStringList{"番茄 350克（甲、乙）"};
        QTest::newRow("jin and grams") << QStringList{"甲|1|猪肉 1斤", "乙|1|200克猪肉"} << QStringList{"猪肉 700克（甲、乙）"};
        QTest::newRow("most lines' unit") << QStringList{"甲|1|猪肉 1斤;五花肉 1斤", "乙|1|猪肉 1斤", "丙|1|猪肉 100克"}
                                          << QStringList{"猪肉 2.2斤（甲、乙、丙）", "五花肉 1斤（甲）"};
        QTest::newRow("counts") << QStringList{"甲|1|鸡蛋 2个", "乙|1|鸡蛋1个"} << QStringList{"鸡蛋 3个（甲、乙）"};
        QTest::newRow("kinds apart") << QStringList{"甲|1|鸡蛋 2个", "乙|1|鸡蛋 300克"} << QStringList{"鸡蛋 2个 + 300克（甲、乙）"};
        QTest::newRow("synonyms") << QStringList{"甲|1|西红柿 2个", "乙|1|番茄 1个;洋芋 1个", "丙|1|马铃薯 2个"}
                                  << QStringList{"番茄 3个（甲、乙）", "土豆 3个（乙、丙）"};
        QTest::newRow("notes trimmed") << QStringList{"甲|1|番茄（切块） 150克", "乙|1|番茄，去皮 50克"} << QStringList{"番茄 200克（甲、乙）"};
        QTest::newRow("vague once") << QStringList{"甲|1|盐 适量", "乙|1|盐适量", "丙|1|食盐 适量"} << QStringList{"盐 适量（甲、乙、丙）"};
        QTest::newRow("vague beside sum") << QStringList{"甲|1|白糖 10克", "乙|1|糖 少许", "丙|1|香油几滴"}
                                          << QStringList{"白糖 10克 + 少许（甲、乙）", "香油 几滴（丙）"};
        QTest::newRow("unreadable apart") << QStringList{"甲|1|鸡蛋 2个", "乙|1|鸡蛋 2个3个"}
                                          << QStringList{"鸡蛋 2个（甲）", "鸡蛋 2个3个（乙）"};
        QTest::newRow("scaled") << QStringList{"甲|2|番茄 150克;鸡蛋 一个半", "乙|0.5|番茄 100克"}
                                << QStringList{"番茄 350克（甲、乙）", "鸡蛋 3个（甲）"};
        QTest::newRow("each of several") << QStringList{"甲|1|葱、姜、蒜 各10克"}
                                         << QStringList{"葱 10克（甲）", "姜 10克（甲）", "蒜 10克（甲）"};
        QTest::newRow("ranges") << QStringList{"甲|1|生抽 10-15ml", "乙|1|酱油 5ml"} << QStringList{"生抽 15-20ml（甲、乙）"};
        QTest::newRow("bare name") << QStringList{"甲|1|香菜", "乙|1|芫荽 10克"} << QStringList{"香菜 10克（甲、乙）"};
    }
    void merges()
    {
        QFETCH(QStringList, dishes);
        QFETCH(QStringList, expected);
        const QList<Shopping::Dish> list = TestKitchenLists::dishes(dishes);
        const QStringList lines = Shopping::listText(Shopping::merge(list, m_tables, {}), int(list.size()), false)
                                      .split(u'\n');
        QCOMPARE(lines.first(), QStringLiteral("购物清单（%1 道菜）").arg(list.size()));
        for (const QString &line : expected)
            QVERIFY2(lines.contains(line), qPrintable(lines.join(u'|')));
        QCOMPARE(lines.count(QString()), 1);   // the end only: no blank lines between stalls
    }

    void groupsByStallAndHidesStaples()
    {
        const auto list = dishes({"番茄炒蛋|1|鸡蛋 3个;番茄 2个;盐 适量;葱花 少许", "可乐鸡翅|1|鸡翅 500克;可乐 1罐;生抽 2勺"});
        const auto items = Shopping::merge(list, m_tables, {QStringLiteral("盐"), QStringLiteral("葱"), QStringLiteral("酱油")});
        QCOMPARE(Shopping::listText(items, 2, true),
                 QStringLiteral("购物清单（2 道菜）\n【蔬菜】\n番茄 2个（番茄炒蛋）\n【肉禽】\n鸡翅 500克（可乐鸡翅）\n"
                                "【蛋奶】\n鸡蛋 3个（番茄炒蛋）\n【干货调料】\n可乐 1罐（可乐鸡翅）\n"));
        QVERIFY(Shopping::listText(items, 2, false).contains(QStringLiteral("【干货调料】\n盐 适量（番茄炒蛋）\n")));
    }

    // At least 95% of the names most common in home recipes have a stall.
    void stallsReachCommonNames()
    {
        QFile file(QStringLiteral(ZX_SOURCE_DIR "/tests/core/fixtures/common-ingredients.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList names, other;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            if (line.startsWith(u'#'))
                continue;
            names << line.trimmed();
            if (m_tables.stalls.stallOf(line.trimmed(), m_tables.synonyms) == Ingredients::Stalls::otherStall())
                other << line.trimmed();
        }
        QCOMPARE(names.size(), 400);
        QVERIFY2(other.size() * 20 <= names.size(), qPrintable(other.join(u' ')));
        QVERIFY(m_tables.problems.isEmpty());
        QVERIFY(m_tables.synonyms.groupCount() >= 100);
    }

    void refusesMalformedLines()
    {
        QList<Ingredients::TableError> errors;
        const auto synonyms = Ingredients::Synonyms::parse(QStringLiteral("番茄 西红柿\n# 说明\n土豆\n洋芋 番茄\n香菜 芫荽"), &errors);
        QCOMPARE(errors.size(), 2);
        QCOMPARE(errors.at(0).line, 3);
        QCOMPARE(errors.at(1).line, 4);
        QCOMPARE(synonyms.canonical(QStringLiteral("芫荽")), QStringLiteral("香菜"));
        QCOMPARE(synonyms.canonical(QStringLiteral("洋芋")), QStringLiteral("洋芋"));
        errors.clear();
        const auto stalls = Ingredients::Stalls::parse(QStringLiteral("【蔬菜】番茄\n肉禽 猪肉\n【水产】 虾"), &errors);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.at(0).line, 2);
        QCOMPARE(stalls.stallOf(QStringLiteral("基围虾"), synonyms), 2);
        QCOMPARE(stalls.stallOf(QStringLiteral("猪肉"), synonyms), Ingredients::Stalls::otherStall());
    }

    void ranksByWhatIsMissing()
    {
        const QVector<DishRecord> records = {
            {1, {}, QStringLiteral("西红柿炒蛋"), QStringLiteral("西红柿 2个\n鸡蛋 3个\n盐 适量"), {}, {}},
            {2, {}, QStringLiteral("番茄牛腩"), QStringLiteral("番茄 2个\n牛腩 500克\n姜 3片"), {}, {}},
            {3, {}, QStringLiteral("白灼菜心"), QStringLiteral("菜心 1把\n蒜 3瓣"), {}, {}},
            {4, {}, QStringLiteral("蛋花汤"), QStringLiteral("鸡蛋 1个\n紫菜 少许\n虾皮 少许\n香菜 1根"), {}, {}},
            {5, {}, QStringLiteral("炒鸡蛋"), QStringLiteral("鸡蛋 2个\n葱 1根"), {}, {}},
        };
        const PantryIndex index = PantryIndex::build(records, m_tables.synonyms);
        QStringList shown;
        for (const auto &match : index.rank({QStringLiteral("番茄"), QStringLiteral("鸡蛋")}, {QStringLiteral("盐"), QStringLiteral("葱"), QStringLiteral("姜")}, 10))
            shown << index.text(match);
        QCOMPARE(shown, QStringList({"炒鸡蛋 — 全都有", "西红柿炒蛋 — 全都有", "番茄牛腩 — 缺：牛腩", "蛋花汤 — 缺：紫菜、虾皮、香菜"}));
        QVERIFY(index.rank({}, {QStringLiteral("盐")}, 10).isEmpty());
    }

    // Over many draws: no dish twice in the week, no place filled past
    // what was asked, and the message exactly when the pool runs short.
    void fillsTheWeek_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 300; seed += 7)
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void fillsTheWeek()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const Week::Draw draw = [&](quint32 bound) { return random.bounded(bound); };
        QVector<Week::Candidate> pool;
        const int poolSize = random.bounded(45);
        for (int i = 0; i < poolSize; ++i)   // names repeat: two dishes of one name are two dishes
            pool << Week::Candidate{100 + i, QStringLiteral("菜%1").arg(i % 5), {}, {}};
        Week::Plan plan;
        const int perPlace = 1 + random.bounded(3);
        int before = 0;
        for (int i = 0; i < poolSize / 4; ++i, ++before)
            plan.places[size_t(random.bounded(Week::Places))] << Week::Entry{100 + i, QStringLiteral("菜")};
        const auto sizesBefore = plan.places;
        const Week::Filled filled = Week::fill(plan, pool, perPlace, draw);
        QSet<qint64> seen;
        for (const Week::Entry &e : plan.allDishes()) {
            QVERIFY(!seen.contains(e.id));
            seen.insert(e.id);
        }
        bool full = true;
        for (int p = 0; p < Week::Places; ++p) {
            full = full && plan.places[size_t(p)].size() >= perPlace;
            QVERIFY(plan.places[size_t(p)].size() <= qMax(sizesBefore[size_t(p)].size(), qsizetype(perPlace)));
        }
        QCOMPARE(filled.complete, full);
        QCOMPARE(filled.available, poolSize);
        QCOMPARE(plan.dishCount(), before + filled.added);
        QCOMPARE(filled.message().isEmpty(), full);
        if (!full) {
            QCOMPARE(plan.dishCount(), poolSize);
            QCOMPARE(filled.message(), QStringLiteral("可选的菜只有 %1 道，排不满一周。").arg(poolSize));
        }
        QCOMPARE(Week::lines(plan).size(), Week::Places);
    }
};

QTEST_GUILESS_MAIN(TestKitchenLists)
#include "tst_kitchenlists.moc"
