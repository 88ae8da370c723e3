// Chinese written in traditional characters, stored in simplified ones
// (OpenCC's t2s); Japanese and every other text left as it is.
#include "exchange/importformats.h"

#include "core/chinese.h"

#include <algorithm>

namespace ImportFormats {

namespace {

bool isHan(char16_t u) { return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF); }
bool isKana(char16_t u) { return u >= 0x3040 && u <= 0x30FF; }

} // namespace

bool hasHan(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return isHan(c.unicode()); });
}

bool isTraditionalLanguage(const QString &tag)
{
    const QStringList parts = tag.section(u',', 0, 0).trimmed().toLower().replace(u'_', u'-').split(u'-');
    if (parts.first() != QLatin1String("zh") || parts.contains(QLatin1String("hans")))
        return false;
    for (const char *traditional : {"hant", "tw", "hk", "mo"}) {
        if (parts.contains(QLatin1String(traditional)))
            return true;
    }
    return false;
}

bool simplifyIfTraditional(std::initializer_list<QString *> texts, bool declared)
{
    qsizetype han = 0;
    for (const QString *text : texts) {
        for (const QChar c : *text) {
            if (isKana(c.unicode()))
                return false;   // Japanese: its kanji are its own
            han += isHan(c.unicode()) ? 1 : 0;
        }
    }
    if (han == 0)
        return false;
    // A character or two differ in simplified text too (著, 乾, 麵 in names);
    // in traditional text one in five or more.
    QStringList simplified;
    qsizetype changed = 0;
    bool differs = false;
    for (const QString *text : texts) {
        bool available = false;
        simplified << simplifiedChinese(*text, &available);
        if (!available)
            return false;
        const QString &now = simplified.last();
        differs = differs || now != *text;
        for (qsizetype i = 0; i < std::min(text->size(), now.size()); ++i)
            changed += text->at(i) != now.at(i) && isHan(text->at(i).unicode()) ? 1 : 0;
    }
    // A page that says it is traditional is taken at its word, however few differ.
    if (declared ? !differs : (changed < 2 || changed * 20 < han))
        return false;
    qsizetype k = 0;
    for (QString *text : texts)
        *text = simplified.at(k++);
    return true;
}

} // namespace ImportFormats
