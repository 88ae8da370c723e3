#include "core/dishorder.h"

#include "store/pinyintable.h"

#include <algorithm>
#include <vector>

namespace {

// What each kind of character sorts as, in this order.
enum Kind : char { Symbol = 1, Digits = 2, Han = 3, Latin = 4 };
// Ends a syllable: below every letter, so "bai" comes before "baibai".
constexpr char SyllableEnd = 1;

bool isDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool isLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

} // namespace

std::string dishSortKey(const QString &name)
{
    const QList<uint> ucs4 = name.toUcs4();
    const std::u32string_view text(reinterpret_cast<const char32_t *>(ucs4.constData()), size_t(ucs4.size()));
    const PinyinTable &table = PinyinTable::instance();
    const std::vector<int> read = table.resolve(text);
    std::string key;
    key.reserve(text.size() * 5);
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (isDigit(c)) {
            // A run of digits by its value: its length without leading zeros, then the digits.
            size_t end = i;
            while (end < text.size() && isDigit(text[end]))
                ++end;
            while (i + 1 < end && text[i] == '0')
                ++i;
            key += char(Digits);
            key += char(std::min<size_t>(end - i, 127));
            for (; i < end; ++i)
                key += char(text[i]);
            --i;
        } else if (isLetter(c)) {
            key += char(Latin);
            key += char(c | 0x20);
        } else if (read[i] >= 0) {
            key += char(Han);
            key += table.syllable(read[i]);
            key += SyllableEnd;
        } else {
            key += char(Symbol);
            for (const int shift : {16, 8, 0})
                key += char((c >> shift) & 0xFF);
        }
    }
    return key;
}

bool dishNameLess(const QString &a, const QString &b)
{
    const int c = dishSortKey(a).compare(dishSortKey(b));
    return c != 0 ? c < 0 : a < b;
}

void sortByDishName(QVector<int> &items, const std::function<QString(int)> &nameOf)
{
    // One sort key per item, made once: comparing keys is much cheaper
    // than reading the names again at every comparison.
    struct Keyed {
        std::string key;
        QString name;
        int item;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(items.size()));
    for (const int item : std::as_const(items)) {
        QString name = nameOf(item);
        keyed.push_back({dishSortKey(name), std::move(name), item});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        const int k = a.key.compare(b.key);
        return k != 0 ? k < 0 : a.name < b.name;
    });
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i] = keyed[size_t(i)].item;
}
