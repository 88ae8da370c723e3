#include "store/pinyintable.h"

#include <QFile>
#include <QStringList>
#include <QtEndian>

#include <algorithm>

// The resource lives in the store library; outside any namespace.
static void initPinyinResource() { Q_INIT_RESOURCE(pinyin); }

namespace {

// Most Han characters lie in these blocks: looked up by index there.
constexpr char32_t DenseFirst = 0x3400;
constexpr char32_t DenseEnd = 0xA000;
constexpr quint16 NoSet = 0xFFFF;

// Reads the table's little-endian numbers, stopping at its end.
struct Reader {
    const uchar *at;
    const uchar *end;
    bool ok = true;
    template <class T>
    T next()
    {
        if (end - at < qsizetype(sizeof(T))) {
            ok = false;
            return 0;
        }
        const T v = qFromLittleEndian<T>(at);
        at += sizeof(T);
        return v;
    }
};

} // namespace

const PinyinTable &PinyinTable::instance()
{
    static const PinyinTable table;
    return table;
}

PinyinTable::PinyinTable()
{
    initPinyinResource();
    loadReadings();
    loadPhrases();
}

void PinyinTable::loadReadings()
{
    QFile file(QStringLiteral(":/pinyin/readings.bin"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("The pinyin table is missing from the program");
    const QByteArray bytes = file.readAll();
    Reader r{reinterpret_cast<const uchar *>(bytes.constData()),
             reinterpret_cast<const uchar *>(bytes.constData()) + bytes.size()};
    if (!bytes.startsWith("ZXPY") || (r.at += 4, r.next<quint16>()) != 1)
        qFatal("The pinyin table is of another version");
    const quint16 syllables = r.next<quint16>();
    for (quint16 i = 0; i < syllables && r.ok; ++i) {
        const auto *nul = static_cast<const uchar *>(memchr(r.at, 0, size_t(r.end - r.at)));
        r.ok = nul != nullptr;
        if (r.ok) {
            m_syllables.emplace_back(reinterpret_cast<const char *>(r.at), size_t(nul - r.at));
            r.at = nul + 1;
        }
    }
    const quint32 sets = r.next<quint32>();
    for (quint32 i = 0; i < sets && r.ok; ++i) {
        m_setStart.push_back(quint32(m_setSyllables.size()));
        for (quint8 n = r.next<quint8>(); n > 0 && r.ok; --n)
            m_setSyllables.push_back(std::min<quint16>(r.next<quint16>(), syllables - 1));
    }
    m_setStart.push_back(quint32(m_setSyllables.size()));
    std::vector<std::pair<char32_t, quint32>> runs(r.next<quint32>());
    for (auto &run : runs) {
        run.first = r.next<quint32>();
        run.second = r.next<quint16>();
    }
    m_dense.assign(DenseEnd - DenseFirst, NoSet);
    for (const auto &[first, length] : runs) {
        for (char32_t c = first; c < first + length && r.ok; ++c) {
            const quint16 set = r.next<quint16>();
            if (set >= sets)
                continue;
            if (c >= DenseFirst && c < DenseEnd)
                m_dense[c - DenseFirst] = set;
            else
                m_sparse.emplace_back(c, set);
        }
    }
    if (!r.ok)
        qFatal("The pinyin table is damaged");
    std::sort(m_sparse.begin(), m_sparse.end());
}

void PinyinTable::loadPhrases()
{
    QFile file(QStringLiteral(":/pinyin/phrases.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QStringList parts = line.section(u'#', 0, 0).split(u' ', Qt::SkipEmptyParts);
        if (parts.size() < 2)
            continue;
        Phrase phrase;
        const QList<uint> word = parts.first().toUcs4();
        phrase.word.assign(word.begin(), word.end());
        for (qsizetype i = 1; i < parts.size(); ++i) {
            const std::string s = parts.at(i).toStdString();
            const auto it = std::lower_bound(m_syllables.begin(), m_syllables.end(), s);
            phrase.syllables.push_back(it != m_syllables.end() && *it == s ? int(it - m_syllables.begin()) : -1);
        }
        if (phrase.syllables.size() != phrase.word.size())
            continue;
        m_phrases[phrase.word.front()].push_back(std::move(phrase));
    }
    for (auto &list : m_phrases) {
        std::stable_sort(list.begin(), list.end(),
                         [](const Phrase &a, const Phrase &b) { return a.word.size() > b.word.size(); });
    }
}

int PinyinTable::readingSet(char32_t c) const
{
    if (c >= DenseFirst && c < DenseEnd) {
        const quint16 set = m_dense[c - DenseFirst];
        return set == NoSet ? -1 : set;
    }
    if (c < 0x2E80)
        return -1;   // nothing Han below the CJK radicals
    const auto it = std::lower_bound(m_sparse.begin(), m_sparse.end(), std::make_pair(c, quint16(0)));
    return it != m_sparse.end() && it->first == c ? it->second : -1;
}

std::span<const quint16> PinyinTable::readings(int set) const
{
    if (set < 0 || size_t(set) + 1 >= m_setStart.size())
        return {};
    return std::span<const quint16>(m_setSyllables).subspan(m_setStart[size_t(set)],
                                                            m_setStart[size_t(set) + 1] - m_setStart[size_t(set)]);
}

std::vector<int> PinyinTable::resolve(std::u32string_view text) const
{
    std::vector<int> out(text.size(), -1);
    const auto common = [this](char32_t c) {
        const auto r = readings(readingSet(c));
        return r.empty() ? -1 : int(r.front());
    };
    for (size_t i = 0; i < text.size();) {
        const Phrase *found = nullptr;
        if (const auto it = m_phrases.constFind(text[i]); it != m_phrases.cend()) {
            for (const Phrase &p : *it) {
                if (text.substr(i).starts_with(p.word)) {
                    found = &p;
                    break;
                }
            }
        }
        if (found) {
            for (size_t k = 0; k < found->word.size(); ++k)
                out[i + k] = found->syllables[k] >= 0 ? found->syllables[k] : common(text[i + k]);
            i += found->word.size();
            continue;
        }
        out[i] = common(text[i]);
        ++i;
    }
    return out;
}
