// The cook's marks a recipe brings along: tags out of what its source lists
// of it, and the servings its yield or its name tells.
#include "exchange/importformats.h"

#include "core/amounts.h"
#include "store/marks.h"

#include <QJsonArray>
#include <QRegularExpression>

namespace ImportFormats {

namespace {

// What a search engine put among a page's keywords: "红烧肉的做法",
// "红烧肉怎么做", "红烧肉的家常做法", "How to make pancakes".
bool isSearchPhrase(const QString &keyword)
{
    const QString text = keyword.trimmed();
    static const QString Ends[] = {QStringLiteral("的做法"), QStringLiteral("怎么做"), QStringLiteral("的家常做法")};
    for (const QString &end : Ends) {
        if (text.endsWith(end))
            return true;
    }
    return text.startsWith(QLatin1String("how to make"), Qt::CaseInsensitive);
}

bool isComma(QChar c)
{
    return c == u',' || c == QChar(0xFF0C) || c == QChar(0x3001);
}

// The whole number a run of digits at `at` makes, or -1 when it makes none
// (a fraction "2.5" is none; more than two digits are too many).
int wholeNumberAt(const QString &text, qsizetype at)
{
    qsizetype end = at;
    int value = 0;
    while (end < text.size() && text.at(end).isDigit()) {
        value = value * 10 + text.at(end).digitValue();
        if (++end - at > 2)
            return -1;
    }
    const bool fraction = end + 1 < text.size() && (text.at(end) == u'.' || text.at(end) == QChar(0xFF0E))
                          && text.at(end + 1).isDigit();
    return fraction ? -1 : value;
}

} // namespace

QStringList keywordList(const QJsonValue &value)
{
    QStringList out;
    if (value.isString()) {
        out << value.toString();
    } else if (value.isArray()) {
        for (const QJsonValue &one : value.toArray()) {
            if (one.isString())
                out << one.toString();
        }
    }
    return out;
}

QStringList tagsFrom(const QStringList &lists, bool own)
{
    QStringList tags;
    for (const QString &list : lists) {
        QString keyword;
        const auto take = [&] {
            if (!own && isSearchPhrase(keyword))
                return;
            for (const QString &tag : Marks::parseTags(keyword).tags) {
                if (tag.toUcs4().size() <= Marks::MaxTagLength && !tags.contains(tag) && tags.size() < Marks::MaxTags)
                    tags << tag;
            }
        };
        for (const QChar c : list) {
            if (isComma(c)) {
                take();
                keyword.clear();
            } else {
                keyword += c;
            }
        }
        take();
    }
    return tags;
}

int servingsIn(const QString &yield)
{
    for (qsizetype at = 0; at < yield.size(); ++at) {
        if (!yield.at(at).isDigit())
            continue;
        const int value = wholeNumberAt(yield, at);
        return value >= 1 && value <= Marks::MaxServings ? value : 0;
    }
    return 0;
}

int servingsIn(const QJsonValue &yield)
{
    if (yield.isDouble()) {
        const double value = yield.toDouble();
        return value >= 1 && value <= Marks::MaxServings && value == int(value) ? int(value) : 0;
    }
    if (yield.isString())
        return servingsIn(yield.toString());
    if (yield.isArray()) {
        for (const QJsonValue &one : yield.toArray()) {
            if (const int servings = servingsIn(one))
                return servings;
        }
    }
    return 0;
}

int takeNameServings(QString &name)
{
    static const QRegularExpression Suffix(
        QStringLiteral("^(.*?)\\s*([【（(])\\s*(\\d{1,2}|[一二两三四五六七八九十])\\s*人份\\s*([】）)])$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = Suffix.match(name);
    if (!match.hasMatch())
        return 0;
    static const QString Openers = QStringLiteral("【（("), Closers = QStringLiteral("】）)");
    if (Openers.indexOf(match.captured(2)) != Closers.indexOf(match.captured(4)))
        return 0;
    const QString number = match.captured(3);
    const int servings = number.at(0).isDigit() ? wholeNumberAt(number, 0) : int(Amounts::numberValue(number).value_or(0));
    if (servings < 1 || servings > Marks::MaxServings)
        return 0;
    if (!match.captured(1).trimmed().isEmpty())
        name = match.captured(1);
    return servings;
}

} // namespace ImportFormats
