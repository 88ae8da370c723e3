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
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace JetLike {

class Pattern {
public:
    // nullopt for an invalid pattern.
    static std::optional<Pattern> compile(const QString &pattern);

    bool matches(const QString &text) const;
    // Text as UTF-8 bytes (what SQLite hands over); invalid bytes count as U+FFFD.
    bool matchesUtf8(const char *text, qsizetype size) const;
    bool matches(std::u32string_view text) const;

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
    bool matchesOne(const Token &token, char32_t c) const;
    std::vector<Token> m_tokens;
};

bool isValid(const QString &pattern);
// nullopt when the pattern is invalid.
std::optional<bool> matches(const QString &pattern, const QString &text);

} // namespace JetLike
