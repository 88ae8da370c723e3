#include "store/namepattern.h"

#include "store/namepatterninternal.h"

#include <QChar>

#include <algorithm>
#include <string>

namespace NamePattern {

bool isLatinLetter(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return QChar::script(c) == QChar::Script_Latin && QChar::isLetter(c);
}

char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    if (isLatinLetter(c))
        return QChar::toCaseFolded(c);
    return c;
}

std::u32string toCodePoints(const QString &text, std::vector<qsizetype> *offsets)
{
    std::u32string out;
    out.reserve(size_t(text.size()));
    if (offsets)
        offsets->clear();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (offsets)
            offsets->push_back(i);
        const char16_t u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            out.push_back(QChar::surrogateToUcs4(u, text.at(i + 1).unicode()));
            ++i;
        } else {
            out.push_back(u);
        }
    }
    if (offsets)
        offsets->push_back(n);
    return out;
}

namespace {

void decodeUtf8(const char *text, qsizetype size, std::u32string &out)
{
    out.clear();
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    qsizetype i = 0;
    while (i < size)
        out.push_back(decodeUtf8At(s, size, i));
}

} // namespace

std::optional<size_t> Pattern::parseList(const std::u32string &p, size_t open, Token &token)
{
    size_t j = open + 1;
    token.kind = Token::List;
    if (j < p.size() && p[j] == '!') {
        token.negated = true;
        ++j;
    }
    const size_t listStart = j;
    while (j < p.size()) {
        const char32_t x = p[j];
        if (x == ']')
            return j + 1;
        // x-y is a range unless the '-' is the last thing in the list
        // or x is a '-' at the start.
        const bool rangeFollows = j + 2 < p.size() && p[j + 1] == '-' && p[j + 2] != ']'
                                  && !(x == '-' && j == listStart);
        if (rangeFollows) {
            const char32_t y = p[j + 2];
            if (y < x)
                return std::nullopt;   // a descending range
            token.ranges.emplace_back(x, y);
            j += 3;
        } else {
            token.singles.push_back(fold(x));
            ++j;
        }
    }
    return std::nullopt;   // '[' without its ']'
}

std::optional<Pattern> Pattern::compile(const QString &pattern)
{
    const std::u32string p = toCodePoints(pattern);
    Pattern compiled;
    std::vector<Token> &tokens = compiled.m_tokens;
    size_t i = 0;
    while (i < p.size()) {
        const char32_t c = p[i];
        Token token;
        if (c == '*') {
            ++i;
            if (!tokens.empty() && tokens.back().kind == Token::Star)
                continue;   // a run of stars is one star
            token.kind = Token::Star;
        } else if (c == '?') {
            token.kind = Token::AnyOne;
            ++i;
        } else if (c == '#') {
            token.kind = Token::Digit;
            ++i;
        } else if (c == '[') {
            const std::optional<size_t> next = parseList(p, i, token);
            if (!next)
                return std::nullopt;
            i = *next;
            if (!token.negated && token.singles.empty() && token.ranges.empty())
                continue;   // "[]" stands for the empty text
        } else {
            token.kind = Token::Literal;
            token.literal = fold(c);
            ++i;
        }
        tokens.push_back(std::move(token));
    }
    compiled.findSegments();
    return compiled;
}

bool Pattern::matchesOne(const Token &token, char32_t c) const
{
    switch (token.kind) {
    case Token::Star:
        return true;
    case Token::AnyOne:
        return true;
    case Token::Digit:
        return c >= '0' && c <= '9';
    case Token::Literal:
        return fold(c) == token.literal;
    case Token::List: {
        const char32_t folded = fold(c);
        bool in = std::find(token.singles.begin(), token.singles.end(), folded) != token.singles.end();
        if (!in) {
            const bool letter = isLatinLetter(c);
            const char32_t lower = letter ? char32_t(QChar::toLower(c)) : c;
            const char32_t upper = letter ? char32_t(QChar::toUpper(c)) : c;
            for (const auto &[lo, hi] : token.ranges) {
                if ((c >= lo && c <= hi) || (lower >= lo && lower <= hi) || (upper >= lo && upper <= hi)) {
                    in = true;
                    break;
                }
            }
        }
        return in != token.negated;
    }
    }
    return false;
}

bool Pattern::matches(std::u32string_view text) const
{
    // Every token but the star takes exactly one character, so the classic
    // walk that only ever returns to the latest star is exact and needs at
    // most length(text) x length(pattern) steps.
    const size_t n = text.size();
    const size_t m = m_tokens.size();
    size_t t = 0;
    size_t p = 0;
    bool haveStar = false;
    size_t starAt = 0;
    size_t mark = 0;
    while (t < n) {
        if (p < m && m_tokens[p].kind == Token::Star) {
            haveStar = true;
            starAt = p++;
            mark = t;
            continue;
        }
        if (p < m && matchesOne(m_tokens[p], text[t])) {
            ++p;
            ++t;
            continue;
        }
        if (!haveStar)
            return false;
        p = starAt + 1;
        t = ++mark;
    }
    while (p < m && m_tokens[p].kind == Token::Star)
        ++p;
    return p == m;
}

bool Pattern::matches(const QString &text) const
{
    const std::u32string points = toCodePoints(text);
    return matches(std::u32string_view(points));
}

bool Pattern::matchesUtf8(const char *text, qsizetype size) const
{
    thread_local std::u32string buffer;
    decodeUtf8(text, size, buffer);
    return matches(std::u32string_view(buffer));
}

bool isValid(const QString &pattern) { return Pattern::compile(pattern).has_value(); }

std::optional<bool> matches(const QString &pattern, const QString &text)
{
    const std::optional<Pattern> compiled = Pattern::compile(pattern);
    if (!compiled)
        return std::nullopt;
    return compiled->matches(text);
}

} // namespace NamePattern
