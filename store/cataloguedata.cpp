#include "store/cataloguedata.h"

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
    m_ids.reserve(size_t(rows));
    m_categoryOf.reserve(size_t(rows));
    m_nameEnd.reserve(size_t(rows));
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
    if (nameIsNull)
        m_nullNames.push_back(dishCount());
    m_ids.push_back(id);
    m_categoryOf.push_back(quint32(categoryIndex(category)));
    m_names.append(name);
    m_nameEnd.push_back(quint32(m_names.size()));
}

QByteArrayView CatalogueData::rawName(qsizetype row) const
{
    const quint32 begin = row == 0 ? 0 : m_nameEnd[size_t(row) - 1];
    return QByteArrayView(m_names.constData() + begin, m_nameEnd[size_t(row)] - begin);
}

QByteArrayView CatalogueData::nameUtf8(qsizetype row) const { return trimmedUtf8(rawName(row)); }

bool CatalogueData::nameIsNull(qsizetype row) const
{
    return std::binary_search(m_nullNames.cbegin(), m_nullNames.cend(), row);
}

void CatalogueData::sortBy(const std::vector<qint64> &keys)
{
    const size_t n = m_ids.size();
    if (std::is_sorted(keys.begin(), keys.end()))
        return;
    const std::vector<quint32> order = sortedOrder(keys);

    std::vector<qint64> ids(n);
    std::vector<quint32> categoryOf(n), nameEnd(n);
    QByteArray names;
    names.reserve(m_names.size());
    QVector<qsizetype> nullNames;
    for (size_t i = 0; i < n; ++i) {
        const quint32 from = order[i];
        ids[i] = m_ids[from];
        categoryOf[i] = m_categoryOf[from];
        names.append(rawName(from));
        nameEnd[i] = quint32(names.size());
        if (nameIsNull(from))
            nullNames.push_back(qsizetype(i));
    }
    m_ids = std::move(ids);
    m_categoryOf = std::move(categoryOf);
    m_nameEnd = std::move(nameEnd);
    m_names = std::move(names);
    m_nullNames = std::move(nullNames);
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
    out.reserve(m_names.size() + qsizetype(m_ids.size() * 16) + 4096);
    out.append(reinterpret_cast<const char *>(&BytesVersion), sizeof BytesVersion);
    out.append(reinterpret_cast<const char *>(&totalDishes), sizeof totalDishes);
    const quint8 triggers = fileHasTriggers ? 1 : 0;
    out.append(char(triggers));
    putStrings(out, categories);
    putStrings(out, m_rawCategories);
    put(out, m_ids.data(), m_ids.size());
    put(out, m_categoryOf.data(), m_categoryOf.size());
    put(out, m_nameEnd.data(), m_nameEnd.size());
    put(out, m_names.constData(), size_t(m_names.size()));
    put(out, m_nullNames.constData(), size_t(m_nullNames.size()));
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
    std::vector<qsizetype> nulls;
    if (!in.raw(&version, sizeof version) || version != BytesVersion
        || !in.raw(&data.totalDishes, sizeof data.totalDishes) || !in.raw(&triggers, 1) || triggers > 1
        || !in.getStrings(data.categories)
        || !in.getStrings(raw) || !in.get(data.m_ids) || !in.get(data.m_categoryOf) || !in.get(data.m_nameEnd)
        || !in.get(names) || !in.get(nulls) || !in.atEnd())
        return std::nullopt;
    // Every part must agree with the others before anything reads through it.
    const size_t rows = data.m_ids.size();
    if (data.m_categoryOf.size() != rows || data.m_nameEnd.size() != rows || data.totalDishes != qint64(rows)
        || !std::is_sorted(data.m_nameEnd.begin(), data.m_nameEnd.end())
        || (rows > 0 && data.m_nameEnd.back() != names.size())
        || std::any_of(data.m_categoryOf.begin(), data.m_categoryOf.end(),
                       [&raw](quint32 c) { return c >= quint32(raw.size()); })
        || !std::is_sorted(nulls.begin(), nulls.end())
        || std::any_of(nulls.begin(), nulls.end(), [rows](qsizetype r) { return r < 0 || size_t(r) >= rows; }))
        return std::nullopt;
    data.fileHasTriggers = triggers == 1;
    data.m_names = QByteArray(names.data(), qsizetype(names.size()));
    data.m_nullNames = QVector<qsizetype>(nulls.begin(), nulls.end());
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
    const auto at = std::find(m_ids.begin(), m_ids.end(), id);
    if (at == m_ids.end())
        return false;
    const size_t row = size_t(at - m_ids.begin());
    const quint32 begin = row == 0 ? 0 : m_nameEnd[row - 1];
    const QByteArray renamed = trimBlanks(name).toUtf8();
    const qint64 shift = qint64(renamed.size()) - qint64(m_nameEnd[row] - begin);
    m_names.replace(begin, m_nameEnd[row] - begin, renamed);
    for (size_t i = row; i < m_nameEnd.size(); ++i)
        m_nameEnd[i] = quint32(qint64(m_nameEnd[i]) + shift);
    const auto null = std::lower_bound(m_nullNames.begin(), m_nullNames.end(), qsizetype(row));
    if (null != m_nullNames.end() && *null == qsizetype(row))
        m_nullNames.erase(null);
    return true;
}

qsizetype CatalogueData::removeCategory(const QString &category, bool categoryRow)
{
    const QString name = trimBlanks(category);
    if (categoryRow)
        categories.removeOne(name);
    std::vector<qint64> ids;
    std::vector<quint32> categoryOf, nameEnd;
    QByteArray names;
    QVector<qsizetype> nullNames;
    for (size_t row = 0; row < m_ids.size(); ++row) {
        if (m_trimmedCategories.at(m_categoryOf[row]) == name)
            continue;
        if (nameIsNull(qsizetype(row)))
            nullNames.push_back(qsizetype(ids.size()));
        ids.push_back(m_ids[row]);
        categoryOf.push_back(m_categoryOf[row]);
        names.append(rawName(qsizetype(row)));
        nameEnd.push_back(quint32(names.size()));
    }
    const qsizetype removed = qsizetype(m_ids.size() - ids.size());
    m_ids = std::move(ids);
    m_categoryOf = std::move(categoryOf);
    m_nameEnd = std::move(nameEnd);
    m_names = std::move(names);
    m_nullNames = std::move(nullNames);
    totalDishes -= removed;
    return removed;
}
