#include "editing/editkit.h"

#include "core/catalogue.h"
#include "core/dialogs.h"

#include <QListWidget>

namespace EditKit {

bool fillCategoryList(QListWidget *list, const Catalogue &catalogue, QWidget *messageParent)
{
    list->clear();
    const StoreResult<QVector<CategoryRecord>> rows = catalogue.categoryRows();
    if (!rows) {
        tell(messageParent, QStringLiteral("读取菜谱分类失败：") + rows.error().userText());
        return false;
    }
    for (const CategoryRecord &row : rows.value())
        list->addItem(row.category);
    return true;
}

void pickCategoriesFrom(QListWidget *list, Catalogue &catalogue)
{
    QObject::connect(list, &QListWidget::itemClicked, list, [&catalogue](QListWidgetItem *item) {
        if (item)
            catalogue.setSelectedCategory(item->text());
    });
    QObject::connect(list, &QListWidget::itemSelectionChanged, list, [list, &catalogue] {
        if (QListWidgetItem *item = list->currentItem(); item && item->isSelected())
            catalogue.setSelectedCategory(item->text());
    });
}

} // namespace EditKit
