// Amounts scaled for another number of people: only the numbers of a line
// are rewritten, its unit, name, spacing and notes stay as written.
#include "core/amounts.h"

#include <cmath>
#include <initializer_list>

namespace Amounts {
namespace {

// Beyond this a scaled amount is no amount a kitchen uses: left as written.
constexpr double kLargest = 1e6;

double roundTo(double value, double step)
{
    return std::round(value / step) * step;
}

// The value as finely as its unit is written; a small amount never rounds
// to nothing (a quarter of a clove stays a quarter).
double rounded(double value, Rounding rounding)
{
    if (value <= 0)
        return 0;
    double step = 0.01;
    if (rounding == Rounding::Whole)
        step = value >= 1 ? 1 : 0.1;
    else if (rounding == Rounding::Halves)
        step = value >= 1 ? 0.5 : 0.25;
    const double out = roundTo(value, step);
    return out > 0 ? out : std::max(roundTo(value, 0.01), 0.01);
}

// `value` as whole + numerator/denominator over 2, 3, 4, 6 or 8, when it is
// one within rounding error.
bool asFraction(double value, int &whole, int &numerator, int &denominator)
{
    for (int d : {1, 2, 3, 4, 6, 8}) {
        const double n = std::round(value * d);
        if (std::abs(value * d - n) < 1e-6 * d) {
            whole = int(n) / d;
            numerator = int(n) % d;
            denominator = d;
            return true;
        }
    }
    return false;
}

QString decimalText(double value)
{
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QChar vulgarGlyph(int numerator, int denominator)
{
    static const QString glyphs = QStringLiteral("½⅓⅔¼¾⅙⅚⅛⅜⅝⅞");
    static const int pairs[][2] = {{1, 2}, {1, 3}, {2, 3}, {1, 4}, {3, 4}, {1, 6}, {5, 6}, {1, 8}, {3, 8}, {5, 8}, {7, 8}};
    for (int i = 0; i < glyphs.size(); ++i)
        if (pairs[i][0] == numerator && pairs[i][1] == denominator)
            return glyphs[i];
    return QChar();
}

// "1/2", "1又1/2", "½", "1½" as the original wrote its fraction; a value
// that is no such fraction in decimals.
QString fractionText(double value, Style style)
{
    int whole = 0, numerator = 0, denominator = 1;
    if (!asFraction(value, whole, numerator, denominator))
        return decimalText(value);
    const QString wholeText = QString::number(whole);
    if (numerator == 0)
        return wholeText;
    const QChar glyph = vulgarGlyph(numerator, denominator);
    if (style == Style::Vulgar && !glyph.isNull())
        return (whole ? wholeText : QString()) + glyph;
    const QString part = QStringLiteral("%1/%2").arg(numerator).arg(denominator);
    return whole ? wholeText + u'又' + part : part;
}

// A scaled number: fractions keep their style (exactly when the result is
// a plain fraction), all else is written in Arabic digits.
QString scaledNumber(double value, Style style, Rounding rounding)
{
    const bool fraction = style == Style::Fraction || style == Style::Vulgar;
    int whole = 0, numerator = 0, denominator = 1;
    if (!fraction || !asFraction(value, whole, numerator, denominator))
        value = rounded(value, rounding);
    return fraction ? fractionText(value, style) : decimalText(value);
}

} // namespace

QString scaleLine(const QString &line, double factor, bool *scaled)
{
    if (scaled)
        *scaled = false;
    const auto amount = read(line);
    if (!amount || !std::isfinite(factor) || factor <= 0)
        return line;
    const double low = amount->lowValue() * factor;
    const double high = amount->highValue() * factor;
    if (std::max(low, high) > kLargest)
        return line;
    if (scaled)
        *scaled = true;
    if (factor == 1)
        return line;
    const Amount &a = *amount;
    const QString lowText = scaledNumber(low, a.low.style, a.rounding);
    QString out = line.left(a.low.start) + lowText;
    qsizetype next = a.low.end;
    if (a.high) {
        const QString highText = scaledNumber(high, a.high->style, a.rounding);
        if (highText != lowText)   // "10-11克" ×0.1 is "1克", not "1-1克"
            out += line.mid(a.low.end, a.high->start - a.low.end) + highText;
        next = a.high->end;
    }
    const qsizetype unitEnd = a.end - (a.plusHalf ? 1 : 0);   // "一个半" ×2: "3个"
    return out + line.mid(next, unitEnd - next) + line.mid(a.end);
}

QList<ShownLine> scaleText(const QString &text, double factor)
{
    QList<ShownLine> shown;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        ShownLine one;
        one.text = scaleLine(line.toString(), factor, &one.scaled);
        shown << one;
    }
    return shown;
}

} // namespace Amounts
