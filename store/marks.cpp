// Tags as the cook types them, and the marks read from the file.
#include "store/marks.h"

#include "store/records.h"

#include <algorithm>

namespace Marks {

namespace {
bool separates(QChar c)
{
    return c.isSpace() || c == QChar(0xFF0C) || c == QChar(0x3001) || c == QLatin1Char(',');
}
} // namespace

Parsed parseTags(const QString &text)
{
    Parsed parsed;
    QString word;
    auto take = [&parsed](QString tag) {
        while (tag.startsWith(QLatin1Char('#')))
            tag.remove(0, 1);
        if (tag.isEmpty() || parsed.tags.contains(tag))
            return;
        if (parsed.tooLong.isNull() && tag.toUcs4().size() > MaxTagLength)
            parsed.tooLong = tag;
        parsed.tags << tag;
    };
    for (const QChar c : text) {
        if (separates(c)) {
            take(word);
            word.clear();
        } else if (c.category() != QChar::Other_Format) {   // zero-width marks are no characters of a tag
            word += c;
        }
    }
    take(word);
    parsed.tooMany = parsed.tags.size() > MaxTags;
    return parsed;
}

QString joinTags(const QStringList &tags) { return tags.join(QLatin1Char(' ')); }

} // namespace Marks

QStringList DishMarks::tagsInUse() const
{
    QSet<QString> seen;
    for (const QStringList &list : tags)
        for (const QString &tag : list)
            seen.insert(tag);
    QStringList all(seen.cbegin(), seen.cend());
    std::sort(all.begin(), all.end());
    return all;
}

void DishMarks::index()
{
    byTag.clear();
    for (auto it = tags.cbegin(); it != tags.cend(); ++it)
        for (const QString &tag : it.value())
            byTag[tag].insert(it.key());
}

TagQuery TagQuery::parse(const QString &text)
{
    static const QString Favourites = QStringLiteral("最爱");
    TagQuery query;
    QStringList rest;
    for (const QString &word : splitTyped(text)) {
        const bool without = word.startsWith(QLatin1String("-#")) && word.size() > 2;
        const bool with = word.startsWith(QLatin1Char('#')) && word.size() > 1;
        if (!with && !without) {
            rest << word;
            continue;
        }
        const QString tag = word.mid(without ? 2 : 1);
        if (tag == Favourites)
            (without ? query.notFavourites : query.favourites) = true;
        else
            (without ? query.unwanted : query.wanted) << tag;
    }
    query.rest = rest.join(QLatin1Char(' '));
    return query;
}

bool TagQuery::matches(const DishMarks &marks, qint64 id) const
{
    if ((favourites && !marks.isFavourite(id)) || (notFavourites && marks.isFavourite(id)))
        return false;
    for (const QString &tag : wanted) {
        if (!marks.byTag.value(tag).contains(id))
            return false;
    }
    for (const QString &tag : unwanted) {
        if (marks.byTag.value(tag).contains(id))
            return false;
    }
    return true;
}
