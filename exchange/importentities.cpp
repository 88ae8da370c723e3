// Named character references as HTML5 reads them (the table is generated,
// htmlentities.cpp), for text values and for the bytes libxml2 parses: its
// HTML parser knows only HTML 4's names, and those only with a semicolon.
#include "exchange/importformats.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <cstring>

namespace ImportFormats {

namespace {

constexpr qsizetype LongestName = 31;   // CounterClockwiseContourIntegral

char16_t unitOf(QChar c) { return c.unicode(); }
char16_t unitOf(char c) { return char16_t(static_cast<unsigned char>(c)); }

bool isAsciiAlnum(char16_t u)
{
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}

const HtmlEntity *lookup(const char *name)
{
    const HtmlEntity *end = HtmlEntities + HtmlEntityCount;
    const HtmlEntity *found = std::lower_bound(HtmlEntities, end, name, [](const HtmlEntity &entity, const char *key) {
        return std::strcmp(entity.name, key) < 0;
    });
    return found != end && std::strcmp(found->name, name) == 0 ? found : nullptr;
}

// The same reading for text and for bytes: the name is ASCII either way.
template <typename View>
const HtmlEntity *referenceIn(View text, qsizetype *length)
{
    char name[LongestName + 1];
    qsizetype n = 0;
    for (; n < text.size() && isAsciiAlnum(unitOf(text.at(n))); ++n) {
        if (n == LongestName)
            return nullptr;
        name[n] = char(unitOf(text.at(n)));
    }
    name[n] = '\0';
    const HtmlEntity *entity = n > 0 ? lookup(name) : nullptr;
    if (!entity)
        return nullptr;
    const char16_t next = n < text.size() ? unitOf(text.at(n)) : u'\0';
    if (next == u';') {
        *length = n + 1;
        return entity;
    }
    if (!entity->bare || next == u'=')
        return nullptr;
    *length = n;
    return entity;
}

void appendHex(QByteArray &out, char32_t code)
{
    out += "&#x";
    out += QByteArray::number(quint32(code), 16);
    out += ';';
}

} // namespace

const HtmlEntity *namedReference(QStringView text, qsizetype *length)
{
    return referenceIn(text, length);
}

bool isHtml4Entity(const HtmlEntity &entity)
{
    const htmlEntityDesc *known = htmlEntityLookup(reinterpret_cast<const xmlChar *>(entity.name));
    return known && entity.second == 0 && known->value == entity.first;
}

QByteArray withNumericReferences(const QByteArray &bytes)
{
    qsizetype at = bytes.indexOf('&');
    if (at < 0)
        return bytes;
    QByteArray out;
    out.reserve(bytes.size() + 64);
    qsizetype copied = 0;
    for (; at >= 0; at = bytes.indexOf('&', at + 1)) {
        qsizetype length = 0;
        const HtmlEntity *entity = referenceIn(QByteArrayView(bytes).sliced(at + 1), &length);
        // libxml2 reads HTML 4's names itself, when the semicolon is there.
        if (!entity || (bytes.at(at + length) == ';' && isHtml4Entity(*entity)))
            continue;
        out.append(bytes.constData() + copied, at - copied);
        appendHex(out, entity->first);
        if (entity->second)
            appendHex(out, entity->second);
        copied = at + 1 + length;
        at = copied - 1;
    }
    out.append(bytes.constData() + copied, bytes.size() - copied);
    return out;
}

} // namespace ImportFormats
