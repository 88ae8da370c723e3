#pragma once
// Files and folders dropped on the main window import as the menu's
// 导入菜谱… does: onto a category node of the tree, into that category;
// anywhere else, into the categories the sources name.
#include <QObject>

class Catalogue;
class CatalogueModel;
class QDropEvent;
class QTreeView;
class QWidget;

namespace zx {

class TreeDrop : public QObject {
    Q_OBJECT
public:
    // Watches the window and the tree's viewport; owned by the tree.
    TreeDrop(QTreeView *tree, CatalogueModel *model, Catalogue &catalogue, QWidget *window);

    // The category a drop at this place of the viewport goes to ("" for
    // the categories the sources name).
    QString categoryAt(const QPoint &viewportPos) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void drop(QObject *watched, QDropEvent *event);

    QTreeView *m_tree;
    CatalogueModel *m_model;
    Catalogue &m_catalogue;
    QWidget *m_window;
};

} // namespace zx
