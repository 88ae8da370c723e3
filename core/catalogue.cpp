#include "core/catalogue.h"

#include "core/appinfo.h"
#include "core/background.h"
#include "core/cataloguecache.h"
#include "core/chinese.h"
#include "core/summaryfile.h"
#include "store/namepattern.h"
#include "store/pinyinmatch.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>

#include <algorithm>

namespace {
bool sameTexts(const DishRecord &a, const DishRecord &b)
{
    return a.name == b.name && a.ingredients == b.ingredients && a.method == b.method && a.picture == b.picture;
}
} // namespace

Catalogue::Catalogue(const QString &dataFolder, QObject *parent)
    : QObject(parent), m_folder(App::withTrailingSeparator(dataFolder)),
      m_data(std::make_shared<const CatalogueData>()), m_store(storePath())
{
    // The copy for the next start is written once the reads settle, not
    // after every one.
    m_cacheTimer.setSingleShot(true);
    m_cacheTimer.setInterval(250);
    connect(&m_cacheTimer, &QTimer::timeout, this, &Catalogue::keepCopy);
}

Catalogue::~Catalogue()
{
    if (m_cacheTimer.isActive())
        keepCopy();
}

QString Catalogue::storePath() const { return m_folder + QStringLiteral("cate.mdb"); }
QString Catalogue::summaryPath() const { return m_folder + QStringLiteral("temp.txt"); }

void Catalogue::setSelectedCategory(const QString &category)
{
    if (category == m_selectedCategory)
        return;
    m_selectedCategory = category;
    emit selectedCategoryChanged(category);
}

void Catalogue::beginFirstRead()
{
    if (m_hasData || m_firstRead.held())
        return;
    // The store is the job's until the first use after it, in store().
    m_firstRead = Background::start([this, keptCopy = CatalogueCache::pathFor(storePath())] {
        m_store.adoptThread();
        return readFirst(m_store, keptCopy);
    });
}

// What refresh() and readStore() would read first, without the watcher and
// the counters, which belong to the catalogue's own thread.
Catalogue::FirstRead Catalogue::readFirst(RecipeStore &store, const QString &keptCopyPath)
{
    const QString &storePath = store.path();
    QElapsedTimer clock;
    clock.start();
    FirstRead read;
    read.stamp = FileStamp::of(storePath);
    read.data = CatalogueCache::readAt(keptCopyPath, read.stamp);
    read.fromKeptCopy = read.data.has_value();
    if (!read.fromKeptCopy) {
        static_cast<void>(store.ensureCatalogueIndex());
        read.stamp = FileStamp::of(storePath);
        StoreResult<CatalogueData> loaded = store.loadCatalogue();
        if (loaded)
            read.data = std::move(loaded.value());
    }
    read.ns = clock.nsecsElapsed();
    return read;
}

RecipeStore &Catalogue::store() const
{
    if (m_firstRead.held()) {
        m_firstRead.wait();
        m_store.adoptThread();
    }
    return m_store;
}

std::optional<CatalogueData> Catalogue::takeFirstRead()
{
    if (!m_firstRead.held())
        return std::nullopt;
    FirstRead read = m_firstRead.take();
    m_store.adoptThread();
    if (!read.data)
        return std::nullopt;
    // Watched before the file is looked at again, so that a change made
    // after that look is announced; a change made since the read is read
    // again as usual.
    m_stamp = read.stamp;
    watchFile();
    if (FileStamp::of(storePath()) != read.stamp)
        return std::nullopt;
    if (!read.fromKeptCopy) {
        ++m_storeReads;
        m_cacheTimer.start();
    }
    m_lastLoadNs = read.ns;
    return std::move(read.data);
}

StoreStatus Catalogue::refresh(const CatalogueChange &change)
{
    if (std::optional<CatalogueData> first = takeFirstRead()) {
        publish(std::move(*first), change);
        return m_lastRefresh;
    }
    QElapsedTimer clock;
    clock.start();
    // The first read may take the copy kept from the last run, when the file
    // is exactly as it was then.
    std::optional<CatalogueData> loaded;
    if (!m_hasData) {
        m_stamp = FileStamp::of(storePath());
        loaded = CatalogueCache::read(storePath(), m_stamp);
    }
    if (loaded) {
        watchFile();
    } else {
        StoreResult<CatalogueData> read = readStore();
        if (!read) {
            m_lastRefresh = read.error();
            return m_lastRefresh;
        }
        loaded = std::move(read.value());
        m_cacheTimer.start();
    }
    m_lastLoadNs = clock.nsecsElapsed();
    publish(std::move(*loaded), change);
    return m_lastRefresh;
}

void Catalogue::publish(CatalogueData &&data, const CatalogueChange &change)
{
    m_data = std::make_shared<const CatalogueData>(std::move(data));
    m_hasData = true;
    m_marks.reset();
    m_plans.reset();
    QString summaryError;
    m_summaryWritten = writeSummaryFile(summaryPath(), catalogueSummary(*m_data), &summaryError);
    m_lastRefresh = Done{};
    emit refreshed(change);
}

bool Catalogue::followOwnWrite(const FileStamp &before, const CatalogueChange &change,
                               const std::function<bool(CatalogueData &)> &edit)
{
    // Only when the file shows our commit and nothing else since the last
    // read: the same file, no log beside it, the change counter one on.
    const FileStamp after = FileStamp::of(storePath());
    const bool oursAlone = m_hasData && m_lastRefresh.ok() && before == m_stamp && !m_data->fileHasTriggers
                           && after.follows(before);
    if (oursAlone) {
        CatalogueData copy = *m_data;
        if (edit(copy)) {
            m_stamp = after;
            publish(std::move(copy), change);
            m_cacheTimer.start();
            return true;
        }
    }
    static_cast<void>(refresh(change));
    return false;
}

StoreResult<CatalogueData> Catalogue::readStore()
{
    // The index the tree is read from, made in a file that lacks it; looked
    // for at every full read (one small query), since a file copied over
    // cate.mdb keeps its inode. Before the stamp, so that our own change is
    // not taken for another's.
    static_cast<void>(store().ensureCatalogueIndex());
    m_stamp = FileStamp::of(storePath());
    watchFile();
    ++m_storeReads;
    return store().loadCatalogue();
}

void Catalogue::keepCopy()
{
    m_cacheTimer.stop();
    if (m_hasData && FileStamp::of(storePath()) == m_stamp)
        CatalogueCache::write(storePath(), m_stamp, *m_data);
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

StoreStatus Catalogue::probe() const
{
    return store().probe();
}

StoreStatus Catalogue::checkUsable() const
{
    return store().checkUsable();
}

StoreResult<QVector<CategoryRecord>> Catalogue::categoryRows() const
{
    return store().listCategoryRows();
}

StoreResult<std::optional<DishRecord>> Catalogue::dish(qint64 id) const
{
    return store().findDishById(id);
}

StoreResult<QVector<DishRecord>> Catalogue::searchNames(const QString &text)
{
    RecipeStore &names = store();
    const auto pattern = NamePattern::Pattern::compile(QLatin1Char('*') + text + QLatin1Char('*'));
    if (!pattern)
        return StoreError{StoreError::BadPattern, text};
    // Traditional characters are looked for as simplified ones too; OpenCC
    // is asked only for a text with characters beyond ASCII.
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    const QString simplified = ascii ? text : simplifiedChinese(text);
    // The names the tree shows are the ones searched while they are
    // current; otherwise the store reads the names itself (the tree follows
    // the change on its own, when the watcher reports it).
    if (!m_hasData || !m_lastRefresh.ok() || FileStamp::of(storePath()) != m_stamp)
        return names.searchDishesByName(text, RecipeStore::SearchFields::NamesOnly, simplified);
    const CatalogueData &data = *m_data;
    std::vector<quint32> found = data.rowsFound(*pattern);
    auto add = [&found](const std::vector<quint32> &more) {
        const auto middle = found.insert(found.end(), more.begin(), more.end());
        std::inplace_merge(found.begin(), middle, found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
    };
    if (simplified != text) {
        if (const auto also = NamePattern::Pattern::compile(QLatin1Char('*') + simplified + QLatin1Char('*')))
            add(data.rowsFound(*also));
    }
    if (const auto pinyin = Pinyin::Query::make(simplified))
        add(data.rowsFoundByPinyin(*pinyin));
    QVector<DishRecord> rows;
    rows.reserve(qsizetype(found.size()));
    for (const quint32 row : found)
        rows.push_back(data.listed(row));
    return rows;
}

StoreResult<QVector<DishRecord>> Catalogue::searchWords(const QStringList &words) const
{
    return store().searchDishesByWords(words);
}

StoreResult<std::optional<DishRecord>> Catalogue::pickDish(const std::function<double()> &draw) const
{
    return store().pickRandomDish(draw);
}

template <class T>
StoreResult<T> Catalogue::writeAndFollow(const std::function<StoreResult<T>(RecipeStore &)> &write,
                                         const std::function<std::optional<Follow>(const T &)> &follow)
{
    RecipeStore &writer = store();
    const FileStamp before = FileStamp::of(storePath());
    StoreResult<T> result = write(writer);
    if (result) {
        if (const std::optional<Follow> then = follow(*result))
            followOwnWrite(before, then->change, then->edit);
    }
    return result;
}

StoreResult<qint64> Catalogue::addDish(const QString &category, const QString &name,
                                       const QString &ingredients, const QString &method,
                                       const QString &picture, const EditedMarks &marks)
{
    return writeAndFollow<qint64>(
        [&](RecipeStore &s) { return s.addDish(category, name, ingredients, method, picture, marks); },
        [&](const qint64 &id) -> std::optional<Follow> {
            return Follow{{CatalogueChange::DishAdded, category, id}, [&, id](CatalogueData &data) {
                              data.appendDish(id, category, name);
                              return true;
                          }};
        });
}

StoreResult<bool> Catalogue::updateDish(qint64 id, const QString &name, const QString &ingredients,
                                        const QString &method, const QString &picture,
                                        const std::function<bool(const DishRecord &)> &mayWrite,
                                        const EditedMarks *marks)
{
    return writeAndFollow<bool>(
        [&](RecipeStore &s) { return s.updateDish(id, name, ingredients, method, picture, mayWrite, marks); },
        [&](const bool &updated) -> std::optional<Follow> {
            if (!updated)
                return std::nullopt;
            return Follow{{CatalogueChange::DishUpdated, {}, id},
                          [&](CatalogueData &data) { return data.renameDish(id, name); }};
        });
}

StoreResult<Catalogue::EditOutcome> Catalogue::updateDishIfUnchanged(const DishRecord &shown, const QString &name,
                                                                     const QString &ingredients,
                                                                     const QString &method, const QString &picture,
                                                                     const EditedMarks *marks)
{
    std::optional<EditOutcome> refused;
    const StoreResult<bool> updated = updateDish(
        shown.id, name, ingredients, method, picture,
        [&](const DishRecord &current) {
            if (!sameTexts(current, shown))
                refused = EditOutcome::ChangedElsewhere;
            return !refused;
        },
        marks);
    if (!updated)
        return updated.error();
    if (refused)
        return *refused;
    return *updated ? EditOutcome::Stored : EditOutcome::Gone;
}

// Writes by id: when no row carries the id any more, nothing follows.
StoreResult<bool> Catalogue::deleteDish(qint64 id)
{
    return writeAndFollow<bool>([&](RecipeStore &s) { return s.deleteDish(id); },
                                [&](const bool &deleted) -> std::optional<Follow> {
                                    if (!deleted)
                                        return std::nullopt;
                                    return Follow{{CatalogueChange::DishDeleted, {}, id},
                                                  [id](CatalogueData &data) { return data.removeDish(id); }};
                                });
}

StoreResult<bool> Catalogue::moveDish(qint64 id, const QString &category)
{
    return writeAndFollow<bool>([&](RecipeStore &s) { return s.moveDish(id, category); },
                                [&](const bool &moved) -> std::optional<Follow> {
                                    if (!moved)
                                        return std::nullopt;
                                    return Follow{{CatalogueChange::DishMoved, category, id},
                                                  [&](CatalogueData &data) { return data.moveDish(id, category); }};
                                });
}

StoreResult<bool> Catalogue::clearPicture(qint64 id)
{
    return setPicture(id, QString());
}

StoreResult<bool> Catalogue::setPicture(qint64 id, const QString &picture)
{
    // The tree shows no pictures: its data stays as it is.
    return writeAndFollow<bool>([&](RecipeStore &s) { return s.setDishPicture(id, picture); },
                                [&](const bool &set) -> std::optional<Follow> {
                                    if (!set)
                                        return std::nullopt;
                                    return Follow{{CatalogueChange::DishUpdated, {}, id},
                                                  [](CatalogueData &) { return true; }};
                                });
}

StoreResult<ImportOutcome> Catalogue::importDishes(const QVector<DishRecord> &dishes,
                                                   const QVector<ImportedMarks> &marks)
{
    const StoreResult<ImportOutcome> imported = store().importDishes(dishes, marks);
    if (imported) {
        CatalogueChange change{CatalogueChange::DishesImported, {}, 0};
        for (int i = 0; i < imported->ids.size(); ++i) {
            if (imported->ids.at(i) != 0) {
                change = {CatalogueChange::DishesImported, trimBlanks(dishes.at(i).category), imported->ids.at(i)};
                break;
            }
        }
        if (change.dishId != 0 || !imported->categoriesAdded.isEmpty())
            (void)refresh(change);
    }
    return imported;
}

bool Catalogue::beginExchange()
{
    if (m_exchanging)
        return false;
    m_exchanging = true;
    return true;
}

StoreResult<ExportRows> Catalogue::everything() const
{
    return store().readEverything();
}

StoreResult<qint64> Catalogue::addCategory(const QString &category)
{
    return writeAndFollow<qint64>([&](RecipeStore &s) { return s.addCategory(category); },
                                  [&](const qint64 &) -> std::optional<Follow> {
                                      return Follow{{CatalogueChange::CategoryAdded, category, 0},
                                                    [&](CatalogueData &data) {
                                                        data.categories << trimBlanks(category);
                                                        return true;
                                                    }};
                                  });
}

StoreResult<DeleteOutcome> Catalogue::deleteCategory(const QString &category)
{
    return writeAndFollow<DeleteOutcome>(
        [&](RecipeStore &s) { return s.deleteCategory(category); },
        [&](const DeleteOutcome &deleted) -> std::optional<Follow> {
            return Follow{{CatalogueChange::CategoryDeleted, category, 0}, [&, deleted](CatalogueData &data) {
                              return data.removeCategory(category, deleted.categoryRowDeleted)
                                     == deleted.dishesDeleted;
                          }};
        });
}
