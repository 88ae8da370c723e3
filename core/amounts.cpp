// The reader of ingredient amounts. A line is [amount][gap]name[note] or
// name[gap][amount][note]; the amount is a number or a range, then a unit
// (and 半 after a unit: 一个半). A numeral glued to the name counts only with
// a unit after it, so 八角, 五花肉 and 十三香 are names, 鸡蛋3个 an amount.
#include "core/amounts.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace Amounts {
namespace {

struct Unit {
    const char16_t *text;
    Rounding rounding;
};

// Longer units first where one begins another (千克 before 克, kg before g).
constexpr std::array kUnits = {
    Unit{u"千克", Rounding::Hundredths}, Unit{u"公斤", Rounding::Hundredths},
    Unit{u"kg", Rounding::Hundredths},   Unit{u"斤", Rounding::Hundredths},
    Unit{u"两", Rounding::Hundredths},   Unit{u"毫升", Rounding::Whole},
    Unit{u"ml", Rounding::Whole},        Unit{u"克", Rounding::Whole},
    Unit{u"g", Rounding::Whole},         Unit{u"升", Rounding::Hundredths},
    Unit{u"l", Rounding::Hundredths},    Unit{u"汤匙", Rounding::Halves},
    Unit{u"大勺", Rounding::Halves},     Unit{u"小勺", Rounding::Halves},
    Unit{u"茶匙", Rounding::Halves},     Unit{u"勺", Rounding::Halves},
    Unit{u"匙", Rounding::Halves},       Unit{u"小碗", Rounding::Halves},
    Unit{u"碗", Rounding::Halves},       Unit{u"杯", Rounding::Halves},
    Unit{u"厘米", Rounding::Halves},     Unit{u"cm", Rounding::Halves},
    Unit{u"小把", Rounding::Halves},     Unit{u"小块", Rounding::Halves},
    Unit{u"大块", Rounding::Halves},     Unit{u"小撮", Rounding::Halves},
    Unit{u"个", Rounding::Halves},       Unit{u"只", Rounding::Halves},
    Unit{u"根", Rounding::Halves},       Unit{u"片", Rounding::Halves},
    Unit{u"瓣", Rounding::Halves},       Unit{u"块", Rounding::Halves},
    Unit{u"把", Rounding::Halves},       Unit{u"颗", Rounding::Halves},
    Unit{u"条", Rounding::Halves},       Unit{u"张", Rounding::Halves},
    Unit{u"段", Rounding::Halves},       Unit{u"粒", Rounding::Halves},
    Unit{u"枚", Rounding::Halves},       Unit{u"头", Rounding::Halves},
    Unit{u"棵", Rounding::Halves},       Unit{u"朵", Rounding::Halves},
    Unit{u"节", Rounding::Halves},       Unit{u"撮", Rounding::Halves},
    Unit{u"袋", Rounding::Halves},       Unit{u"包", Rounding::Halves},
    Unit{u"盒", Rounding::Halves},       Unit{u"罐", Rounding::Halves},
    Unit{u"瓶", Rounding::Halves},       Unit{u"滴", Rounding::Halves},
};

// Between the two ends of a range: 10-15, 10～15, 10到15.
constexpr std::array kRangeMarks = {u'-', u'–', u'—', u'~', u'～', u'〜', u'到', u'至'};
// Words between name and amount that stay as written: 约500克, 各1勺.
constexpr std::array kPrefixes = {u"大约", u"约", u"各", u"共"};
constexpr int kMaxDigits = 7;

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isLatin(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool isBlank(QChar c) { return c.isSpace(); }
bool isRangeMark(QChar c) { return std::find(kRangeMarks.begin(), kRangeMarks.end(), c) != kRangeMarks.end(); }

double vulgarValue(QChar c)
{
    switch (c.unicode()) {
    case u'½': return 0.5;
    case u'⅓': return 1.0 / 3;
    case u'⅔': return 2.0 / 3;
    case u'¼': return 0.25;
    case u'¾': return 0.75;
    case u'⅙': return 1.0 / 6;
    case u'⅚': return 5.0 / 6;
    case u'⅛': return 0.125;
    case u'⅜': return 0.375;
    case u'⅝': return 0.625;
    case u'⅞': return 0.875;
    default: return 0;
    }
}

// 一 to 九 (and 两, 二) as 1-9; -1 for anything else.
int chineseDigit(QChar c)
{
    static const QString digits = QStringLiteral("零一二三四五六七八九");
    if (c == u'两')
        return 2;
    const qsizetype at = digits.indexOf(c);
    return at > 0 ? int(at) : -1;
}

// A run of at most kMaxDigits ASCII digits at `pos`; its end, or -1.
qsizetype digitRun(const QString &s, qsizetype pos, double &value)
{
    qsizetype end = pos;
    value = 0;
    while (end < s.size() && isDigit(s[end]) && end - pos < kMaxDigits)
        value = value * 10 + (s[end++].unicode() - u'0');
    return end > pos && (end >= s.size() || !isDigit(s[end])) ? end : -1;
}

// "3", "1.5", "1/2", "1又1/2", "½", "1½".
std::optional<Number> arabicNumber(const QString &s, qsizetype pos)
{
    Number n{0, Style::Arabic, pos, pos};
    if (pos < s.size() && vulgarValue(s[pos]) > 0)
        return Number{vulgarValue(s[pos]), Style::Vulgar, pos, pos + 1};
    const qsizetype end = digitRun(s, pos, n.value);
    if (end < 0)
        return std::nullopt;
    n.end = end;
    const QChar next = end < s.size() ? s[end] : QChar();
    double part = 0, denominator = 0;
    if (next == u'.' && digitRun(s, end + 1, part) > 0) {
        n.end = digitRun(s, end + 1, part);
        n.value = s.mid(pos, n.end - pos).toDouble();
    } else if (vulgarValue(next) > 0) {
        n = Number{n.value + vulgarValue(next), Style::Vulgar, pos, end + 1};
    } else if (next == u'/') {
        const qsizetype below = digitRun(s, end + 1, denominator);
        if (below < 0 || denominator == 0)
            return std::nullopt;
        n = Number{n.value / denominator, Style::Fraction, pos, below};
    } else if (next == u'又') {
        const qsizetype top = digitRun(s, end + 1, part);
        const qsizetype below = top > 0 && top < s.size() && s[top] == u'/' ? digitRun(s, top + 1, denominator) : -1;
        if (below < 0 || denominator == 0)
            return std::nullopt;
        n = Number{n.value + part / denominator, Style::Fraction, pos, below};
    }
    return n;
}

// "半", "三", "十五", "二十", "两百五十", "一百五".
std::optional<Number> chineseNumber(const QString &s, qsizetype pos)
{
    auto at = [&](qsizetype i) { return i < s.size() ? s[i] : QChar(); };
    if (at(pos) == u'半')
        return Number{0.5, Style::Chinese, pos, pos + 1};
    qsizetype i = pos;
    double value = 0;
    int digit = chineseDigit(at(i));
    if (digit > 0 && at(i + 1) == u'百') {
        value = digit * 100;
        i += 2;
        const bool zero = at(i) == u'零';
        if (zero)
            ++i;
        digit = chineseDigit(at(i));
        if (digit > 0 && !zero && at(i + 1) != u'十')
            return Number{value + digit * 10, Style::Chinese, pos, i + 1};
    }
    if (digit > 0)
        ++i;
    if (at(i) == u'十') {
        value += (digit > 0 ? digit : 1) * 10;
        ++i;
        digit = chineseDigit(at(i));
        if (digit > 0) {
            value += digit;
            ++i;
        }
    } else if (digit > 0) {
        value += digit;
    }
    if (i == pos)
        return std::nullopt;
    return Number{value, Style::Chinese, pos, i};
}

std::optional<Number> number(const QString &s, qsizetype pos)
{
    if (auto n = arabicNumber(s, pos))
        return n;
    return chineseNumber(s, pos);
}

// The unit at `pos`, its length and its rounding; Latin units must not run
// on into a word ("2 large eggs" has no unit).
qsizetype unitAt(const QString &s, qsizetype pos, Rounding &rounding)
{
    const QStringView rest = QStringView(s).mid(pos);
    for (const Unit &unit : kUnits) {
        const QStringView text(unit.text);
        const bool latin = isLatin(text[0]);
        if (!rest.startsWith(text, latin ? Qt::CaseInsensitive : Qt::CaseSensitive))
            continue;
        if (latin && text.size() < rest.size() && isLatin(rest[text.size()]))
            continue;
        rounding = unit.rounding;
        return text.size();
    }
    return 0;
}

// The amount (number or range, unit, 半) that begins at `pos`.
std::optional<Amount> amountAt(const QString &s, qsizetype pos)
{
    const auto low = number(s, pos);
    if (!low)
        return std::nullopt;
    Amount a;
    a.low = *low;
    a.start = pos;
    a.end = low->end;
    if (a.end < s.size() && isRangeMark(s[a.end])) {
        a.high = number(s, a.end + 1);
        if (a.high)
            a.end = a.high->end;
    }
    const qsizetype unitStart = a.end < s.size() && isBlank(s[a.end]) ? a.end + 1 : a.end;
    if (const qsizetype length = unitAt(s, unitStart, a.rounding)) {
        a.unit = s.mid(unitStart, length);
        a.end = unitStart + length;
        const double whole = a.low.value;
        if (!a.high && whole >= 1 && whole == std::floor(whole) && a.end < s.size() && s[a.end] == u'半') {
            a.plusHalf = true;
            ++a.end;
        }
    }
    return a;
}

bool startsChineseNumber(QChar c) { return chineseDigit(c) > 0 || c == u'十' || c == u'半'; }
bool startsNumber(QChar c) { return isDigit(c) || vulgarValue(c) > 0 || startsChineseNumber(c); }

// Whether a numeral with a unit after it stands anywhere in `text`
// ("鸡蛋两个、牛奶一杯" holds two amounts; "五花肉" none).
bool holdsCountedWord(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (startsNumber(text[i])) {
            const auto a = amountAt(text, i);
            if (a && !a->unit.isEmpty())
                return true;
        }
    }
    return false;
}

bool holdsDigits(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() || vulgarValue(c) > 0; });
}

// A name the amount belongs to alone: letters, no digits, and, when it is
// several words ("葱、姜、蒜"), none of them with an amount of its own.
bool isSoleName(const QString &name)
{
    if (!std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetter(); }) || holdsDigits(name))
        return false;
    static const QString separators = QStringLiteral("，,、;；/");
    const bool severalWords = std::any_of(name.begin(), name.end(),
                                          [](QChar c) { return isBlank(c) || separators.contains(c); });
    return !severalWords || !holdsCountedWord(name);
}

// The end of the line without a closing note "（切片）"; -1 when the note
// holds an amount of its own, which scaling could not keep true.
qsizetype endBeforeNote(const QString &line, qsizetype end)
{
    if (end == 0 || (line[end - 1] != u'）' && line[end - 1] != u')'))
        return end;
    const qsizetype open = std::max(line.lastIndexOf(u'（', end - 1), line.lastIndexOf(u'(', end - 1));
    if (open <= 0)
        return end;
    const QString note = line.mid(open, end - open);
    if (holdsDigits(note) || holdsCountedWord(note))
        return -1;
    qsizetype cut = open;
    while (cut > 0 && isBlank(line[cut - 1]))
        --cut;
    return cut;
}

qsizetype skipBlanks(const QString &s, qsizetype pos, qsizetype end)
{
    while (pos < end && isBlank(s[pos]))
        ++pos;
    return pos;
}

// Past the blanks and list marks a line may begin with ("- ", "• ").
qsizetype skipLead(const QString &line, qsizetype pos, qsizetype end)
{
    static const QString bullets = QStringLiteral("-*•·●▪");
    while (pos < end && (isBlank(line[pos]) || bullets.contains(line[pos])))
        ++pos;
    return pos;
}

qsizetype afterPrefix(const QString &s, qsizetype pos)
{
    for (const char16_t *prefix : kPrefixes)
        if (QStringView(s).mid(pos).startsWith(QStringView(prefix)))
            return pos + QStringView(prefix).size();
    return pos;
}

// "150克鸡胸肉", "2 鸡蛋", "约500克牛肉". `doubtful` is set for "一个半半…":
// which 半 is the amount's is a guess.
std::optional<Amount> amountBefore(const QString &line, qsizetype end, bool &doubtful)
{
    const qsizetype pos = afterPrefix(line, skipLead(line, 0, end));
    if (pos >= end || !startsNumber(line[pos]))
        return std::nullopt;
    auto a = amountAt(line.left(end), pos);
    if (!a)
        return std::nullopt;
    const qsizetype nameStart = skipBlanks(line, a->end, end);
    a->apart = nameStart > a->end;
    if (a->unit.isEmpty() && !a->apart)
        return std::nullopt;
    doubtful = !a->apart && nameStart < end && line[nameStart] == u'半';
    a->name = line.mid(nameStart, end - nameStart);
    a->place = Place::Before;
    return a;
}

// "鸡胸肉 150克", "鸡蛋3个", "盐：1勺", "葱、姜 各10克". `doubtful` is set
// when where the name ends is a guess ("三七十克": 三 and 七十克, or 三七 and
// 十克? "五~5克": a range?), which leaves the whole line as written.
std::optional<Amount> amountAfter(const QString &line, qsizetype end, bool &doubtful)
{
    const QString head = line.left(end);
    for (qsizetype i = 1; i < end; ++i) {
        if (!startsNumber(line[i]) || (isDigit(line[i]) && isDigit(line[i - 1])))
            continue;   // not the middle of a number
        auto a = amountAt(head, i);
        if (!a || a->end != end)
            continue;
        doubtful = (startsChineseNumber(line[i]) && startsChineseNumber(line[i - 1])) || isRangeMark(line[i - 1]);
        if (doubtful)
            return std::nullopt;
        qsizetype nameEnd = i;
        for (const char16_t *prefix : kPrefixes) {
            const QStringView word(prefix);
            if (QStringView(line).left(nameEnd).endsWith(word)) {
                nameEnd -= word.size();
                break;
            }
        }
        const qsizetype gapEnd = nameEnd;
        while (nameEnd > 0 && (isBlank(line[nameEnd - 1]) || line[nameEnd - 1] == u'：' || line[nameEnd - 1] == u':'))
            --nameEnd;
        a->apart = nameEnd < gapEnd;
        if (a->unit.isEmpty() && !a->apart)
            return std::nullopt;
        const qsizetype nameStart = skipLead(line, 0, nameEnd);
        a->name = line.mid(nameStart, nameEnd - nameStart);
        a->place = Place::After;
        return a;
    }
    return std::nullopt;
}

} // namespace

std::optional<double> numberValue(const QString &text)
{
    const std::optional<Number> n = number(text, 0);
    if (!n || n->end != text.size())
        return std::nullopt;
    return n->value;
}

std::optional<Amount> read(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u'【'))
        return std::nullopt;
    qsizetype end = line.size();
    while (end > 0 && isBlank(line[end - 1]))
        --end;
    end = endBeforeNote(line, end);
    if (end <= 0)
        return std::nullopt;
    bool doubtfulBefore = false, doubtfulAfter = false;
    const auto before = amountBefore(line, end, doubtfulBefore);
    const auto after = amountAfter(line, end, doubtfulAfter);
    if (doubtfulBefore || doubtfulAfter || before.has_value() == after.has_value())
        return std::nullopt;   // none, or two: which one is meant is a guess
    const Amount &a = before ? *before : *after;
    if (!isSoleName(a.name))
        return std::nullopt;
    return a;
}

} // namespace Amounts
