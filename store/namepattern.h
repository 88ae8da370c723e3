#pragma once
// The "Like" pattern language of the search window:
//   *        any run of characters (also none)
//   ?        any one character
//   #        one digit 0-9
//   [abc]    one character of the list; [a-z] a range; [!abc] one character not in it
// Inside brackets *, ? and # stand for themselves; '!' negates only right after
// '['; '-' is literal at the start or the end of a list; a range must not
// descend. "[]" matches nothing and consumes nothing. Latin letters match
// regardless of case; every other character matches only itself. A character
// is a Unicode code point, so an emoji is one character for '?'.
// An unclosed '[' or a descending range makes the pattern invalid.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace NamePattern {

// A stretch of a QString, in UTF-16 units.
struct Span {
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const Span &, const Span &) = default;
};

class Pattern {
public:
    // nullopt for an invalid pattern.
    static std::optional<Pattern> compile(const QString &pattern);

    bool matches(const QString &text) const;
    // Text as UTF-8 bytes (what SQLite hands over); invalid bytes count as U+FFFD.
    bool matchesUtf8(const char *text, qsizetype size) const;
    bool matches(std::u32string_view text) const;

    // The same answer as matchesUtf8(), for a pattern that begins and ends
    // with a star ("*豆腐*"), found without reading the text character by
    // character: each stretch between the stars is looked for by its
    // longest run of literals that match only their own bytes, and only
    // the characters around a find are read. Any other pattern falls
    // back to matchesUtf8().
    bool findsInUtf8(const char *text, qsizetype size) const;
    // Characters that every text the pattern matches holds (the runs
    // findsInUtf8() looks for), ASCII letters in lower case for either case.
    std::u32string requiredCharacters() const;
    // Bytes that every text findsInUtf8() accepts holds exactly as they are
    // (the longest run it looks for that no case folding touches); empty
    // when there are none.
    QByteArray exactNeedle() const;

    // The stretches of `text` the pattern matches as a whole, left to
    // right: at each place the shortest non-empty match that starts
    // earliest, the next one looked for after its end. Stars at the start
    // and the end of the pattern are left out, so "*豆腐*" finds each 豆腐.
    // As [first, last) positions in code points.
    std::vector<std::pair<size_t, size_t>> occurrences(std::u32string_view text) const;

private:
    struct Token {
        enum Kind { Star, AnyOne, Digit, Literal, List } kind = Literal;
        char32_t literal = 0;                               // folded, for Literal
        bool negated = false;                               // for List
        std::vector<char32_t> singles;                      // folded, for List
        std::vector<std::pair<char32_t, char32_t>> ranges;  // as written, for List
    };
    // Reads the list that starts with the '[' at `open` into `token`; the
    // position after its ']', or nullopt for an invalid list.
    static std::optional<size_t> parseList(const std::u32string &p, size_t open, Token &token);
    // A stretch of tokens between stars, and what finds it in UTF-8 text.
    struct Segment {
        size_t first = 0;       // its first token
        size_t count = 0;       // its tokens, none of them a star
        QByteArray needle;      // the longest run of literals that match only their own bytes
        bool caseless = false;  // ASCII letters in `needle` (lower case) match either case
        size_t needleAt = 0;    // characters from the segment's start to the needle
        bool whole = false;     // the needle is the whole segment: finding it is matching it
    };
    void findSegments();
    // The end (bytes) of the earliest match of `seg` that starts at `from` or later.
    std::optional<qsizetype> findSegment(const Segment &seg, const unsigned char *s, qsizetype size,
                                         qsizetype from) const;
    // The end (bytes) of a match of `seg` that starts at `at`.
    std::optional<qsizetype> matchSegmentAt(const Segment &seg, const unsigned char *s, qsizetype size,
                                            qsizetype at) const;
    bool matchesOne(const Token &token, char32_t c) const;
    // The end of the shortest non-empty match of tokens [first, last) that
    // starts at `from`, or nullopt; `pastStar` tells whether the walk got
    // beyond the first star (then no later start can match either).
    std::optional<size_t> shortestMatch(std::u32string_view text, size_t from, size_t first, size_t last,
                                        bool &pastStar) const;
    std::vector<Token> m_tokens;
    std::vector<Segment> m_segments;   // in order
    bool m_open = false;               // the first and the last token are stars
};

// For showing what a search by words found: the stretches of `text` that
// the words match, each word taken as its own pattern (see occurrences()),
// sorted and merged where they overlap or touch. Invalid words, and words
// that are nothing but stars, mark nothing.
QVector<Span> matchedSpans(const QStringList &words, const QString &text);

bool isValid(const QString &pattern);
// nullopt when the pattern is invalid.
std::optional<bool> matches(const QString &pattern, const QString &text);

} // namespace NamePattern
