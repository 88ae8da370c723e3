#pragma once
// The Mandarin readings of Han characters, without tones, as plain a-z
// syllables (ü as v): every reading of a character, the most common first
// (store/pinyin/readings.bin, made from Unihan by
// tools/pinyin/make_readings.py), and the reading a character has in a dish
// word (store/pinyin/phrases.txt: 长寿 is chang shou, 重庆 chong qing).
// Loaded once, on first use, and read-only after that (safe from any thread).
#include <QHash>

#include <span>
#include <string>
#include <string_view>
#include <vector>

class PinyinTable {
public:
    static const PinyinTable &instance();

    // Syllables are numbered in alphabetical order.
    int syllableCount() const { return int(m_syllables.size()); }
    std::string_view syllable(int id) const { return m_syllables[size_t(id)]; }
    // The reading set of a character (an index for readings()), or -1 for
    // one without any reading (not Han, or Han that Unihan gives none).
    int readingSet(char32_t c) const;
    // The syllables of a reading set, the most common first.
    std::span<const quint16> readings(int set) const;
    // For each character of `text`, the syllable it is read with: the one
    // a listed word gives it (the longest word that starts earliest wins),
    // else its most common one; -1 for a character without a reading.
    std::vector<int> resolve(std::u32string_view text) const;

private:
    PinyinTable();
    void loadReadings();
    void loadPhrases();

    struct Phrase {
        std::u32string word;
        std::vector<int> syllables;
    };
    std::vector<std::string> m_syllables;
    std::vector<quint32> m_setStart;         // per set, into m_setSyllables; one more at the end
    std::vector<quint16> m_setSyllables;
    std::vector<quint16> m_dense;            // set per code point of [DenseFirst, DenseEnd); 0xFFFF none
    std::vector<std::pair<char32_t, quint16>> m_sparse;   // the others, by code point
    QHash<char32_t, std::vector<Phrase>> m_phrases;       // by first character, longest first
};
