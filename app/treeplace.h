#pragma once
// Where the cook is in the catalogue tree: the open nodes, the selected
// node and the scroll position, taken before the tree is rebuilt and put
// back after it, so that a change (ours or another program's) never
// collapses the tree under the cook's hands.
#include <QModelIndex>
#include <QSet>
#include <QString>
#include <QtGlobal>

class CatalogueModel;
struct CatalogueChange;
class QTreeView;

class TreePlace {
public:
    // What `view` shows of `model` now; nothing when the tree is empty.
    static TreePlace of(const QTreeView *view, const CatalogueModel *model);

    bool isEmpty() const { return !m_hadTree; }
    // The node of the dish with this id, wherever it stands; invalid when
    // the tree has none.
    static QModelIndex dishIndex(const CatalogueModel *model, qint64 id);
    // Opens the same nodes and selects the same node again. A selected dish
    // that is gone gives way to the dish now in its place in its category
    // (else the last one, else the category); a category gone, to the
    // category now in its place (else the root). A selected dish that
    // `change` moved stays selected in its new category, which opens; after
    // an import the first dish it added is selected, its category open.
    void restore(QTreeView *view, const CatalogueModel *model, const CatalogueChange &change) const;

private:
    // The selected dish where `change` moved it, or the first dish an
    // import added; nothing for another change.
    QModelIndex movedDish(const CatalogueModel *model, const CatalogueChange &change) const;

    bool m_hadTree = false;
    bool m_rootOpen = false;
    QSet<QString> m_openCategories;   // keys
    int m_kind = 0;                   // CatalogueModel::Kind of the selected node
    QString m_categoryKey;            // of the selected node (or its category)
    int m_categoryRow = 0;
    qint64 m_dishId = 0;
    int m_dishRow = 0;
    int m_scroll = 0;
};
