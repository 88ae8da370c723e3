// The catalogue: the cook's marks on dishes (tags, favourites).
#include "core/catalogue.h"

const DishMarks &Catalogue::marks() const
{
    if (!m_marks) {
        StoreResult<DishMarks> read = store().readMarks();
        m_marks = read ? std::move(read.value()) : DishMarks();
    }
    return *m_marks;
}

void Catalogue::followMarksWrite(const FileStamp &before, qint64 dishId)
{
    m_marks.reset();
    followSideWrite(before);
    emit marksChanged(dishId);
}

void Catalogue::followSideWrite(const FileStamp &before)
{
    // Our commit alone: the tree's data is still what the file holds, and
    // the copy kept for the next start is made for the file as it is now.
    const FileStamp after = FileStamp::of(storePath());
    if (after == before) {
        // Nothing was written (a mark taken away from a file that has none).
    } else if (m_hasData && m_lastRefresh.ok() && before == m_stamp && after.follows(before)) {
        m_stamp = after;
        m_cacheTimer.start();
    } else {
        static_cast<void>(refresh({CatalogueChange::Outside, {}, 0}));
    }
}

StoreResult<bool> Catalogue::setFavourite(qint64 id, bool favourite)
{
    RecipeStore &writer = store();
    const FileStamp before = FileStamp::of(storePath());
    const StoreResult<bool> set = writer.setFavourite(id, favourite);
    if (set && *set)
        followMarksWrite(before, id);
    return set;
}

StoreResult<bool> Catalogue::setTags(qint64 id, const QStringList &tags)
{
    RecipeStore &writer = store();
    const FileStamp before = FileStamp::of(storePath());
    const StoreResult<bool> set = writer.setTags(id, tags);
    if (set && *set)
        followMarksWrite(before, id);
    return set;
}

StoreResult<qint64> Catalogue::tagCategory(const QString &category, const QString &tag)
{
    RecipeStore &writer = store();
    const FileStamp before = FileStamp::of(storePath());
    const StoreResult<qint64> tagged = writer.tagCategory(category, tag);
    if (tagged)
        followMarksWrite(before, 0);
    return tagged;
}

QVector<DishRecord> Catalogue::searchTagged(const TagQuery &query) const
{
    const DishMarks &marks = this->marks();
    const CatalogueData &data = *m_data;
    QVector<DishRecord> rows;
    for (qsizetype row = 0; row < data.dishCount(); ++row) {
        if (query.matches(marks, data.id(row)))
            rows.push_back(data.listed(row));
    }
    return rows;
}
