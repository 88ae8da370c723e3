#pragma once
// Ingredient amounts as Chinese recipes write them, read and scaled for
// another number of people: "150克鸡胸肉", "鸡胸肉 150克", "一个半番茄",
// "半根胡萝卜", "10-15ml 生抽", "1又1/2杯面粉". A line is only ever scaled
// when its one amount reads without doubt; 适量, 少许, a line without an
// amount and numerals that belong to a name (八角, 五花肉, 十三香) stay as
// written. QtCore only: the windows decide how to show what comes back.
#include <QList>
#include <QString>

#include <optional>

namespace Amounts {

// How a number was written; a scaled number keeps the fraction styles and
// is written in Arabic digits otherwise (一个半 ×2 -> 3个).
enum class Style { Arabic, Fraction, Vulgar, Chinese };

// Where the amount stood: before the name ("150克鸡胸肉") or after it.
enum class Place { Before, After };

// How finely a scaled amount is written, by its unit: grams and millilitres
// in whole numbers, kilograms, 斤 and litres to hundredths, counts, spoons
// and lengths to halves.
enum class Rounding { Whole, Hundredths, Halves };

// One number as written: its value, its style and its span in the line.
struct Number {
    double value = 0;
    Style style = Style::Arabic;
    qsizetype start = 0;
    qsizetype end = 0;
};

// The amount of an ingredient line and where its parts stand in the line.
struct Amount {
    QString name;          // the ingredient, as written
    QString unit;          // as written ("克", "ml", "个"); empty for a bare count
    Number low;
    std::optional<Number> high;   // the upper end of a range ("10-15", "三到四")
    Rounding rounding = Rounding::Halves;
    bool plusHalf = false; // "一个半": the 半 after the unit
    Place place = Place::Before;
    bool apart = false;    // a blank or a colon between amount and name
    qsizetype start = 0;   // the amount's span in the line, unit and 半 included
    qsizetype end = 0;

    double lowValue() const { return low.value + (plusHalf ? 0.5 : 0); }
    double highValue() const { return high ? high->value : lowValue(); }
};

// The value of `text` when it is exactly one number, in Arabic or Chinese
// digits ("4", "十五", "两", "半"); nothing otherwise.
std::optional<double> numberValue(const QString &text);

// The amount of one ingredient line, or nothing when the line has none the
// reader is sure of (a heading "【…】", an empty line, 适量, two amounts…).
std::optional<Amount> read(const QString &line);

// The line for `factor` times the amount (new servings / stored servings),
// in the same unit, place and spacing; grams and millilitres rounded to
// whole numbers, counts and spoons to halves. A line without a readable
// amount, or a factor that is not a positive number, comes back unchanged
// with `scaled` (when given) false.
QString scaleLine(const QString &line, double factor, bool *scaled = nullptr);

// A line as the ingredients box shows it: scaled, or as written and greyed.
struct ShownLine {
    QString text;
    bool scaled = false;
    bool operator==(const ShownLine &) const = default;
};

// Every line of an ingredients text (lines joined by "\r\n" or "\n").
QList<ShownLine> scaleText(const QString &text, double factor);

} // namespace Amounts
