#include "app/treedrop.h"

#include "app/cataloguemodel.h"
#include "files/importflow.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

namespace zx {

namespace {
QStringList localPaths(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}
} // namespace

TreeDrop::TreeDrop(QTreeView *tree, CatalogueModel *model, Catalogue &catalogue, QWidget *window)
    : QObject(tree), m_tree(tree), m_model(model), m_catalogue(catalogue), m_window(window)
{
    window->setAcceptDrops(true);
    tree->setAcceptDrops(true);
    tree->viewport()->setAcceptDrops(true);
    tree->setDragDropMode(QAbstractItemView::DropOnly);
    window->installEventFilter(this);
    tree->viewport()->installEventFilter(this);
}

QString TreeDrop::categoryAt(const QPoint &viewportPos) const
{
    const QModelIndex index = m_tree->indexAt(viewportPos);
    if (m_model->kind(index) != CatalogueModel::Category)
        return QString();
    const CatalogueModel::CategoryNode &category = m_model->categories().at(index.row());
    return category.unfiled ? QString() : category.name;
}

bool TreeDrop::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (localPaths(drag->mimeData()).isEmpty())
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop:
        drop(watched, static_cast<QDropEvent *>(event));
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

void TreeDrop::drop(QObject *watched, QDropEvent *event)
{
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    const QString category = watched == m_tree->viewport() ? categoryAt(event->position().toPoint()) : QString();
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The drag's source waits for the drop to end: the import runs after.
    QTimer::singleShot(0, this, [this, paths, category] { importRecipes(m_window, m_catalogue, paths, category); });
}

} // namespace zx
