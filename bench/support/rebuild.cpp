#include "support/rebuild.h"

#include "app/cataloguemodel.h"
#include "app/mainwindow.h"
#include "core/catalogue.h"
#include "core/registry.h"
#include "core/summaryfile.h"
#include "support/timing.h"

#include <QElapsedTimer>
#include <QTreeView>

#include <memory>
#include <sqlite3.h>

using namespace zx;

namespace Bench {

namespace {

// The layout and paint of the tree the cook sees after a rebuild.
void paintTree(Catalogue &catalogue)
{
    Windows::get<MainWindow>(catalogue)->tree()->viewport()->repaint();
}

} // namespace

RebuildSplit fastRebuild(Catalogue &catalogue)
{
    QElapsedTimer t;
    t.start();
    check(catalogue.refresh().ok(), "refresh");
    paintTree(catalogue);
    const qint64 totalNs = t.nsecsElapsed();
    return {catalogue.lastLoadNs() / 1e6, (totalNs - catalogue.lastLoadNs()) / 1e6};
}

// Reads table "02" once, then walks a table cursor over the whole of "01"
// (every column, the engine's default settings, no memory mapping) once for
// every listed category, comparing trimmed categories in the program, and
// fills the same tree, list and caption.
void naiveRebuild(Catalogue &catalogue, const QString &path)
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

    MainWindow *main = Windows::get<MainWindow>(catalogue);
    CatalogueModel *model = main->treeModel();
    model->rebuild(std::make_shared<const CatalogueData>(data));
    QString error;
    writeSummaryFile(catalogue.summaryPath(), catalogueSummary(data), &error);
    QTreeView *tv = main->tree();
    tv->collapseAll();
    if (model->rowCount(model->rootIndex()) > 0)
        tv->expand(model->rootIndex());
    tv->setCurrentIndex(model->rootIndex());
    main->setWindowTitle(QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(data.totalDishes));
    paintTree(catalogue);
}

} // namespace Bench
