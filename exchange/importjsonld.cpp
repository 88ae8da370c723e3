// schema.org Recipe in JSON: lenient parsing as real pages need, finding the
// recipes wherever they sit, and their fields as the catalogue holds them.
#include "exchange/importformats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <cstring>
#include <utility>

namespace ImportFormats {

namespace {

QByteArray trimmedBytes(const QByteArray &bytes)
{
    return bytes.trimmed();
}

// An HTML comment or CDATA wrapper around a script's JSON.
QByteArray unwrapped(QByteArray text)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    text = trimmedBytes(text);
    static const char *const Open[] = {"<!--", "//<![CDATA[", "/*<![CDATA[*/", "<![CDATA["};
    static const char *const Close[] = {"-->", "//]]>", "/*]]>*/", "]]>"};
    for (const char *open : Open) {
        if (text.startsWith(open))
            text = trimmedBytes(text.mid(qsizetype(qstrlen(open))));
    }
    for (const char *close : Close) {
        if (text.endsWith(close))
            text = trimmedBytes(text.chopped(qsizetype(qstrlen(close))));
    }
    return text;
}

// Whether the text so far ends with a whole object or array, blanks aside.
bool endsValue(const QByteArray &out)
{
    qsizetype k = out.size() - 1;
    while (k >= 0 && (out.at(k) == ' ' || out.at(k) == '\n' || out.at(k) == '\r' || out.at(k) == '\t'))
        --k;
    return k >= 0 && (out.at(k) == '}' || out.at(k) == ']');
}

// The byte at `i`, inside a string, copied as strict JSON: control
// characters escaped, unknown escapes ("\'") reduced to the character, a
// NUL dropped. The index of the last byte taken.
qsizetype strictStringByte(const QByteArray &in, qsizetype i, QByteArray &out, bool &inString)
{
    const char c = in.at(i);
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\' && i + 1 < in.size()) {
        const char next = in.at(i + 1);
        if (next == 'u' && in.mid(i + 2, 4) == "0000")
            return i + 5;   // a NUL costs itself, not the rest of the text
        if (next && std::strchr("\"\\/bfnrtu", next)) {
            out += '\\';
            out += next;
        } else if (next == '\n' || next == '\r') {
            out += "\\n";
        } else {
            return i;   // the character itself, read next
        }
        return i + 1;
    }
    if (c == '"') {
        inString = false;
        out += c;
    } else if (u >= 0x20) {
        out += c;
    } else if (u != 0) {
        static const char Hex[] = "0123456789abcdef";
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else
            out += QByteArray("\\u00") + Hex[u >> 4] + Hex[u & 15];
    }
    return i;
}

// The JSON made strict: strings as strictStringByte makes them, comments
// and a comma before a closing bracket dropped, a comma put between values
// that follow one another at the top.
QByteArray strictened(const QByteArray &in)
{
    QByteArray out;
    out.reserve(in.size() + 64);
    const qsizetype size = in.size();
    bool inString = false;
    int depth = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = in.at(i);
        if (inString) {
            i = strictStringByte(in, i, out, inString);
            continue;
        }
        if (depth == 0 && (c == '{' || c == '[' || c == '"') && endsValue(out))
            out += ',';   // objects one after another, one a line, no comma between
        if (c == '"') {
            inString = true;
            out += c;
        } else if (c == '/' && i + 1 < size && in.at(i + 1) == '/') {
            while (i < size && in.at(i) != '\n')
                ++i;
        } else if (c == '/' && i + 1 < size && in.at(i + 1) == '*') {
            const qsizetype end = in.indexOf("*/", i + 2);
            i = end < 0 ? size : end + 1;
        } else if (c == '{' || c == '[') {
            ++depth;
            out += c;
        } else if (c == '}' || c == ']') {
            depth = std::max(depth - 1, 0);
            qsizetype k = out.size() - 1;
            while (k >= 0 && (out.at(k) == ' ' || out.at(k) == '\n' || out.at(k) == '\r' || out.at(k) == '\t'))
                --k;
            if (k >= 0 && out.at(k) == ',')
                out.remove(k, 1);
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

bool fromDocument(const QByteArray &text, QJsonValue *out)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return false;
    *out = doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
    return true;
}

QString lastSegment(const QString &name)
{
    qsizetype cut = -1;
    for (const QChar sep : {u':', u'/', u'#'})
        cut = std::max(cut, name.lastIndexOf(sep));
    return name.mid(cut + 1).trimmed();
}

bool hasType(const QJsonValue &type, QLatin1String wanted)
{
    if (type.isArray()) {
        for (const QJsonValue &one : type.toArray()) {
            if (hasType(one, wanted))
                return true;
        }
        return false;
    }
    return type.isString() && lastSegment(type.toString()).compare(wanted, Qt::CaseInsensitive) == 0;
}

// A property by its name, also when written with a prefix ("schema:name").
QJsonValue field(const QJsonObject &object, QLatin1String key)
{
    const auto found = object.constFind(key);
    if (found != object.constEnd())
        return found.value();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QString name = it.key();
        if (name.size() > key.size() && name.endsWith(key)) {
            const QChar sep = name.at(name.size() - key.size() - 1);
            if (sep == u':' || sep == u'/' || sep == u'#')
                return it.value();
        }
    }
    return QJsonValue(QJsonValue::Undefined);
}

bool present(const QJsonValue &value)
{
    return !value.isUndefined() && !value.isNull();
}

void walk(const QJsonValue &value, QVector<QJsonObject> &found, QSet<QString> &ids, int depth)
{
    if (depth > 64)
        return;
    if (value.isArray()) {
        for (const QJsonValue &one : value.toArray())
            walk(one, found, ids, depth + 1);
        return;
    }
    if (!value.isObject())
        return;
    const QJsonObject object = value.toObject();
    if (hasType(object.value(QLatin1String("@type")), QLatin1String("Recipe"))) {
        const QString id = object.value(QLatin1String("@id")).toString();
        if (id.isEmpty() || !ids.contains(id)) {
            ids.insert(id);
            found.append(object);
        }
        return;
    }
    // @graph and mainEntity first, in that order; then the rest.
    static const QLatin1String First[] = {QLatin1String("@graph"), QLatin1String("mainEntity")};
    for (const QLatin1String key : First)
        walk(field(object, key), found, ids, depth + 1);
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if ((it->isObject() || it->isArray()) && it.key() != First[0] && lastSegment(it.key()) != First[1])
            walk(it.value(), found, ids, depth + 1);
    }
}

class Reader {
public:
    explicit Reader(bool markup) : m_markup(markup) {}

    QString clean(const QString &text) const { return m_markup ? cleanMarkup(text) : text; }

    // A value as one text: a string, a number, the first of an array, an
    // object's @value or name.
    QString text(const QJsonValue &value) const
    {
        if (value.isString())
            return clean(value.toString());
        if (value.isDouble())
            return QString::number(value.toDouble(), 'g', 15);
        if (value.isArray()) {
            for (const QJsonValue &one : value.toArray()) {
                const QString found = text(one);
                if (!oneLine(found).isEmpty())
                    return found;
            }
            return QString();
        }
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            for (const QLatin1String key : {QLatin1String("@value"), QLatin1String("name"), QLatin1String("text")}) {
                const QJsonValue inner = field(object, key);
                if (present(inner))
                    return text(inner);
            }
        }
        return QString();
    }

    QString line(const QJsonValue &value) const { return oneLine(text(value)); }

    // A text of several lines: markup's blank lines dropped, runs of blank
    // lines in plain text kept as one.
    QStringList lines(const QString &raw) const
    {
        const bool tagged = m_markup && raw.contains(u'<');
        const QStringList all = splitLines(clean(raw));
        QStringList out;
        for (const QString &one : all) {
            if (!one.isEmpty() || (!tagged && !out.isEmpty() && !out.last().isEmpty()))
                out.append(one);
        }
        return out;
    }

    void ingredients(const QJsonValue &value, QStringList &out, int depth) const
    {
        if (depth > 16)
            return;
        if (value.isString()) {
            out += lines(value.toString());
        } else if (value.isArray()) {
            for (const QJsonValue &one : value.toArray()) {
                if (one.isArray())
                    ingredients(one, out, depth + 1);
                else
                    out.append(line(one));
            }
        } else if (present(value)) {
            out.append(line(value));
        }
    }

    void steps(const QJsonValue &value, QStringList &out, int depth) const
    {
        if (depth > 16)
            return;
        if (value.isString()) {
            out += lines(value.toString());
            return;
        }
        if (value.isArray()) {
            for (const QJsonValue &one : value.toArray())
                steps(one, out, depth + 1);
            return;
        }
        if (!value.isObject())
            return;
        const QJsonObject object = value.toObject();
        const QJsonValue type = object.value(QLatin1String("@type"));
        QJsonValue children = field(object, QLatin1String("itemListElement"));
        if (!present(children))
            children = field(object, QLatin1String("ItemListElement"));
        if (hasType(type, QLatin1String("HowToSection"))) {
            const QString name = line(field(object, QLatin1String("name")));
            if (!name.isEmpty())
                out.append(QStringLiteral("【") + name + QStringLiteral("】"));
            steps(children, out, depth + 1);
            return;
        }
        if (hasType(type, QLatin1String("ItemList"))) {
            steps(children, out, depth + 1);
            return;
        }
        const QJsonValue item = field(object, QLatin1String("item"));
        if (item.isObject()) {   // a ListItem holding the step
            steps(item, out, depth + 1);
            return;
        }
        const QString name = text(field(object, QLatin1String("name")));
        QString said = text(field(object, QLatin1String("text")));
        said = oneLine(said).isEmpty() ? name : namedStep(name, said);
        QStringList stepLines;
        for (const QString &one : splitLines(said)) {
            if (!one.isEmpty())
                stepLines.append(one);
        }
        if (stepLines.isEmpty() && present(children)) {
            steps(children, out, depth + 1);
            return;
        }
        if (stepLines.isEmpty())
            stepLines.append(QString());   // an empty step: an empty line
        out += stepLines;
    }

    QString image(const QJsonValue &value, int depth = 0) const
    {
        if (depth > 8)
            return QString();
        if (value.isString())
            return (m_markup ? decodeEntities(value.toString()) : value.toString()).trimmed();
        if (value.isArray()) {
            for (const QJsonValue &one : value.toArray()) {
                const QString found = image(one, depth + 1);
                if (!found.isEmpty())
                    return found;
            }
        }
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            for (const QLatin1String key : {QLatin1String("url"), QLatin1String("contentUrl"), QLatin1String("@id")}) {
                const QString found = image(field(object, key), depth + 1);
                if (!found.isEmpty())
                    return found;
            }
        }
        return QString();
    }

private:
    bool m_markup;
};

QString shownDuration(const QString &given, qint64 seconds)
{
    return seconds > 0 ? durationText(seconds) : seconds == 0 ? QString() : given;
}

QString timeText(const QString &total, const QString &prep, const QString &cook)
{
    if (!total.isEmpty()) {
        const qint64 seconds = durationSeconds(total);
        if (seconds != 0)
            return shownDuration(total, seconds);
    }
    const qint64 p = prep.isEmpty() ? 0 : durationSeconds(prep);
    const qint64 c = cook.isEmpty() ? 0 : durationSeconds(cook);
    if (p >= 0 && c >= 0)
        return p + c > 0 ? durationText(p + c) : QString();
    QStringList parts;
    for (const QString &part : {shownDuration(prep, p), shownDuration(cook, c)}) {
        if (!part.isEmpty())
            parts.append(part);
    }
    return parts.join(QStringLiteral(" + "));
}

// Tags from the categories after the first and the keywords; servings
// from the yield.
void readMarks(const Reader &read, const QJsonObject &recipe, Draft &draft)
{
    QStringList lists;
    const QJsonValue categories = field(recipe, QLatin1String("recipeCategory"));
    if (categories.isArray()) {
        bool first = true;   // the one the dish goes into
        for (const QJsonValue &one : categories.toArray()) {
            const QString category = read.line(one);
            if (!category.isEmpty() && !std::exchange(first, false))
                lists << category;
        }
    }
    for (const QString &keywords : keywordList(field(recipe, QLatin1String("keywords"))))
        lists << read.line(keywords);
    draft.tags = tagsFrom(lists, false);
    QJsonValue yield = field(recipe, QLatin1String("recipeYield"));
    if (!present(yield))
        yield = field(recipe, QLatin1String("yield"));
    // Each text as a line, its markup gone ("&#52;" is no 52); numbers as they are.
    const auto asText = [&read](const QJsonValue &value) { return value.isDouble() ? value : QJsonValue(read.line(value)); };
    if (yield.isArray()) {
        QJsonArray texts;
        for (const QJsonValue &one : yield.toArray())
            texts.append(asText(one));
        yield = texts;
    } else {
        yield = asText(yield);
    }
    draft.servings = servingsIn(yield);
}

} // namespace

bool parseLenientJson(const QByteArray &bytes, QJsonValue *out)
{
    // A stray byte that is no UTF-8 costs itself, not the recipe.
    const QByteArray text = withoutInvalidUtf8(unwrapped(bytes));
    if (text.isEmpty())
        return false;
    if (fromDocument(text, out))
        return true;
    const QByteArray strict = strictened(text);
    // Several objects one after another, as a few pages write them.
    return fromDocument(strict, out) || fromDocument('[' + strict + ']', out);
}

QVector<QJsonObject> findRecipes(const QJsonValue &root)
{
    QVector<QJsonObject> found;
    QSet<QString> ids;
    walk(root, found, ids, 0);
    return found;
}

Draft draftFromSchema(const QJsonObject &recipe, bool markup)
{
    const Reader read(markup);
    Draft draft;
    draft.name = read.line(field(recipe, QLatin1String("name")));
    if (draft.name.isEmpty())
        draft.name = read.line(field(recipe, QLatin1String("headline")));
    draft.category = read.line(field(recipe, QLatin1String("recipeCategory")));
    draft.traditional = isTraditionalLanguage(read.line(field(recipe, QLatin1String("inLanguage"))));

    QJsonValue ingredients = field(recipe, QLatin1String("recipeIngredient"));
    if (!present(ingredients))
        ingredients = field(recipe, QLatin1String("ingredients"));
    read.ingredients(ingredients, draft.ingredients, 0);
    for (QString &ingredient : draft.ingredients)
        ingredient = mendedBrackets(ingredient);
    trimEmptyLines(draft.ingredients);
    const QJsonValue instructions = field(recipe, QLatin1String("recipeInstructions"));
    read.steps(instructions, draft.method, 0);
    if (instructions.isString() || instructions.toArray().size() == 1)   // the method as one text
        draft.method = numberedSteps(draft.method);
    trimEmptyLines(draft.method);

    readMarks(read, recipe, draft);
    draft.time = timeText(read.line(field(recipe, QLatin1String("totalTime"))),
                          read.line(field(recipe, QLatin1String("prepTime"))),
                          read.line(field(recipe, QLatin1String("cookTime"))));
    draft.url = read.image(field(recipe, QLatin1String("url")));
    draft.image = read.image(field(recipe, QLatin1String("image")));
    if (draft.image.isEmpty())
        draft.image = read.image(field(recipe, QLatin1String("thumbnailUrl")));
    return draft;
}

QVector<QJsonObject> recipesInJson(const QByteArray &bytes, QString &refusal)
{
    QJsonValue json;
    if (!parseLenientJson(bytes, &json)) {
        refusal = ImportRefusal::Damaged;
        return {};
    }
    QVector<QJsonObject> recipes = findRecipes(json);
    if (recipes.isEmpty())
        refusal = ImportRefusal::NoRecipe;
    return recipes;
}

} // namespace ImportFormats
