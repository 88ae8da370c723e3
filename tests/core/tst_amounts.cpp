// Ingredient lines as Chinese recipes write them, read and scaled ×2, ×½
// and ×3; the lines that must never be scaled come back as written.
#include "core/amounts.h"

#include <QtTest>

#include <cmath>

class TestAmounts : public QObject {
    Q_OBJECT
    // A line, the name read from it and its ×2, ×½ and ×3 lines.
    static void scaled(const char *line, const char *name, const char *twice, const char *half, const char *thrice)
    {
        QTest::newRow(line) << QString::fromUtf8(line) << QString::fromUtf8(name)
                            << QStringList{QString::fromUtf8(twice), QString::fromUtf8(half), QString::fromUtf8(thrice)};
    }
    static void kept(const char *line) { QTest::newRow(line) << QString::fromUtf8(line) << QString() << QStringList(); }

private slots:
    void scalesAsWritten_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("results");   // empty: never scaled
        // Weights, before and after the name, glued or apart.
        scaled("五花肉 500克", "五花肉", "五花肉 1000克", "五花肉 250克", "五花肉 1500克");
        scaled("150克鸡胸肉", "鸡胸肉", "300克鸡胸肉", "75克鸡胸肉", "450克鸡胸肉");
        scaled("鸡胸肉150克", "鸡胸肉", "鸡胸肉300克", "鸡胸肉75克", "鸡胸肉450克");
        scaled("500g猪肉", "猪肉", "1000g猪肉", "250g猪肉", "1500g猪肉");
        scaled("盐 3g", "盐", "盐 6g", "盐 2g", "盐 9g");
        scaled("牛肉 1.5kg", "牛肉", "牛肉 3kg", "牛肉 0.75kg", "牛肉 4.5kg");
        scaled("面粉 1 KG", "面粉", "面粉 2 KG", "面粉 0.5 KG", "面粉 3 KG");
        scaled("猪肉 1斤", "猪肉", "猪肉 2斤", "猪肉 0.5斤", "猪肉 3斤");
        scaled("一斤半排骨", "排骨", "3斤排骨", "0.75斤排骨", "4.5斤排骨");
        scaled("半斤虾仁", "虾仁", "1斤虾仁", "0.25斤虾仁", "1.5斤虾仁");
        scaled("五花肉二两", "五花肉", "五花肉4两", "五花肉1两", "五花肉6两");
        scaled("一两猪肝", "猪肝", "2两猪肝", "0.5两猪肝", "3两猪肝");
        scaled("牛腩 一百五十克", "牛腩", "牛腩 300克", "牛腩 75克", "牛腩 450克");
        scaled("羊肉 两百零五克", "羊肉", "羊肉 410克", "羊肉 103克", "羊肉 615克");
        scaled("鸡胸肉 约200克", "鸡胸肉", "鸡胸肉 约400克", "鸡胸肉 约100克", "鸡胸肉 约600克");
        scaled("约300克牛腩", "牛腩", "约600克牛腩", "约150克牛腩", "约900克牛腩");
        scaled("葱、姜、蒜 各10克", "葱、姜、蒜", "葱、姜、蒜 各20克", "葱、姜、蒜 各5克", "葱、姜、蒜 各30克");
        // Volumes and ranges: the range mark stays as written.
        scaled("10-15ml 生抽", "生抽", "20-30ml 生抽", "5-8ml 生抽", "30-45ml 生抽");
        scaled("生抽 10～15毫升", "生抽", "生抽 20～30毫升", "生抽 5～8毫升", "生抽 30～45毫升");
        scaled("料酒10到15ml", "料酒", "料酒20到30ml", "料酒5到8ml", "料酒30到45ml");
        scaled("牛奶 250 ml", "牛奶", "牛奶 500 ml", "牛奶 125 ml", "牛奶 750 ml");
        scaled("清水 1L", "清水", "清水 2L", "清水 0.5L", "清水 3L");
        scaled("高汤 1.5升", "高汤", "高汤 3升", "高汤 0.75升", "高汤 4.5升");
        scaled("米酒 11-12毫升", "米酒", "米酒 22-24毫升", "米酒 6毫升", "米酒 33-36毫升");
        // Spoons and cups; fractions keep their way of writing.
        scaled("生抽 2勺", "生抽", "生抽 4勺", "生抽 1勺", "生抽 6勺");
        scaled("老抽 1汤匙", "老抽", "老抽 2汤匙", "老抽 0.5汤匙", "老抽 3汤匙");
        scaled("蚝油 1.5大勺", "蚝油", "蚝油 3大勺", "蚝油 0.75大勺", "蚝油 4.5大勺");
        scaled("盐：1小勺", "盐", "盐：2小勺", "盐：0.5小勺", "盐：3小勺");
        scaled("半勺盐", "盐", "1勺盐", "0.25勺盐", "1.5勺盐");
        scaled("盐、糖各1勺", "盐、糖", "盐、糖各2勺", "盐、糖各0.5勺", "盐、糖各3勺");
        scaled("1/2茶匙胡椒粉", "胡椒粉", "1茶匙胡椒粉", "1/4茶匙胡椒粉", "1又1/2茶匙胡椒粉");
        scaled("面粉 1/3杯", "面粉", "面粉 2/3杯", "面粉 1/6杯", "面粉 1杯");
        scaled("½杯牛奶", "牛奶", "1杯牛奶", "¼杯牛奶", "1½杯牛奶");
        scaled("1又1/2杯面粉", "面粉", "3杯面粉", "3/4杯面粉", "4又1/2杯面粉");
        scaled("米饭 1碗", "米饭", "米饭 2碗", "米饭 0.5碗", "米饭 3碗");
        // Counts: Chinese numerals before and after, 半 and 个半.
        scaled("一个半番茄", "番茄", "3个番茄", "0.75个番茄", "4.5个番茄");
        scaled("半根胡萝卜", "胡萝卜", "1根胡萝卜", "0.25根胡萝卜", "1.5根胡萝卜");
        scaled("番茄 两个半", "番茄", "番茄 5个", "番茄 1.5个", "番茄 7.5个");
        scaled("土豆1个半", "土豆", "土豆3个", "土豆0.75个", "土豆4.5个");
        scaled("鸡蛋3个", "鸡蛋", "鸡蛋6个", "鸡蛋1.5个", "鸡蛋9个");
        scaled("鸡蛋 3个", "鸡蛋", "鸡蛋 6个", "鸡蛋 1.5个", "鸡蛋 9个");
        scaled("3个鸡蛋", "鸡蛋", "6个鸡蛋", "1.5个鸡蛋", "9个鸡蛋");
        scaled("两个鸡蛋", "鸡蛋", "4个鸡蛋", "1个鸡蛋", "6个鸡蛋");
        scaled("鸡蛋 两个", "鸡蛋", "鸡蛋 4个", "鸡蛋 1个", "鸡蛋 6个");
        scaled("大蒜 5瓣", "大蒜", "大蒜 10瓣", "大蒜 2.5瓣", "大蒜 15瓣");
        scaled("三瓣蒜", "蒜", "6瓣蒜", "1.5瓣蒜", "9瓣蒜");
        scaled("姜 3片", "姜", "姜 6片", "姜 1.5片", "姜 9片");
        scaled("青菜 一把", "青菜", "青菜 2把", "青菜 0.5把", "青菜 3把");
        scaled("鸡翅 十只", "鸡翅", "鸡翅 20只", "鸡翅 5只", "鸡翅 30只");
        scaled("鸡翅中 十五个", "鸡翅中", "鸡翅中 30个", "鸡翅中 7.5个", "鸡翅中 45个");
        scaled("虾 二十只", "虾", "虾 40只", "虾 10只", "虾 60只");
        scaled("鸡蛋 1-2个", "鸡蛋", "鸡蛋 2-4个", "鸡蛋 0.5-1个", "鸡蛋 3-6个");
        scaled("三到四个土豆", "土豆", "6到8个土豆", "1.5到2个土豆", "9到12个土豆");
        scaled("葱 2根（切段）", "葱", "葱 4根（切段）", "葱 1根（切段）", "葱 6根（切段）");
        scaled("- 鸡蛋 2个", "鸡蛋", "- 鸡蛋 4个", "- 鸡蛋 1个", "- 鸡蛋 6个");
        scaled("姜 2cm", "姜", "姜 4cm", "姜 1cm", "姜 6cm");
        scaled("姜 3厘米", "姜", "姜 6厘米", "姜 1.5厘米", "姜 9厘米");
        // A bare number stands apart from the name.
        scaled("鸡蛋 2", "鸡蛋", "鸡蛋 4", "鸡蛋 1", "鸡蛋 6");
        scaled("2　鸡蛋", "鸡蛋", "4　鸡蛋", "1　鸡蛋", "6　鸡蛋");
        scaled("柠檬 半", "柠檬", "柠檬 1", "柠檬 0.25", "柠檬 1.5");
        scaled("2 large eggs", "large eggs", "4 large eggs", "1 large eggs", "6 large eggs");
        // Names with numerals in them, with an amount of their own.
        scaled("八角 2个", "八角", "八角 4个", "八角 1个", "八角 6个");
        scaled("十三香 5克", "十三香", "十三香 10克", "十三香 3克", "十三香 15克");
        scaled("五香粉 1小勺", "五香粉", "五香粉 2小勺", "五香粉 0.5小勺", "五香粉 3小勺");
        scaled("三七10克", "三七", "三七20克", "三七5克", "三七30克");
        scaled("二锅头 1杯", "二锅头", "二锅头 2杯", "二锅头 0.5杯", "二锅头 3杯");
        scaled("百香果 两个", "百香果", "百香果 4个", "百香果 1个", "百香果 6个");
        // Never scaled: no amount, a numeral that is part of the name, two
        // amounts, a heading, or a number the reader cannot be sure of.
        for (const char *line : {"盐 适量", "适量盐", "胡椒粉 少许", "葱花 若干", "糖 一点", "一点盐", "鸡蛋 若干个",
                                 "八角", "五花肉", "五香粉", "十三香", "二锅头", "三七", "百香果", "一品鲜酱油",
                                 "葱姜蒜", "", "   ", "【调料】", "【主料】五花肉 500克", "鸡蛋两个，牛奶一杯",
                                 "鸡蛋2个，牛奶200ml", "鸡蛋两个 牛奶一杯", "2个鸡蛋 100克", "鸡蛋 2个（约100克）",
                                 "三七十克", "鸡蛋2", "500克", "盐 1/0勺", "面粉 12345678克"})
            kept(line);
    }
    void scalesAsWritten()
    {
        QFETCH(QString, line);
        QFETCH(QString, name);
        QFETCH(QStringList, results);
        const auto amount = Amounts::read(line);
        QCOMPARE(amount ? amount->name : QString(), name);
        const double factors[] = {2, 0.5, 3};
        for (int i = 0; i < 3; ++i) {
            bool scaled = results.isEmpty();
            QCOMPARE(Amounts::scaleLine(line, factors[i], &scaled), results.isEmpty() ? line : results[i]);
            QCOMPARE(scaled, !results.isEmpty());
        }
    }

    // A whole ingredients text: every line shown, the unscaled ones marked;
    // a factor that is no number of people changes nothing.
    void scalesAWholeText_data()
    {
        QTest::addColumn<double>("factor");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QList<bool>>("scaled");
        QTest::newRow("×2") << 2.0 << QStringList{"【主料】", "五花肉 1000克", "盐 适量", "4个鸡蛋", ""}
                            << QList<bool>{false, true, false, true, false};
        QTest::newRow("×1") << 1.0 << QStringList{"【主料】", "五花肉 500克", "盐 适量", "两个鸡蛋", ""}
                            << QList<bool>{false, true, false, true, false};
        for (double factor : {0.0, -2.0, qQNaN(), qInf()})
            QTest::newRow(qPrintable(QString::number(factor))) << factor << QStringList{"【主料】", "五花肉 500克", "盐 适量", "两个鸡蛋", ""}
                                                                << QList<bool>(5, false);
    }
    void scalesAWholeText()
    {
        QFETCH(double, factor);
        QFETCH(QStringList, shown);
        QFETCH(QList<bool>, scaled);
        const auto lines = Amounts::scaleText(QStringLiteral("【主料】\r\n五花肉 500克\r\n盐 适量\n两个鸡蛋\r\n"), factor);
        QCOMPARE(lines.size(), shown.size());
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i], (Amounts::ShownLine{shown[i], scaled[i]}));
    }
};

QTEST_GUILESS_MAIN(TestAmounts)
#include "tst_amounts.moc"
