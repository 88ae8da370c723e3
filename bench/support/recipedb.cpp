#include "support/recipedb.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sqlite3.h>

namespace Bench {

namespace {


const char *const CategoryHeads[] = {"家常", "川味", "粤式", "湘味", "鲁式", "苏式", "浙式", "闽式",
                                     "徽式", "京味", "东北", "西北", "云贵", "素食", "海鲜", "汤羹",
                                     "凉拌", "小吃", "甜品", "早点"};
const char *const CategoryTails[] = {"菜", "炒菜", "蒸菜", "炖菜", "煲仔", "烧烤", "面点", "粥品", "卤味", "火锅"};
const char *const Methods[] = {"红烧", "清蒸", "干煸", "宫保", "鱼香", "糖醋", "麻辣", "香煎", "白灼", "凉拌",
                               "酸辣", "蒜蓉", "黑椒", "豉汁", "葱爆", "油焖", "酱爆", "椒盐", "水煮", "家常"};
const char *const Mains[] = {"鸡丁", "牛肉", "排骨", "豆腐", "茄子", "鲈鱼", "虾仁", "土豆丝", "五花肉", "青菜",
                             "鸡翅", "羊肉", "猪蹄", "鱿鱼", "冬瓜", "蘑菇", "木耳", "腰花", "带鱼", "莲藕",
                             "豆腐干", "鸭血", "牛腩", "花菜", "豇豆"};
const char *const Prefixes[] = {"外婆", "秘制", "私房", "农家", "老北京", "正宗", "开胃"};
const char *const Suffixes[] = {"煲", "汤", "卷", "饭", "面", "丸子", "盖饭", "锅仔"};
const char *const Stuff[] = {"五花肉", "鸡蛋", "葱", "姜", "蒜", "干辣椒", "花椒", "生抽", "老抽", "料酒",
                             "白糖", "盐", "香醋", "淀粉", "香油", "青椒", "红椒", "八角", "桂皮", "香菜"};
const char *const Amounts[] = {"500克", "2个", "3瓣", "1小段", "适量", "1勺", "2勺", "少许", "10粒", "半碗"};
const char *const Steps[] = {
    "主料洗净切块，用料酒和少许盐腌制十五分钟。",
    "锅中放油烧至六成热，下葱姜蒜爆香。",
    "倒入主料大火翻炒至变色，沿锅边淋入料酒。",
    "加入生抽、老抽和白糖，翻炒均匀上色。",
    "加开水没过食材，大火烧开后转小火慢炖四十分钟。",
    "待汤汁浓稠时加盐调味，撒上葱花即可出锅。",
    "水淀粉勾薄芡，淋少许香油，装盘。",
    "蒸锅水开后放入，大火蒸八分钟，关火再焖两分钟。",
    "将调好的汁浇在上面，拌匀后静置片刻使其入味。",
    "配料另起锅炒熟，与主料合炒，翻匀即成。",
};

struct Gen {
    std::mt19937 rng{20040122u};
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }
    template <size_t N>
    QString any(const char *const (&pool)[N]) { return QString::fromUtf8(pool[pick(int(N))]); }

    QString dishName()
    {
        QString name;
        if (chance(0.3))
            name += any(Prefixes);
        name += any(Methods) + any(Mains);
        if (chance(0.4))
            name += any(Suffixes);
        if (chance(0.05))
            name += QString::number(1 + pick(9)) + QStringLiteral("号");
        while (name.size() < 4)
            name += any(Suffixes);
        name.truncate(10);
        if (chance(0.03))
            name = QStringLiteral(" ") + name;
        if (chance(0.03))
            name += QStringLiteral("  ");
        return name;
    }
    QString ingredients()
    {
        QString text;
        while (text.toUtf8().size() < 200) {
            if (!text.isEmpty())
                text += QStringLiteral("\r\n");
            text += any(Stuff) + QLatin1Char(' ') + any(Amounts);
        }
        return text;
    }
    QString method()
    {
        QString text;
        int step = 1;
        while (text.toUtf8().size() < 600) {
            if (!text.isEmpty())
                text += QStringLiteral("\r\n");
            text += QString::number(step++) + QStringLiteral(". ") + any(Steps);
        }
        return text;
    }
};

// The 200 categories, written to table "02": a few with blanks around them,
// two listed twice.
QStringList writeCategories(sqlite3 *db)
{
    QStringList categories;
    for (const char *head : CategoryHeads)
        for (const char *tail : CategoryTails)
            categories << QString::fromUtf8(head) + QString::fromUtf8(tail);
    categories[137] = DeletedCategory;

    sqlite3_stmt *cat = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO \"02\"(category) VALUES(?1)", -1, &cat, nullptr);
    auto addCategory = [&](const QString &name) {
        const QByteArray utf8 = name.toUtf8();
        sqlite3_bind_text(cat, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        sqlite3_step(cat);
        sqlite3_reset(cat);
    };
    for (int i = 0; i < categories.size(); ++i) {
        addCategory(i % 17 == 5 ? QStringLiteral(" ") + categories[i] + QStringLiteral(" ") : categories[i]);
        if (i == 40 || i == 150)
            addCategory(categories[i]);   // listed twice
    }
    sqlite3_finalize(cat);
    return categories;
}

} // namespace

Sample makeDatabase(const QString &path, int dishes)
{
    QFile::remove(path);
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
                 "CREATE TABLE \"01\" (id INTEGER PRIMARY KEY AUTOINCREMENT, category TEXT, \"名称\" TEXT, "
                 "ingredients TEXT, method TEXT, picture TEXT);"
                 "CREATE TABLE \"02\" (id INTEGER PRIMARY KEY AUTOINCREMENT, category TEXT);",
                 nullptr, nullptr, nullptr);
    Gen gen;
    const QStringList categories = writeCategories(db);

    sqlite3_stmt *ins = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO \"01\"(category,\"名称\",ingredients,method,picture) VALUES(?1,?2,?3,?4,?5)",
                       -1, &ins, nullptr);
    const int deletedEvery = std::max(1, dishes / 500);
    int deletedLeft = 500;
    Sample sample;
    for (int i = 0; i < dishes; ++i) {
        QString category;
        if (deletedLeft > 0 && i % deletedEvery == 0) {
            category = DeletedCategory;
            --deletedLeft;
        } else if (gen.chance(0.005)) {
            category = QStringLiteral("无此分类");
        } else {
            category = categories[gen.pick(int(categories.size()))];
            if (category == DeletedCategory)
                category = categories[0];
        }
        if (gen.chance(0.02))
            category += QStringLiteral(" ");
        const QString name = gen.dishName();
        const QByteArray fields[5] = {
            category.toUtf8(), name.toUtf8(), gen.ingredients().toUtf8(), gen.method().toUtf8(),
            gen.chance(0.1) ? QStringLiteral("/home/cook/图片/菜%1.jpg").arg(i).toUtf8() : QByteArray()};
        for (int f = 0; f < 5; ++f)
            sqlite3_bind_text(ins, f + 1, fields[f].constData(), int(fields[f].size()), SQLITE_TRANSIENT);
        sqlite3_step(ins);
        sqlite3_reset(ins);
        if (i == dishes * 3 / 4) {
            sample.findCategory = category;
            sample.findName = name;
        }
        if (i == dishes / 2)
            sample.updateId = sqlite3_last_insert_rowid(db);
    }
    sqlite3_finalize(ins);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return sample;
}

void makePlainIdCopy(const QString &from, const QString &to, int shift)
{
    QFile::remove(to);
    sqlite3 *db = nullptr;
    sqlite3_open(to.toUtf8().constData(), &db);
    const QString sql = QStringLiteral(
        "PRAGMA journal_mode=OFF; ATTACH %1 AS src; BEGIN;"
        "CREATE TABLE \"01\" (id INTEGER, category TEXT, \"名称\" TEXT, ingredients TEXT, method TEXT, picture TEXT);"
        "CREATE TABLE \"02\" (id INTEGER PRIMARY KEY AUTOINCREMENT, category TEXT);"
        "INSERT INTO \"01\" SELECT id + %2, category, \"名称\", ingredients, method, picture FROM src.\"01\" ORDER BY id;"
        "INSERT INTO \"02\" SELECT * FROM src.\"02\"; COMMIT; DETACH src;")
                            .arg(QStringLiteral("'") + QString(from).replace(QLatin1Char('\''), QStringLiteral("''"))
                                     + QStringLiteral("'"))
                            .arg(shift);
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        std::fprintf(stderr, "zx_bench: making the plain-id copy failed\n");
        std::exit(1);
    }
}

void touchFromOutside(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    // Two real changes (an update to the same value writes nothing).
    sqlite3_exec(db,
                 "UPDATE \"02\" SET category = category || ' ' WHERE rowid = 1;"
                 "UPDATE \"02\" SET category = substr(category, 1, length(category) - 1) WHERE rowid = 1;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

bool execSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK
                    && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace Bench
