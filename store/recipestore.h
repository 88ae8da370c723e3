#pragma once
// The recipe store: every query and update the windows make on cate.mdb,
// as named operations over plain records, on one RecipeStore object per
// file. A failure comes back as a StoreError that the window which asked turns
// into a message for the cook (and the next operation opens afresh).
#include "store/cataloguedata.h"
#include "store/marks.h"
#include "store/plans.h"
#include "store/records.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <variant>

struct StoreError {
    enum Kind {
        Missing,       // no file at that path
        NotADatabase,  // not an SQLite file, truncated, corrupt
        WrongLayout,   // tables "01" (6 columns) or "02" (2 columns) missing
        Busy,          // another program holds a write lock
        ReadOnly,      // the file or its folder cannot be written
        BadPattern,    // an invalid search pattern (unclosed '[', descending range)
        Other,
        NoBackup,      // the safety copy could not be made (store/backup.h)
        DiskFull       // no room left on the disk for the write
    };
    Kind kind = Other;
    QString detail;    // engine text, for the curious
    // A short Chinese sentence for a message box.
    QString userText() const;
};

// Either a value or the error that stopped the operation.
template <class T>
class [[nodiscard]] StoreResult {
public:
    StoreResult(T value) : m_v(std::move(value)) {}
    StoreResult(StoreError error) : m_v(std::move(error)) {}
    [[nodiscard]] bool ok() const { return m_v.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T &value() const { return std::get<0>(m_v); }
    T &value() { return std::get<0>(m_v); }
    const T &operator*() const { return value(); }
    const T *operator->() const { return &value(); }
    const StoreError &error() const { return std::get<1>(m_v); }
private:
    std::variant<T, StoreError> m_v;
};

struct Done {};                       // the value of an operation that returns nothing
using StoreStatus = StoreResult<Done>;

// What an import of many dishes did: per dish given, the new row's id, or 0
// when an equal dish was already in its category; the categories listed anew.
struct ImportOutcome {
    QVector<qint64> ids;
    int skipped = 0;
    QStringList categoriesAdded;
};

// Both tables as of one moment, in table order, all columns, with the
// dishes' marks as of the same moment.
struct ExportRows {
    QVector<CategoryRecord> categories;
    QVector<DishRecord> dishes;
    DishMarks marks;
};

struct DeleteOutcome {
    qint64 dishesDeleted = 0;
    bool categoryRowDeleted = false;
};

namespace StoreInternal {
struct OpenFile;
struct Store;
}

// The one way to cate.mdb: an object that owns the connection to one file.
// It keeps that connection open between operations for as long as the path
// still names the same file (same device and inode, not moved, same
// writability) and opens a new one when it does not; the layout is read
// again for every operation, and an idle connection holds no lock.
//
// A store belongs to one thread at a time: the thread that made it, or the
// last one that called adoptThread(). Every operation checks this and
// stops the program with a message when another thread calls it; handing
// a store over (to a background job and back) goes through a join, so the
// two threads never use it at once.
class RecipeStore {
public:
    explicit RecipeStore(const QString &path);
    ~RecipeStore();
    RecipeStore(const RecipeStore &) = delete;
    RecipeStore &operator=(const RecipeStore &) = delete;

    // How long an operation, here and in the safety copies, waits for
    // another program's lock before it reports Busy: a second. Tests that
    // only wait a lock out shorten it; the program never changes it.
    static void setBusyTimeout(int ms);

    const QString &path() const { return m_path; }
    // Makes the calling thread the store's owner.
    void adoptThread();
    // Closes the kept connection: the next operation opens the file afresh.
    void close();

    // Checks that the file opens as a recipe database (both tables, enough
    // columns); changes nothing.
    StoreStatus probe();

    // Whether the file can be used at all, for the start and a restore: the
    // quick look every start makes (the file opens, both tables are there,
    // the category table reads), and only when that fails for another
    // reason than Missing, Busy, NotADatabase or WrongLayout the check of
    // every page, so that a passing trouble is not taken for damage. A file
    // that fails it is NotADatabase.
    StoreStatus checkUsable();

    // Trimmed categories of "02" in table order.
    StoreResult<QStringList> listCategories();
    // The rows of "02" untrimmed, in table order: what the category lists show.
    StoreResult<QVector<CategoryRecord>> listCategoryRows();
    // Trimmed names of the dishes whose trimmed category equals `category`, table order.
    StoreResult<QStringList> listDishesOfCategory(const QString &category);
    StoreResult<qint64> countDishes();
    // One pass over both tables for the catalogue rebuild. The dishes are read
    // from the catalogue index where the file has it (see below), else from
    // the table itself; either way in table order.
    StoreResult<CatalogueData> loadCatalogue();
    // Gives table "01" an index over category, name and id, when it has none
    // and the file can be written: reading the tree's columns from the index
    // touches a few megabytes instead of every recipe's text. Written at once or
    // not at all (another program's lock is not waited for); true when the file
    // has the index afterwards.
    StoreResult<bool> ensureCatalogueIndex();

    // First row (table order) whose trimmed category and trimmed name equal the trimmed inputs.
    StoreResult<std::optional<DishRecord>> findDish(const QString &category, const QString &name);
    // The row with this id, if it is still there.
    StoreResult<std::optional<DishRecord>> findDishById(qint64 id);

    // Appends a row; category as given, the other texts trimmed. Returns the
    // new id. The dish's marks (store/marks.h) go in the same transaction.
    StoreResult<qint64> addDish(const QString &category, const QString &name,
                                const QString &ingredients, const QString &method, const QString &picture,
                                const EditedMarks &marks = {});

    // Rows whose name contains `text` as a pattern ("*" + text + "*", Jet Like syntax), table order.
    // An invalid pattern is a BadPattern error. With NamesOnly only id, category
    // and name are read (what a result list shows), which is much faster when
    // many long recipes match. NamesOnly also finds the names that `text`
    // finds as typed pinyin (store/pinyinmatch.h), and those `simplified`
    // finds, the same text in simplified characters, when given.
    enum class SearchFields { Whole, NamesOnly };
    StoreResult<QVector<DishRecord>> searchDishesByName(const QString &text,
                                                        SearchFields fields = SearchFields::Whole,
                                                        const QString &simplified = QString());

    // Dishes that every word finds, in table order: a word finds a dish when
    // "*" + word + "*" (the same pattern language) matches its name, its
    // ingredients or its method; different words may match in different
    // columns. Only id, category and name are read into the records, as with
    // NamesOnly. Empty words are left out (with none left, every dish is
    // found); an invalid word is a BadPattern error that names it. The texts
    // are not kept in memory; kept with the connection until the file changes
    // is which characters each dish holds (72 bytes a dish), so that a search
    // reads the texts of only the dishes that hold every character the words
    // need (the first search after a change reads them all).
    // NamePattern::matchedSpans() marks what the words matched in a shown text.
    StoreResult<QVector<DishRecord>> searchDishesByWords(const QStringList &words);

    // Rewrites name, ingredients, method and picture (trimmed) of the row with this id.
    // Returns false when no such row exists any more, or when `mayWrite`, given
    // the row as it is (read under the write's lock, so no other program can
    // change it before the write), says no.
    // With `marks`, the dish's tags and servings are replaced in the same transaction.
    StoreResult<bool> updateDish(qint64 id, const QString &name,
                                 const QString &ingredients, const QString &method, const QString &picture,
                                 const std::function<bool(const DishRecord &)> &mayWrite = {},
                                 const EditedMarks *marks = nullptr);

    // The first row carrying this id, should a foreign file repeat ids; each
    // in one transaction, by the id alone (two dishes of one name are two
    // dishes). False when no row carries the id any more.
    // Deletes the row, and the marks of its id.
    StoreResult<bool> deleteDish(qint64 id);
    // Puts the row in `category`, as given.
    StoreResult<bool> moveDish(qint64 id, const QString &category);
    // Rewrites the row's picture path (trimmed); the empty text clears it.
    StoreResult<bool> setDishPicture(qint64 id, const QString &picture);

    // Appends a row to "02" with the name exactly as given.
    StoreResult<qint64> addCategory(const QString &category);

    // In one transaction: every dish whose trimmed category equals the trimmed name
    // (with its marks), then the first row of "02" whose trimmed category equals it.
    StoreResult<DeleteOutcome> deleteCategory(const QString &category);

    // In one transaction: every category the dishes name (trimmed) that
    // "02" does not list yet is listed, then every dish is added (texts
    // trimmed) unless a dish equal in category, name, ingredients and
    // method (trimmed) was in the file before this call; equal dishes among
    // those given all come in. `marks`, when given, holds one for each dish:
    // each dish added gets its own (marks left under a reused id cleared);
    // a dish not added leaves the equal one's marks as they were.
    StoreResult<ImportOutcome> importDishes(const QVector<DishRecord> &dishes,
                                            const QVector<ImportedMarks> &marks = {});
    // How many of `dishes` importDishes would add now; writes nothing.
    StoreResult<int> countNewDishes(const QVector<DishRecord> &dishes);
    // Everything, read in one transaction.
    StoreResult<ExportRows> readEverything();

    // The cook's marks (store/marks.h); a file without marks tables has
    // none, and reading never makes them.
    StoreResult<DishMarks> readMarks();
    // The favourite mark and the tags (already parsed, Marks::parseTags) of
    // the dish with this id; false when no row carries the id. The marks
    // tables are made by the first write that puts something in them.
    StoreResult<bool> setFavourite(qint64 id, bool favourite);
    StoreResult<bool> setTags(qint64 id, const QStringList &tags);
    // In one transaction: `tag` added to every dish whose trimmed category
    // equals the trimmed `category` and has fewer than Marks::MaxTags tags;
    // how many dishes got it.
    StoreResult<qint64> tagCategory(const QString &category, const QString &tag);

    // The cook's plans (store/plans.h); a file without their tables has
    // none, and reading never makes them.
    StoreResult<Plans> readPlans();
    // The list's rows replaced by `rows`; a note set (the empty text takes
    // it away). The tables are made by the first write that puts something
    // in them.
    StoreStatus writePlan(const QString &list, const QVector<PlanRow> &rows);
    StoreStatus writePlanNote(const QString &key, const QString &value);

    // One row of "01", every row as likely as any other: draw() gives a
    // number in [0, 1) that names a place in table order. nullopt for an
    // empty table. The row identities are read once and kept until the file
    // changes, so a draw costs a look-up in memory.
    StoreResult<std::optional<DishRecord>> pickRandomDish(const std::function<double()> &draw);

    // For the store's own parts (store/storeinternal.h): the opened
    // connection with the file's layout, after the thread check.
    std::optional<StoreError> open(StoreInternal::Store *&out);

private:
    void checkThread() const;

    QString m_path;
    std::thread::id m_owner;
    std::unique_ptr<StoreInternal::OpenFile> m_file;
};

// The Jet "Like" pattern matcher used by the searches lives in store/namepattern.h;
// safety copies of the file in store/backup.h.
