#include "store/pinyinmatch.h"

#include "store/pinyintable.h"

#include <bit>

namespace Pinyin {

namespace {

bool isAsciiLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char32_t c) { return c >= '0' && c <= '9'; }
char32_t lower(char32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

// The positions reached by reading `syllable` from typed position `p`.
quint64 reached(std::u32string_view typed, size_t p, std::string_view syllable)
{
    const size_t n = typed.size();
    if (!isAsciiLetter(typed[p]) || char32_t(syllable.front()) != typed[p])
        return 0;
    quint64 bits = quint64(1) << (p + 1);   // the initial, or a one-letter syllable
    size_t same = 1;
    while (same < syllable.size() && p + same < n && typed[p + same] == char32_t(syllable[same]))
        ++same;
    if (same == syllable.size())
        bits |= quint64(1) << (p + same);   // the whole syllable
    else if (p + same == n)
        bits |= quint64(1) << n;            // the rest of the text begins the syllable
    if (same >= 2 && syllable.size() > 2 && syllable[1] == 'h' && std::string_view("zcs").find(syllable[0]) != std::string_view::npos)
        bits |= quint64(1) << (p + 2);      // zh, ch, sh as initials
    return bits;
}

} // namespace

std::optional<Query> Query::make(const QString &text)
{
    Query q;
    bool letter = false;
    const PinyinTable &table = PinyinTable::instance();
    for (const char32_t c : text.toUcs4()) {
        if (c == ' ' || c == '\'' || c == 0x3000 || c == 0xA0)
            continue;
        if (!isAsciiLetter(c) && !isDigit(c) && table.readingSet(c) < 0)
            return std::nullopt;
        letter = letter || isAsciiLetter(c);
        q.m_text.push_back(lower(c));
    }
    if (!letter || q.m_text.size() > size_t(MaxLength))
        return std::nullopt;
    const size_t n = q.m_text.size();
    for (const char32_t c : q.m_text)
        q.m_letterBit.push_back(isAsciiLetter(c) ? quint32(1) << (c - 'a') : 0);
    q.m_next.resize(size_t(table.syllableCount()) * n);
    for (int s = 0; s < table.syllableCount(); ++s) {
        for (size_t p = 0; p < n; ++p)
            q.m_next[size_t(s) * n + p] = reached(q.m_text, p, table.syllable(s));
    }
    q.findRequiredLetters(table.syllableCount());
    return q;
}

void Query::findRequiredLetters(int syllables)
{
    // required[p]: the letters met at the start of every step on every way
    // from the start to position p (all bits while p is not reached yet).
    const size_t n = m_text.size();
    std::vector<quint32> required(n + 1, ~quint32(0));
    required[0] = 0;
    for (size_t p = 0; p < n; ++p) {
        if (required[p] == ~quint32(0))
            continue;
        const quint32 here = required[p] | m_letterBit[p];
        quint64 steps = quint64(2) << p;   // the character itself (a Latin letter, a digit, a Han character)
        for (int s = 0; s < syllables; ++s)
            steps |= m_next[size_t(s) * n + p];
        for (; steps; steps &= steps - 1)
            required[size_t(std::countr_zero(steps))] &= here;
    }
    m_required = required[n] == ~quint32(0) ? 0 : required[n];
}

Keys::Keys() : m_table(&PinyinTable::instance()), m_starts{0} {}

void Keys::add(std::u32string_view name)
{
    const size_t first = m_units.size();
    for (const char32_t c : name.substr(0, 4 * MaxUnits)) {
        if (m_units.size() - first >= size_t(MaxUnits))
            break;
        if (isAsciiLetter(c) || isDigit(c))
            m_units.push_back({lower(c), -1, 0});
        else if (const int set = m_table->readingSet(c); set >= 0) {
            quint32 initials = 0;
            for (const quint16 s : m_table->readings(set))
                initials |= quint32(1) << (m_table->syllable(s).front() - 'a');
            m_units.push_back({c, set, initials});
        }
    }
    quint32 letters = 0;
    for (size_t u = first; u < m_units.size(); ++u) {
        const Unit &unit = m_units[u];
        letters |= unit.set >= 0 ? unit.initials : isAsciiLetter(unit.c) ? quint32(1) << (unit.c - 'a') : 0;
    }
    m_letters.push_back(letters);
    m_starts.push_back(quint32(m_units.size()));
}

void Keys::addUtf8(QByteArrayView name)
{
    // Only the first characters count (see add()), 4 bytes at most each.
    const QList<uint> ucs4 = QString::fromUtf8(name.first(std::min<qsizetype>(name.size(), 16 * MaxUnits))).toUcs4();
    add(std::u32string_view(reinterpret_cast<const char32_t *>(ucs4.constData()), size_t(ucs4.size())));
}

bool Keys::matches(size_t name, const Query &query) const
{
    if ((m_letters[name] & query.m_required) != query.m_required)
        return false;
    const size_t n = query.m_text.size();
    const quint64 done = quint64(1) << n;
    quint64 reach = 0;
    for (quint32 u = m_starts[name]; u < m_starts[name + 1]; ++u) {
        const Unit &unit = m_units[u];
        reach |= 1;   // a match may start at any character
        quint64 next = 0;
        for (quint64 left = reach; left; left &= left - 1) {
            const auto p = size_t(std::countr_zero(left));
            if (query.m_text[p] == unit.c)
                next |= quint64(2) << p;
            // Only readings that begin with the typed letter can go on.
            if (unit.initials & query.m_letterBit[p]) {
                for (const quint16 s : m_table->readings(unit.set))
                    next |= query.m_next[size_t(s) * n + p];
            }
        }
        if (next & done)
            return true;
        reach = next;
    }
    return false;
}

} // namespace Pinyin
