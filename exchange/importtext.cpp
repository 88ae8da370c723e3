// Text helpers of the import readers: character references, markup in text
// values, lines, ISO 8601 durations and the old encodings.
#include "exchange/importformats.h"

#include <iconv.h>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace ImportFormats {

namespace {

// Windows-1252 for the references &#128; .. &#159; that old pages write.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void appendCodePoint(QString &out, char32_t code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    else if (code >= 0x80 && code <= 0x9F)
        code = Cp1252High[code - 0x80];
    if (code == 0xA0)
        code = u' ';
    if (code > 0xFFFF) {
        out += QChar(QChar::highSurrogate(code));
        out += QChar(QChar::lowSurrogate(code));
    } else {
        out += QChar(char16_t(code));
    }
}

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= u'0' && u <= u'9')
        d = u - u'0';
    else if (u >= u'a' && u <= u'f')
        d = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        d = u - u'A' + 10;
    return d < base ? d : -1;
}

// One reference starting at text[at] == '&': its length, or 0 when none.
// `html4`: named ones only as HTML 4 knew them.
qsizetype decodeOne(const QString &text, qsizetype at, QString &out, bool html4)
{
    const qsizetype size = text.size();
    qsizetype i = at + 1;
    if (i < size && text.at(i) == u'#') {
        ++i;
        const bool hex = i < size && (text.at(i) == u'x' || text.at(i) == u'X');
        if (hex)
            ++i;
        const qsizetype digits = i;
        char32_t code = 0;
        for (; i < size && i - digits < 8; ++i) {
            const int d = digitValue(text.at(i), hex ? 16 : 10);
            if (d < 0)
                break;
            code = code * (hex ? 16 : 10) + char32_t(d);
        }
        if (i == digits)
            return 0;
        if (i < size && text.at(i) == u';')
            ++i;
        appendCodePoint(out, code);
        return i - at;
    }
    qsizetype length = 0;
    const HtmlEntity *entity = namedReference(QStringView(text).mid(i), &length);
    const bool apos = entity && QLatin1String(entity->name) == QLatin1String("apos");
    if (!entity || (html4 && !apos && !isHtml4Entity(*entity)))
        return 0;
    appendCodePoint(out, entity->first);
    if (entity->second)
        appendCodePoint(out, entity->second);
    return 1 + length;
}

QString decodeOnce(const QString &text, bool html4)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype used = text.at(i) == u'&' ? decodeOne(text, i, out, html4) : 0;
        if (used > 0) {
            i += used;
        } else {
            out += text.at(i);
            ++i;
        }
    }
    return out;
}

bool isBlockTag(QStringView name)
{
    static const char *const Blocks[] = {"p", "br", "li", "div", "tr", "h1", "h2", "h3", "h4", "h5", "h6",
                                          "ul", "ol", "dd", "dt", "blockquote", "section", "article",
                                          "table", "hr", "pre", "header", "footer"};
    for (const char *block : Blocks) {
        if (name.compare(QLatin1String(block), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString stripTags(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < size ? text.at(i + 1) : QChar();
        const bool tag = c == u'<' && next.unicode() < 128
                         && (next.isLetter() || next == u'/' || next == u'!' || next == u'?');
        if (!tag) {
            out += c;
            continue;
        }
        const qsizetype end = text.indexOf(u'>', i + 1);
        if (end < 0) {
            out += c;
            continue;
        }
        qsizetype n = i + 1;
        if (n < end && text.at(n) == u'/')
            ++n;
        qsizetype nameEnd = n;
        while (nameEnd < end && text.at(nameEnd).unicode() < 128 && text.at(nameEnd).isLetterOrNumber())
            ++nameEnd;
        if (isBlockTag(QStringView(text).mid(n, nameEnd - n)))
            out += u'\n';
        i = end;
    }
    return out;
}

} // namespace

QString decodeEntities(const QString &text)
{
    if (!text.contains(u'&'))
        return text;
    QString once = decodeOnce(text, false);
    // Some pages encode twice ("&amp;#39;"), with the tools of HTML 4's
    // days: a later name after "&amp;" ("&amp;frac13;") is the text itself.
    if (once.contains(u'&') && once != text)
        once = decodeOnce(once, true);
    return once;
}

QString cleanMarkup(const QString &text)
{
    QString out = decodeEntities(text);
    if (out.contains(u'<'))
        out = stripTags(out);
    return out;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i <= size; ++i) {
        const char16_t c = i < size ? text.at(i).unicode() : u'\n';
        if (c != u'\n' && c != u'\r' && c != 0x2028 && c != 0x2029)
            continue;
        lines.append(QStringView(text).mid(start, i - start).trimmed().toString());
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

void trimEmptyLines(QStringList &lines)
{
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    qsizetype first = 0;
    while (first < lines.size() && lines.at(first).isEmpty())
        ++first;
    lines.remove(0, first);
}

QString oneLine(const QString &text)
{
    return text.simplified();
}

qint64 durationSeconds(const QString &iso)
{
    const QString text = iso.trimmed().toUpper();
    if (text.size() < 3 || text.at(0) != u'P')
        return -1;
    double seconds = 0;
    bool timePart = false;
    bool any = false;
    QString number;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() || c == u'.' || c == u',') {
            number += c == u',' ? QChar(u'.') : c;
            continue;
        }
        if (c == u'T' && number.isEmpty() && !timePart) {
            timePart = true;
            continue;
        }
        bool ok = false;
        const double value = number.toDouble(&ok);
        if (!ok)
            return -1;
        number.clear();
        double unit = 0;
        if (!timePart && c == u'W')
            unit = 7 * 86400;
        else if (!timePart && c == u'D')
            unit = 86400;
        else if (timePart && c == u'H')
            unit = 3600;
        else if (timePart && c == u'M')
            unit = 60;
        else if (timePart && c == u'S')
            unit = 1;
        else
            return -1;   // years and months are no cooking times; shown as given
        seconds += value * unit;
        any = true;
    }
    if (!any || !number.isEmpty() || seconds > 1e12)
        return -1;
    return qint64(std::llround(seconds));
}

QString durationText(qint64 seconds)
{
    const qint64 days = seconds / 86400;
    const qint64 hours = seconds % 86400 / 3600;
    const qint64 minutes = seconds % 3600 / 60;
    const qint64 rest = seconds % 60;
    QString out;
    if (days)
        out += QString::number(days) + QStringLiteral("天");
    if (hours)
        out += QString::number(hours) + QStringLiteral("小时");
    if (minutes)
        out += QString::number(minutes) + QStringLiteral("分");
    if (rest)
        out += QString::number(rest) + QStringLiteral("秒");
    return out;
}

namespace {
// How many bytes are no part of a UTF-8 sequence; the rest appended to
// `kept` when given.
qsizetype scanUtf8(const QByteArray &bytes, qsizetype *sequences, QByteArray *kept)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype invalid = 0, valid = 0;
    const auto keep = [&](qsizetype at, qsizetype n) {
        if (kept)
            kept->append(bytes.constData() + at, n);
    };
    for (qsizetype i = 0; i < size;) {
        if (i + 8 <= size) {   // eight ASCII bytes at a time
            quint64 eight;
            std::memcpy(&eight, p + i, 8);
            if (!(eight & 0x8080808080808080ULL)) {
                keep(i, 8);
                i += 8;
                continue;
            }
        }
        const unsigned char c = p[i];
        if (c < 0x80) {
            keep(i, 1);
            ++i;
            continue;
        }
        int follow = -1;
        unsigned char low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        }
        bool ok = follow > 0 && i + follow < size && p[i + 1] >= low && p[i + 1] <= high;
        for (int k = 2; ok && k <= follow; ++k)
            ok = p[i + k] >= 0x80 && p[i + k] <= 0xBF;
        if (ok) {
            ++valid;
            keep(i, follow + 1);
            i += follow + 1;
        } else {
            ++invalid;
            ++i;
        }
    }
    if (sequences)
        *sequences = valid;
    return invalid;
}
} // namespace

qsizetype invalidUtf8(const QByteArray &bytes, qsizetype *sequences)
{
    return scanUtf8(bytes, sequences, nullptr);
}

QByteArray withoutInvalidUtf8(const QByteArray &bytes)
{
    if (isUtf8(bytes))
        return bytes;
    QByteArray kept;
    kept.reserve(bytes.size());
    scanUtf8(bytes, nullptr, &kept);
    return kept;
}

bool isUtf8(const QByteArray &bytes)
{
    return invalidUtf8(bytes, nullptr) == 0;
}

QString fromCp437(const QByteArray &bytes)
{
    // Every byte has its character in code page 437: iconv fails only when
    // it lacks the table, and then Latin-1 keeps at least the letters.
    QString out;
    return fromLegacy(bytes, "CP437", &out) ? out : QString::fromLatin1(bytes);
}

bool fromLegacy(const QByteArray &bytes, const char *encoding, QString *out)
{
    iconv_t cd = iconv_open("UTF-8", encoding);
    if (cd == iconv_t(-1))
        return false;
    QByteArray utf8(bytes.size() * 4 + 4, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *dst = utf8.data();
    size_t dstLeft = size_t(utf8.size());
    const size_t done = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (done == size_t(-1) || inLeft != 0)
        return false;
    utf8.truncate(utf8.size() - qsizetype(dstLeft));
    *out = QString::fromUtf8(utf8);
    return true;
}

} // namespace ImportFormats
