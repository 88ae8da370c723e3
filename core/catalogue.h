#pragma once
// The catalogue: the one object that stands for the cook's recipe database
// while the program runs. It is made before any window and handed to each.
// It owns the data folder (where cate.mdb and temp.txt live), the program's
// shared state (the category picked in a category list, the dish count) and
// every access to the store. Windows read and write through it and never
// reach into each other: after each write of ours, and whenever the file
// changed underneath (another program's commit, a file put in its place),
// the catalogue reads the tree's data anew and announces it with
// refreshed(); the main window redraws its tree and caption from data(),
// and every other window refreshes what it shows.
#include "core/background.h"
#include "core/filestamp.h"
#include "store/recipestore.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QFileSystemWatcher;

struct CatalogueChange {
    enum Kind {
        Loaded,           // the first read, or a reload asked for
        DishAdded,
        DishUpdated,      // also a picture cleared
        DishDeleted,
        DishMoved,
        CategoryAdded,
        CategoryDeleted,
        DishesImported,   // dishId: the first dish added, category: its category
        Outside           // another program's commit, or the file replaced
    };
    Kind kind = Loaded;
    QString category;     // the category concerned, as given (DishAdded, DishMoved: the new one, Category*)
    qint64 dishId = 0;    // the dish concerned (Dish*)
};

class Catalogue : public QObject {
    Q_OBJECT
public:
    // `dataFolder` holds cate.mdb; a trailing '/' is added when missing.
    explicit Catalogue(const QString &dataFolder, QObject *parent = nullptr);
    ~Catalogue() override;

    QString dataFolder() const { return m_folder; }   // ends in '/'
    QString storePath() const;                        // dataFolder() + "cate.mdb"
    QString summaryPath() const;                      // dataFolder() + "temp.txt"

    // The category last picked in the list of the add-recipe window or the
    // category manager, exactly as listed; empty when none.
    const QString &selectedCategory() const { return m_selectedCategory; }
    void setSelectedCategory(const QString &category);

    // An import or an export under way: one at a time. False when one
    // runs already; endExchange() when done.
    bool beginExchange();
    void endExchange() { m_exchanging = false; }
    bool exchanging() const { return m_exchanging; }

    // The tree's data as of the last successful refresh, and its dish count
    // (the row count of table "01").
    const CatalogueData &data() const { return *m_data; }
    // The same data, for a view that keeps it (the tree's model).
    std::shared_ptr<const CatalogueData> sharedData() const { return m_data; }
    bool hasData() const { return m_hasData; }
    qint64 totalDishes() const { return m_data->totalDishes; }

    // Begins the first read of the tree's data in the background (the copy
    // kept from the last run, else cate.mdb itself), to run while the
    // windows are built. The first refresh takes what it read when the file
    // is still as it was then; until the read is done, every use of the
    // store waits for it (store()).
    void beginFirstRead();

    // Reads the tree's data anew, writes temp.txt and announces refreshed().
    // When the store cannot be read nothing changes and the error comes back.
    // A temp.txt that cannot be written changes nothing else.
    StoreStatus refresh(const CatalogueChange &change = {});
    // The result of the last refresh (also the one after a write).
    const StoreStatus &lastRefresh() const { return m_lastRefresh; }
    // Where the last refresh spent its time reading the store (ns).
    qint64 lastLoadNs() const { return m_lastLoadNs; }
    // How many times the tree's data was read from cate.mdb (not counting
    // the copy kept between runs, nor our own writes followed in memory).
    int storeReads() const { return m_storeReads; }
    // Whether temp.txt could be written at the last refresh.
    bool summaryWritten() const { return m_summaryWritten; }

    // Refreshes when cate.mdb changed since it was last read by a refresh
    // (someone else's commit, a replaced or deleted file). True when it did.
    bool followOutsideChanges();

    // Reads (no announcement).
    [[nodiscard]] StoreStatus probe() const;
    // Whether cate.mdb can be used at all (RecipeStore::checkUsable).
    [[nodiscard]] StoreStatus checkUsable() const;
    [[nodiscard]] StoreResult<QVector<CategoryRecord>> categoryRows() const;
    [[nodiscard]] StoreResult<std::optional<DishRecord>> dish(qint64 id) const;
    // Dishes whose name (as stored) the pattern "*text*" matches, table order.
    [[nodiscard]] StoreResult<QVector<DishRecord>> searchNames(const QString &text);
    // Every word (a pattern, "*word*") found in name, ingredients or method.
    [[nodiscard]] StoreResult<QVector<DishRecord>> searchWords(const QStringList &words) const;
    // A dish drawn among all of them (RecipeStore::pickRandomDish).
    [[nodiscard]] StoreResult<std::optional<DishRecord>> pickDish(const std::function<double()> &draw) const;

    // Writes; each refreshes and announces on success.
    [[nodiscard]] StoreResult<qint64> addDish(const QString &category, const QString &name,
                                              const QString &ingredients, const QString &method,
                                              const QString &picture, const EditedMarks &marks = {});
    // `mayWrite`, `marks`: as RecipeStore::updateDish's.
    [[nodiscard]] StoreResult<bool> updateDish(qint64 id, const QString &name, const QString &ingredients,
                                               const QString &method, const QString &picture,
                                               const std::function<bool(const DishRecord &)> &mayWrite = {},
                                               const EditedMarks *marks = nullptr);
    // Rewrites the dish `shown` came from only while its row still holds
    // what `shown` holds (name, ingredients, method, picture): a row that
    // another program or another window changed meanwhile is left alone.
    // The row is compared under the write's lock: nothing can change it
    // between the look and the write.
    // The category is not looked at: a dish moved to another category
    // meanwhile is still the same row, and the edit never writes the
    // category.
    enum class EditOutcome { Stored, Gone, ChangedElsewhere };
    [[nodiscard]] StoreResult<EditOutcome> updateDishIfUnchanged(const DishRecord &shown, const QString &name,
                                                                 const QString &ingredients, const QString &method,
                                                                 const QString &picture,
                                                                 const EditedMarks *marks = nullptr);
    // The first row carrying `id` deleted, moved to `category` (as given),
    // or its picture path cleared (the picture file stays); false when no
    // row carries the id any more, and nothing changes.
    [[nodiscard]] StoreResult<bool> deleteDish(qint64 id);
    [[nodiscard]] StoreResult<bool> moveDish(qint64 id, const QString &category);
    [[nodiscard]] StoreResult<bool> clearPicture(qint64 id);
    // The picture path of the first row carrying `id` (a picture fetched
    // after an import); the tree's data stays as it is.
    [[nodiscard]] StoreResult<bool> setPicture(qint64 id, const QString &picture);
    // Many dishes in one transaction (RecipeStore::importDishes); refreshes
    // and announces DishesImported when any came in.
    [[nodiscard]] StoreResult<ImportOutcome> importDishes(const QVector<DishRecord> &dishes,
                                                          const QVector<ImportedMarks> &marks = {});
    // How many of `dishes` importDishes would add; reads only.
    [[nodiscard]] StoreResult<int> countNewDishes(const QVector<DishRecord> &dishes)
    {
        return dishes.isEmpty() ? StoreResult<int>(0) : store().countNewDishes(dishes);
    }
    // Both tables as of one moment, for an export.
    [[nodiscard]] StoreResult<ExportRows> everything() const;
    [[nodiscard]] StoreResult<qint64> addCategory(const QString &category);
    [[nodiscard]] StoreResult<DeleteOutcome> deleteCategory(const QString &category);

    // The cook's marks (store/marks.h) as the file holds them: read at the
    // first use after each refresh, so that neither the start nor a tree
    // rebuild waits for them; no marks when they cannot be read.
    const DishMarks &marks() const;
    // Writes of marks (core/cataloguemarks.cpp); each announces
    // marksChanged() on success. False when no row carries the id.
    [[nodiscard]] StoreResult<bool> setFavourite(qint64 id, bool favourite);
    [[nodiscard]] StoreResult<bool> setTags(qint64 id, const QStringList &tags);
    // The dishes the tag words of `query` find, in table order (id,
    // category and name, as searchNames gives them); its other words are
    // not looked at.
    [[nodiscard]] QVector<DishRecord> searchTagged(const TagQuery &query) const;
    // `tag` to every dish of the category, in one write; how many got it.
    [[nodiscard]] StoreResult<qint64> tagCategory(const QString &category, const QString &tag);

    // The cook's plans (store/plans.h), read at the first use after each
    // refresh like the marks (core/catalogueplans.cpp); none when they
    // cannot be read. Each write announces plansChanged(list) on success
    // (an empty list: a note).
    const Plans &plans() const;
    [[nodiscard]] StoreStatus setPlan(const QString &list, const QVector<PlanRow> &rows);
    [[nodiscard]] StoreStatus setPlanNote(const QString &key, const QString &value);

    // Asks the main window to show the dish with this id (dishWanted).
    void showDish(qint64 id) { emit dishWanted(id); }

signals:
    // The data changed (ours or someone else's change); data() holds it.
    void refreshed(const CatalogueChange &change);
    void selectedCategoryChanged(const QString &category);
    // A dish's marks changed (dishId 0: several dishes'); marks() holds them.
    void marksChanged(qint64 dishId);
    void plansChanged(const QString &list);
    // A window asks for this dish to be shown in the main window.
    void dishWanted(qint64 id);

private:
    // What the first read found, and the file's stamp taken before it.
    struct FirstRead {
        FileStamp stamp;
        std::optional<CatalogueData> data;   // nothing when the file could not be read
        bool fromKeptCopy = false;
        qint64 ns = 0;
    };
    static FirstRead readFirst(RecipeStore &store, const QString &keptCopyPath);
    // The only way to the store: waits for the first read, if one was
    // begun and not yet taken, and takes the store back from it.
    RecipeStore &store() const;
    // The data of the first read when the file is still as it was read.
    std::optional<CatalogueData> takeFirstRead();
    void watchFile();
    // Reads the tree's data from cate.mdb and takes its stamp.
    StoreResult<CatalogueData> readStore();
    // Keeps the data for the next start (core/cataloguecache.h).
    void keepCopy();
    // Takes `data` as the catalogue's, writes temp.txt and announces it.
    void publish(CatalogueData &&data, const CatalogueChange &change);
    // After a write of ours: makes the same change to a copy of the data
    // when the file shows our commit alone (`before`: its stamp just before
    // the write), else reads the file anew. True when the copy was taken.
    bool followOwnWrite(const FileStamp &before, const CatalogueChange &change,
                        const std::function<bool(CatalogueData &)> &edit);
    // How the tree's data follows a write that changed something: the
    // change announced, and the same change made to the data in memory.
    struct Follow {
        CatalogueChange change;
        std::function<bool(CatalogueData &)> edit;
    };
    // Every write of ours: the file's stamp, the write, and, when `follow`
    // makes something of its result, the data followed.
    // After a write of marks: the tree's data stays; the marks are read
    // again at their next use.
    void followMarksWrite(const FileStamp &before, qint64 dishId);
    // After a write beside the tree's data (marks, plans): the stamp moves
    // on when the file shows our commit alone, else the file is read anew.
    void followSideWrite(const FileStamp &before);
    template <class T>
    StoreResult<T> writeAndFollow(const std::function<StoreResult<T>(RecipeStore &)> &write,
                                  const std::function<std::optional<Follow>(const T &)> &follow);

    QString m_folder;
    QString m_selectedCategory;
    bool m_exchanging = false;
    std::shared_ptr<const CatalogueData> m_data;
    bool m_hasData = false;
    StoreStatus m_lastRefresh = Done{};
    qint64 m_lastLoadNs = 0;
    int m_storeReads = 0;
    bool m_summaryWritten = false;
    FileStamp m_stamp;               // cate.mdb as the last refresh read it
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer m_cacheTimer;             // runs while a copy for the next start is due
    // The one connection to cate.mdb; lent to the first read's job.
    mutable RecipeStore m_store;
    mutable std::optional<DishMarks> m_marks;   // none until first asked for after a refresh
    mutable std::optional<Plans> m_plans;       // likewise
    Background::Joined<FirstRead> m_firstRead;   // held from beginFirstRead() to the first refresh
};
