// Chinese written in traditional characters, stored in simplified ones
// (OpenCC's t2s); Japanese and every other text left as it is.
#include "exchange/importformats.h"

#include <opencc.h>

#include <algorithm>
#include <mutex>

namespace ImportFormats {

namespace {

bool isHan(char16_t u) { return (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF); }
bool isKana(char16_t u) { return u >= 0x3040 && u <= 0x30FF; }

// The converter, opened once (its dictionaries take a while to load) and
// used by one reader at a time. Null when OpenCC or its data is missing.
QString t2s(const QString &text, bool *available)
{
    static std::mutex lock;
    static opencc_t converter = opencc_open("t2s.json");
    const std::lock_guard<std::mutex> held(lock);
    *available = converter != reinterpret_cast<opencc_t>(-1) && converter != nullptr;
    if (!*available || text.isEmpty())
        return text;
    const QByteArray utf8 = text.toUtf8();
    char *converted = opencc_convert_utf8(converter, utf8.constData(), size_t(utf8.size()));
    if (!converted) {
        *available = false;
        return text;
    }
    const QString out = QString::fromUtf8(converted);
    opencc_convert_utf8_free(converted);
    return out;
}

} // namespace

bool hasHan(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return isHan(c.unicode()); });
}

bool simplifyIfTraditional(std::initializer_list<QString *> texts)
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
    for (const QString *text : texts) {
        bool available = false;
        simplified << t2s(*text, &available);
        if (!available)
            return false;
        const QString &now = simplified.last();
        for (qsizetype i = 0; i < std::min(text->size(), now.size()); ++i)
            changed += text->at(i) != now.at(i) && isHan(text->at(i).unicode()) ? 1 : 0;
    }
    if (changed < 2 || changed * 20 < han)
        return false;
    qsizetype k = 0;
    for (QString *text : texts)
        *text = simplified.at(k++);
    return true;
}

} // namespace ImportFormats
