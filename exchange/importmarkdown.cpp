// Markdown recipes, one a file: the first heading names the dish ("…的做法"
// loses its tail), the sections under the headings after it give the
// ingredients (原料, 用料, …; a 计算 section gives them with amounts), the
// method (操作, 步骤, …) and the rest ("【小贴士】" and its lines, after the
// method). A front matter block may name the category.
#include "exchange/importformats.h"

#include <QRegularExpression>

#include <algorithm>

namespace ImportFormats {

namespace {

// --- lines ---

// Underline: "===" or "---" under a text line, which it makes a heading.
enum class Kind { Blank, Heading, Underline, Item, Text, Code };

struct Line {
    Kind kind = Kind::Blank;
    int level = 0;   // a heading's
    QString text = {};
};

QString withoutComments(const QString &text)
{
    QString out;
    qsizetype from = 0;
    for (qsizetype start; (start = text.indexOf(QLatin1String("<!--"), from)) >= 0;) {
        out += QStringView(text).mid(from, start - from);
        const qsizetype end = text.indexOf(QLatin1String("-->"), start + 4);
        from = end < 0 ? text.size() : end + 3;
    }
    out += QStringView(text).mid(from);
    return out;
}

// The run of one character `line` starts with.
qsizetype runOf(QStringView line, QChar c)
{
    qsizetype n = 0;
    while (n < line.size() && line.at(n) == c)
        ++n;
    return n;
}

// Whether the line is made of `c` alone (blanks between), `least` or more.
bool onlyOf(QStringView line, QChar c, int least)
{
    qsizetype n = 0;
    for (const QChar one : line) {
        if (one != c && !one.isSpace())
            return false;
        n += one == c;
    }
    return n >= least;
}

// "```" or "~~~" opening or closing a code block: the fence, else empty.
QString fenceOf(const QString &line)
{
    for (const QChar c : {QChar(u'`'), QChar(u'~')}) {
        const qsizetype run = runOf(line, c);
        if (run >= 3)
            return line.left(run);
    }
    return QString();
}

// A list item's text without its mark ("- ", "* ", "+ ", "1. ", "2) ", and a
// task box after it); false when the line is no item.
bool itemText(QString &line)
{
    qsizetype at = 0;
    if (line.startsWith(u'-') || line.startsWith(u'*') || line.startsWith(u'+')) {
        at = 1;
    } else {
        while (at < line.size() && at < 9 && line.at(at).unicode() < 128 && line.at(at).isDigit())
            ++at;
        if (at == 0 || at >= line.size() || (line.at(at) != u'.' && line.at(at) != u')'))
            return false;
        ++at;
    }
    if (at < line.size() && !line.at(at).isSpace())
        return false;
    line = line.mid(at).trimmed();
    static const QRegularExpression task(QStringLiteral("^\\[[ xX]\\]\\s"));
    if (line.startsWith(u'['))
        line.remove(task);
    return true;
}

// A table row's cells joined by blanks; empty for the row under the head.
QString tableRow(const QString &line)
{
    static const QRegularExpression rule(QStringLiteral("^[|:\\-\\s]*-[|:\\-\\s]*$"));
    if (rule.match(line).hasMatch())
        return QString();
    QStringList cells;
    for (const QString &cell : line.split(u'|')) {
        if (!cell.trimmed().isEmpty())
            cells.append(cell.trimmed());
    }
    return cells.join(u' ');
}

// One line outside a code block, its quote marks taken off.
Line lineOf(QString text, const QVector<Line> &before)
{
    const int hashes = int(runOf(text, u'#'));
    if (hashes >= 1 && hashes <= 6 && (hashes == text.size() || text.at(hashes).isSpace())) {
        text = text.mid(hashes).trimmed();
        qsizetype tail = 0;   // closing marks, "## 原料 ##"
        while (tail < text.size() && text.at(text.size() - 1 - tail) == u'#')
            ++tail;
        if (tail == text.size() || text.at(text.size() - 1 - tail).isSpace())
            text.chop(tail);
        return {Kind::Heading, hashes, text.trimmed()};
    }
    const bool underText = !before.isEmpty() && before.last().kind == Kind::Text;
    if (underText && (onlyOf(text, u'=', 1) || onlyOf(text, u'-', 2)))
        return {Kind::Underline, text.startsWith(u'=') ? 1 : 2};
    if (onlyOf(text, u'-', 3) || onlyOf(text, u'*', 3) || onlyOf(text, u'_', 3))
        return {Kind::Blank};   // a rule
    static const QRegularExpression reference(QStringLiteral("^\\[[^\\]]+\\]:"));
    if (text.startsWith(u'[') && reference.match(text).hasMatch())
        return {Kind::Blank};
    if (text.startsWith(u'|'))
        return {Kind::Item, 0, tableRow(text)};
    if (itemText(text))
        return {Kind::Item, 0, text};
    return {Kind::Text, 0, text};
}

// The file's lines as blocks, the inline syntax read (pictures listed).
QVector<Line> linesOf(const QStringList &raw, QStringList &pictures)
{
    QVector<Line> lines;
    QString fence;
    for (const QString &one : raw) {
        QString text = one;
        while (fence.isEmpty() && text.startsWith(u'>'))
            text = text.mid(1).trimmed();
        const QString marks = fenceOf(text);
        if (!marks.isEmpty() && (fence.isEmpty() || marks.startsWith(fence))) {
            fence = fence.isEmpty() ? marks : QString();
            continue;
        }
        if (!fence.isEmpty()) {
            lines.append({text.isEmpty() ? Kind::Blank : Kind::Code, 0, text});
            continue;
        }
        Line line = text.isEmpty() ? Line{Kind::Blank} : lineOf(text, lines);
        if (line.kind == Kind::Underline) {
            lines.last().kind = Kind::Heading;
            lines.last().level = line.level;
            continue;
        }
        line.text = markdownText(line.text, pictures);
        if (line.text.isEmpty())
            line.kind = Kind::Blank;   // a heading too: it names nothing
        lines.append(line);
    }
    return lines;
}

// --- sections ---

enum class Section { Intro, Ingredients, Amounts, Method, Other };

Section sectionOf(const QString &heading)
{
    const auto any = [&](std::initializer_list<const char *> words, Qt::CaseSensitivity cs = Qt::CaseSensitive) {
        return std::any_of(words.begin(), words.end(), [&](const char *w) { return heading.contains(QString::fromUtf8(w), cs); });
    };
    if (any({"计算"}))
        return Section::Amounts;
    if (any({"原料", "材料", "食材", "用料", "配料"}) || any({"ingredient"}, Qt::CaseInsensitive))
        return Section::Ingredients;
    if (any({"操作", "做法", "步骤", "方法"}) || any({"instruction", "direction", "method"}, Qt::CaseInsensitive))
        return Section::Method;
    return Section::Other;
}

struct Sections {
    QStringList intro, plain, amounts, method;
    QList<QPair<QString, QStringList>> others;   // heading, lines
};

// Two lines of one paragraph as one: Chinese and Japanese run on, other
// text with a blank.
QString joined(const QString &first, const QString &second)
{
    const auto wide = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF);
    };
    return first + (wide(first.back()) || wide(second.front()) ? QString() : QStringLiteral(" ")) + second;
}

// The lines after the name, each where its heading puts it. A heading deeper
// than the section it stands in that names no section of its own is a
// "【…】" line of that section.
Sections sectionsOf(const QVector<Line> &lines, qsizetype from)
{
    Sections s;
    Section current = Section::Intro;
    int level = 0;
    QStringList *target = &s.intro;
    bool paragraph = false;   // the last intro line goes on with the next text line
    for (qsizetype i = from; i < lines.size(); ++i) {
        const Line &line = lines.at(i);
        if (line.kind == Kind::Heading) {
            const Section kind = sectionOf(line.text);
            paragraph = false;
            if (kind == Section::Other && current != Section::Intro && line.level > level) {
                target->append(QStringLiteral("【") + line.text + QStringLiteral("】"));
                continue;
            }
            current = kind;
            level = line.level;
            if (kind == Section::Other)
                s.others.append({line.text, {}});
            target = kind == Section::Ingredients ? &s.plain : kind == Section::Amounts ? &s.amounts
                   : kind == Section::Method      ? &s.method : &s.others.last().second;
        } else if (line.kind == Kind::Blank) {
            paragraph = false;
        } else if (paragraph && line.kind == Kind::Text) {
            s.intro.last() = joined(s.intro.last(), line.text);
        } else {
            target->append(line.text);
            paragraph = current == Section::Intro && line.kind == Kind::Text;
        }
    }
    return s;
}

// The lines with amounts, then the plain ones that none of them starts with.
QStringList ingredientsOf(const Sections &s)
{
    if (s.amounts.isEmpty())
        return s.plain;
    QStringList sorted = s.amounts;
    std::sort(sorted.begin(), sorted.end());
    QStringList out = s.amounts;
    for (const QString &plain : s.plain) {
        const auto at = std::lower_bound(sorted.cbegin(), sorted.cend(), plain);
        if (!plain.startsWith(u'【') && (at == sorted.cend() || !at->startsWith(plain)))
            out.append(plain);
    }
    return out;
}

// "category: 荤菜" in a front matter block ("---" lines around "key: value"
// lines) at the top, taken out of the lines.
QString frontMatterCategory(QStringList &lines)
{
    static const QRegularExpression pair(QStringLiteral("^[^\\s:：#]+\\s*[:：]"));
    if (lines.size() < 3 || lines.first() != QLatin1String("---") || !pair.match(lines.at(1)).hasMatch())
        return QString();   // a rule, perhaps over a heading
    const qsizetype end = std::find_if(lines.cbegin() + 1, lines.cend(), [](const QString &line) {
        return line == QLatin1String("---") || line == QLatin1String("...");
    }) - lines.cbegin();
    if (end == lines.size())
        return QString();
    static const QRegularExpression key(QStringLiteral("^(category|categories|分类)\\s*[:：]\\s*\\[?\\s*([^,，\\]]*)"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString category;
    for (qsizetype i = 1; i < end && category.isEmpty(); ++i) {
        const QRegularExpressionMatch match = key.match(lines.at(i));
        if (match.hasMatch())
            category = match.captured(2).trimmed().remove(u'"').remove(u'\'');
    }
    lines.remove(0, end + 1);
    return category;
}

} // namespace

bool readMarkdown(const QByteArray &bytes, Draft &draft, QStringList &pictures)
{
    draft = Draft();
    pictures.clear();
    QString text = QString::fromUtf8(withoutInvalidUtf8(bytes));   // a BOM dropped too
    text.remove(QChar(0));
    QStringList raw = splitLines(withoutComments(text));
    draft.category = frontMatterCategory(raw);
    const QVector<Line> lines = linesOf(raw, pictures);
    const auto name = std::find_if(lines.cbegin(), lines.cend(), [](const Line &line) { return line.kind == Kind::Heading; });
    if (name == lines.cend())
        return false;
    draft.name = name->text;
    const QString tail = QStringLiteral("的做法");
    if (draft.name.endsWith(tail) && draft.name.size() > tail.size())
        draft.name = draft.name.chopped(tail.size()).trimmed();
    const Sections s = sectionsOf(lines, name - lines.cbegin() + 1);
    draft.ingredients = ingredientsOf(s);
    draft.method = s.intro + s.method;
    for (const auto &[heading, body] : s.others) {
        if (!body.isEmpty())
            draft.method << QStringLiteral("【") + heading + QStringLiteral("】") << body;
    }
    return true;
}

} // namespace ImportFormats
