// The recipe store: many dishes added at once (an import) and everything
// read at once (an export), each in one transaction, the marks with them.
#include "store/recipestore.h"

#include "store/storeinternal.h"

#include <QCryptographicHash>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>

using namespace StoreInternal;

RowInserter::RowInserter(Store &s, const QString &table, const QStringList &cols, bool idIsRowid, int valueCount)
    : m_s(s), m_table(table), m_cols(cols), m_idIsRowid(idIsRowid), m_valueCount(valueCount)
{
}

StoreResult<qint64> RowInserter::add(const QStringList &values)
{
    if (!m_insert.isPrepared()) {
        int rc = SQLITE_OK;
        if (!m_idIsRowid) {
            Sql::Statement st;
            rc = st.prepare(m_s.db, QStringLiteral("SELECT ifnull(MAX(CAST(%1 AS INTEGER)),0)+1 FROM %2")
                                        .arg(m_cols.at(0), m_table));
            if (rc != SQLITE_OK || (rc = st.step()) != SQLITE_ROW)
                return m_s.fail(rc, true);
            m_nextId = st.columnInt64(0);
        }
        QStringList names = m_idIsRowid ? QStringList() : QStringList{m_cols.at(0)};
        names += m_cols.mid(1, m_valueCount);
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks << QStringLiteral("?");
        rc = m_insert.prepare(m_s.db, QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                                          .arg(m_table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        if (rc != SQLITE_OK)
            return m_s.fail(rc, true);
    }
    m_insert.reset();
    int param = 1;
    if (m_nextId)
        m_insert.bindInt64(param++, *m_nextId);
    for (const QString &v : values)
        m_insert.bindText(param++, v);
    const int rc = m_insert.step();
    if (rc != SQLITE_DONE)
        return m_s.fail(rc, true);
    if (m_nextId)
        return (*m_nextId)++;
    return m_s.db.lastInsertRowid();
}

namespace {

// What makes two dishes of one category the same dish.
QByteArray sameness(const QString &category, const QString &name, const QString &ingredients, const QString &method)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString &text : {category, name, ingredients, method}) {
        hash.addData(trimBlanks(text).toUtf8());
        hash.addData(QByteArrayView("\0", 1));
    }
    return hash.result();
}

// The dishes already in the categories `dishes` go to.
StoreResult<QSet<QByteArray>> dishesIn(Store &s, const QVector<DishRecord> &dishes)
{
    QSet<QString> categories;
    for (const DishRecord &d : dishes)
        categories.insert(trimBlanks(d.category));
    Sql::Statement st;
    const int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2").arg(s.dishColumns(1, 4), DishTable));
    if (rc != SQLITE_OK)
        return s.fail(rc, true);
    QSet<QByteArray> found;
    int step = SQLITE_OK;
    while ((step = st.step()) == SQLITE_ROW) {
        const QString category = trimBlanks(st.columnText(0));
        if (categories.contains(category))
            found.insert(sameness(category, st.columnText(1), st.columnText(2), st.columnText(3)));
    }
    if (step != SQLITE_DONE)
        return s.fail(step, true);
    return found;
}

// Lists the categories "02" does not list yet (trimmed names compared).
StoreStatus listNewCategories(Store &s, const QVector<DishRecord> &dishes, QStringList &added)
{
    Sql::Statement st;
    int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2").arg(s.layout.categoryCols.at(1), CategoryTable));
    if (rc != SQLITE_OK)
        return s.fail(rc, true);
    QSet<QString> listed;
    while ((rc = st.step()) == SQLITE_ROW)
        listed.insert(trimBlanks(st.columnText(0)));
    if (rc != SQLITE_DONE)
        return s.fail(rc, true);
    RowInserter insert(s, CategoryTable, s.layout.categoryCols, s.layout.categoryIdIsRowid, 1);
    for (const DishRecord &d : dishes) {
        const QString category = trimBlanks(d.category);
        if (category.isEmpty() || listed.contains(category))
            continue;
        const StoreResult<qint64> id = insert.add({category});
        if (!id.ok())
            return id.error();
        listed.insert(category);
        added << category;
    }
    return Done{};
}

} // namespace

StoreResult<ImportOutcome> RecipeStore::importDishes(const QVector<DishRecord> &dishes,
                                                     const QVector<ImportedMarks> &marks)
{
    return withStore<ImportOutcome>(*this, [&](Store &s) -> StoreResult<ImportOutcome> {
        s.rowsChanged();
        s.charactersState.valid = false;
        Sql::Transaction tx(s.db);
        if (!tx.active())
            return s.fail(tx.beginResult(), true);
        ImportOutcome out;
        const StoreResult<QSet<QByteArray>> before = dishesIn(s, dishes);
        if (!before.ok())
            return before.error();
        const StoreStatus listed = listNewCategories(s, dishes, out.categoriesAdded);
        if (!listed.ok())
            return listed.error();
        RowInserter insert(s, DishTable, s.layout.dishCols, s.layout.dishIdIsRowid, 5);
        QVector<qint64> added;
        QVector<ImportedMarks> addedMarks;
        for (qsizetype i = 0; i < dishes.size(); ++i) {
            const DishRecord &d = dishes.at(i);
            if (before->contains(sameness(d.category, d.name, d.ingredients, d.method))) {
                out.ids << 0;
                ++out.skipped;
                continue;
            }
            const StoreResult<qint64> id = insert.add({trimBlanks(d.category), trimBlanks(d.name),
                                                       trimBlanks(d.ingredients), trimBlanks(d.method),
                                                       trimBlanks(d.picture)});
            if (!id.ok())
                return id.error();
            out.ids << *id;
            added << *id;
            addedMarks << marks.value(i);
        }
        int rc = writeImportedMarks(s, added, addedMarks);
        if (rc != SQLITE_DONE)
            return s.fail(rc, true);
        rc = tx.commit();
        if (rc != SQLITE_OK)
            return s.fail(rc, true);
        return out;
    });
}

StoreResult<int> RecipeStore::countNewDishes(const QVector<DishRecord> &dishes)
{
    return withStore<int>(*this, [&](Store &s) -> StoreResult<int> {
        const StoreResult<QSet<QByteArray>> before = dishesIn(s, dishes);
        if (!before.ok())
            return before.error();
        return int(std::count_if(dishes.cbegin(), dishes.cend(), [&](const DishRecord &d) {
            return !before->contains(sameness(d.category, d.name, d.ingredients, d.method));
        }));
    });
}

StoreResult<ExportRows> RecipeStore::readEverything()
{
    return withStore<ExportRows>(*this, [&](Store &s) -> StoreResult<ExportRows> {
        // One read transaction: both tables as of one moment, whatever
        // another program commits meanwhile.
        Sql::Transaction tx(s.db, Sql::Transaction::Deferred);
        if (!tx.active())
            return s.fail(tx.beginResult());
        ExportRows out;
        Sql::Statement cats;
        int rc = cats.prepare(s.db, QStringLiteral("SELECT %1 FROM %2").arg(s.layout.categoryCols.join(QLatin1Char(',')), CategoryTable)
                                        + s.categoryOrder());
        if (rc != SQLITE_OK)
            return s.fail(rc);
        while ((rc = cats.step()) == SQLITE_ROW)
            out.categories.push_back({cats.columnInt64(0), cats.columnText(1)});
        if (rc != SQLITE_DONE)
            return s.fail(rc);
        Sql::Statement dishes;
        rc = dishes.prepare(s.db, QStringLiteral("SELECT %1 FROM %2").arg(s.dishColumns(0, 5), DishTable) + s.dishOrder());
        if (rc != SQLITE_OK)
            return s.fail(rc);
        while ((rc = dishes.step()) == SQLITE_ROW)
            out.dishes.push_back(readDish(dishes));
        if (rc != SQLITE_DONE)
            return s.fail(rc);
        StoreResult<DishMarks> marks = readMarksIn(s);
        if (!marks)
            return marks.error();
        out.marks = std::move(marks.value());
        tx.commit();
        return out;
    });
}
