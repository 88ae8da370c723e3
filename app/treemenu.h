#pragma once
// The catalogue tree's menu: right-click, the Menu key or Shift+F10 on a
// node. On a dish: delete it, move it to another category, take its picture
// away, mark it a favourite or not, print it, put it on the shopping list
// or in the week's menu; on a category: delete it with its dishes; on the
// root: 我有什么, 一周菜单, 购物清单, bring back a safety copy. The Delete key
// on a dish deletes it as the menu does.
#include "app/cataloguemodel.h"

#include <QObject>

#include <optional>

class Catalogue;
class QMenu;
class QPoint;
class QTreeView;
class QWidget;

namespace zx {

class TreeMenu : public QObject {
    Q_OBJECT
public:
    // Watches `tree` (a view of `model`) for the menu's keys and clicks;
    // messages are shown over `window`.
    TreeMenu(QTreeView *tree, CatalogueModel *model, Catalogue &catalogue, QWidget *window);

    // The menu for the node, not yet shown (the caller owns it); nullptr
    // when the node has nothing to offer.
    QMenu *menuFor(const QModelIndex &index);

    // What the menu's items do.
    void deleteDish(const CatalogueModel::DishNode &node);
    void moveDish(const CatalogueModel::DishNode &node, const QString &category);
    void clearPicture(const CatalogueModel::DishNode &node);
    // 加入我的最爱 / 移出我的最爱 (also Ctrl+D on a dish).
    void toggleFavourite(const CatalogueModel::DishNode &node);
    void printDish(const CatalogueModel::DishNode &node);
    // 加入购物清单
    void addToShoppingList(const CatalogueModel::DishNode &node);
    void deleteCategory(const QString &category);
    // The export window, for every dish (empty) or one category.
    void showExport(const QString &category);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void popUp(const QModelIndex &index, const QPoint &globalPos);
    void addMoveMenu(QMenu *menu, const CatalogueModel::DishNode &node);
    // The dish the node stands for as the file holds it now; nothing, and
    // the cook is told, when it is gone.
    std::optional<DishRecord> stillThere(const CatalogueModel::DishNode &node);

    QTreeView *m_tree;
    CatalogueModel *m_model;
    Catalogue &m_catalogue;
    QWidget *m_window;
};

} // namespace zx
