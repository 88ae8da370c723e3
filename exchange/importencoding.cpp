// The encoding a saved page is read in: its bytes, its declaration, and
// what its bytes look like when it declares none.
#include "exchange/importformats.h"

#include <uchardet.h>

#include <algorithm>
#include <cstring>

namespace ImportFormats {

namespace {

bool startsWithNoCase(const char *text, qsizetype left, const char *word)
{
    const qsizetype n = qsizetype(std::strlen(word));
    return left >= n && qstrnicmp(text, word, size_t(n)) == 0;
}

// The charset a <meta> near the top of the page declares, lower-cased.
QByteArray declaredCharset(const QByteArray &bytes)
{
    const qsizetype size = std::min<qsizetype>(bytes.size(), 32 * 1024);
    const char *p = bytes.constData();
    for (qsizetype i = 0; i + 5 < size; ++i) {
        if (p[i] != '<' || !startsWithNoCase(p + i, size - i, "<meta"))
            continue;
        const qsizetype close = bytes.indexOf('>', i);
        const qsizetype end = close < 0 ? size : std::min(close, size);
        for (qsizetype k = i + 5; k + 7 < end; ++k) {
            if (!startsWithNoCase(p + k, end - k, "charset"))
                continue;
            qsizetype v = k + 7;
            while (v < end && (p[v] == ' ' || p[v] == '\t' || p[v] == '\n' || p[v] == '\r'))
                ++v;
            if (v >= end || p[v] != '=')
                continue;
            ++v;
            while (v < end && (p[v] == ' ' || p[v] == '"' || p[v] == '\''))
                ++v;
            qsizetype stop = v;
            while (stop < end && (std::isalnum(static_cast<unsigned char>(p[stop])) || std::strchr("-_.:", p[stop])))
                ++stop;
            if (stop > v)
                return bytes.mid(v, stop - v).toLower();
        }
        i = end;
    }
    return QByteArray();
}

// What the bytes look like to uchardet (lower case), or empty when it
// cannot tell. The first 256 KB are enough to tell.
QByteArray detectedCharset(const QByteArray &bytes)
{
    uchardet_t detector = uchardet_new();
    if (!detector)
        return QByteArray();
    QByteArray found;
    if (uchardet_handle_data(detector, bytes.constData(), size_t(std::min<qsizetype>(bytes.size(), 256 * 1024))) == 0) {
        uchardet_data_end(detector);
        found = QByteArray(uchardet_get_charset(detector)).toLower();
    }
    uchardet_delete(detector);
    return found;
}

// Whether the bytes read as Latin-1 text: none of the C1 controls, which
// no Latin-1 text holds.
bool isLatin1Text(const QByteArray &bytes)
{
    return std::none_of(bytes.cbegin(), bytes.cend(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x80 && u <= 0x9F;
    });
}

// The encoding iconv is to read a charset name in: the whole family for
// the names pages and detectors use.
QByteArray familyOf(const QByteArray &charset)
{
    static const struct {
        const char *name;
        const char *use;
    } Families[] = {
        {"gb2312", "GB18030"}, {"gbk", "GB18030"}, {"x-gbk", "GB18030"}, {"gb_2312-80", "GB18030"},
        {"csgb2312", "GB18030"}, {"chinese", "GB18030"}, {"gb18030", "GB18030"}, {"hz-gb-2312", "HZ"},
        {"big5", "BIG5-HKSCS"}, {"big5-hkscs", "BIG5-HKSCS"}, {"x-x-big5", "BIG5-HKSCS"}, {"cn-big5", "BIG5-HKSCS"},
        {"euc-tw", "EUC-TW"},
        {"shift_jis", "CP932"}, {"sjis", "CP932"}, {"x-sjis", "CP932"}, {"windows-31j", "CP932"},
        {"euc-kr", "CP949"}, {"ks_c_5601-1987", "CP949"}, {"uhc", "CP949"},
        {"iso-8859-1", "CP1252"}, {"latin1", "CP1252"}, {"us-ascii", "CP1252"}, {"ascii", "CP1252"},
        {"windows-1252", "CP1252"},
        // A stray byte in a UTF-8 page: libxml2 takes it alone, the rest stays UTF-8.
        {"utf-8", "UTF-8"}, {"utf8", "UTF-8"}, {"utf-16", "UTF-8"}, {"unicode", "UTF-8"},
    };
    for (const auto &family : Families) {
        if (charset == family.name)
            return family.use;
    }
    return charset.toUpper();
}

} // namespace

// The encoding to hand the parser. Bytes that are UTF-8 throughout are
// UTF-8 whatever the page says (a browser's "save complete" re-encodes);
// else the declared one, named as iconv knows the whole family; a page that
// declares none: UTF-8 with a few stray bytes, else what uchardet sees,
// else Latin-1 when the bytes read so (`unsure` set), else nothing.
QByteArray pageEncoding(const QByteArray &bytes, bool *unsure)
{
    if (unsure)
        *unsure = false;
    if (bytes.startsWith("\xFF\xFE"))
        return "UTF-16LE";
    if (bytes.startsWith("\xFE\xFF"))
        return "UTF-16BE";
    qsizetype sequences = 0;
    const qsizetype invalid = invalidUtf8(bytes, &sequences);
    if (invalid == 0)
        return "UTF-8";
    const QByteArray declared = declaredCharset(bytes);
    if (!declared.isEmpty())
        return familyOf(declared);
    if (sequences > invalid * 4)
        return "UTF-8";
    const QByteArray detected = detectedCharset(bytes);
    QString ignored;
    if (!detected.isEmpty() && fromLegacy(bytes, familyOf(detected).constData(), &ignored))
        return familyOf(detected);
    if (unsure)
        *unsure = true;
    return isLatin1Text(bytes) ? QByteArray("ISO-8859-1") : QByteArray();
}

bool isBig5Page(const QByteArray &bytes, const QByteArray &encoding)
{
    constexpr char Big5[] = "BIG5-HKSCS";
    return encoding == Big5 || familyOf(declaredCharset(bytes)) == Big5;
}

} // namespace ImportFormats
