#pragma once
// Finding a dish name by pinyin, as a Chinese cook types it: full syllables
// ("hongshaorou"), initials ("hsr", also zh ch sh), a half-typed last
// syllable ("hongshaor"), mixed with characters ("hs肉", "红sr"), in either
// case, starting at any character, under any reading of each character
// ("csm" and "zsm" both find 长寿面). Latin letters and digits in a name
// match themselves. Characters with no reading (symbols, emoji) are left
// out of a name's key; only the first MaxUnits characters of a name are
// looked at, so a very long name costs no more than a short one.
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class PinyinTable;

namespace Pinyin {

class Query {
public:
    // The longest typed text looked for, blanks and apostrophes left out.
    static constexpr int MaxLength = 63;
    // Nullopt when `text` is no pinyin: it holds no ASCII letter, or holds
    // something other than letters, digits, Han characters, blanks and
    // apostrophes (wildcards, punctuation), or is too long.
    static std::optional<Query> make(const QString &text);

private:
    friend class Keys;
    std::u32string m_text;           // lower case
    std::vector<quint32> m_letterBit;   // per position: bit 0-25 of its letter, 0 for any other character
    // Per syllable and typed position: the positions reached by reading
    // that syllable there, bit m_text.size() meaning the whole text is read.
    std::vector<quint64> m_next;
    // The letters every reading of the whole text begins a syllable (or
    // matches a Latin letter) with: a name lacking one of them among its
    // characters' initials and letters cannot match.
    quint32 m_required = 0;
    void findRequiredLetters(int syllables);
};

class Keys {
public:
    static constexpr int MaxUnits = 64;
    Keys();
    void add(std::u32string_view name);
    void addUtf8(QByteArrayView name);
    size_t count() const { return m_starts.size() - 1; }
    bool matches(size_t name, const Query &query) const;

private:
    struct Unit {
        char32_t c = 0;     // a Han character, or a Latin letter (lower case) or digit
        qint32 set = -1;    // its reading set, -1 for letters and digits
        quint32 initials = 0;   // bit 0-25: the first letters of its readings
    };
    const PinyinTable *m_table;
    std::vector<Unit> m_units;
    std::vector<quint32> m_starts;   // per name its first unit, and one past the last
    std::vector<quint32> m_letters;  // per name: its units' initials and Latin letters
};

} // namespace Pinyin
