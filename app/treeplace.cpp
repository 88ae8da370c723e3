#include "app/treeplace.h"

#include "app/cataloguemodel.h"
#include "core/catalogue.h"

#include <QScrollBar>
#include <QTreeView>

namespace {
QString keyOf(const QModelIndex &index) { return index.data(CatalogueModel::KeyRole).toString(); }

int categoryRowOf(const CatalogueModel *model, const QString &key)
{
    const QModelIndex root = model->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row) {
        if (keyOf(model->categoryIndex(row)) == key)
            return row;
    }
    return -1;
}

int dishRowOf(const CatalogueModel *model, const QModelIndex &category, qint64 id)
{
    const int dishes = model->rowCount(category);
    for (int row = 0; row < dishes; ++row) {
        if (model->index(row, 0, category).data(CatalogueModel::DishIdRole).toLongLong() == id)
            return row;
    }
    return -1;
}
} // namespace

QModelIndex TreePlace::dishIndex(const CatalogueModel *model, qint64 id)
{
    const QModelIndex root = model->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row) {
        const QModelIndex category = model->categoryIndex(row);
        if (const int dish = dishRowOf(model, category, id); dish >= 0)
            return model->index(dish, 0, category);
    }
    return {};
}

TreePlace TreePlace::of(const QTreeView *view, const CatalogueModel *model)
{
    TreePlace place;
    const QModelIndex root = model->rootIndex();
    if (!root.isValid())
        return place;
    place.m_hadTree = true;
    place.m_rootOpen = view->isExpanded(root);
    for (int row = 0; row < model->rowCount(root); ++row) {
        if (view->isExpanded(model->categoryIndex(row)))
            place.m_openCategories.insert(keyOf(model->categoryIndex(row)));
    }
    const QModelIndex current = view->currentIndex();
    place.m_kind = model->kind(current);
    if (place.m_kind == CatalogueModel::Dish) {
        place.m_dishId = current.data(CatalogueModel::DishIdRole).toLongLong();
        place.m_dishRow = current.row();
        place.m_categoryKey = keyOf(current.parent());
        place.m_categoryRow = current.parent().row();
    } else if (place.m_kind == CatalogueModel::Category) {
        place.m_categoryKey = keyOf(current);
        place.m_categoryRow = current.row();
    }
    place.m_scroll = view->verticalScrollBar()->value();
    return place;
}

void TreePlace::restore(QTreeView *view, const CatalogueModel *model, const CatalogueChange &change) const
{
    const QModelIndex root = model->rootIndex();
    if (m_rootOpen)
        view->expand(root);
    const int categories = model->rowCount(root);
    for (int row = 0; row < categories; ++row) {
        if (m_openCategories.contains(keyOf(model->categoryIndex(row))))
            view->expand(model->categoryIndex(row));
    }
    QModelIndex select = root;
    if (m_kind != CatalogueModel::Root && categories > 0) {
        const int found = categoryRowOf(model, m_categoryKey);
        const QModelIndex category = model->categoryIndex(found >= 0 ? found : qMin(m_categoryRow, categories - 1));
        select = category;
        if (m_kind == CatalogueModel::Dish && found >= 0) {
            const int dishes = model->rowCount(category);
            int row = dishRowOf(model, category, m_dishId);
            if (row < 0 && dishes > 0)
                row = qMin(m_dishRow, dishes - 1);
            if (row >= 0)
                select = model->index(row, 0, category);
        }
    }
    const QModelIndex moved = movedDish(model, change);
    view->setCurrentIndex(moved.isValid() ? moved : select);
    view->doItemsLayout();
    view->verticalScrollBar()->setValue(m_scroll);
    if (moved.isValid()) {
        view->expand(moved.parent());
        view->scrollTo(moved);
    }
}

QModelIndex TreePlace::movedDish(const CatalogueModel *model, const CatalogueChange &change) const
{
    // A dish moved while selected stays selected; an import selects the
    // first dish it added.
    const bool moved = change.kind == CatalogueChange::DishMoved && m_kind == CatalogueModel::Dish
                       && change.dishId == m_dishId;
    const bool imported = change.kind == CatalogueChange::DishesImported && change.dishId != 0;
    if (!moved && !imported)
        return {};
    const int found = categoryRowOf(model, trimBlanks(change.category));
    if (found < 0)
        return {};
    const QModelIndex category = model->categoryIndex(found);
    const int row = dishRowOf(model, category, change.dishId);
    return row >= 0 ? model->index(row, 0, category) : QModelIndex();
}
