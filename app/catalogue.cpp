#include "app/catalogue.h"

#include "app/cataloguemodel.h"
#include "app/frmmain.h"
#include "app/globals.h"
#include "app/registry.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSaveFile>
#include <QTreeView>

StoreStatus RebuildCatalogue()
{
    frmmain *main = Windows::get<frmmain>();

    // temp.txt is written anew at every rebuild; when it cannot be written,
    // or the store cannot be read, the tree is left as it was.
    QSaveFile summary(App::summaryPath());
    if (!summary.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return StoreError{StoreError::ReadOnly, summary.errorString()};
    StoreResult<CatalogueData> data = RecipeStore::LoadCatalogue(App::storePath());
    if (!data)
        return data.error();

    CatalogueModel *model = main->catalogue();
    model->rebuild(*data);

    QListWidget *list = main->List1();
    list->clear();
    list->addItems(data->categories);

    summary.write(model->summary());
    const bool written = summary.commit();

    // Net effect: the root expanded, every category collapsed, the root selected.
    QTreeView *tv = main->Tv();
    const QModelIndex root = model->rootIndex();
    tv->collapseAll();
    if (model->rowCount(root) > 0)
        tv->expand(root);
    tv->setCurrentIndex(root);

    App::TotalDishes() = data->totalDishes;
    main->setWindowTitle(QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(data->totalDishes));
    main->Text1()->setFocus();
    if (!written)
        return StoreError{StoreError::ReadOnly, summary.errorString()};
    return Done{};
}

void ShowDish(qint64 dishId)
{
    const auto found = RecipeStore::FindDishById(App::storePath(), dishId);
    if (!found || !found->has_value())
        return;   // the display keeps what it showed before
    Windows::get<frmmain>()->showDishRecord(**found);
}

void ShowDish(const QString &category, const QString &name)
{
    const auto found = RecipeStore::FindDish(App::storePath(), category, name);
    if (!found || !found->has_value())
        return;
    Windows::get<frmmain>()->showDishRecord(**found);
}
