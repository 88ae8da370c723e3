#pragma once
// Character helpers the parts of the pattern matcher share.
#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace NamePattern {

bool isLatinLetter(char32_t c);
// Where `needle` first occurs in the bytes s[from, size), or -1; `caseless`:
// ASCII letters of the needle (lower case) match either case.
qsizetype findBytes(const unsigned char *s, qsizetype size, qsizetype from, const QByteArray &needle,
                    bool caseless);
// The form two characters share when they are "the same letter": Latin
// letters case-folded, every other character itself.
char32_t fold(char32_t c);
// The text as code points; with `offsets`, also where each code point
// starts in `text` (UTF-16 units), plus the text's length at the end.
std::u32string toCodePoints(const QString &text, std::vector<qsizetype> *offsets = nullptr);

// The character of UTF-8 text that starts at byte i, and i moved past it.
// A byte that does not begin a well-formed sequence reads as U+FFFD on its
// own, so every byte that is not a continuation byte starts a character.
inline char32_t decodeUtf8At(const unsigned char *s, qsizetype size, qsizetype &i)
{
    const unsigned char b = s[i];
    if (b < 0x80) {
        ++i;
        return b;
    }
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((b & 0xE0) == 0xC0) { extra = 1; c = b & 0x1F; minimum = 0x80; }
    else if ((b & 0xF0) == 0xE0) { extra = 2; c = b & 0x0F; minimum = 0x800; }
    else if ((b & 0xF8) == 0xF0) { extra = 3; c = b & 0x07; minimum = 0x10000; }
    else { ++i; return 0xFFFD; }
    if (i + extra >= size) {   // the text ends inside the sequence
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char cont = s[i + k];
        if ((cont & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (cont & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += extra + 1;
    return c;
}

} // namespace NamePattern
