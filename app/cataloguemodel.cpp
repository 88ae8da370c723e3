#include "app/cataloguemodel.h"

#include "core/dishorder.h"
#include "skin/artwork.h"

namespace {
// internalId: the node kind in the top two bits, the category index in the
// middle and the dish's place under its category in the low 32 bits.
constexpr quintptr KindShift = 62;
constexpr quintptr CatShift = 32;
constexpr quintptr LowMask = 0xffffffffu;
constexpr quintptr CatMask = (quintptr(1) << (KindShift - CatShift)) - 1;

quintptr makeId(CatalogueModel::Kind kind, int category = 0, int position = 0)
{
    return (quintptr(kind) << KindShift) | ((quintptr(category) & CatMask) << CatShift)
           | (quintptr(position) & LowMask);
}
CatalogueModel::Kind idKind(quintptr id) { return CatalogueModel::Kind(id >> KindShift); }
int idCategory(quintptr id) { return int((id >> CatShift) & CatMask); }
int idPosition(quintptr id) { return int(id & LowMask); }
} // namespace

const QString CatalogueModel::UnfiledKey = QStringLiteral(" 未分类");

CatalogueModel::CatalogueModel(QObject *parent) : QAbstractItemModel(parent) {}

void CatalogueModel::clear()
{
    beginResetModel();
    m_hasRoot = false;
    m_categories.clear();
    m_data.reset();
    endResetModel();
}

void CatalogueModel::rebuild(std::shared_ptr<const CatalogueData> data)
{
    CategoryGroups groups(data->categories);
    QVector<CategoryNode> categories;
    categories.reserve(groups.count() + 1);
    for (const QString &name : groups.headings())
        categories.push_back({name, {}});
    // Each spelling of a category the dishes carry, looked up once.
    std::vector<int> listedOf;
    for (const QString &name : data->dishCategories())
        listedOf.push_back(groups.listedGroup(name));
    for (qsizetype row = 0; row < data->dishCount(); ++row) {
        const int category = groups.groupOfListed(listedOf[size_t(data->categoryOf(row))]);
        if (category == categories.size())
            categories.push_back({UnfiledHeading, {}, false, true});
        categories[category].dishes.push_back(int(row));
    }

    beginResetModel();
    m_hasRoot = true;
    m_categories = std::move(categories);
    m_data = std::move(data);
    endResetModel();
}

void CatalogueModel::ensureSorted(int category) const
{
    CategoryNode &c = m_categories[category];
    if (c.sorted)
        return;
    // Rows come in table order.
    sortByDishName(c.dishes, [this](int row) { return m_data->name(row); });
    c.sorted = true;
}

const QVector<CatalogueModel::CategoryNode> &CatalogueModel::categories() const
{
    for (int i = 0; i < m_categories.size(); ++i)
        ensureSorted(i);
    return m_categories;
}

QModelIndex CatalogueModel::rootIndex() const
{
    return m_hasRoot ? createIndex(0, 0, makeId(Root)) : QModelIndex();
}

QModelIndex CatalogueModel::categoryIndex(int category) const
{
    if (category < 0 || category >= m_categories.size())
        return QModelIndex();
    return createIndex(category, 0, makeId(Category, category));
}

CatalogueModel::Kind CatalogueModel::kind(const QModelIndex &index) const
{
    return index.isValid() ? idKind(index.internalId()) : Root;
}

int CatalogueModel::dishRow(const QModelIndex &index) const
{
    const int category = idCategory(index.internalId());
    ensureSorted(category);
    return m_categories[category].dishes[idPosition(index.internalId())];
}

std::optional<CatalogueModel::DishNode> CatalogueModel::dish(const QModelIndex &index) const
{
    if (!index.isValid() || idKind(index.internalId()) != Dish)
        return std::nullopt;
    const int row = dishRow(index);
    return DishNode{m_data->id(row), m_data->name(row), idCategory(index.internalId()), m_data->category(row)};
}

namespace {
// A tree picture and its selected look, with the dense drawings where there
// are some (read as our PNGs, not by asking every picture plug-in).
QIcon treeIcon(const QString &normal, const QString &selected)
{
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        if (ratio > 1.0 && Artwork::pathFor(normal, ratio) == normal)
            continue;
        icon.addPixmap(Artwork::pixmap(normal, ratio), QIcon::Normal);
        icon.addPixmap(Artwork::pixmap(selected, ratio), QIcon::Selected);
    }
    return icon;
}
} // namespace

QIcon CatalogueModel::nodeIcon(Kind kind)
{
    // The root keeps its own picture when selected, untinted.
    static const QIcon icons[3] = {
        treeIcon(QStringLiteral(":/tree/root.png"), QStringLiteral(":/tree/root.png")),
        treeIcon(QStringLiteral(":/tree/category.png"), QStringLiteral(":/tree/category_selected.png")),
        treeIcon(QStringLiteral(":/tree/dish.png"), QStringLiteral(":/tree/dish_selected.png")),
    };
    return icons[kind];
}

QIcon CatalogueModel::favouriteIcon()
{
    static const QIcon icon = treeIcon(QStringLiteral(":/tree/favourite.png"), QStringLiteral(":/tree/favourite_selected.png"));
    return icon;
}

void CatalogueModel::setFavourites(std::function<bool(qint64)> isFavourite)
{
    m_isFavourite = std::move(isFavourite);
}

QModelIndex CatalogueModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return QModelIndex();
    if (!parent.isValid())
        return (row == 0 && m_hasRoot) ? rootIndex() : QModelIndex();
    const quintptr pid = parent.internalId();
    switch (idKind(pid)) {
    case Root:
        return categoryIndex(row);
    case Category: {
        const int cat = idCategory(pid);
        if (row >= m_categories[cat].dishes.size())
            return QModelIndex();
        return createIndex(row, 0, makeId(Dish, cat, row));
    }
    case Dish:
        break;
    }
    return QModelIndex();
}

QModelIndex CatalogueModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return QModelIndex();
    const quintptr id = child.internalId();
    switch (idKind(id)) {
    case Root:
        return QModelIndex();
    case Category:
        return rootIndex();
    case Dish:
        return categoryIndex(idCategory(id));
    }
    return QModelIndex();
}

int CatalogueModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_hasRoot ? 1 : 0;
    if (parent.column() != 0)
        return 0;
    const quintptr id = parent.internalId();
    switch (idKind(id)) {
    case Root:
        return int(m_categories.size());
    case Category:
        return int(m_categories[idCategory(id)].dishes.size());
    case Dish:
        break;
    }
    return 0;
}

int CatalogueModel::columnCount(const QModelIndex &) const { return 1; }

QVariant CatalogueModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const quintptr id = index.internalId();
    const Kind k = idKind(id);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (k == Root)
            return QStringLiteral("我的灶香居");
        if (k == Category)
            return m_categories[idCategory(id)].name;
        return m_data->name(dishRow(index));
    case Qt::DecorationRole:
        if (k == Dish && m_isFavourite && m_isFavourite(m_data->id(dishRow(index))))
            return favouriteIcon();
        return nodeIcon(k);
    case KindRole:
        return int(k);
    case DishIdRole:
        return k == Dish ? QVariant(m_data->id(dishRow(index))) : QVariant();
    case KeyRole:
        if (k == Root)
            return QStringLiteral("AB");
        if (k == Category) {
            const CategoryNode &c = m_categories[idCategory(id)];
            return c.unfiled ? UnfiledKey : c.name;
        }
        return QString();
    default:
        return QVariant();
    }
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
