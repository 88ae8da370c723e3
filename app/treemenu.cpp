#include "app/treemenu.h"

#include "core/registry.h"
#include "files/exportwindow.h"
#include "files/importflow.h"
#include "files/restorewindow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"
#include "core/safetycopy.h"
#include "core/textboxes.h"
#include "editing/editkit.h"
#include "editing/tagswindow.h"
#include "showing/recipeprint.h"
#include "app/mainwindow.h"
#include "app/servingsview.h"
#include "table/pantrywindow.h"
#include "table/shoppingwindow.h"
#include "table/tablekit.h"
#include "table/weekwindow.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeView>

#include <memory>

namespace zx {

namespace {
const char *const GoneText = "这道菜谱已不存在，可能已被删除。";

void tellFailure(QWidget *parent, const QString &what, const StoreError &error)
{
    tell(parent, what + error.userText());
}

// After a write by id: the store's trouble, or the row already gone, is said.
void tellOutcome(QWidget *parent, const QString &what, const StoreResult<bool> &done)
{
    if (!done)
        tellFailure(parent, what, done.error());
    else if (!*done)
        tell(parent, QString::fromUtf8(GoneText));
}
} // namespace

TreeMenu::TreeMenu(QTreeView *tree, CatalogueModel *model, Catalogue &catalogue, QWidget *window)
    : QObject(tree), m_tree(tree), m_model(model), m_catalogue(catalogue), m_window(window)
{
    // The mouse's menu comes to the viewport, the keyboard's to the tree.
    tree->installEventFilter(this);
    tree->viewport()->installEventFilter(this);
}

bool TreeMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ContextMenu) {
        auto *asked = static_cast<QContextMenuEvent *>(event);
        if (asked->reason() == QContextMenuEvent::Mouse && watched == m_tree->viewport()) {
            popUp(m_tree->indexAt(asked->pos()), asked->globalPos());
        } else {
            const QRect node = m_tree->visualRect(m_tree->currentIndex());
            popUp(m_tree->currentIndex(), m_tree->viewport()->mapToGlobal(node.bottomLeft()));
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == m_tree) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QModelIndex current = m_tree->currentIndex();
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
            const QRect node = m_tree->visualRect(current);
            popUp(current, m_tree->viewport()->mapToGlobal(node.bottomLeft()));
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier
            && m_model->kind(current) == CatalogueModel::Dish) {
            deleteDish(*m_model->dish(current));
            return true;
        }
        if (key->key() == Qt::Key_D && key->modifiers() == Qt::ControlModifier
            && m_model->kind(current) == CatalogueModel::Dish) {
            toggleFavourite(*m_model->dish(current));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TreeMenu::popUp(const QModelIndex &index, const QPoint &globalPos)
{
    if (!index.isValid())
        return;
    std::unique_ptr<QMenu> menu(menuFor(index));
    if (menu)
        menu->exec(globalPos);
}

QMenu *TreeMenu::menuFor(const QModelIndex &index)
{
    const CatalogueModel::Kind kind = m_model->kind(index);
    if (kind == CatalogueModel::Dish) {
        const CatalogueModel::DishNode node = *m_model->dish(index);
        auto *menu = new QMenu(m_tree);
        menu->addAction(QStringLiteral("删除这道菜…"), this, [this, node] { deleteDish(node); });
        QAction *favourite = menu->addAction(m_catalogue.marks().isFavourite(node.id) ? QStringLiteral("移出我的最爱")
                                                                                      : QStringLiteral("加入我的最爱"),
                                             this, [this, node] { toggleFavourite(node); });
        favourite->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
        menu->addAction(QStringLiteral("标签…"), this, [this, node] {
            if (stillThere(node))
                Windows::show<TagsWindow>(m_catalogue)->editDish(node.id, node.name);
        });
        addMoveMenu(menu, node);
        const auto found = m_catalogue.dish(node.id);
        if (found && found->has_value() && !trimBlanks((*found)->picture).isEmpty())
            menu->addAction(QStringLiteral("去掉图片"), this, [this, node] { clearPicture(node); });
        menu->addAction(QStringLiteral("打印菜谱"), this, [this, node] { printDish(node); });
        menu->addAction(QStringLiteral("加入购物清单"), this, [this, node] { addToShoppingList(node); });
        menu->addAction(QStringLiteral("放进一周菜单…"), this, [this, node] {
            if (stillThere(node))
                Windows::show<WeekWindow>(m_catalogue)->offerDish(node.id, node.name);
        });
        return menu;
    }
    if (kind == CatalogueModel::Category) {
        const CatalogueModel::CategoryNode &category = m_model->categories().at(index.row());
        auto *menu = new QMenu(m_tree);
        const QString name = category.name;
        if (!category.unfiled)
            menu->addAction(QStringLiteral("导入菜谱…"), this, [this, name] { chooseAndImport(m_window, m_catalogue, name); });
        menu->addAction(QStringLiteral("导出本分类…"), this, [this, name] { showExport(name); });
        if (!category.unfiled) {
            menu->addAction(QStringLiteral("给本分类加标签…"), this,
                            [this, name] { Windows::show<TagsWindow>(m_catalogue)->tagCategory(name); });
            menu->addAction(QStringLiteral("删除分类…"), this, [this, name] { deleteCategory(name); });
        }
        return menu;
    }
    // The root 我的灶香居: recipes in and out, the three windows of the
    // table, the safety copies.
    auto *menu = new QMenu(m_tree);
    menu->addAction(QStringLiteral("导入菜谱…"), this, [this] { chooseAndImport(m_window, m_catalogue, QString()); });
    menu->addAction(QStringLiteral("导出全部菜谱…"), this, [this] { showExport(QString()); });
    // From the catalogue to the table; 恢复备份… stays the last entry.
    menu->addSeparator();
    menu->addAction(QStringLiteral("我有什么…"), this, [this] { Windows::show<PantryWindow>(m_catalogue); });
    menu->addAction(QStringLiteral("一周菜单…"), this, [this] { Windows::show<WeekWindow>(m_catalogue); });
    menu->addAction(QStringLiteral("购物清单…"), this, [this] { Windows::show<ShoppingWindow>(m_catalogue); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("恢复备份…"), this, [this] { Windows::show<RestoreWindow>(m_catalogue); });
    return menu;
}

void TreeMenu::showExport(const QString &category)
{
    Windows::show<ExportWindow>(m_catalogue)->setCategory(category);
}

// Every category in the tree's order; the dish's own is there, greyed.
void TreeMenu::addMoveMenu(QMenu *menu, const CatalogueModel::DishNode &node)
{
    QMenu *moves = menu->addMenu(QStringLiteral("移到分类"));
    for (const CatalogueModel::CategoryNode &category : m_model->categories()) {
        if (category.unfiled)
            continue;
        const QString name = category.name;
        QAction *move = moves->addAction(name, this, [this, node, name] { moveDish(node, name); });
        move->setEnabled(name != node.categoryName);
    }
}

std::optional<DishRecord> TreeMenu::stillThere(const CatalogueModel::DishNode &node)
{
    // A file changed or put in place since the tree was drawn is read first;
    // the same id with another name or category is another dish.
    m_catalogue.followOutsideChanges();
    const auto found = m_catalogue.dish(node.id);
    if (!found) {
        tellFailure(m_window, QStringLiteral("读取菜谱失败："), found.error());
        return std::nullopt;
    }
    if (found->has_value() && trimBlanks((*found)->name) == node.name
        && trimBlanks((*found)->category) == node.categoryName)
        return **found;
    tell(m_window, QString::fromUtf8(GoneText));
    return std::nullopt;
}

void TreeMenu::deleteDish(const CatalogueModel::DishNode &node)
{
    if (!stillThere(node))
        return;
    const QString question = QStringLiteral("真的要删除 ") + shortenedForMessage(node.name) + QStringLiteral("吗？");
    if (DialogService::instance().message(m_window, question, QStringLiteral("：：删除菜谱：："),
                                          DialogService::YesNo, DialogService::No, DialogService::Stop)
        != DialogService::Yes)
        return;
    if (!safetyCopyFirst(m_window, m_catalogue, Backup::Reason::DishDeletion))
        return;
    const StoreResult<bool> deleted = m_catalogue.deleteDish(node.id);
    tellOutcome(m_window, QStringLiteral("删除菜谱失败："), deleted);
}

void TreeMenu::moveDish(const CatalogueModel::DishNode &node, const QString &category)
{
    if (!stillThere(node))
        return;
    const StoreResult<bool> moved = m_catalogue.moveDish(node.id, category);
    tellOutcome(m_window, QStringLiteral("移动菜谱失败："), moved);
}

void TreeMenu::clearPicture(const CatalogueModel::DishNode &node)
{
    if (!stillThere(node))
        return;
    const StoreResult<bool> cleared = m_catalogue.clearPicture(node.id);
    tellOutcome(m_window, QStringLiteral("去掉图片失败："), cleared);
}

void TreeMenu::toggleFavourite(const CatalogueModel::DishNode &node)
{
    if (!stillThere(node))
        return;
    const StoreResult<bool> set = m_catalogue.setFavourite(node.id, !m_catalogue.marks().isFavourite(node.id));
    tellOutcome(m_window, QStringLiteral("保存我的最爱失败："), set);
}

void TreeMenu::printDish(const CatalogueModel::DishNode &node)
{
    if (const std::optional<DishRecord> dish = stillThere(node))
        ::printDish(*dish, m_catalogue.dataFolder());
}

// At the servings shown: the 份量 box's number when this dish is on
// display and the box shows one, else the dish's own, else 1.
void TreeMenu::addToShoppingList(const CatalogueModel::DishNode &node)
{
    if (!stillThere(node))
        return;
    int servings = 0;
    if (const auto *main = qobject_cast<MainWindow *>(m_window); main && main->shownDishId() == node.id)
        servings = main->servingsView()->shownServings();
    if (servings <= 0)
        servings = TableKit::writtenServings(m_catalogue, node.id);
    if (TableKit::addToShoppingList(m_window, m_catalogue, {PlanRow{0, node.id, node.name, servings}}))
        if (ShoppingWindow *list = Windows::loaded<ShoppingWindow>())
            list->raise();
}

void TreeMenu::deleteCategory(const QString &category)
{
    EditKit::deleteCategory(m_window, m_catalogue, category);
}

} // namespace zx
