// The pattern matcher's helpers for searching many long texts and for
// showing what was found: finding a pattern in UTF-8 text by the byte runs
// of its literals, and the stretches of a text a pattern matches.
#include "store/namepattern.h"

#include "store/namepatterninternal.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace NamePattern {

namespace {

enum class LiteralKind {
    Exact,        // matches only itself, so only its own UTF-8 bytes
    AsciiLetter,  // matches its upper and lower case and nothing else
    Breaks        // matches other characters as well: no byte run can stand for it
};

LiteralKind literalKind(char32_t folded)
{
    if (folded < 0x80) {
        if (folded < 'a' || folded > 'z')
            return LiteralKind::Exact;
        // U+212A KELVIN SIGN folds to k and U+017F LONG S to s.
        return folded == 'k' || folded == 's' ? LiteralKind::Breaks : LiteralKind::AsciiLetter;
    }
    // Invalid bytes and lone surrogates in a text read as U+FFFD.
    if (folded == 0xFFFD || (folded >= 0xD800 && folded <= 0xDFFF))
        return LiteralKind::Breaks;
    return isLatinLetter(folded) ? LiteralKind::Breaks : LiteralKind::Exact;
}

void appendUtf8(QByteArray &out, char32_t c)
{
    out += QString::fromUcs4(&c, 1).toUtf8();
}

inline unsigned char lowerAscii(unsigned char b)
{
    return b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b;
}

bool sameBytes(const unsigned char *s, const unsigned char *n, qsizetype m, bool caseless)
{
    for (qsizetype k = 0; k < m; ++k) {
        if ((caseless ? lowerAscii(s[k]) : s[k]) != n[k])
            return false;
    }
    return true;
}

} // namespace

// Where `needle` first occurs in s[from, size), or -1. Sixteen places at a
// time are tried at once by the needle's last two bytes (with the 0x20 bit
// set on both sides when a caseless byte is a letter, which lets through
// more, never fewer), and only those where both fit are compared whole. In
// CJK text those are continuation bytes, 64 values each, so few places get
// as far as a compare.
qsizetype findBytes(const unsigned char *s, qsizetype size, qsizetype from, const QByteArray &needle,
                    bool caseless)
{
    const qsizetype m = needle.size();
    const auto *n = reinterpret_cast<const unsigned char *>(needle.constData());
    qsizetype i = from;
    if (i + m > size)
        return -1;
#ifdef __SSE2__
    const qsizetype p = m >= 2 ? m - 2 : 0;   // the two bytes tried: p and m - 1
    const auto fold = [&](unsigned char b) { return char(caseless && b >= 'a' && b <= 'z' ? 0x20 : 0); };
    const __m128i wantP = _mm_set1_epi8(char(n[p]));
    const __m128i wantLast = _mm_set1_epi8(char(n[m - 1]));
    const __m128i foldP = _mm_set1_epi8(fold(n[p]));
    const __m128i foldLast = _mm_set1_epi8(fold(n[m - 1]));
    for (; i + m - 1 + 16 <= size; i += 16) {
        const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i + p)), foldP);
        const __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i + m - 1)), foldLast);
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, wantP), _mm_cmpeq_epi8(b, wantLast))));
        while (mask) {
            const int bit = __builtin_ctz(mask);
            if (sameBytes(s + i + bit, n, m, caseless))
                return i + bit;
            mask &= mask - 1;
        }
    }
#endif
    // The rest (all of a short text) a place at a time, by the last byte
    // first: in CJK text a lead byte is common, a last byte is not.
    if (!caseless) {
        for (; i + m <= size; ++i) {
            if (s[i + m - 1] == n[m - 1] && memcmp(s + i, n, size_t(m - 1)) == 0)
                return i;
        }
        return -1;
    }
    for (; i + m <= size; ++i) {
        if (lowerAscii(s[i + m - 1]) == n[m - 1] && sameBytes(s + i, n, m - 1, true))
            return i;
    }
    return -1;
}

namespace {

// The start of the character `count` characters before byte `at`, reading
// no further back than `from`; both are places where a character starts.
std::optional<qsizetype> charactersBefore(const unsigned char *s, qsizetype size, qsizetype from, qsizetype at,
                                          size_t count)
{
    if (count == 0)
        return at;
    // Characters are at most 4 bytes long; any byte that does not continue
    // a sequence starts a character, so reading can begin there.
    qsizetype i = std::max(from, at - qsizetype(4 * count));
    while (i > from && (s[i] & 0xC0) == 0x80)
        --i;
    thread_local std::vector<qsizetype> starts;
    starts.clear();
    while (i < at) {
        starts.push_back(i);
        decodeUtf8At(s, size, i);
    }
    if (starts.size() < count)
        return std::nullopt;
    return starts[starts.size() - count];
}

} // namespace

void Pattern::findSegments()
{
    m_open = !m_tokens.empty() && m_tokens.front().kind == Token::Star && m_tokens.back().kind == Token::Star;
    m_segments.clear();
    for (size_t i = 0; i < m_tokens.size();) {
        if (m_tokens[i].kind == Token::Star) {
            ++i;
            continue;
        }
        Segment seg;
        seg.first = i;
        QByteArray run;
        bool runCaseless = false;
        size_t runAt = 0;
        size_t needleEnd = 0;   // tokens from the segment's start to the needle's end
        for (;; ++i) {
            const bool inside = i < m_tokens.size() && m_tokens[i].kind != Token::Star;
            const LiteralKind kind = inside && m_tokens[i].kind == Token::Literal ? literalKind(m_tokens[i].literal)
                                                                                    : LiteralKind::Breaks;
            if (kind != LiteralKind::Breaks) {
                if (run.isEmpty())
                    runAt = i - seg.first;
                appendUtf8(run, m_tokens[i].literal);
                runCaseless = runCaseless || kind == LiteralKind::AsciiLetter;
                continue;
            }
            if (run.size() > seg.needle.size()) {
                seg.needle = run;
                seg.caseless = runCaseless;
                seg.needleAt = runAt;
                needleEnd = i - seg.first;
            }
            run.clear();
            runCaseless = false;
            if (!inside)
                break;
        }
        seg.count = i - seg.first;
        seg.whole = !seg.needle.isEmpty() && seg.needleAt == 0 && needleEnd == seg.count;
        m_segments.push_back(seg);
    }
}

std::optional<qsizetype> Pattern::matchSegmentAt(const Segment &seg, const unsigned char *s, qsizetype size,
                                                 qsizetype at) const
{
    for (size_t k = 0; k < seg.count; ++k) {
        if (at >= size || !matchesOne(m_tokens[seg.first + k], decodeUtf8At(s, size, at)))
            return std::nullopt;
    }
    return at;
}

std::optional<qsizetype> Pattern::findSegment(const Segment &seg, const unsigned char *s, qsizetype size,
                                              qsizetype from) const
{
    if (seg.needle.isEmpty()) {
        for (qsizetype at = from; at < size;) {
            if (const auto end = matchSegmentAt(seg, s, size, at))
                return end;
            decodeUtf8At(s, size, at);
        }
        return std::nullopt;
    }
    if (seg.whole) {
        const qsizetype found = findBytes(s, size, from, seg.needle, seg.caseless);
        return found < 0 ? std::nullopt : std::optional<qsizetype>(found + seg.needle.size());
    }
    // Every match holds the needle needleAt characters in, and a later find
    // can only start later: the first find that matches is the earliest.
    for (qsizetype found = from; (found = findBytes(s, size, found, seg.needle, seg.caseless)) >= 0; ++found) {
        const auto start = charactersBefore(s, size, from, found, seg.needleAt);
        if (!start)
            continue;
        if (const auto end = matchSegmentAt(seg, s, size, *start))
            return end;
    }
    return std::nullopt;
}

bool Pattern::findsInUtf8(const char *text, qsizetype size) const
{
    if (!m_open)
        return matchesUtf8(text, size);
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    // Every match holds every stretch's needle: a text lacking one of the
    // later needles is turned away before the stretches before it are
    // walked character by character (the first is looked for at once).
    for (size_t i = 1; i < m_segments.size(); ++i) {
        const Segment &seg = m_segments[i];
        if (!seg.needle.isEmpty() && findBytes(s, size, 0, seg.needle, seg.caseless) < 0)
            return false;
    }
    // Each stretch at its earliest place after the one before: with stars
    // between them, an earlier place never spoils a match a later one allows.
    qsizetype at = 0;
    for (const Segment &seg : m_segments) {
        const auto end = findSegment(seg, s, size, at);
        if (!end)
            return false;
        at = *end;
    }
    return true;
}

std::u32string Pattern::requiredCharacters() const
{
    std::u32string out;
    for (const Segment &seg : m_segments) {
        const auto *s = reinterpret_cast<const unsigned char *>(seg.needle.constData());
        for (qsizetype i = 0; i < seg.needle.size();)
            out.push_back(decodeUtf8At(s, seg.needle.size(), i));
    }
    return out;
}

QByteArray Pattern::exactNeedle() const
{
    QByteArray longest;
    if (!m_open)
        return longest;
    for (const Segment &seg : m_segments) {
        if (!seg.caseless && seg.needle.size() > longest.size())
            longest = seg.needle;
    }
    return longest;
}

std::optional<size_t> Pattern::shortestMatch(std::u32string_view text, size_t from, size_t first, size_t last,
                                             bool &pastStar) const
{
    // now[p]: tokens first .. first+p-1 have matched the text read so far.
    const size_t m = last - first;
    thread_local std::vector<char> now, next;
    now.assign(m + 1, 0);
    size_t firstStar = m;
    for (size_t p = 0; p < m && firstStar == m; ++p)
        firstStar = m_tokens[first + p].kind == Token::Star ? p : m;
    auto skipStars = [&](std::vector<char> &states) {
        for (size_t p = 0; p < m; ++p)
            states[p + 1] |= states[p] && m_tokens[first + p].kind == Token::Star;
    };
    now[0] = 1;
    skipStars(now);
    pastStar = false;
    for (size_t t = from; t < text.size(); ++t) {
        next.assign(m + 1, 0);
        bool alive = false;
        for (size_t p = 0; p < m; ++p) {
            if (!now[p])
                continue;
            const Token &token = m_tokens[first + p];
            if (token.kind == Token::Star)
                next[p] = alive = true;
            else if (matchesOne(token, text[t]))
                next[p + 1] = alive = true;
        }
        skipStars(next);
        now.swap(next);
        pastStar = pastStar || (firstStar < m && now[firstStar]);
        if (now[m])
            return t + 1;
        if (!alive)
            return std::nullopt;
    }
    return std::nullopt;
}

std::vector<std::pair<size_t, size_t>> Pattern::occurrences(std::u32string_view text) const
{
    size_t first = 0;
    size_t last = m_tokens.size();
    while (first < last && m_tokens[first].kind == Token::Star)
        ++first;
    while (last > first && m_tokens[last - 1].kind == Token::Star)
        --last;
    std::vector<std::pair<size_t, size_t>> found;
    if (first == last)
        return found;
    size_t from = 0;
    while (from < text.size()) {
        bool pastStar = false;
        if (const auto end = shortestMatch(text, from, first, last, pastStar)) {
            found.emplace_back(from, *end);
            from = *end;
        } else if (pastStar) {
            // The walk held the first star to the end of the text without
            // a match: a later start holds it from later on, so fails too.
            break;
        } else {
            ++from;
        }
    }
    return found;
}

QVector<Span> matchedSpans(const QStringList &words, const QString &text)
{
    std::vector<qsizetype> offsets;
    const std::u32string points = toCodePoints(text, &offsets);
    std::vector<std::pair<size_t, size_t>> all;
    for (const QString &word : words) {
        if (const auto pattern = Pattern::compile(word)) {
            const auto found = pattern->occurrences(points);
            all.insert(all.end(), found.begin(), found.end());
        }
    }
    std::sort(all.begin(), all.end());
    QVector<Span> spans;
    for (const auto &[from, to] : all) {
        const qsizetype start = offsets[from];
        const qsizetype end = offsets[to];
        if (!spans.isEmpty() && start <= spans.back().start + spans.back().length)
            spans.back().length = std::max(spans.back().length, end - spans.back().start);
        else
            spans.push_back(Span{start, end - start});
    }
    return spans;
}

} // namespace NamePattern
