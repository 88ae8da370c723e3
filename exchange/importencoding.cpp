// The encoding a saved page is read in: its bytes, its declaration, and
// what its bytes look like when it declares none.
#include "exchange/importformats.h"

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

// Whether the bytes above 0x7F come mostly in pairs, as Chinese characters
// in GBK do, rather than alone between ASCII, as accented letters do.
bool looksDoubleByte(const QByteArray &bytes)
{
    qsizetype pairs = 0, singles = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes.at(i)) < 0x80)
            continue;
        if (i + 1 < bytes.size() && static_cast<unsigned char>(bytes.at(i + 1)) >= 0x80) {
            ++pairs;
            ++i;
        } else {
            ++singles;
        }
    }
    return pairs > 2 * singles;
}

} // namespace

// The encoding to hand the parser. Bytes that are UTF-8 throughout are
// UTF-8 whatever the page says (a browser's "save complete" re-encodes);
// else the declared one, named as iconv knows the whole family; a page that
// declares none: UTF-8 with a few stray bytes, else GBK (GB18030) when all of
// it reads so, else Windows-1252.
QByteArray pageEncoding(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return "UTF-16LE";
    if (bytes.startsWith("\xFE\xFF"))
        return "UTF-16BE";
    qsizetype sequences = 0;
    const qsizetype invalid = invalidUtf8(bytes, &sequences);
    if (invalid == 0)
        return "UTF-8";
    const QByteArray declared = declaredCharset(bytes);
    static const struct {
        const char *name;
        const char *use;
    } Families[] = {
        {"gb2312", "GB18030"}, {"gbk", "GB18030"}, {"x-gbk", "GB18030"}, {"gb_2312-80", "GB18030"},
        {"csgb2312", "GB18030"}, {"chinese", "GB18030"}, {"gb18030", "GB18030"},
        {"big5", "BIG5-HKSCS"}, {"big5-hkscs", "BIG5-HKSCS"}, {"x-x-big5", "BIG5-HKSCS"}, {"cn-big5", "BIG5-HKSCS"},
        {"shift_jis", "CP932"}, {"sjis", "CP932"}, {"x-sjis", "CP932"}, {"windows-31j", "CP932"},
        {"euc-kr", "CP949"}, {"ks_c_5601-1987", "CP949"},
        {"iso-8859-1", "CP1252"}, {"latin1", "CP1252"}, {"us-ascii", "CP1252"}, {"ascii", "CP1252"},
        // A stray byte in a UTF-8 page: libxml2 takes it alone, the rest stays UTF-8.
        {"utf-8", "UTF-8"}, {"utf8", "UTF-8"}, {"utf-16", "UTF-8"}, {"unicode", "UTF-8"},
    };
    for (const auto &family : Families) {
        if (declared == family.name)
            return family.use;
    }
    if (!declared.isEmpty())
        return declared.toUpper();
    if (sequences > invalid * 4)
        return "UTF-8";
    QString ignored;
    return looksDoubleByte(bytes) && fromLegacy(bytes, "GB18030", &ignored) ? QByteArray("GB18030") : QByteArray("CP1252");
}

} // namespace ImportFormats
