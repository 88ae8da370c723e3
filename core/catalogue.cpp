#include "core/catalogue.h"

#include "core/appinfo.h"
#include "core/summaryfile.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>

Catalogue::Catalogue(const QString &dataFolder, QObject *parent)
    : QObject(parent), m_folder(App::withTrailingSeparator(dataFolder))
{
}

Catalogue::~Catalogue() = default;

QString Catalogue::storePath() const { return m_folder + QStringLiteral("cate.mdb"); }
QString Catalogue::summaryPath() const { return m_folder + QStringLiteral("temp.txt"); }

void Catalogue::setSelectedCategory(const QString &category)
{
    if (category == m_selectedCategory)
        return;
    m_selectedCategory = category;
    emit selectedCategoryChanged(category);
}

StoreStatus Catalogue::refresh(const CatalogueChange &change)
{
    QElapsedTimer clock;
    clock.start();
    m_stamp = FileStamp::of(storePath());
    watchFile();
    StoreResult<CatalogueData> loaded = RecipeStore::LoadCatalogue(storePath());
    if (!loaded) {
        m_lastRefresh = loaded.error();
        return m_lastRefresh;
    }
    m_lastLoadNs = clock.nsecsElapsed();
    m_data = std::move(loaded.value());
    m_hasData = true;
    QString summaryError;
    m_summaryWritten = WriteSummaryFile(summaryPath(), CatalogueSummary(m_data), &summaryError);
    m_lastRefresh = Done{};
    emit refreshed(change);
    return m_lastRefresh;
}

bool Catalogue::followOutsideChanges()
{
    if (FileStamp::of(storePath()) == m_stamp)
        return false;
    static_cast<void>(refresh({CatalogueChange::Outside, {}, 0}));
    return true;
}

void Catalogue::watchFile()
{
    // The folder tells of a file put in place, deleted or renamed; the file
    // itself of a commit made to it. Our own writes read back the same stamp.
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { followOutsideChanges(); });
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { followOutsideChanges(); });
        m_watcher->addPath(m_folder);
    }
    if (m_stamp.exists && !m_watcher->files().contains(storePath()))
        m_watcher->addPath(storePath());
}

StoreStatus Catalogue::probe() const { return RecipeStore::Probe(storePath()); }

StoreResult<QVector<CategoryRecord>> Catalogue::categoryRows() const
{
    return RecipeStore::ListCategoryRows(storePath());
}

StoreResult<std::optional<DishRecord>> Catalogue::dish(qint64 id) const
{
    return RecipeStore::FindDishById(storePath(), id);
}

StoreResult<QVector<DishRecord>> Catalogue::searchNames(const QString &text) const
{
    return RecipeStore::SearchDishesByName(storePath(), text, RecipeStore::SearchFields::NamesOnly);
}

StoreResult<QVector<DishRecord>> Catalogue::searchWords(const QStringList &words) const
{
    return RecipeStore::SearchDishesByWords(storePath(), words);
}

StoreResult<std::optional<DishRecord>> Catalogue::pickDish(const std::function<double()> &draw,
                                                           int maxDraws) const
{
    return RecipeStore::PickRandomDish(storePath(), draw, maxDraws);
}

StoreResult<qint64> Catalogue::addDish(const QString &category, const QString &name,
                                       const QString &ingredients, const QString &method,
                                       const QString &picture)
{
    const StoreResult<qint64> added =
        RecipeStore::AddDish(storePath(), category, name, ingredients, method, picture);
    if (added)
        static_cast<void>(refresh({CatalogueChange::DishAdded, category, *added}));
    return added;
}

StoreResult<bool> Catalogue::updateDish(qint64 id, const QString &name, const QString &ingredients,
                                        const QString &method, const QString &picture)
{
    const StoreResult<bool> updated = RecipeStore::UpdateDish(storePath(), id, name, ingredients, method, picture);
    if (updated && *updated)
        static_cast<void>(refresh({CatalogueChange::DishUpdated, {}, id}));
    return updated;
}

namespace {
bool sameTexts(const DishRecord &a, const DishRecord &b)
{
    return a.name == b.name && a.ingredients == b.ingredients && a.method == b.method && a.picture == b.picture;
}
} // namespace

StoreResult<Catalogue::EditOutcome> Catalogue::updateDishIfUnchanged(const DishRecord &shown, const QString &name,
                                                                     const QString &ingredients,
                                                                     const QString &method, const QString &picture)
{
    // The row is read again just before it is written. The store writes one
    // dish per call in a transaction of its own, so another program could
    // still commit between this read and the write: a gap of one read.
    const auto current = dish(shown.id);
    if (!current)
        return current.error();
    if (!current.value() || current.value()->category != shown.category)
        return EditOutcome::Gone;
    if (!sameTexts(*current.value(), shown))
        return EditOutcome::ChangedElsewhere;
    const StoreResult<bool> updated = updateDish(shown.id, name, ingredients, method, picture);
    if (!updated)
        return updated.error();
    return *updated ? EditOutcome::Stored : EditOutcome::Gone;
}

StoreResult<qint64> Catalogue::addCategory(const QString &category)
{
    const StoreResult<qint64> added = RecipeStore::AddCategory(storePath(), category);
    if (added)
        static_cast<void>(refresh({CatalogueChange::CategoryAdded, category, 0}));
    return added;
}

StoreResult<DeleteOutcome> Catalogue::deleteCategory(const QString &category)
{
    const StoreResult<DeleteOutcome> deleted = RecipeStore::DeleteCategory(storePath(), category);
    if (deleted)
        static_cast<void>(refresh({CatalogueChange::CategoryDeleted, category, 0}));
    return deleted;
}
