#pragma once
// What the catalogue tree and the search by name need of every dish, kept
// once and compactly: the categories of "02", and for every row of "01" in
// table order its id, its category (an index into the distinct spellings)
// and its name as UTF-8, all names back to back in one buffer. The names
// are kept as stored, blanks included, so that the search sees what the
// file holds; the tree reads them trimmed.
#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include "store/records.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace NamePattern { class Pattern; }
namespace Pinyin { class Keys; class Query; }

// The one rule by which dishes stand under categories wherever they are
// listed, in the tree, in an exported cookbook and in temp.txt: the
// categories of "02" in table order, a name listed twice once (at its first
// place), and the dishes of a category listed nowhere under "未分类", last.
inline const QString UnfiledHeading = QStringLiteral("未分类");

class CategoryGroups {
public:
    // `listed`: the categories of "02", trimmed, in table order.
    explicit CategoryGroups(const QStringList &listed);
    // The group of a listed category (trimmed), or -1.
    int listedGroup(const QString &category) const { return m_index.value(category, -1); }
    // The group of a dish's category (trimmed): its listed group, else the
    // group "未分类", added last when first needed.
    int groupOf(const QString &category);
    int groupOfListed(int listed) { return listed >= 0 ? listed : unfiledGroup(); }
    int unfiledGroup();
    bool hasUnfiled() const { return m_unfiled >= 0; }
    int count() const { return int(m_headings.size()); }
    const QStringList &headings() const { return m_headings; }

private:
    QStringList m_headings;
    QHash<QString, int> m_index;
    int m_unfiled = -1;
};

// One dish as the catalogue tree needs it: id, trimmed category, trimmed name.
struct DishKey {
    qint64 id = 0;
    QString category;   // trimmed
    QString name;       // trimmed
};

class CatalogueData {
public:
    QStringList categories;        // trimmed column 1 of "02", table order (duplicates kept)
    qint64 totalDishes = 0;        // row count of "01"

    // Appends a row of "01" (after those already in): its id, its category
    // and name as stored (UTF-8; a name with no value is `nameIsNull`).
    void append(qint64 id, QByteArrayView category, QByteArrayView name, bool nameIsNull = false);
    // Puts the rows in the order of `keys` (one per row, distinct), smallest
    // first, and the keys with them.
    void sortBy(std::vector<qint64> &keys);
    void reserve(qsizetype rows, qsizetype nameBytes);

    qsizetype dishCount() const { return qsizetype(m_rows.size()); }
    qint64 id(qsizetype row) const { return m_rows[size_t(row)].id; }
    // The name as stored, and trimmed of blanks (U+0020) at both ends.
    QByteArrayView rawName(qsizetype row) const;
    QByteArrayView nameUtf8(qsizetype row) const;
    QString name(qsizetype row) const { return QString::fromUtf8(nameUtf8(row)); }
    bool nameIsNull(qsizetype row) const { return m_rows[size_t(row)].nameIsNull != 0; }
    // The distinct categories the rows carry, trimmed and as stored.
    const QStringList &dishCategories() const { return m_trimmedCategories; }
    const QStringList &rawDishCategories() const { return m_rawCategories; }
    int categoryOf(qsizetype row) const { return int(m_rows[size_t(row)].category); }
    const QString &category(qsizetype row) const { return m_trimmedCategories.at(categoryOf(row)); }
    // What a result list shows of a row: id, category and name as stored.
    DishRecord listed(qsizetype row) const;

    DishKey key(qsizetype row) const { return {id(row), category(row), name(row)}; }
    // Every row with where its name lies, in the order the names lie in
    // memory: a walk over all names in this order reads memory straight
    // through.
    struct NamePlace {
        quint32 row = 0;
        quint32 at = 0;
        quint32 size = 0;
    };
    const std::vector<NamePlace> &namesInPlace() const { return m_inNameOrder; }
    QByteArrayView rawName(const NamePlace &place) const
    {
        return QByteArrayView(m_names.constData() + place.at, place.size);
    }

    // The rows whose name has a value the pattern finds (findsInUtf8, the
    // name as stored), in table order.
    std::vector<quint32> rowsFound(const NamePattern::Pattern &pattern) const;
    // The rows whose name the typed pinyin finds (store/pinyinmatch.h), in
    // table order. The names' keys are made at the first such search after
    // a change, and kept until the next.
    std::vector<quint32> rowsFoundByPinyin(const Pinyin::Query &query) const;

    // Our own writes, made to this copy as the store makes them to the file
    // (store/recipestore.h): a dish appended with its category as given and
    // its name trimmed; the first row carrying `id` renamed (false when no
    // row carries it); every dish of a trimmed category taken away with,
    // when `categoryRow`, the first listing of it (the dishes taken); the
    // first row carrying `id` taken away, or put in `category` (as given).
    void appendDish(qint64 id, const QString &category, const QString &name);
    bool renameDish(qint64 id, const QString &name);
    qsizetype removeCategory(const QString &category, bool categoryRow);
    bool removeDish(qint64 id);
    bool moveDish(qint64 id, const QString &category);

    // Whether the file has triggers: a write may then change other rows
    // too, and only a new read shows what the file holds.
    bool fileHasTriggers = false;

    // The whole of it as bytes, and back; nullopt for bytes that are not a
    // whole, consistent copy (cut short, damaged, another version).
    QByteArray toBytes() const;
    static std::optional<CatalogueData> fromBytes(QByteArrayView bytes);
    // Every row as a DishKey, in table order.
    QVector<DishKey> keys() const;

private:
    int categoryIndex(QByteArrayView category);

    struct Row;
    // Takes away the rows `taken` says yes to, in table order; how many.
    qsizetype removeRows(const std::function<bool(const Row &)> &taken);

    struct Row {
        qint64 id = 0;
        quint32 category = 0;   // index into m_rawCategories
        quint32 nameAt = 0;     // the name: nameSize bytes of m_names from here
        quint32 nameSize = 0;
        quint32 nameIsNull = 0;  // 1: the name has no value
    };
    std::vector<Row> m_rows;            // table order
    std::vector<NamePlace> m_inNameOrder;   // by `at`
    QByteArray m_names;                 // in the order read; a rename appends
    QStringList m_rawCategories;
    QStringList m_trimmedCategories;
    QHash<QByteArray, int> m_categoryIndex;
    QByteArray m_lastCategory;          // rows come grouped by category: the last one looked up
    int m_lastCategoryIndex = -1;
    mutable std::shared_ptr<const Pinyin::Keys> m_pinyin;   // per row; null until searched
};
