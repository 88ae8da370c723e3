#include "editing/importflow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/safetycopy.h"
#include "editing/progressrun.h"
#include "exchange/importfetch.h"
#include "exchange/importrun.h"

#include <memory>

namespace {

// Adds what was read; false (after saying why) when nothing was written.
bool commitImport(QWidget *parent, Catalogue &catalogue, const PreparedImport &prepared, ImportOutcome &outcome)
{
    if (prepared.dishes.isEmpty())
        return true;
    if (!safetyCopyFirst(parent, catalogue, Backup::Reason::Import))
        return false;
    const StoreResult<ImportOutcome> imported = catalogue.importDishes(prepared.dishes);
    if (!imported) {
        tell(parent, QStringLiteral("导入失败，菜谱没有改动：") + imported.error().userText());
        return false;
    }
    outcome = *imported;
    return true;
}

// The pictures given only by an address, fetched after the commit; 取消
// stops the fetching alone. How many could not be had.
int fetchPictures(QWidget *parent, Catalogue &catalogue, const PreparedImport &prepared, const ImportOutcome &outcome)
{
    ImportPictureFetch fetch(catalogue, prepared, outcome);
    if (fetch.jobs() == 0)
        return 0;
    std::atomic<bool> cancelled{false};
    bool over = false;
    QObject::connect(&fetch, &ImportPictureFetch::finished, [&over] { over = true; });
    fetch.start();
    const ProgressCounters counters{&fetch.doneCounter(), &fetch.totalCounter(), &cancelled};
    waitWithProgress(parent, QStringLiteral("正在下载菜谱图片…"), counters, [&] {
        if (cancelled && !over)
            fetch.cancel();
        return over;
    });
    return fetch.notFetched();
}

} // namespace

void importRecipes(QWidget *parent, Catalogue &catalogue, const QStringList &paths, const QString &category)
{
    if (paths.isEmpty())
        return;
    const ExchangeTurn turn(parent, catalogue);
    if (!turn)
        return;
    auto progress = std::make_shared<ReadProgress>();
    const QString folder = catalogue.dataFolder();
    const ProgressCounters counters{&progress->sourcesDone, &progress->sourcesTotal, &progress->cancelled};
    const PreparedImport prepared = runWithProgress(parent, QStringLiteral("正在读取菜谱…"), counters,
                                                    [paths, category, folder, progress] {
                                                        return prepareImport(paths, category, folder, *progress);
                                                    });
    if (prepared.cancelled) {
        tell(parent, QStringLiteral("导入已取消，菜谱没有改动。"));
        return;
    }
    ImportOutcome outcome;
    if (!commitImport(parent, catalogue, prepared, outcome))
        return;
    ImportTally tally = tallyImport(prepared, outcome);
    tally.picturesNotFetched = fetchPictures(parent, catalogue, prepared, outcome);
    tell(parent, importSummary(prepared, tally));
}

void chooseAndImport(QWidget *parent, Catalogue &catalogue, const QString &category)
{
    importRecipes(parent, catalogue, DialogService::instance().openRecipeSources(parent), category);
}
