#pragma once
// The cook's own marks on a dish: tags and the favourite mark. They live
// in tables of their own beside "01" and "02" (store/storemarks.cpp),
// keyed by the dish's id, and are read whole: a catalogue has far fewer
// marks than dishes.
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace Marks {
inline constexpr int MaxTags = 20;        // per dish
inline constexpr int MaxTagLength = 20;   // characters of one tag
inline constexpr int MaxServings = 99;    // people a dish is written for; 0 is unknown

// What the cook typed into a tags box, taken apart: split at every blank
// and at "，", "、" and ","; each tag trimmed of every Unicode blank (and
// of a leading '#', the way tags are searched for); empty ones dropped,
// duplicates merged, the first place kept. `tooLong`: the first tag over
// MaxTagLength characters, `tooMany`: more than MaxTags tags; either
// refuses the whole text.
struct Parsed {
    QStringList tags;
    QString tooLong;
    bool tooMany = false;
    bool ok() const { return tooLong.isNull() && !tooMany; }
};
Parsed parseTags(const QString &text);
// Tags as one line of text, blanks between: "麻辣 下饭".
QString joinTags(const QStringList &tags);
} // namespace Marks

// What an edit window writes of a dish's marks along with its texts.
struct EditedMarks {
    QStringList tags;   // parsed (Marks::parseTags)
    int servings = 0;   // 1 to Marks::MaxServings; 0 when unknown
};

// What a dish brings along when it comes in from a file (an import).
struct ImportedMarks {
    QStringList tags;   // parsed (Marks::parseTags)
    int servings = 0;   // 1 to Marks::MaxServings; 0 when unknown
    bool favourite = false;
    bool isEmpty() const { return tags.isEmpty() && servings <= 0 && !favourite; }
};

struct DishMarks {
    QHash<qint64, QStringList> tags;   // per dish id, in the cook's order
    QSet<qint64> favourites;
    QHash<qint64, int> servings;       // per dish id, only the known ones
    QHash<QString, QSet<qint64>> byTag;   // the other way round, made by index()

    QStringList tagsOf(qint64 id) const { return tags.value(id); }
    bool isFavourite(qint64 id) const { return favourites.contains(id); }
    int servingsOf(qint64 id) const { return servings.value(id); }   // 0: unknown
    // Every tag some dish carries, sorted.
    QStringList tagsInUse() const;
    // Makes byTag from tags.
    void index();
};

// A search text taken apart: the words that begin with '#' (wanted tags)
// or "-#" (tags not wanted; "#最爱" stands for the favourites), and the
// rest, which keeps its meaning as a name pattern. A '#' anywhere else is
// the rest's (a digit in a pattern).
struct TagQuery {
    QStringList wanted;
    QStringList unwanted;
    bool favourites = false;      // "#最爱"
    bool notFavourites = false;   // "-#最爱"
    QString rest;                 // the other words, one blank between

    static TagQuery parse(const QString &text);
    bool hasTags() const
    {
        return !wanted.isEmpty() || !unwanted.isEmpty() || favourites || notFavourites;
    }
    bool matches(const DishMarks &marks, qint64 id) const;
};

