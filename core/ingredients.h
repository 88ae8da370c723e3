#pragma once
// One reading of ingredient lines for the pantry, the week's menu and the
// shopping list: every line is read once by Amounts::read into name, amount
// and unit, and its name is matched through the synonym table ("番茄
// 西红柿"), after blanks and bracketed notes ("（切片）") are trimmed away.
// Where a name is bought is told by the stall table ("【蔬菜】番茄 土豆").
// Both tables are shipped as text files (core/tables/) and the cook may keep
// an own copy of each beside cate.mdb, which is then read instead.
// QtCore only.
#include "core/amounts.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace Ingredients {

enum class Kind {
    Measured,     // an amount the reader is sure of
    Vague,        // 适量, 少许…: written once, never summed
    Bare,         // a name and nothing else
    Unreadable    // holds a number the reader could not place: kept as written
};

struct Line {
    QString name;                            // cleaned (cleanName)
    Kind kind = Kind::Bare;
    std::optional<Amounts::Amount> amount;   // Measured only
    QString vague;                           // the vague word, for Vague
    QString written;                         // the line as written, trimmed
};

// Blanks and bracketed notes taken away: "番茄（切片）" -> "番茄"; what
// follows a comma is a note too ("番茄，去皮").
QString cleanName(const QString &name);
// The lines of one ingredient line: usually one; "葱、姜、蒜 各10克" gives
// three. Headings ("【调料】") and empty lines give none.
QList<Line> readLine(const QString &line);
// The lines of a text, whichever line ends it uses.
QStringList splitLines(const QString &text);
// Every line of an ingredients text (CR LF or LF between lines).
QList<Line> readText(const QString &text);
// The words a cook separates a list of ingredients with: blanks, "，",
// "、", ",", "；".
QStringList splitList(const QString &text);

// A line of a table file the reader refused.
struct TableError {
    int line = 0;
    QString text;
};

// Names that stand for one ingredient: the first of a group is the one
// shown. A line "番茄 西红柿" is a group; "#" begins a remark. A line of one
// name, or a name already in another group, is refused.
class Synonyms {
public:
    static Synonyms parse(const QString &text, QList<TableError> *errors = nullptr);
    // The first name of the name's group, or the name itself.
    QString canonical(const QString &name) const { return m_first.value(name, name); }
    QStringList group(const QString &name) const;
    int groupCount() const { return int(m_groups.size()); }

private:
    QHash<QString, QString> m_first;
    QList<QStringList> m_groups;
};

// The stalls of the market in the order the list walks them, and which
// names each sells. A line is "【蔬菜】番茄 土豆 …"; a stall may take several
// lines. A line without one of the eight headings first is refused.
class Stalls {
public:
    static const QStringList &headings();   // 【蔬菜】 … 【其他】
    static int otherStall() { return 7; }
    static Stalls parse(const QString &text, QList<TableError> *errors = nullptr);
    // The stall of a name: the name itself, or any name of its synonym
    // group, as listed; else the longest listed name it ends with ("猪里脊"
    // after "里脊"); else 【其他】.
    int stallOf(const QString &name, const Synonyms &synonyms) const;
    int nameCount() const { return int(m_stall.size()); }

private:
    int listed(const QString &name, const Synonyms &synonyms) const;
    QHash<QString, int> m_stall;
};

// The two tables as the program reads them: the cook's copy where there is
// one, else the shipped one; the refused lines with the file they are in.
struct Tables {
    Synonyms synonyms;
    Stalls stalls;
    QStringList problems;   // "synonyms.txt 第 3 行：…", one per refused line
};
inline const QString SynonymsFile = QStringLiteral("synonyms.txt");
inline const QString StallsFile = QStringLiteral("stalls.txt");
// The shipped text of a table (":/tables/<file>").
QString shippedTable(const QString &file);
// `dataFolder` ends in '/'.
Tables loadTables(const QString &dataFolder);

} // namespace Ingredients
