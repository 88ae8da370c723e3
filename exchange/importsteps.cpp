// Steps and ingredients as recipe sites write them: a step's name with its
// text, the brackets a recipe plugin doubles, step numbers inline.
#include "exchange/importformats.h"

#include <QRegularExpression>

namespace ImportFormats {

QString namedStep(const QString &name, const QString &text)
{
    QString stem = oneLine(name);
    for (const QString &cut : {QStringLiteral("..."), QStringLiteral("…")}) {
        if (stem.endsWith(cut))
            stem = stem.chopped(cut.size()).trimmed();
    }
    if (stem.isEmpty() || oneLine(text).startsWith(stem, Qt::CaseInsensitive))
        return text;
    if (stem.endsWith(u':') || stem.endsWith(u'：'))
        stem.chop(1);
    return stem + QStringLiteral("：") + text.trimmed();
}

QString mendedBrackets(const QString &ingredient)
{
    if (!ingredient.contains(u'(') && !ingredient.contains(u'（'))
        return ingredient;
    static const QRegularExpression Doubled(QStringLiteral("([(（])\\s*[(（]([^()（）]*)[)）]\\s*([)）])"));
    static const QRegularExpression Comma(QStringLiteral("([(（])\\s*[,，、]\\s*"));
    QString out = ingredient;
    out.replace(Doubled, QStringLiteral("\\1\\2\\3"));
    out.replace(Comma, QStringLiteral("\\1"));
    return out;
}
namespace {

struct StepNumber {
    qsizetype start = -1;   // where the number begins
    qsizetype end = -1;     // where its step's text begins
};

bool isAsciiDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }
bool isAsciiLetter(QChar c) { return c.unicode() < 128 && c.isLetter(); }

// The step number `wanted` at text[at] ("3.", "3、", "3．", "③"), or none.
StepNumber stepNumberAt(const QString &text, qsizetype at, int wanted)
{
    const char16_t u = text.at(at).unicode();
    if (u >= 0x2460 && u <= 0x2473)   // ① .. ⑳
        return u - 0x2460 + 1 == wanted ? StepNumber{at, at + 1} : StepNumber();
    if (!isAsciiDigit(text.at(at)) || (at > 0 && (isAsciiDigit(text.at(at - 1)) || isAsciiLetter(text.at(at - 1)))))
        return StepNumber();
    qsizetype i = at;
    while (i < text.size() && isAsciiDigit(text.at(i)) && i - at < 3)
        ++i;
    if (i >= text.size() || QStringView(text).mid(at, i - at).toInt() != wanted)
        return StepNumber();
    const QChar mark = text.at(i);
    const bool point = mark == u'.' || mark == u'．';
    if (!point && mark != u'、')
        return StepNumber();
    if (point && i + 1 < text.size() && isAsciiDigit(text.at(i + 1)))
        return StepNumber();   // "1.5": a number, no step
    return StepNumber{at, i + 1};
}

// The step numbers 1, 2, 3 … as they follow one another in the text.
QVector<StepNumber> stepNumbers(const QString &text)
{
    QVector<StepNumber> found;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const StepNumber number = stepNumberAt(text, at, int(found.size()) + 1);
        if (number.start >= 0) {
            found.append(number);
            at = number.end - 1;
        }
    }
    return found;
}

void appendLines(QStringList &out, const QString &text)
{
    for (const QString &line : splitLines(text)) {
        if (!line.isEmpty())
            out.append(line);
    }
}

} // namespace

QStringList numberedSteps(const QStringList &lines)
{
    const QString text = lines.join(u'\n');
    const QVector<StepNumber> numbers = stepNumbers(text);
    if (numbers.size() < 2)
        return lines;
    QStringList out;
    appendLines(out, text.left(numbers.first().start));
    for (qsizetype k = 0; k < numbers.size(); ++k) {
        const qsizetype end = k + 1 < numbers.size() ? numbers.at(k + 1).start : text.size();
        appendLines(out, text.mid(numbers.at(k).end, end - numbers.at(k).end));
    }
    return out;
}

} // namespace ImportFormats
