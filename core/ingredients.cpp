// Ingredient lines read once, and the synonym and stall tables.
#include "core/ingredients.h"

#include <QFile>
#include <QRegularExpression>

// The tables are compiled into the core library; a static library's
// resources are brought in by hand.
static void initTables() { Q_INIT_RESOURCE(tables); }

namespace Ingredients {
namespace {

// Written instead of an amount; the longer first where one holds another.
const QStringList VagueWords = {
    QStringLiteral("适量"), QStringLiteral("少许"), QStringLiteral("少量"), QStringLiteral("若干"),
    QStringLiteral("些许"), QStringLiteral("一些"), QStringLiteral("酌量"), QStringLiteral("一点"),
    QStringLiteral("随意"), QStringLiteral("按口味"), QStringLiteral("几滴"), QStringLiteral("数滴"),
};

bool isNumberChar(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９') || c == u'½' || c == u'¼' || c == u'¾';
}

// The text without any of `marks` and blanks at its end ("葱、姜 各" -> "葱、姜").
QString trimmedOf(const QString &text, const char16_t *marks)
{
    const QStringView drop(marks);
    qsizetype end = text.size();
    while (end > 0 && (text.at(end - 1).isSpace() || drop.contains(text.at(end - 1))))
        --end;
    return text.left(end);
}

// Names listed with "、" between them: each on its own.
QStringList splitNames(const QString &name)
{
    QStringList names;
    QString spaced = name;
    spaced.replace(u'/', u'、').replace(u'／', u'、');
    for (const QString &part : spaced.split(u'、', Qt::SkipEmptyParts)) {
        const QString clean = cleanName(part);
        if (!clean.isEmpty())
            names << clean;
    }
    return names;
}

QList<Line> linesFor(const QStringList &names, const Line &like)
{
    QList<Line> lines;
    for (const QString &name : names) {
        Line one = like;
        one.name = name;
        lines << one;
    }
    return lines;
}

QList<Line> vagueOrBare(const QString &text)
{
    Line line;
    line.written = text;
    QString rest = text;
    for (const QString &word : VagueWords) {
        const qsizetype at = rest.indexOf(word);
        if (at < 0)
            continue;
        line.kind = Kind::Vague;
        line.vague = word;
        rest = rest.left(at) + rest.mid(at + word.size());
        rest = trimmedOf(rest, u"各");
        break;
    }
    if (line.kind != Kind::Vague && std::any_of(text.begin(), text.end(), isNumberChar)) {
        line.kind = Kind::Unreadable;
        const qsizetype digit = std::find_if(text.begin(), text.end(), isNumberChar) - text.begin();
        rest = digit > 0 ? text.left(digit) : text;
        rest = trimmedOf(rest, u"约各共");
        const QString name = cleanName(rest);
        line.name = name.isEmpty() ? text : name;
        return {line};
    }
    return linesFor(splitNames(rest), line);
}

QStringList tableWords(const QString &line)
{
    QString text = line;
    const qsizetype remark = text.indexOf(u'#');
    if (remark >= 0)
        text.truncate(remark);
    static const QRegularExpression blanks(QStringLiteral("[\\s\\x{3000}]+"));
    return text.split(blanks, Qt::SkipEmptyParts);
}

QString readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

QStringList splitLines(const QString &text)
{
    QString lf = text;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return lf.split(u'\n');
}

QString cleanName(const QString &name)
{
    // Read once per ingredient line of every dish: by hand, not by pattern.
    static const QString opening = QStringLiteral("（(【["), closing = QStringLiteral("）)】]");
    static const QString notesAfter = QStringLiteral("，,；;：:");
    QString text;
    text.reserve(name.size());
    QChar closes;
    for (const QChar c : name) {
        if (!closes.isNull()) {
            if (c == closes)
                closes = QChar();
        } else if (const qsizetype open = opening.indexOf(c); open >= 0) {
            closes = closing.at(open);
        } else if (notesAfter.contains(c)) {
            break;
        } else if (!c.isSpace()) {
            text += c;
        }
    }
    return text;
}

QList<Line> readLine(const QString &written)
{
    const QString text = written.trimmed();
    if (text.isEmpty() || (text.startsWith(u'【') && text.endsWith(u'】')))
        return {};
    if (const std::optional<Amounts::Amount> amount = Amounts::read(text)) {
        Line line;
        line.kind = Kind::Measured;
        line.amount = amount;
        line.written = text;
        // "葱、姜、蒜 各10克": each name takes the amount.
        const bool each = text.left(amount->start + 1).contains(u'各');
        const QStringList names = each ? splitNames(amount->name) : QStringList{cleanName(amount->name)};
        if (!names.isEmpty() && !names.first().isEmpty())
            return linesFor(names, line);
    }
    return vagueOrBare(text);
}

QList<Line> readText(const QString &text)
{
    QList<Line> lines;
    for (const QString &line : splitLines(text))
        lines << readLine(line);
    return lines;
}

QStringList splitList(const QString &text)
{
    QStringList names;
    static const QRegularExpression separators(QStringLiteral("[\\s\\x{3000}，、,；;]+"));
    for (const QString &part : text.split(separators, Qt::SkipEmptyParts)) {
        const QString name = cleanName(part);
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    return names;
}

Synonyms Synonyms::parse(const QString &text, QList<TableError> *errors)
{
    Synonyms table;
    const QStringList lines = splitLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList words = tableWords(lines.at(i));
        if (words.isEmpty())
            continue;
        QString refused;
        if (words.size() == 1)
            refused = QStringLiteral("只有一个名字");
        for (const QString &word : words) {
            if (refused.isEmpty() && (table.m_first.contains(word) || words.count(word) > 1))
                refused = QStringLiteral("“%1”已在别的组里").arg(word);
        }
        if (!refused.isEmpty()) {
            if (errors)
                errors->append({i + 1, refused});
            continue;
        }
        for (const QString &word : words)
            table.m_first.insert(word, words.first());
        table.m_groups << words;
    }
    return table;
}

QStringList Synonyms::group(const QString &name) const
{
    const QString first = canonical(name);
    for (const QStringList &group : m_groups) {
        if (group.first() == first)
            return group;
    }
    return {name};
}

const QStringList &Stalls::headings()
{
    static const QStringList names = {
        QStringLiteral("【蔬菜】"), QStringLiteral("【肉禽】"), QStringLiteral("【水产】"), QStringLiteral("【豆制品】"),
        QStringLiteral("【蛋奶】"), QStringLiteral("【干货调料】"), QStringLiteral("【主食粮油】"), QStringLiteral("【其他】"),
    };
    return names;
}

Stalls Stalls::parse(const QString &text, QList<TableError> *errors)
{
    Stalls table;
    const QStringList lines = splitLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        QStringList words = tableWords(lines.at(i));
        if (words.isEmpty())
            continue;
        int stall = -1;
        for (int s = 0; s < headings().size() && stall < 0; ++s) {
            if (words.first().startsWith(headings().at(s))) {
                stall = s;
                words.first().remove(0, headings().at(s).size());
            }
        }
        if (stall < 0) {
            if (errors)
                errors->append({i + 1, QStringLiteral("开头不是摊位名（如【蔬菜】）")});
            continue;
        }
        for (const QString &word : words) {
            if (!word.isEmpty() && !table.m_stall.contains(word))
                table.m_stall.insert(word, stall);
        }
    }
    return table;
}

int Stalls::listed(const QString &name, const Synonyms &synonyms) const
{
    if (const auto it = m_stall.constFind(name); it != m_stall.cend())
        return *it;
    for (const QString &other : synonyms.group(name)) {
        if (const auto it = m_stall.constFind(other); it != m_stall.cend())
            return *it;
    }
    return -1;
}

int Stalls::stallOf(const QString &name, const Synonyms &synonyms) const
{
    for (qsizetype from = 0; from < name.size(); ++from) {
        const int stall = listed(name.mid(from), synonyms);
        if (stall >= 0)
            return stall;
    }
    return otherStall();
}

QString shippedTable(const QString &file)
{
    static const bool ready = (initTables(), true);
    static_cast<void>(ready);
    return readFile(QStringLiteral(":/tables/") + file);
}

Tables loadTables(const QString &dataFolder)
{
    Tables tables;
    const auto load = [&](const QString &file, auto parse) {
        const QString own = dataFolder + file;
        const QString text = QFile::exists(own) ? readFile(own) : shippedTable(file);
        QList<TableError> errors;
        auto table = parse(text, &errors);
        for (const TableError &e : errors)
            tables.problems << QStringLiteral("%1 第 %2 行：%3").arg(file).arg(e.line).arg(e.text);
        return table;
    };
    tables.synonyms = load(SynonymsFile, [](const QString &t, QList<TableError> *e) { return Synonyms::parse(t, e); });
    tables.stalls = load(StallsFile, [](const QString &t, QList<TableError> *e) { return Stalls::parse(t, e); });
    return tables;
}

} // namespace Ingredients
