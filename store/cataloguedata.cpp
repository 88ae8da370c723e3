#include "store/cataloguedata.h"

#include "store/namepattern.h"
#include "store/namepatterninternal.h"
#include "store/pinyinmatch.h"
#include "store/records.h"

#include <algorithm>
#include <numeric>
#include <cstring>

namespace {
QByteArrayView trimmedUtf8(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    return text.sliced(begin, end - begin);
}
// The positions of `keys` from the smallest key to the largest. Row ids
// are mostly dense, so each usually goes straight to its place.
std::vector<quint32> sortedOrder(const std::vector<qint64> &keys)
{
    const size_t n = keys.size();
    std::vector<quint32> order(n);
    const auto [low, high] = std::minmax_element(keys.begin(), keys.end());
    if (n > 0 && quint64(*high - *low) < 4 * quint64(n)) {
        std::vector<qint32> at(size_t(*high - *low) + 1, -1);
        for (size_t i = 0; i < n; ++i)
            at[size_t(keys[i] - *low)] = qint32(i);
        size_t next = 0;
        for (const qint32 i : at) {
            if (i >= 0)
                order[next++] = quint32(i);
        }
        return order;
    }
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&keys](quint32 a, quint32 b) { return keys[a] < keys[b]; });
    return order;
}

} // namespace

void CatalogueData::reserve(qsizetype rows, qsizetype nameBytes)
{
    m_rows.reserve(size_t(rows));
    m_inNameOrder.reserve(size_t(rows));
    m_names.reserve(nameBytes);
}

int CatalogueData::categoryIndex(QByteArrayView category)
{
    if (m_lastCategoryIndex >= 0 && category == QByteArrayView(m_lastCategory))
        return m_lastCategoryIndex;
    m_lastCategory = category.toByteArray();
    const auto it = m_categoryIndex.constFind(m_lastCategory);
    if (it != m_categoryIndex.constEnd()) {
        m_lastCategoryIndex = *it;
    } else {
        m_lastCategoryIndex = int(m_rawCategories.size());
        m_categoryIndex.insert(m_lastCategory, m_lastCategoryIndex);
        const QString raw = QString::fromUtf8(category);
        m_rawCategories << raw;
        m_trimmedCategories << trimBlanks(raw);
    }
    return m_lastCategoryIndex;
}

void CatalogueData::append(qint64 id, QByteArrayView category, QByteArrayView name, bool nameIsNull)
{
    Row row;
    row.id = id;
    row.category = quint32(categoryIndex(category));
    row.nameAt = quint32(m_names.size());
    row.nameSize = quint32(name.size());
    row.nameIsNull = nameIsNull ? 1 : 0;
    m_names.append(name);
    m_pinyin.reset();
    m_inNameOrder.push_back({quint32(m_rows.size()), row.nameAt, row.nameSize});
    m_rows.push_back(row);
}

QByteArrayView CatalogueData::rawName(qsizetype row) const
{
    const Row &r = m_rows[size_t(row)];
    return QByteArrayView(m_names.constData() + r.nameAt, r.nameSize);
}

QByteArrayView CatalogueData::nameUtf8(qsizetype row) const { return trimmedUtf8(rawName(row)); }

void CatalogueData::sortBy(std::vector<qint64> &keys)
{
    if (std::is_sorted(keys.begin(), keys.end()))
        return;
    const std::vector<quint32> order = sortedOrder(keys);
    std::vector<Row> rows(m_rows.size());
    std::vector<quint32> placeOf(m_rows.size());
    std::vector<qint64> sortedKeys(keys.size());
    for (size_t i = 0; i < order.size(); ++i) {
        rows[i] = m_rows[order[i]];
        placeOf[order[i]] = quint32(i);
        sortedKeys[i] = keys[order[i]];
    }
    m_rows = std::move(rows);
    m_pinyin.reset();
    keys = std::move(sortedKeys);
    for (NamePlace &place : m_inNameOrder)
        place.row = placeOf[place.row];
}

DishRecord CatalogueData::listed(qsizetype row) const
{
    DishRecord d;
    d.id = id(row);
    d.category = m_rawCategories.at(categoryOf(row));
    d.name = QString::fromUtf8(rawName(row));
    return d;
}

std::vector<quint32> CatalogueData::rowsFoundByPinyin(const Pinyin::Query &query) const
{
    if (!m_pinyin) {
        auto keys = std::make_shared<Pinyin::Keys>();
        for (size_t row = 0; row < m_rows.size(); ++row)
            keys->addUtf8(nameIsNull(qsizetype(row)) ? QByteArrayView() : rawName(qsizetype(row)));
        m_pinyin = std::move(keys);
    }
    std::vector<quint32> found;
    for (size_t row = 0; row < m_rows.size(); ++row) {
        if (m_pinyin->matches(row, query))
            found.push_back(quint32(row));
    }
    return found;
}

std::vector<quint32> CatalogueData::rowsFound(const NamePattern::Pattern &pattern) const
{
    std::vector<quint32> found;
    auto consider = [&](const NamePlace &place) {
        const QByteArrayView name = rawName(place);
        if (pattern.findsInUtf8(name.data(), name.size()) && !nameIsNull(place.row))
            found.push_back(place.row);
    };
    const QByteArray needle = pattern.exactNeedle();
    if (needle.isEmpty()) {
        // Every name, in the order they lie in memory.
        for (const NamePlace &place : m_inNameOrder)
            consider(place);
    } else {
        // Only the names the needle lies in: it is looked for through the
        // whole buffer at once (names lie in it by their place, and bytes a
        // rename left behind belong to no name).
        const auto *all = reinterpret_cast<const unsigned char *>(m_names.constData());
        auto place = m_inNameOrder.begin();
        for (qsizetype from = 0; place != m_inNameOrder.end();) {
            const qsizetype hit = NamePattern::findBytes(all, m_names.size(), from, needle, false);
            if (hit < 0)
                break;
            const auto at = size_t(hit);
            while (place != m_inNameOrder.end() && place->at + place->size < at + size_t(needle.size()))
                ++place;
            if (place == m_inNameOrder.end())
                break;
            if (place->at <= at) {
                consider(*place);
                from = qsizetype(place->at) + place->size;
                ++place;
            } else {
                from = qsizetype(place->at);
            }
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

QVector<DishKey> CatalogueData::keys() const
{
    QVector<DishKey> all;
    all.reserve(dishCount());
    for (qsizetype i = 0; i < dishCount(); ++i)
        all.push_back(key(i));
    return all;
}

// ---------------------------------------------------------------------------
// As bytes: a version, then each part with its length, in this machine's
// byte order (the copy is only ever read back where it was written).

namespace {
constexpr quint32 BytesVersion = 0x5a580001;

template <class T>
void put(QByteArray &out, const T *items, size_t count)
{
    const quint64 n = count;
    out.append(reinterpret_cast<const char *>(&n), sizeof n);
    out.append(reinterpret_cast<const char *>(items), qsizetype(count * sizeof(T)));
}

void putStrings(QByteArray &out, const QStringList &list)
{
    QByteArray joined;
    std::vector<quint32> ends;
    for (const QString &s : list) {
        joined += s.toUtf8();
        ends.push_back(quint32(joined.size()));
    }
    put(out, ends.data(), ends.size());
    put(out, joined.constData(), size_t(joined.size()));
}

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}
    template <class T>
    bool get(std::vector<T> &items)
    {
        quint64 n = 0;
        if (!raw(&n, sizeof n) || n > quint64(m_bytes.size()) / sizeof(T))
            return false;
        items.resize(size_t(n));
        return raw(items.data(), size_t(n) * sizeof(T));
    }
    bool getStrings(QStringList &list)
    {
        std::vector<quint32> ends;
        std::vector<char> joined;
        if (!get(ends) || !get(joined))
            return false;
        quint32 begin = 0;
        for (const quint32 end : ends) {
            if (end < begin || end > joined.size())
                return false;
            list << QString::fromUtf8(joined.data() + begin, qsizetype(end - begin));
            begin = end;
        }
        return true;
    }
    bool raw(void *to, size_t size)
    {
        if (size > size_t(m_bytes.size() - m_at))
            return false;
        if (size > 0)
            memcpy(to, m_bytes.data() + m_at, size);
        m_at += qsizetype(size);
        return true;
    }
    bool atEnd() const { return m_at == m_bytes.size(); }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};
} // namespace

QByteArray CatalogueData::toBytes() const
{
    QByteArray out;
    out.reserve(m_names.size() + qsizetype(m_rows.size() * sizeof(Row)) + 4096);
    out.append(reinterpret_cast<const char *>(&BytesVersion), sizeof BytesVersion);
    out.append(reinterpret_cast<const char *>(&totalDishes), sizeof totalDishes);
    const quint8 triggers = fileHasTriggers ? 1 : 0;
    out.append(char(triggers));
    putStrings(out, categories);
    putStrings(out, m_rawCategories);
    put(out, m_rows.data(), m_rows.size());
    put(out, m_inNameOrder.data(), m_inNameOrder.size());
    put(out, m_names.constData(), size_t(m_names.size()));
    return out;
}

std::optional<CatalogueData> CatalogueData::fromBytes(QByteArrayView bytes)
{
    Reader in(bytes);
    quint32 version = 0;
    quint8 triggers = 0;
    CatalogueData data;
    QStringList raw;
    std::vector<char> names;
    if (!in.raw(&version, sizeof version) || version != BytesVersion
        || !in.raw(&data.totalDishes, sizeof data.totalDishes) || !in.raw(&triggers, 1) || triggers > 1
        || !in.getStrings(data.categories) || !in.getStrings(raw) || !in.get(data.m_rows)
        || !in.get(data.m_inNameOrder) || !in.get(names)
        || !in.atEnd())
        return std::nullopt;
    // Every row must point inside the other parts before anything reads through it.
    const bool rowsFit = std::all_of(data.m_rows.begin(), data.m_rows.end(), [&](const Row &r) {
        return r.category < quint32(raw.size()) && quint64(r.nameAt) + r.nameSize <= names.size()
               && r.nameIsNull <= 1;
    });
    if (!rowsFit || data.totalDishes != qint64(data.m_rows.size())
        || data.m_inNameOrder.size() != data.m_rows.size())
        return std::nullopt;
    std::vector<bool> seen(data.m_rows.size());
    for (const NamePlace &place : data.m_inNameOrder) {
        if (place.row >= seen.size() || seen[place.row] || place.at != data.m_rows[place.row].nameAt
            || place.size != data.m_rows[place.row].nameSize)
            return std::nullopt;
        seen[place.row] = true;
    }
    data.fileHasTriggers = triggers == 1;
    data.m_names = QByteArray(names.data(), qsizetype(names.size()));
    for (qsizetype i = 0; i < raw.size(); ++i) {
        data.m_categoryIndex.insert(raw.at(i).toUtf8(), int(i));
        data.m_trimmedCategories << trimBlanks(raw.at(i));
    }
    data.m_rawCategories = std::move(raw);
    return data;
}

// ---------------------------------------------------------------------------
// Our own writes

void CatalogueData::appendDish(qint64 id, const QString &category, const QString &name)
{
    append(id, category.toUtf8(), trimBlanks(name).toUtf8());
    ++totalDishes;
}

bool CatalogueData::renameDish(qint64 id, const QString &name)
{
    const auto row = std::find_if(m_rows.begin(), m_rows.end(), [id](const Row &r) { return r.id == id; });
    if (row == m_rows.end())
        return false;
    // The new name goes at the end of the buffer; the old bytes stay unused.
    const QByteArray renamed = trimBlanks(name).toUtf8();
    const quint32 index = quint32(row - m_rows.begin());
    m_inNameOrder.erase(std::find_if(m_inNameOrder.begin(), m_inNameOrder.end(),
                                     [index](const NamePlace &p) { return p.row == index; }));
    m_inNameOrder.push_back({index, quint32(m_names.size()), quint32(renamed.size())});
    row->nameAt = quint32(m_names.size());
    row->nameSize = quint32(renamed.size());
    row->nameIsNull = 0;
    m_names.append(renamed);
    m_pinyin.reset();
    return true;
}

qsizetype CatalogueData::removeCategory(const QString &category, bool categoryRow)
{
    const QString name = trimBlanks(category);
    if (categoryRow)
        categories.removeOne(name);
    // The numbers the rows know the name by (compared once, not per row).
    std::vector<bool> taken(size_t(m_trimmedCategories.size()), false);
    for (qsizetype c = 0; c < m_trimmedCategories.size(); ++c)
        taken[size_t(c)] = m_trimmedCategories.at(c) == name;
    return removeRows([&taken](const Row &row) { return bool(taken[row.category]); });
}

bool CatalogueData::removeDish(qint64 id)
{
    bool found = false;
    return removeRows([&found, id](const Row &row) { return !found && (found = row.id == id); }) == 1;
}

bool CatalogueData::moveDish(qint64 id, const QString &category)
{
    const auto row = std::find_if(m_rows.begin(), m_rows.end(), [id](const Row &r) { return r.id == id; });
    if (row == m_rows.end())
        return false;
    row->category = quint32(categoryIndex(category.toUtf8()));
    return true;
}

qsizetype CatalogueData::removeRows(const std::function<bool(const Row &)> &taken)
{
    // Each row kept, its new place; the rows taken, none.
    constexpr quint32 Gone = 0xffffffffu;
    std::vector<quint32> placeOf(m_rows.size(), Gone);
    m_pinyin.reset();
    std::vector<Row> kept;
    kept.reserve(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (taken(m_rows[i]))
            continue;
        placeOf[i] = quint32(kept.size());
        kept.push_back(m_rows[i]);
    }
    std::vector<NamePlace> inNameOrder;
    inNameOrder.reserve(kept.size());
    for (NamePlace place : m_inNameOrder) {
        if (placeOf[place.row] == Gone)
            continue;
        place.row = placeOf[place.row];
        inNameOrder.push_back(place);
    }
    const qsizetype removed = qsizetype(m_rows.size() - kept.size());
    m_rows = std::move(kept);
    m_inNameOrder = std::move(inNameOrder);
    totalDishes -= removed;
    return removed;
}

CategoryGroups::CategoryGroups(const QStringList &listed)
{
    m_index.reserve(listed.size());
    for (const QString &name : listed) {
        if (m_index.contains(name))
            continue;
        m_index.insert(name, int(m_headings.size()));
        m_headings.push_back(name);
    }
}

int CategoryGroups::groupOf(const QString &category)
{
    return groupOfListed(listedGroup(category));
}

int CategoryGroups::unfiledGroup()
{
    if (m_unfiled < 0) {
        m_unfiled = int(m_headings.size());
        m_headings.push_back(UnfiledHeading);
    }
    return m_unfiled;
}
