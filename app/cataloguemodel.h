#pragma once
// The catalogue tree's model: one root "我的灶香居", one node per category
// (table order, names trimmed, a name listed twice gives one node), and
// under each category its dishes sorted by name. Dishes whose category is
// listed nowhere stand under a last node "未分类", there only when such
// dishes exist. Rebuilt from plain vectors in one go, so a rebuild of tens
// of thousands of dishes stays instant.
#include "core/dishorder.h"
#include "store/recipestore.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

class CatalogueModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Kind { Root, Category, Dish };
    enum Roles { KindRole = Qt::UserRole + 1, DishIdRole, KeyRole };

    struct CategoryNode {
        QString name;               // trimmed; also the node's key
        QVector<int> dishes;        // rows of the catalogue's data, in name order once `sorted`
        bool sorted = false;        // sorted when first needed: categories start collapsed
        bool unfiled = false;       // the "未分类" node: its key is UnfiledKey
    };
    // What a dish node stands for, read from the catalogue's data.
    struct DishNode {
        qint64 id = 0;
        QString name;               // trimmed
        int category = -1;          // the node's category: index into categories()
        QString categoryName;       // the dish's own category, trimmed
    };

    // The last node's text, and its key: a leading blank, which no trimmed
    // category name has, keeps it apart from every category's key.
    static const QString UnfiledKey;

    explicit CatalogueModel(QObject *parent = nullptr);

    // Replaces the whole tree from the categories (trimmed, table order,
    // duplicates kept) and dishes the catalogue read. The data is shared,
    // not copied: the names stay where the catalogue keeps them.
    void rebuild(std::shared_ptr<const CatalogueData> data);
    void clear();

    // Every category with its dishes in name order ("未分类" last, when there).
    const QVector<CategoryNode> &categories() const;

    QModelIndex rootIndex() const;
    QModelIndex categoryIndex(int category) const;
    Kind kind(const QModelIndex &index) const;
    std::optional<DishNode> dish(const QModelIndex &index) const;

    // Picture 1..5 of the tree: root, category, selected category, dish,
    // selected dish.
    static QIcon nodeIcon(Kind kind);
    // The picture of a favourite dish: the dish's, starred.
    static QIcon favouriteIcon();
    // Which dishes are favourites, asked when a dish node is drawn.
    void setFavourites(std::function<bool(qint64)> isFavourite);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    // Puts the category's dishes in name order, the first time they are read.
    void ensureSorted(int category) const;

    // The data row a dish node stands for.
    int dishRow(const QModelIndex &index) const;

    bool m_hasRoot = false;
    mutable QVector<CategoryNode> m_categories;
    std::shared_ptr<const CatalogueData> m_data;
    std::function<bool(qint64)> m_isFavourite;
};


