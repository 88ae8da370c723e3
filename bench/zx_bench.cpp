// Speed at scale: builds recipe databases of 1,000, 32,767 and 100,000
// dishes across 200 categories in a temporary folder and prints one table of
// medians: the catalogue rebuild (store and tree, through the real main
// window) against the naive rebuild that scans "01" once per category, the
// finding, searching and changing operations, the daily pick, and the cold
// start and peak memory of the real program under an X server.
//
//   zx_bench [--program PATH] [--display :N] [--sizes 1000,32767,100000] [--no-naive]
//           [--folder DIR]   (keep the databases in DIR instead of a temporary folder)
//
// Run it with QT_QPA_PLATFORM=offscreen; the cold start needs --program (the
// built zaoxiangju) and --display (a running Xvfb), else it is left out.
#include "app/cataloguemodel.h"
#include "app/frmmain.h"
#include "core/appinfo.h"
#include "core/catalogue.h"
#include "core/safetycopy.h"
#include "core/summaryfile.h"
#include "core/registry.h"
#include "store/backup.h"
#include "store/recipestore.h"
#include "support/mapwatch.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>
#include <QThread>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

using namespace zx;

namespace {

// ---------------------------------------------------------------------------
// Realistic recipe texts

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

const QString DeletedCategory = QStringLiteral("待删分类");

struct Sample {
    QString findCategory, findName;   // a dish three quarters down the table
    qint64 updateId = 0;
};

// Writes cate.mdb with `dishes` rows. 200 categories (one of them holds 500
// dishes and is the one deleted), two listed twice in "02", a few stored with
// blanks around them; some names carry blanks, many repeat; about one dish in
// two hundred belongs to no listed category.
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

// A copy of cate.mdb whose id column is a plain INTEGER column (not the row
// id) holding id + `shift`: with a shift of 1,690 only ten rows carry a
// number the daily pick can draw, so most draws find nothing.
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

// Another program's write to the file: everything the store keeps from the
// file must be read again.
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

// ---------------------------------------------------------------------------
// Timing

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The median of each start's time over the floor's start right after it:
// a load on the machine that comes and goes meets both of a pair alike.
double pairedRatio(const std::vector<double> &program, const std::vector<double> &floor)
{
    if (program.size() != floor.size() || program.empty())
        return median(program) / median(floor);
    std::vector<double> ratios;
    for (size_t i = 0; i < program.size(); ++i)
        ratios.push_back(program[i] / floor[i]);
    return median(ratios);
}

// Milliseconds of `work`, `runs` times, after `prepare` (untimed) each time.
std::vector<double> timeRuns(int runs, const std::function<void()> &work,
                             const std::function<void()> &prepare = {})
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return ms;
}

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "zx_bench: %s failed\n", what);
        std::exit(1);
    }
}

bool copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

// A copy written to disk before it is used, as the cook's own file is: the
// first sync of a copy left in memory would write all of it, and time that
// instead of the change.
bool syncFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && ::fsync(file.handle()) == 0;
}

bool syncedCopy(const QString &from, const QString &to)
{
    return copyFile(from, to) && syncFile(to);
}

// ---------------------------------------------------------------------------
// The rebuild, the fast way (the program's own) and the naive way

// The catalogue over the base folder, and its main window.
Catalogue *g_base = nullptr;
frmmain *mainWindow() { return Windows::get<frmmain>(*g_base); }

// The layout and paint of the tree the cook sees after a rebuild.
void paintTree()
{
    mainWindow()->Tv()->viewport()->repaint();
}

struct RebuildSplit {
    double storeMs, treeMs;
};

RebuildSplit fastRebuild()
{
    QElapsedTimer t;
    t.start();
    check(g_base->refresh().ok(), "refresh");
    paintTree();
    const qint64 totalNs = t.nsecsElapsed();
    return {g_base->lastLoadNs() / 1e6, (totalNs - g_base->lastLoadNs()) / 1e6};
}

// The rebuild as first designed: reads table "02" once, then walks a table
// cursor over the whole of "01" (every column, the engine's default
// settings, no memory mapping) once for every listed category, comparing
// trimmed categories in the program, and fills the same tree, list and
// caption.
void naiveRebuild(const QString &path)
{
    sqlite3 *db = nullptr;
    check(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK,
          "naive open");
    CatalogueData data;
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT category FROM \"02\" ORDER BY rowid", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        data.categories << trimBlanks(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))));
    sqlite3_finalize(st);

    sqlite3_prepare_v2(db, "SELECT * FROM \"01\" ORDER BY rowid", -1, &st, nullptr);
    QStringList seen;
    for (const QString &c : std::as_const(data.categories)) {
        const bool again = seen.contains(c);
        seen << c;
        qint64 rows = 0;
        sqlite3_reset(st);
        while (sqlite3_step(st) == SQLITE_ROW) {
            ++rows;
            const QString category =
                trimBlanks(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1))));
            if (category != c || again)
                continue;
            data.append(sqlite3_column_int64(st, 0), category.toUtf8(),
                        reinterpret_cast<const char *>(sqlite3_column_text(st, 2)));
        }
        data.totalDishes = rows;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);

    frmmain *main = mainWindow();
    CatalogueModel *model = main->catalogue();
    model->rebuild(std::make_shared<const CatalogueData>(data));
    QString error;
    WriteSummaryFile(g_base->summaryPath(), CatalogueSummary(data), &error);
    main->List1()->clear();
    main->List1()->addItems(data.categories);
    QTreeView *tv = main->Tv();
    tv->collapseAll();
    if (model->rowCount(model->rootIndex()) > 0)
        tv->expand(model->rootIndex());
    tv->setCurrentIndex(model->rootIndex());
    main->setWindowTitle(QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(data.totalDishes));
    paintTree();
}

// ---------------------------------------------------------------------------
// Cold start of the real program, measured from outside

struct ColdStart {
    std::vector<double> ms;
    std::vector<double> peakMb;
};

double vmHwmMb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// One start of `exe` in `folder`: its time to its window put on the screen
// (mapped) and its peak memory go into `into`; false when it showed nothing.
bool startOnce(const QString &exe, const QString &folder, const QProcessEnvironment &env, MapWatch &watch,
               ColdStart &into)
{
    QProcess app;
    app.setProcessEnvironment(env);
    app.setWorkingDirectory(folder);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    watch.drain();
    QElapsedTimer t;
    t.start();
    app.start(exe, {});
    if (!app.waitForStarted(5000))
        return false;
    const bool seen = watch.waitForMapped(QStringLiteral("当前共有"), 30000,
                                          [&] { return app.state() == QProcess::Running; });
    if (seen) {
        into.ms.push_back(t.nsecsElapsed() / 1e6);
        QThread::msleep(500);   // let it settle: the peak of a running program
        into.peakMb.push_back(vmHwmMb(app.processId()));
    }
    app.terminate();
    if (!app.waitForFinished(3000)) {
        app.kill();
        app.waitForFinished(3000);
    }
    return seen;
}

// Starts each of `programs` in turn, `runs` rounds, each from a folder of
// its own beside a copy of the database: taking turns, they meet the same
// load on the machine, so their ratio holds even when the load moves. With
// `keptCopy` false, the copy of the tree kept between runs is removed before
// every start, as after a change made by another program.
std::vector<ColdStart> coldStarts(const QStringList &programs, const QString &display, const QString &database,
                                  int runs, bool keptCopy = true)
{
    std::vector<ColdStart> results(size_t(programs.size()));
    MapWatch watch(display);
    check(watch.ok(), "connecting to the display");
    std::vector<std::unique_ptr<QTemporaryDir>> folders;
    QTemporaryDir cache;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
    for (const QString &program : programs) {
        folders.push_back(std::make_unique<QTemporaryDir>());
        const QString exe = folders.back()->filePath(QStringLiteral("zaoxiangju"));
        check(copyFile(program, exe), "copying the program");
        QFile::setPermissions(exe, QFile::permissions(exe) | QFile::ExeOwner);
        check(copyFile(database, folders.back()->filePath(QStringLiteral("cate.mdb"))), "copying cate.mdb");
    }
    // A start that dies before showing anything is tried again, a few times.
    int failures = 0;
    for (int run = 0; run < runs && failures < 5; ++run) {
        for (size_t i = 0; i < folders.size(); ++i) {
            if (!keptCopy)
                QDir(cache.path()).removeRecursively();
            const QString folder = folders[i]->path();
            while (failures < 5 && !startOnce(folder + QStringLiteral("/zaoxiangju"), folder, env, watch, results[i]))
                ++failures;
        }
    }
    return results;
}

// ---------------------------------------------------------------------------
// The table

struct Row {
    QString what;
    QString target;
    std::map<int, QString> cells;
};

QString ms(double v) { return v < 0 ? QStringLiteral("–") : QString::number(v, 'f', v < 10 ? 2 : 1); }

} // namespace

int main(int argc, char **argv)
{
    // The tree's copy kept between runs goes to a cache folder of the bench's own.
    QTemporaryDir benchCache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(benchCache.path()));
    QApplication app(argc, argv);
    QString program, display, folder;
    std::vector<int> sizes = {1000, 32767, 100000};
    const QStringList args = app.arguments();
    const bool withNaive = !args.contains(QStringLiteral("--no-naive"));
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--program"))
            program = args[++i];
        else if (args[i] == QLatin1String("--display"))
            display = args[++i];
        else if (args[i] == QLatin1String("--folder"))
            folder = args[++i];
        else if (args[i] == QLatin1String("--sizes")) {
            sizes.clear();
            for (const QString &s : args[++i].split(QLatin1Char(',')))
                sizes.push_back(s.toInt());
        }
    }
    const bool withColdStart = !program.isEmpty() && !display.isEmpty();

    QTemporaryDir work;
    check(work.isValid(), "making the temporary folder");
    const QDir top(folder.isEmpty() ? work.path() : folder);
    const QString base = top.filePath(QStringLiteral("base"));
    const QString scratch = top.filePath(QStringLiteral("scratch"));
    QDir().mkpath(base);
    QDir().mkpath(scratch);

    enum {
        Store, Tree, Total, Naive, Ratio, Find, SearchCommon, SearchPattern, Words, WordsCommon, WordsFirst, Update,
        AddRebuild, Delete, DeleteWithCopy, DeleteAnswered, SafetyCopy, Pick, PickPlain, Cold, ColdNoCopy, Memory, Floor, ColdRatio,
        FloorMemory, MemoryOverFloor, RowCount
    };
    const QString common = QStringLiteral("豆腐");
    const QString pattern = QStringLiteral("[红清]*#号");
    // An ingredient and a word of the method; then two that are everywhere
    // in the generated recipes.
    const QStringList words = {QStringLiteral("豆腐"), QStringLiteral("葱")};
    const QStringList commonWords = {QStringLiteral("五花肉"), QStringLiteral("慢炖")};
    Row rows[RowCount] = {
        {QStringLiteral("rebuild: store (LoadCatalogue)"), QString(), {}},
        {QStringLiteral("rebuild: tree (model, list, view, paint, temp.txt)"), QString(), {}},
        {QStringLiteral("**rebuild: store + tree**"), QStringLiteral("≤ 40 at 100,000"), {}},
        {QStringLiteral("naive rebuild (one scan of \"01\" per category)"), QString(), {}},
        {QStringLiteral("**naive ÷ fast**"), QStringLiteral("≥ 100×"), {}},
        {QStringLiteral("FindDish (a dish ¾ down the table)"), QString(), {}},
        {QStringLiteral("**search by name \"%1\"**: the search window's, over the tree's names (hits)").arg(common),
         QStringLiteral("≤ 8 at 100,000"), {}},
        {QStringLiteral("**search by name \"%1\"** (hits)").arg(pattern), QStringLiteral("≤ 8 at 100,000"), {}},
        {QStringLiteral("SearchDishesByWords \"%1\" (hits)").arg(words.join(QLatin1Char(' '))), QStringLiteral("≤ 30"), {}},
        {QStringLiteral("SearchDishesByWords \"%1\", words in a third of the dishes (hits)").arg(commonWords.join(QLatin1Char(' '))),
         QString(), {}},
        {QStringLiteral("SearchDishesByWords \"%1\", first after another program's change").arg(words.join(QLatin1Char(' '))),
         QString(), {}},
        {QStringLiteral("UpdateDish"), QString(), {}},
        {QStringLiteral("**add a dish + tree** (the catalogue's addDish, tree painted)"), QStringLiteral("≤ 40 at 100,000"), {}},
        {QStringLiteral("DeleteCategory, 500 dishes (on a copy)"), QString(), {}},
        {QStringLiteral("**delete a category of 500 dishes with its safety copy + tree**"), QStringLiteral("≤ 250 at 100,000"), {}},
        {QStringLiteral("the same, the copy begun with the question and the cook answering 0.5 s later (timed from the answer)"),
         QString(), {}},
        {QStringLiteral("Backup::MakeCopy (safety copy into 备份, synced to disk)"), QStringLiteral("≤ 150"), {}},
        {QStringLiteral("PickRandomDish"), QString(), {}},
        {QStringLiteral("PickRandomDish, plain id column, ids from 1,691 (up to 20,000 draws): first after a change (next)"),
         QStringLiteral("≤ 50"), {}},
        {QStringLiteral("**cold start to the filled main window (Xvfb)**"), QString(), {}},
        {QStringLiteral("cold start, first after a change made elsewhere (no kept copy)"), QString(), {}},
        {QStringLiteral("**peak resident memory, MB (VmHWM)**"), QStringLiteral("≤ 100 MB at 100,000"), {}},
        {QStringLiteral("cold start of the floor (a Qt window with one line of Chinese)"), QString(), {}},
        {QStringLiteral("**cold start ÷ floor**"), QStringLiteral("≤ 1.25 at 32,767"), {}},
        {QStringLiteral("peak memory of the floor, MB"), QString(), {}},
        {QStringLiteral("**peak memory − floor, MB**"), QStringLiteral("≤ 25 MB at 32,767"), {}},
    };
    std::map<int, int> naiveRuns, coldRuns;

    // The main window, loaded once, as the program's start-up does.
    Catalogue baseCatalogue(base);
    g_base = &baseCatalogue;
    Windows::show<frmmain>(baseCatalogue);
    // The changes run on a copy, with a main window of its own.
    Catalogue scratchCatalogue(scratch);
    frmmain scratchMain(scratchCatalogue);

    for (const int size : sizes) {
        std::fprintf(stderr, "zx_bench: %d dishes...\n", size);
        const bool huge = size > 50000;
        const QString db = base + QStringLiteral("/cate.mdb");
        const Sample sample = makeDatabase(db, size);
        // On disk before anything is timed: the kernel writing the new file
        // back meanwhile would compete with what is measured.
        check(syncFile(db), "syncing cate.mdb");

        // The rebuild, split, and the naive rebuild.
        const int rebuildRuns = huge ? 7 : 15;
        std::vector<double> store, tree, total;
        fastRebuild();   // warm the page cache
        for (int i = 0; i < rebuildRuns; ++i) {
            const RebuildSplit s = fastRebuild();
            store.push_back(s.storeMs);
            tree.push_back(s.treeMs);
            total.push_back(s.storeMs + s.treeMs);
        }
        const int nRuns = !withNaive ? 0 : size <= 1000 ? 5 : huge ? 1 : 3;
        naiveRuns[size] = nRuns;
        const double naive = median(timeRuns(nRuns, [&] { naiveRebuild(db); }));
        fastRebuild();   // the program's own tree back in place
        rows[Store].cells[size] = ms(median(store));
        rows[Tree].cells[size] = ms(median(tree));
        rows[Total].cells[size] = ms(median(total));
        if (nRuns > 0) {
            rows[Naive].cells[size] = ms(naive) + (nRuns == 1 ? QStringLiteral(" (1 run)")
                                                              : QStringLiteral(" (%1 runs)").arg(nRuns));
            rows[Ratio].cells[size] = QString::number(naive / median(total), 'f', 0) + QStringLiteral("×");
        }

        const int runs = huge ? 9 : 21;
        rows[Find].cells[size] = ms(median(timeRuns(runs, [&] {
            const auto found = RecipeStore::FindDish(db, sample.findCategory, sample.findName);
            check(found.ok() && found->has_value(), "FindDish");
        })));
        qsizetype hits = 0;
        const double commonMs = median(timeRuns(runs, [&] {
            const auto found = g_base->searchNames(common);
            check(found.ok(), "searchNames");
            hits = found->size();
        }));
        rows[SearchCommon].cells[size] = ms(commonMs) + QStringLiteral(" (%1)").arg(hits);
        const double patternMs = median(timeRuns(runs, [&] {
            const auto found = g_base->searchNames(pattern);
            check(found.ok(), "searchNames with a pattern");
            hits = found->size();
        }));
        rows[SearchPattern].cells[size] = ms(patternMs) + QStringLiteral(" (%1)").arg(hits);

        auto searchWords = [&](const QStringList &w) {
            return [&, w] {
                const auto found = RecipeStore::SearchDishesByWords(db, w);
                check(found.ok(), "SearchDishesByWords");
                hits = found->size();
            };
        };
        const double wordsMs = median(timeRuns(runs, searchWords(words)));
        rows[Words].cells[size] = ms(wordsMs) + QStringLiteral(" (%1)").arg(hits);
        const double commonWordsMs = median(timeRuns(runs, searchWords(commonWords)));
        rows[WordsCommon].cells[size] = ms(commonWordsMs) + QStringLiteral(" (%1)").arg(hits);
        rows[WordsFirst].cells[size] =
            ms(median(timeRuns(huge ? 5 : 9, searchWords(words), [&] { touchFromOutside(db); })));

        // The changes, on a copy of the file.
        const QString copy = scratch + QStringLiteral("/cate.mdb");
        check(syncedCopy(db, copy), "copying cate.mdb");
        int turn = 0;
        rows[Update].cells[size] = ms(median(timeRuns(runs, [&] {
            const auto done = RecipeStore::UpdateDish(
                copy, sample.updateId, QStringLiteral("改过的菜%1").arg(++turn), QStringLiteral("新原料 1份"),
                QStringLiteral("1. 新做法。\r\n2. 再来一步。"), QString());
            check(done.ok() && *done, "UpdateDish");
        })));
        rows[AddRebuild].cells[size] = ms(median(timeRuns(huge ? 7 : 15, [&] {
            check(scratchCatalogue.addDish(QStringLiteral("家常菜"), QStringLiteral("新添的菜"),
                                           QStringLiteral("原料"), QStringLiteral("做法"), QString())
                      .ok(),
                  "AddDish");
            check(scratchCatalogue.lastRefresh().ok(), "refresh after AddDish");
            scratchMain.Tv()->viewport()->repaint();
        })));
        rows[Delete].cells[size] = ms(median(timeRuns(huge ? 5 : 9, [&] {
            const auto done = RecipeStore::DeleteCategory(copy, DeletedCategory);
            check(done.ok() && done->dishesDeleted == 500, "DeleteCategory");
        }, [&] {
            // As in the program, the store is already open on the file the
            // cook deletes from, not still on the copy before it.
            check(syncedCopy(db, copy), "copying cate.mdb");
            check(RecipeStore::Probe(copy).ok(), "opening the fresh copy");
        })));

        // As the category manager deletes: the safety copy, then the
        // delete through the catalogue, the tree following; each on a fresh
        // copy the catalogue has read.
        rows[DeleteWithCopy].cells[size] = ms(median(timeRuns(huge ? 5 : 9, [&] {
            check(Backup::MakeCopy(copy, Backup::Reason::CategoryDeletion, QDateTime::currentDateTime()).ok(),
                  "Backup::MakeCopy before deleting");
            const auto done = scratchCatalogue.deleteCategory(DeletedCategory);
            check(done.ok() && done->dishesDeleted == 500, "Catalogue::deleteCategory");
            scratchMain.Tv()->viewport()->repaint();
        }, [&] {
            check(syncedCopy(db, copy), "copying cate.mdb");
            QDir(Backup::FolderOf(copy)).removeRecursively();
            check(scratchCatalogue.refresh().ok(), "reading the fresh copy");
        })));
        QDir(Backup::FolderOf(copy)).removeRecursively();
        // As the category manager deletes when the cook takes half a second
        // to answer: the copy is written while the question is open.
        std::vector<double> answered;
        for (int i = 0; i < (huge ? 5 : 9); ++i) {
            check(syncedCopy(db, copy), "copying cate.mdb");
            QDir(Backup::FolderOf(copy)).removeRecursively();
            check(scratchCatalogue.refresh().ok(), "reading the fresh copy");
            SafetyCopyAhead ahead(scratchCatalogue, Backup::Reason::CategoryDeletion);
            QThread::msleep(500);
            QElapsedTimer t;
            t.start();
            check(ahead.take(nullptr), "the safety copy begun with the question");
            const auto done = scratchCatalogue.deleteCategory(DeletedCategory);
            check(done.ok() && done->dishesDeleted == 500, "Catalogue::deleteCategory");
            scratchMain.Tv()->viewport()->repaint();
            answered.push_back(t.nsecsElapsed() / 1e6);
        }
        rows[DeleteAnswered].cells[size] = ms(median(answered));
        QDir(Backup::FolderOf(copy)).removeRecursively();

        const QString backups = Backup::FolderOf(db);
        rows[SafetyCopy].cells[size] = ms(median(timeRuns(huge ? 5 : 9, [&] {
            check(Backup::MakeCopy(db, Backup::Reason::CategoryDeletion, QDateTime::currentDateTime()).ok(),
                  "Backup::MakeCopy");
        }, [&] { QDir(backups).removeRecursively(); })));
        QDir(backups).removeRecursively();

        std::mt19937 pickRng(7);
        rows[Pick].cells[size] = ms(median(timeRuns(runs, [&] {
            const auto picked = RecipeStore::PickRandomDish(
                db, [&] { return std::uniform_real_distribution<double>(0, 1)(pickRng); });
            check(picked.ok(), "PickRandomDish");
        })));

        // The pick where the id is a plain column and few numbers are used.
        const QString plain = scratch + QStringLiteral("/plain.mdb");
        makePlainIdCopy(db, plain, 1690);
        auto pickPlain = [&] {
            const auto picked = RecipeStore::PickRandomDish(
                plain, [&] { return std::uniform_real_distribution<double>(0, 1)(pickRng); }, 20000);
            check(picked.ok() && picked->has_value(), "PickRandomDish, plain id column");
        };
        const double afterChange = median(timeRuns(runs, pickPlain, [&] { touchFromOutside(plain); }));
        rows[PickPlain].cells[size] = ms(afterChange) + QStringLiteral(" (%1)").arg(ms(median(timeRuns(runs, pickPlain))));
        QFile::remove(plain);

        if (withColdStart) {
            const QString floorProgram = QFileInfo(program).dir().filePath(QStringLiteral("zx_floor"));
            const std::vector<ColdStart> both = coldStarts({program, floorProgram}, display, db, 11);
            const ColdStart &cold = both[0];
            const ColdStart &floor = both[1];
            coldRuns[size] = int(cold.ms.size());
            rows[Cold].cells[size] = ms(median(cold.ms));
            rows[ColdNoCopy].cells[size] = ms(median(coldStarts({program}, display, db, 5, false)[0].ms));
            rows[Memory].cells[size] = QString::number(median(cold.peakMb), 'f', 1);
            rows[Floor].cells[size] = ms(median(floor.ms));
            rows[ColdRatio].cells[size] = QString::number(pairedRatio(cold.ms, floor.ms), 'f', 2);
            rows[FloorMemory].cells[size] = QString::number(median(floor.peakMb), 'f', 1);
            rows[MemoryOverFloor].cells[size] = QString::number(median(cold.peakMb) - median(floor.peakMb), 'f', 1);
        }
    }

    // One table: a row per measurement, a column per size.
    QString out = QStringLiteral("| ms, median | ");
    QString rule = QStringLiteral("|---|");
    for (const int size : sizes) {
        out += QLocale::c().toString(size) + QStringLiteral(" dishes | ");
        rule += QStringLiteral("---:|");
    }
    out += QStringLiteral("target |\n") + rule + QStringLiteral("---|\n");
    for (const Row &row : rows) {
        if (row.cells.empty())
            continue;
        out += QStringLiteral("| ") + row.what + QStringLiteral(" | ");
        for (const int size : sizes)
            out += row.cells.count(size) ? row.cells.at(size) + QStringLiteral(" | ") : QStringLiteral("– | ");
        out += row.target + QStringLiteral(" |\n");
    }
    std::printf("%s\n", out.toUtf8().constData());
    std::printf("Medians: rebuild 15 runs (7 at 100,000); naive rebuild as marked; find, search, update, pick "
                "21 runs (9 at 100,000); add + rebuild 15 (7); delete 9 (5), each on a fresh copy synced to disk; words search "
                "after a change 9 (5); pick on a plain id column 21 (9), in brackets without a change between; "
                "safety copy 9 (5), each into an empty folder; delete with its safety copy 9 (5), each on a fresh copy read "
                "by the catalogue first, the same for the answer given 0.5 s after the question.\n");
    if (withColdStart) {
        std::printf("Cold start: process start until a window named \"…当前共有…\" is mapped (the bench "
                    "waits for the X server's MapNotify), at least %d runs per size, the program and the floor taking "
                    "turns (5 without the kept copy, which is removed before each); the ratio is the median of each "
                    "start over the floor's start right after it; "
                    "memory: VmHWM 0.5 s after the window showed.\n",
                    coldRuns.empty() ? 0 : std::min_element(coldRuns.begin(), coldRuns.end(), [](auto &a, auto &b) {
                        return a.second < b.second;
                    })->second);
    } else {
        std::printf("Cold start left out: pass --program and --display.\n");
    }
    Windows::unload<frmmain>();
    return 0;
}
