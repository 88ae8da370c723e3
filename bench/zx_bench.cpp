// Speed at scale: builds recipe databases of 1,000, 32,767 and 100,000
// dishes across 200 categories in a temporary folder and prints one table of
// medians: the catalogue rebuild (store and tree, through the real main
// window) against the naive rebuild that scans "01" once per category, the
// finding, searching and changing operations, the daily pick, and the cold
// start and peak memory of the real program under an X server.
//
//   zx_bench [--program PATH] [--display :N] [--sizes 1000,32767,100000] [--no-naive]
//           [--folder DIR]   (keep the databases in DIR instead of a temporary folder)
//           [--compare PATH] (another build of the program, started in turn with it)
//
// Run it with QT_QPA_PLATFORM=offscreen; the cold start needs --program (the
// built zaoxiangju) and --display (a running Xvfb), else it is left out.
#include "app/mainwindow.h"
#include "core/catalogue.h"
#include "core/pantry.h"
#include "core/registry.h"
#include "core/safetycopy.h"
#include "store/backup.h"
#include "store/recipestore.h"
#include "support/benchoptions.h"
#include "support/coldstart.h"
#include "support/rebuild.h"
#include "support/recipedb.h"
#include "support/timing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeView>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

using namespace zx;
using namespace Bench;

namespace {

// ---------------------------------------------------------------------------
// The table

enum {
    Store, Tree, Total, Naive, Ratio, Find, SearchCommon, SearchPattern, SearchPinyin, SearchPinyinFirst, Words, WordsCommon, WordsFirst, TagSearch, Pantry, Update,
    AddRebuild, Delete, DeleteWithCopy, DeleteAnswered, SafetyCopy, Pick, PickPlain, Cold, ColdNoCopy, Memory, Floor, ColdRatio,
    FloorMemory, MemoryOverFloor, ColdPaint, FloorPaint, PaintRatio, FilledFloorRatio, ComparedPaint, ComparedRatio, RowCount
};

struct Row {
    QString what;
    QString target;
    std::map<int, QString> cells;   // by size
};

struct Table {
    std::array<Row, RowCount> rows;
    std::map<int, int> coldRuns;    // cold starts made, by size
};

const QString common = QStringLiteral("豆腐");
const QString pattern = QStringLiteral("[红清]*#号");
// 红烧豆腐 by the initials of its pinyin.
const QString pinyin = QStringLiteral("hsdf");
// An ingredient and a word of the method; then two that are everywhere
// in the generated recipes.
const QStringList words = {QStringLiteral("豆腐"), QStringLiteral("葱")};
const QStringList commonWords = {QStringLiteral("五花肉"), QStringLiteral("慢炖")};

// Tag words: a tag on a third of the dishes, without one on a seventh.
const QString tagWords = QStringLiteral("#麻辣 -#花生");

QString ms(double v) { return v < 0 ? QStringLiteral("–") : QString::number(v, 'f', v < 10 ? 2 : 1); }

Table emptyTable()
{
    return {{{
        {QStringLiteral("rebuild: store (loadCatalogue)"), QString(), {}},
        {QStringLiteral("rebuild: tree (model, list, view, paint, temp.txt)"), QString(), {}},
        {QStringLiteral("**rebuild: store + tree**"), QStringLiteral("≤ 40 at 100,000"), {}},
        {QStringLiteral("naive rebuild (one scan of \"01\" per category)"), QString(), {}},
        {QStringLiteral("**naive ÷ fast**"), QStringLiteral("≥ 100×"), {}},
        {QStringLiteral("findDish (a dish ¾ down the table)"), QString(), {}},
        {QStringLiteral("**search by name \"%1\"**: the search window's, over the tree's names (hits)").arg(common),
         QStringLiteral("≤ 8 at 100,000"), {}},
        {QStringLiteral("**search by name \"%1\"** (hits)").arg(pattern), QStringLiteral("≤ 8 at 100,000"), {}},
        {QStringLiteral("**search by pinyin \"%1\"** (hits)").arg(pinyin), QStringLiteral("≤ 8 at 100,000"), {}},
        {QStringLiteral("search by pinyin \"%1\", first after the tree was read again (the names' keys made)").arg(pinyin),
         QString(), {}},
        {QStringLiteral("searchDishesByWords \"%1\" (hits)").arg(words.join(QLatin1Char(' '))), QStringLiteral("≤ 30"), {}},
        {QStringLiteral("searchDishesByWords \"%1\", words in a third of the dishes (hits)").arg(commonWords.join(QLatin1Char(' '))),
         QString(), {}},
        {QStringLiteral("searchDishesByWords \"%1\", first after another program's change").arg(words.join(QLatin1Char(' '))),
         QString(), {}},
        {QStringLiteral("**search by tag \"%1\"**, the marks read first (hits)").arg(tagWords), QStringLiteral("≤ 30 at 32,767"), {}},
        {QStringLiteral("**我有什么, 25 ingredients at hand** (the ranking; in brackets the index of every dish's ingredients, made once per change)"),
         QStringLiteral("≤ 30 at 32,767"), {}},
        {QStringLiteral("updateDish"), QString(), {}},
        {QStringLiteral("**add a dish + tree** (the catalogue's addDish, tree painted)"), QStringLiteral("≤ 40 at 100,000"), {}},
        {QStringLiteral("deleteCategory, 500 dishes (on a copy)"), QString(), {}},
        {QStringLiteral("**delete a category of 500 dishes with its safety copy + tree**, answered at once"),
         QStringLiteral("≤ 400 at 100,000"), {}},
        {QStringLiteral("the same, the copy begun with the question and the cook answering 0.5 s later (timed from the answer)"),
         QStringLiteral("≤ 100 at 100,000"), {}},
        {QStringLiteral("Backup::makeCopy (safety copy into 备份, synced to disk)"), QStringLiteral("≤ 150"), {}},
        {QStringLiteral("pickRandomDish"), QString(), {}},
        {QStringLiteral("pickRandomDish, plain id column: first after a change (next)"),
         QStringLiteral("≤ 50"), {}},
        {QStringLiteral("**cold start to the filled main window (Xvfb)**"), QString(), {}},
        {QStringLiteral("cold start, first after a change made elsewhere (no kept copy)"), QString(), {}},
        {QStringLiteral("**peak resident memory, MB (VmHWM)**"), QStringLiteral("≤ 100 MB at 100,000"), {}},
        {QStringLiteral("cold start of the floor (a Qt window with one line of Chinese)"), QString(), {}},
        {QStringLiteral("cold start ÷ floor, to the map"), QString(), {}},
        {QStringLiteral("peak memory of the floor, MB"), QString(), {}},
        {QStringLiteral("**peak memory − floor, MB**"), QStringLiteral("≤ 25 MB at 32,767"), {}},
        {QStringLiteral("cold start to the first picture drawn into the main window"), QString(), {}},
        {QStringLiteral("cold start of the floor to the first picture drawn into its window (its text)"), QString(), {}},
        {QStringLiteral("**the same, program ÷ floor**"), QStringLiteral("≤ 1.35 at 32,767"), {}},
        {QStringLiteral("the floor with its text drawn once before its window is shown (zx_floor_filled) ÷ floor: "
                        "to the map / to the first picture"),
         QString(), {}},
        {QStringLiteral("the build given with --compare, to the first picture (÷ floor)"), QString(), {}},
        {QStringLiteral("this build ÷ the compared build, to the first picture"), QString(), {}},
    }}, {}};
}

// ---------------------------------------------------------------------------
// The measurements, a group of rows at a time for one size

// The catalogues the rows run through: the base folder's, whose main window
// is the one shown, and a copy's for the changes, with a main window of its own.
struct Catalogues {
    Catalogue &base;
    Catalogue &scratch;
    MainWindow &scratchMain;
};

// One size's database, the copy the changes run on, and the run counts.
struct Size {
    int dishes;
    bool huge;
    int runs;          // find, search, update, pick
    QString scratch, db, copy;
    Sample sample;
};

void measureRebuild(Table &t, const Options &options, Catalogue &base, const Size &s)
{
    const int rebuildRuns = s.huge ? 7 : 15;
    std::vector<double> store, tree, total;
    fastRebuild(base);   // warm the page cache
    for (int i = 0; i < rebuildRuns; ++i) {
        const RebuildSplit split = fastRebuild(base);
        store.push_back(split.storeMs);
        tree.push_back(split.treeMs);
        total.push_back(split.storeMs + split.treeMs);
    }
    const int nRuns = !options.withNaive ? 0 : s.dishes <= 1000 ? 5 : s.huge ? 1 : 3;
    const double naive = median(timeRuns(nRuns, [&] { naiveRebuild(base, s.db); }));
    fastRebuild(base);   // the program's own tree back in place
    t.rows[Store].cells[s.dishes] = ms(median(store));
    t.rows[Tree].cells[s.dishes] = ms(median(tree));
    t.rows[Total].cells[s.dishes] = ms(median(total));
    if (nRuns > 0) {
        t.rows[Naive].cells[s.dishes] = ms(naive) + (nRuns == 1 ? QStringLiteral(" (1 run)")
                                                                : QStringLiteral(" (%1 runs)").arg(nRuns));
        t.rows[Ratio].cells[s.dishes] = QString::number(naive / median(total), 'f', 0) + QStringLiteral("×");
    }
}

void measureFinding(Table &t, Catalogue &base, RecipeStore &dbStore, const Size &s)
{
    t.rows[Find].cells[s.dishes] = ms(median(timeRuns(s.runs, [&] {
        const auto found = dbStore.findDish(s.sample.findCategory, s.sample.findName);
        check(found.ok() && found->has_value(), "findDish");
    })));
    qsizetype hits = 0;
    const double commonMs = median(timeRuns(s.runs, [&] {
        const auto found = base.searchNames(common);
        check(found.ok(), "searchNames");
        hits = found->size();
    }));
    t.rows[SearchCommon].cells[s.dishes] = ms(commonMs) + QStringLiteral(" (%1)").arg(hits);
    const double patternMs = median(timeRuns(s.runs, [&] {
        const auto found = base.searchNames(pattern);
        check(found.ok(), "searchNames with a pattern");
        hits = found->size();
    }));
    t.rows[SearchPattern].cells[s.dishes] = ms(patternMs) + QStringLiteral(" (%1)").arg(hits);
    auto searchPinyin = [&] {
        const auto found = base.searchNames(pinyin);
        check(found.ok(), "searchNames by pinyin");
        hits = found->size();
    };
    const double pinyinFirstMs = median(timeRuns(s.runs, searchPinyin, [&] { fastRebuild(base); }));
    t.rows[SearchPinyinFirst].cells[s.dishes] = ms(pinyinFirstMs);
    const double pinyinMs = median(timeRuns(s.runs, searchPinyin));
    t.rows[SearchPinyin].cells[s.dishes] = ms(pinyinMs) + QStringLiteral(" (%1)").arg(hits);

    auto searchWords = [&](const QStringList &w) {
        return [&, w] {
            const auto found = dbStore.searchDishesByWords(w);
            check(found.ok(), "searchDishesByWords");
            hits = found->size();
        };
    };
    const double wordsMs = median(timeRuns(s.runs, searchWords(words)));
    t.rows[Words].cells[s.dishes] = ms(wordsMs) + QStringLiteral(" (%1)").arg(hits);
    const double commonWordsMs = median(timeRuns(s.runs, searchWords(commonWords)));
    t.rows[WordsCommon].cells[s.dishes] = ms(commonWordsMs) + QStringLiteral(" (%1)").arg(hits);
    t.rows[WordsFirst].cells[s.dishes] =
        ms(median(timeRuns(s.huge ? 5 : 9, searchWords(words), [&] { touchFromOutside(s.db); })));

    // The tags written as another program would; each search follows a
    // rebuild, so the marks are read from the file inside it.
    check(execSql(s.db, "CREATE TABLE IF NOT EXISTS marks_tags (dish INTEGER NOT NULL, tag TEXT NOT NULL, UNIQUE (dish, tag));"
                        "CREATE TABLE IF NOT EXISTS marks_dish (dish INTEGER PRIMARY KEY, favourite INTEGER NOT NULL DEFAULT 0,"
                        " servings INTEGER);"
                        "INSERT OR IGNORE INTO marks_tags SELECT id, '麻辣' FROM \"01\" WHERE id % 3 = 0;"
                        "INSERT OR IGNORE INTO marks_tags SELECT id, '花生' FROM \"01\" WHERE id % 7 = 0;"),
          "writing tags");
    const TagQuery byTag = TagQuery::parse(tagWords);
    const double tagMs = median(timeRuns(s.runs, [&] { hits = base.searchTagged(byTag).size(); },
                                         [&] { fastRebuild(base); }));
    t.rows[TagSearch].cells[s.dishes] = ms(tagMs) + QStringLiteral(" (%1)").arg(hits);
}

// 我有什么: the index made from every dish's ingredients, then the ranking
// with 25 ingredients at hand (some in every third dish, some in none).
void measurePantry(Table &t, RecipeStore &dbStore, const Size &s)
{
    const auto rows = dbStore.readEverything();
    check(rows.ok(), "readEverything");
    const Ingredients::Tables tables = Ingredients::loadTables(QStringLiteral("/nonexistent/"));
    PantryIndex index;
    const double indexMs = median(timeRuns(s.huge ? 3 : 5, [&] { index = PantryIndex::build(rows->dishes, tables.synonyms); }));
    const QStringList have = QStringLiteral("五花肉 鸡蛋 青椒 红椒 八角 桂皮 香菜 干辣椒 花椒 番茄 土豆 牛肉 豆腐 茄子 "
                                            "虾仁 鸡翅 冬瓜 木耳 莲藕 牛腩 花菜 豇豆 黄瓜 洋葱 胡萝卜").split(QLatin1Char(' '));
    const QStringList staples = QStringLiteral("盐 油 酱油 生抽 老抽 醋 糖 料酒 葱 姜 蒜 淀粉 清水").split(QLatin1Char(' '));
    qsizetype hits = 0;
    const double rankMs = median(timeRuns(s.runs, [&] { hits = index.rank(have, staples, 200).size(); }));
    t.rows[Pantry].cells[s.dishes] = ms(rankMs) + QStringLiteral(" (index %1)").arg(ms(indexMs));
    check(hits > 0, "ranking");
}

// The changes, on the copy of the file.
void measureChanges(Table &t, const Catalogues &c, RecipeStore &copyStore, const Size &s)
{
    int turn = 0;
    t.rows[Update].cells[s.dishes] = ms(median(timeRuns(s.runs, [&] {
        const auto done = copyStore.updateDish(s.sample.updateId, QStringLiteral("改过的菜%1").arg(++turn),
                                               QStringLiteral("新原料 1份"), QStringLiteral("1. 新做法。\r\n2. 再来一步。"),
                                               QString());
        check(done.ok() && *done, "updateDish");
    })));
    t.rows[AddRebuild].cells[s.dishes] = ms(median(timeRuns(s.huge ? 7 : 15, [&] {
        check(c.scratch.addDish(QStringLiteral("家常菜"), QStringLiteral("新添的菜"),
                                QStringLiteral("原料"), QStringLiteral("做法"), QString())
                  .ok(),
              "addDish");
        check(c.scratch.lastRefresh().ok(), "refresh after addDish");
        c.scratchMain.tree()->viewport()->repaint();
    })));
    t.rows[Delete].cells[s.dishes] = ms(median(timeRuns(s.huge ? 5 : 9, [&] {
        const auto done = copyStore.deleteCategory(DeletedCategory);
        check(done.ok() && done->dishesDeleted == 500, "deleteCategory");
    }, [&] {
        // As in the program, the store is already open on the file the
        // cook deletes from, not still on the copy before it.
        check(syncedCopy(s.db, s.copy), "copying cate.mdb");
        check(copyStore.probe().ok(), "opening the fresh copy");
    })));
}

// As the category manager deletes: the safety copy begun, put in place, then
// the delete through the catalogue, the tree following; each on a fresh copy
// the catalogue has read.
void measureDeletesWithCopy(Table &t, const Catalogues &c, const Size &s)
{
    auto deleteWithCopy = [&](SafetyCopyAhead &ahead) {
        check(ahead.take(nullptr), "the safety copy");
        const auto done = c.scratch.deleteCategory(DeletedCategory);
        check(done.ok() && done->dishesDeleted == 500, "deleting with the safety copy");
        c.scratchMain.tree()->viewport()->repaint();
    };
    auto freshCopy = [&] {
        check(syncedCopy(s.db, s.copy), "copying cate.mdb");
        QDir(Backup::folderOf(s.copy)).removeRecursively();
        check(c.scratch.refresh().ok(), "reading the fresh copy");
    };
    // The cook answers at once.
    t.rows[DeleteWithCopy].cells[s.dishes] = ms(median(timeRuns(s.huge ? 5 : 9, [&] {
        SafetyCopyAhead ahead(c.scratch, Backup::Reason::CategoryDeletion);
        deleteWithCopy(ahead);
    }, freshCopy)));
    QDir(Backup::folderOf(s.copy)).removeRecursively();
    // The cook takes half a second to answer: the copy is written while the
    // question is open.
    std::vector<double> answered;
    for (int i = 0; i < (s.huge ? 5 : 9); ++i) {
        freshCopy();
        SafetyCopyAhead ahead(c.scratch, Backup::Reason::CategoryDeletion);
        QThread::msleep(500);
        QElapsedTimer timer;
        timer.start();
        deleteWithCopy(ahead);
        answered.push_back(timer.nsecsElapsed() / 1e6);
    }
    t.rows[DeleteAnswered].cells[s.dishes] = ms(median(answered));
    QDir(Backup::folderOf(s.copy)).removeRecursively();
}

void measureSafetyCopy(Table &t, const Size &s)
{
    const QString backups = Backup::folderOf(s.db);
    t.rows[SafetyCopy].cells[s.dishes] = ms(median(timeRuns(s.huge ? 5 : 9, [&] {
        check(Backup::makeCopy(s.db, Backup::Reason::CategoryDeletion, QDateTime::currentDateTime()).ok(),
              "Backup::makeCopy");
    }, [&] { QDir(backups).removeRecursively(); })));
    QDir(backups).removeRecursively();
}

void measurePick(Table &t, RecipeStore &dbStore, const Size &s)
{
    std::mt19937 pickRng(7);
    auto draw = [&] { return std::uniform_real_distribution<double>(0, 1)(pickRng); };
    t.rows[Pick].cells[s.dishes] = ms(median(timeRuns(s.runs, [&] {
        const auto picked = dbStore.pickRandomDish(draw);
        check(picked.ok(), "pickRandomDish");
    })));

    // The pick where the id is a plain column, first after another
    // program's change (the row identities are read again), then next.
    const QString plain = s.scratch + QStringLiteral("/plain.mdb");
    makePlainIdCopy(s.db, plain, 1690);
    RecipeStore plainStore(plain);
    auto pickPlain = [&] {
        const auto picked = plainStore.pickRandomDish(draw);
        check(picked.ok() && picked->has_value(), "pickRandomDish, plain id column");
    };
    const double afterChange = median(timeRuns(s.runs, pickPlain, [&] { touchFromOutside(plain); }));
    t.rows[PickPlain].cells[s.dishes] =
        ms(afterChange) + QStringLiteral(" (%1)").arg(ms(median(timeRuns(s.runs, pickPlain))));
    QFile::remove(plain);
}

// The real program's cold start against the floor's, taking turns.
void measureColdStart(Table &t, const Options &options, const Size &s)
{
    // More starts at the size the target is set for: the cold start moves by
    // a tenth from start to start on this machine.
    const int coldRounds = s.dishes == 32767 ? 31 : 11;
    const QDir programDir = QFileInfo(options.program).dir();
    QStringList programs = {options.program, programDir.filePath(QStringLiteral("zx_floor")),
                            programDir.filePath(QStringLiteral("zx_floor_filled"))};
    if (!options.compared.isEmpty())
        programs << options.compared;
    const std::vector<ColdStart> started = coldStarts(programs, options.display, s.db, coldRounds);
    const ColdStart &cold = started[0];
    const ColdStart &floor = started[1];
    const ColdStart &filled = started[2];
    t.coldRuns[s.dishes] = int(cold.ms.size());
    t.rows[Cold].cells[s.dishes] = ms(median(cold.ms));
    t.rows[ColdNoCopy].cells[s.dishes] = ms(median(coldStarts({options.program}, options.display, s.db, 5, false)[0].ms));
    t.rows[Memory].cells[s.dishes] = QString::number(median(cold.peakMb), 'f', 1);
    t.rows[Floor].cells[s.dishes] = ms(median(floor.ms));
    t.rows[ColdRatio].cells[s.dishes] = QString::number(pairedRatio(cold.ms, floor.ms), 'f', 2);
    t.rows[FloorMemory].cells[s.dishes] = QString::number(median(floor.peakMb), 'f', 1);
    t.rows[MemoryOverFloor].cells[s.dishes] = QString::number(median(cold.peakMb) - median(floor.peakMb), 'f', 1);
    // Timed as well to the first picture drawn: the floor lays out its text
    // only once its window is mapped.
    if (cold.paintMs.empty() || cold.paintMs.size() != cold.ms.size() || floor.paintMs.size() != floor.ms.size())
        return;
    t.rows[ColdPaint].cells[s.dishes] = ms(median(cold.paintMs));
    t.rows[FloorPaint].cells[s.dishes] = ms(median(floor.paintMs));
    t.rows[PaintRatio].cells[s.dishes] = QString::number(pairedRatio(cold.paintMs, floor.paintMs), 'f', 2);
    if (filled.ms.size() == floor.ms.size() && filled.paintMs.size() == floor.paintMs.size())
        t.rows[FilledFloorRatio].cells[s.dishes] =
            QString::number(pairedRatio(filled.ms, floor.ms), 'f', 2) + QStringLiteral(" / ")
            + QString::number(pairedRatio(filled.paintMs, floor.paintMs), 'f', 2);
    if (started.size() > 3 && started[3].paintMs.size() == floor.paintMs.size()) {
        const ColdStart &compared = started[3];
        t.rows[ComparedPaint].cells[s.dishes] = ms(median(compared.paintMs)) + QStringLiteral(" (")
            + QString::number(pairedRatio(compared.paintMs, floor.paintMs), 'f', 2) + QLatin1Char(')');
        t.rows[ComparedRatio].cells[s.dishes] = QString::number(pairedRatio(cold.paintMs, compared.paintMs), 'f', 2);
    }
}

// Every row for one size, on a new database of that many dishes.
void measureSize(Table &t, const Options &options, const QDir &top, const Catalogues &c, int dishes)
{
    std::fprintf(stderr, "zx_bench: %d dishes...\n", dishes);
    Size s;
    s.dishes = dishes;
    s.huge = dishes > 50000;
    s.runs = s.huge ? 9 : 21;
    s.scratch = top.filePath(QStringLiteral("scratch"));
    s.db = top.filePath(QStringLiteral("base")) + QStringLiteral("/cate.mdb");
    s.copy = s.scratch + QStringLiteral("/cate.mdb");
    s.sample = makeDatabase(s.db, dishes);
    // On disk before anything is timed: the kernel writing the new file back
    // meanwhile would compete with what is measured.
    check(syncFile(s.db), "syncing cate.mdb");

    measureRebuild(t, options, c.base, s);
    RecipeStore dbStore(s.db);
    measureFinding(t, c.base, dbStore, s);
    measurePantry(t, dbStore, s);
    check(syncedCopy(s.db, s.copy), "copying cate.mdb");
    RecipeStore copyStore(s.copy);
    measureChanges(t, c, copyStore, s);
    measureDeletesWithCopy(t, c, s);
    measureSafetyCopy(t, s);
    measurePick(t, dbStore, s);
    if (options.withColdStart())
        measureColdStart(t, options, s);
}

// One table: a row per measurement, a column per size; then how it was measured.
void printTable(const Table &t, const Options &options)
{
    QString out = QStringLiteral("| ms, median | ");
    QString rule = QStringLiteral("|---|");
    for (const int size : options.sizes) {
        out += QLocale::c().toString(size) + QStringLiteral(" dishes | ");
        rule += QStringLiteral("---:|");
    }
    out += QStringLiteral("target |\n") + rule + QStringLiteral("---|\n");
    for (const Row &row : t.rows) {
        if (row.cells.empty())
            continue;
        out += QStringLiteral("| ") + row.what + QStringLiteral(" | ");
        for (const int size : options.sizes)
            out += row.cells.count(size) ? row.cells.at(size) + QStringLiteral(" | ") : QStringLiteral("– | ");
        out += row.target + QStringLiteral(" |\n");
    }
    std::printf("%s\n", out.toUtf8().constData());
    std::printf("Medians: rebuild 15 runs (7 at 100,000); naive rebuild as marked; find, search, update, pick "
                "21 runs (9 at 100,000); add + rebuild 15 (7); delete 9 (5), each on a fresh copy synced to disk; words search "
                "after a change 9 (5); pick on a plain id column 21 (9), in brackets without a change between; "
                "safety copy 9 (5), each into an empty folder; delete with its safety copy 9 (5), each on a fresh copy read "
                "by the catalogue first, the same for the answer given 0.5 s after the question.\n");
    if (!options.withColdStart()) {
        std::printf("Cold start left out: pass --program and --display.\n");
        return;
    }
    std::printf("Cold start: process start until a window named \"…当前共有…\" is mapped (the bench "
                "waits for the X server's MapNotify), at least %d runs per size (31 at 32,767), the program, the floor and "
                "the filled floor taking turns (5 without the kept copy, which is removed before each); the "
                "ratio is the median of each start over the floor's start next to it; \"first picture drawn\": until the X server "
                "reports the first drawing into that window after its map (DAMAGE); "
                "memory: VmHWM 0.5 s after the window showed.\n",
                t.coldRuns.empty() ? 0 : std::min_element(t.coldRuns.begin(), t.coldRuns.end(), [](auto &a, auto &b) {
                    return a.second < b.second;
                })->second);
}

} // namespace

int main(int argc, char **argv)
{
    // The tree's copy kept between runs goes to a cache folder of the bench's own.
    QTemporaryDir benchCache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(benchCache.path()));
    QApplication app(argc, argv);
    const Options options = parseArguments(app.arguments());

    QTemporaryDir work;
    check(work.isValid(), "making the temporary folder");
    const QDir top(options.folder.isEmpty() ? work.path() : options.folder);
    const QString base = top.filePath(QStringLiteral("base"));
    const QString scratch = top.filePath(QStringLiteral("scratch"));
    QDir().mkpath(base);
    QDir().mkpath(scratch);
    Table table = emptyTable();

    // The main window, loaded once, as the program's start-up does.
    Catalogue baseCatalogue(base);
    Windows::show<MainWindow>(baseCatalogue);
    // The changes run on a copy, with a main window of its own.
    Catalogue scratchCatalogue(scratch);
    MainWindow scratchMain(scratchCatalogue);

    for (const int size : options.sizes)
        measureSize(table, options, top, {baseCatalogue, scratchCatalogue, scratchMain}, size);
    printTable(table, options);
    Windows::unload<MainWindow>();
    return 0;
}
