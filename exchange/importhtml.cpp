// Saved web pages: read with libxml2's HTML parser in the page's declared
// encoding. A first pass through its SAX interface (no tree: quick) takes the
// JSON-LD blocks, the title, the canonical address and the <img> sources; a
// page with no recipe there but schema.org microdata typed Recipe is then
// parsed into a tree, and its items read as the JSON would be.
#include "exchange/importformats.h"

#include <QJsonArray>
#include <QSet>

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>

namespace ImportFormats {

namespace {

void initParser()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

const xmlChar *attribute(const xmlNode *node, const char *name, bool *found = nullptr)
{
    for (const xmlAttr *attr = node->properties; attr; attr = attr->next) {
        if (std::strcmp(reinterpret_cast<const char *>(attr->name), name) != 0)
            continue;
        if (found)
            *found = true;
        const xmlNode *value = attr->children;
        return value && value->content ? value->content : reinterpret_cast<const xmlChar *>("");
    }
    if (found)
        *found = false;
    return nullptr;
}

QString attributeText(const xmlNode *node, const char *name)
{
    const xmlChar *value = attribute(node, name);
    return value ? QString::fromUtf8(reinterpret_cast<const char *>(value)).trimmed() : QString();
}

bool hasAttribute(const xmlNode *node, const char *name)
{
    bool found = false;
    attribute(node, name, &found);
    return found;
}

bool isNamed(const xmlNode *node, const char *name)
{
    return node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char *>(node->name), name) == 0;
}

bool isNamedAny(const xmlNode *node, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (isNamed(node, name))
            return true;
    }
    return false;
}

QStringList tokens(const QString &text)
{
    return text.simplified().split(u' ', Qt::SkipEmptyParts);
}

bool isRecipeType(const QString &itemtype)
{
    for (const QString &type : tokens(itemtype)) {
        if (type.compare(QLatin1String("Recipe"), Qt::CaseInsensitive) == 0
            || type.endsWith(QLatin1String("/Recipe"), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool isRecipeItem(const xmlNode *node)
{
    return node->type == XML_ELEMENT_NODE && hasAttribute(node, "itemscope")
           && isRecipeType(attributeText(node, "itemtype"));
}

void appendCollapsed(QString &out, const char *utf8)
{
    const QString text = QString::fromUtf8(utf8);
    bool blank = !out.isEmpty() && out.back().isSpace();
    for (const QChar c : text) {
        if (c.isSpace() && c != QChar(0x3000)) {
            if (!blank)
                out += u' ';
            blank = true;
        } else {
            out += c;
            blank = false;
        }
    }
}

void gatherText(const xmlNode *node, QString &out, int depth)
{
    if (depth > 256)
        return;
    for (const xmlNode *child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            if (child->content)
                appendCollapsed(out, reinterpret_cast<const char *>(child->content));
            continue;
        }
        if (child->type != XML_ELEMENT_NODE || isNamedAny(child, {"script", "style", "noscript"}))
            continue;
        if (isNamed(child, "br")) {
            out += u'\n';
            continue;
        }
        const bool block = isNamedAny(child, {"p", "div", "li", "ul", "ol", "tr", "h1", "h2", "h3", "h4", "h5",
                                              "h6", "dd", "dt", "section", "article", "table", "blockquote",
                                              "pre", "header", "footer", "hr"});
        if (block)
            out += u'\n';
        gatherText(child, out, depth + 1);
        if (block)
            out += u'\n';
    }
}

// An element's text, a line for each block, blank lines left out.
QString textOf(const xmlNode *node)
{
    QString raw;
    gatherText(node, raw, 0);
    QStringList lines;
    for (const QString &line : splitLines(raw)) {
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines.join(u'\n');
}

QString lastSegment(const QString &type)
{
    return type.mid(std::max(type.lastIndexOf(u'/'), type.lastIndexOf(u'#')) + 1);
}

// A content attribute's text; markup in it (some sites put a paragraph
// there) read as text: tags dropped, a line for each block.
QString contentText(const QString &content)
{
    if (!content.contains(u'<'))
        return content.trimmed();
    QStringList lines = splitLines(cleanMarkup(content));
    lines.removeAll(QString());
    return lines.join(u'\n');
}

// A microdata property's value, by the element that carries it.
QString propertyValue(const xmlNode *node)
{
    bool found = false;
    const xmlChar *content = attribute(node, "content", &found);
    if (found)
        return contentText(QString::fromUtf8(reinterpret_cast<const char *>(content)));
    if (isNamedAny(node, {"img", "audio", "video", "source", "embed", "iframe", "track"}))
        return attributeText(node, "src");
    if (isNamedAny(node, {"a", "area", "link"}))
        return attributeText(node, "href");
    if (isNamed(node, "object"))
        return attributeText(node, "data");
    if (isNamed(node, "time") && hasAttribute(node, "datetime"))
        return attributeText(node, "datetime");
    if (isNamedAny(node, {"data", "meter"}))
        return attributeText(node, "value");
    return textOf(node);
}

void addProperty(QJsonObject &item, const QString &name, const QJsonValue &value)
{
    const auto existing = item.find(name);
    if (existing == item.end()) {
        item.insert(name, value);
        return;
    }
    QJsonArray values = existing->isArray() ? existing->toArray() : QJsonArray{*existing};
    values.append(value);
    *existing = values;
}

QJsonObject microdataItem(const xmlNode *node, int depth);

// The old names of a recipe's parts as today's, so that both keep page order.
QString currentName(const QString &name)
{
    if (name == QLatin1String("ingredients") || name == QLatin1String("ingredient"))
        return QStringLiteral("recipeIngredient");
    if (name == QLatin1String("instructions"))
        return QStringLiteral("recipeInstructions");
    return name;
}

void collectProperties(const xmlNode *node, QJsonObject &item, int depth)
{
    if (depth > 256)
        return;
    for (const xmlNode *child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE)
            continue;
        const QStringList names = tokens(attributeText(child, "itemprop"));
        const bool scope = hasAttribute(child, "itemscope");
        if (!names.isEmpty()) {
            const QJsonValue value = scope ? QJsonValue(microdataItem(child, depth + 1)) : QJsonValue(propertyValue(child));
            for (const QString &name : names)
                addProperty(item, currentName(lastSegment(name)), value);
        }
        if (!scope)
            collectProperties(child, item, depth + 1);
    }
}

QJsonObject microdataItem(const xmlNode *node, int depth)
{
    QJsonObject item;
    const QStringList types = tokens(attributeText(node, "itemtype"));
    if (!types.isEmpty())
        item.insert(QStringLiteral("@type"), lastSegment(types.first()));
    collectProperties(node, item, depth);
    return item;
}

// --- the quick pass: SAX, no tree ---

struct Scan {
    Page page;
    QVector<QByteArray> scripts;
    QByteArray script;
    QByteArray title;
    QByteArray heading;       // the first <h1>'s text
    QString language;         // <html lang>
    QString contentLanguage;  // <meta http-equiv=content-language>
    QString ogUrl;
    QString savedFrom;
    bool inScript = false;
    bool inTitle = false;
    bool titleDone = false;
    bool inHeading = false;
    bool headingDone = false;
    bool microdata = false;   // an itemscope typed Recipe
};

const xmlChar *saxAttribute(const xmlChar **atts, const char *name, bool *found = nullptr)
{
    for (const xmlChar **at = atts; at && at[0]; at += 2) {
        if (std::strcmp(reinterpret_cast<const char *>(at[0]), name) == 0) {
            if (found)
                *found = true;
            return at[1] ? at[1] : reinterpret_cast<const xmlChar *>("");
        }
    }
    if (found)
        *found = false;
    return nullptr;
}

QString saxText(const xmlChar **atts, const char *name)
{
    const xmlChar *value = saxAttribute(atts, name);
    return value ? QString::fromUtf8(reinterpret_cast<const char *>(value)).trimmed() : QString();
}

bool named(const xmlChar *name, const char *wanted)
{
    return std::strcmp(reinterpret_cast<const char *>(name), wanted) == 0;
}

void onStart(void *context, const xmlChar *name, const xmlChar **atts)
{
    auto *scan = static_cast<Scan *>(context);
    Page &page = scan->page;
    if (named(name, "script")) {
        scan->inScript = saxText(atts, "type").startsWith(QLatin1String("application/ld+json"), Qt::CaseInsensitive);
        scan->script.clear();
    } else if (named(name, "title")) {
        scan->inTitle = !scan->titleDone;
    } else if (named(name, "h1")) {
        scan->inHeading = !scan->headingDone;
    } else if (named(name, "html")) {
        if (scan->language.isEmpty())
            scan->language = saxText(atts, "lang");
    } else if (named(name, "link")) {
        if (page.canonical.isEmpty() && tokens(saxText(atts, "rel").toLower()).contains(QLatin1String("canonical")))
            page.canonical = saxText(atts, "href");
    } else if (named(name, "meta")) {
        if (scan->ogUrl.isEmpty()
            && (saxText(atts, "property") == QLatin1String("og:url") || saxText(atts, "name") == QLatin1String("og:url")))
            scan->ogUrl = saxText(atts, "content");
        if (saxText(atts, "http-equiv").compare(QLatin1String("content-language"), Qt::CaseInsensitive) == 0)
            scan->contentLanguage = saxText(atts, "content");
    } else if (named(name, "base")) {
        if (page.base.isEmpty())
            page.base = saxText(atts, "href");
    } else if (named(name, "img")) {
        const QString source = saxText(atts, "src");
        if (!source.isEmpty())
            page.imageSources.append(source);
    }
    bool scope = false;
    saxAttribute(atts, "itemscope", &scope);
    if (scope && !scan->microdata)
        scan->microdata = isRecipeType(saxText(atts, "itemtype"));
}

void onEnd(void *context, const xmlChar *name)
{
    auto *scan = static_cast<Scan *>(context);
    if (named(name, "script") && scan->inScript) {
        scan->scripts.append(scan->script);
        scan->inScript = false;
    } else if (named(name, "title") && scan->inTitle) {
        scan->inTitle = false;
        scan->titleDone = true;
    } else if (named(name, "h1") && scan->inHeading) {
        scan->inHeading = false;
        scan->headingDone = true;
    }
}

void onText(void *context, const xmlChar *text, int length)
{
    auto *scan = static_cast<Scan *>(context);
    if (scan->inScript)
        scan->script.append(reinterpret_cast<const char *>(text), length);
    else if (scan->inTitle)
        scan->title.append(reinterpret_cast<const char *>(text), length);
    else if (scan->inHeading)
        scan->heading.append(reinterpret_cast<const char *>(text), length);
}

void onComment(void *context, const xmlChar *value)
{
    // "<!-- saved from url=(0042)https://... -->", as browsers write it.
    auto *scan = static_cast<Scan *>(context);
    const QString comment = QString::fromUtf8(reinterpret_cast<const char *>(value)).trimmed();
    if (scan->savedFrom.isEmpty() && comment.startsWith(QLatin1String("saved from url="), Qt::CaseInsensitive))
        scan->savedFrom = comment.mid(comment.indexOf(u')') + 1).section(u' ', 0, 0).trimmed();
}

constexpr int Options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET
                         | HTML_PARSE_COMPACT | HTML_PARSE_IGNORE_ENC;

bool scanPage(const QByteArray &bytes, const QByteArray &encoding, Scan &scan)
{
    htmlParserCtxtPtr context = htmlCreateMemoryParserCtxt(bytes.constData(), int(bytes.size()));
    if (!context)
        return false;
    std::memset(context->sax, 0, sizeof(xmlSAXHandler));
    context->sax->startElement = onStart;
    context->sax->endElement = onEnd;
    context->sax->characters = onText;
    context->sax->cdataBlock = onText;
    context->sax->comment = onComment;
    context->userData = &scan;
    htmlCtxtUseOptions(context, Options);
    if (xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(encoding.constData()))
        xmlSwitchToEncoding(context, handler);
    htmlParseDocument(context);
    if (context->myDoc)
        xmlFreeDoc(context->myDoc);
    htmlFreeParserCtxt(context);
    return true;
}

// --- microdata: the tree, only for a page that has it and no JSON-LD ---

QVector<Draft> microdataDrafts(const QByteArray &bytes, const QByteArray &encoding)
{
    QVector<Draft> drafts;
    htmlDocPtr doc = htmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, encoding.constData(), Options);
    if (!doc)
        return drafts;
    QVector<const xmlNode *> items;
    const xmlNode *top = reinterpret_cast<const xmlNode *>(doc);
    for (const xmlNode *node = doc->children; node;) {
        if (isRecipeItem(node))
            items.append(node);
        if (node->children && node->type == XML_ELEMENT_NODE) {
            node = node->children;
            continue;
        }
        while (node && node != top && !node->next)
            node = node->parent;
        node = node && node != top ? node->next : nullptr;
    }
    for (const xmlNode *item : std::as_const(items)) {
        bool nested = false;
        for (const xmlNode *up = item->parent; up && !nested; up = up->parent)
            nested = items.contains(up);
        if (!nested)
            drafts.append(draftFromSchema(microdataItem(item, 0), false));
    }
    xmlFreeDoc(doc);
    return drafts;
}

// What makes two drafts of a page the same recipe, as one text: the name,
// the ingredients and the method, apart by characters no text holds.
QString draftKey(const Draft &draft)
{
    const QChar unit(0x1f), record(0x1e);
    return draft.name + record + draft.ingredients.join(unit) + record + draft.method.join(unit);
}

// Whether '&' and the ASCII letters are always themselves in the encoding's
// bytes (not so where ASCII bytes make up other characters).
bool asciiCompatible(const QByteArray &encoding)
{
    for (const char *other : {"UTF-16", "UTF-32", "UTF-7", "HZ", "ISO-2022"}) {
        if (encoding.startsWith(other))
            return false;
    }
    return true;
}

} // namespace

Page readPage(const QByteArray &bytes)
{
    initParser();
    Scan scan;
    bool unsure = false;
    const QByteArray encoding = pageEncoding(bytes, &unsure);
    if (encoding.isEmpty()) {
        Page unread;
        unread.encodingUnsure = unread.unreadable = true;
        return unread;
    }
    const QByteArray parsed = asciiCompatible(encoding) ? withNumericReferences(bytes) : bytes;
    if (parsed.isEmpty() || !scanPage(parsed, encoding, scan))
        return Page();
    Page &page = scan.page;
    page.encodingUnsure = unsure;
    page.title = oneLine(QString::fromUtf8(scan.title));
    QSet<QString> seen;
    QString jsonLang;
    for (const QByteArray &script : std::as_const(scan.scripts)) {
        QJsonValue json;
        if (!parseLenientJson(script, &json))
            continue;
        if (jsonLang.isEmpty())
            jsonLang = jsonLanguage(json);
        for (const QJsonObject &recipe : findRecipes(json)) {
            const Draft draft = draftFromSchema(recipe, true);
            const QString key = draftKey(draft);
            if (seen.contains(key))
                continue;
            seen.insert(key);
            page.drafts.append(draft);
        }
    }
    if (page.drafts.isEmpty() && scan.microdata)
        page.drafts = microdataDrafts(parsed, encoding);
    const bool traditional = isTraditionalLanguage(scan.language) || isTraditionalLanguage(scan.contentLanguage)
                             || isTraditionalLanguage(jsonLang) || isBig5Page(bytes, encoding);
    finishPageDrafts(page.drafts, QString::fromUtf8(scan.heading), traditional);
    if (page.canonical.isEmpty())
        page.canonical = !scan.ogUrl.isEmpty() ? scan.ogUrl : scan.savedFrom;
    return page;
}

} // namespace ImportFormats
