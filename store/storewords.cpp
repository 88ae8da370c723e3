// The recipe store: finding dishes by words in their name, ingredients and
// method.
//
// The texts are read where SQLite keeps them, as UTF-8, and never kept.
// What is kept, with the connection and until the file changes, is the set
// of characters each dish holds (CharacterSets): a dish that lacks a
// character some word needs is passed over before its texts are read. The
// first search after a change reads every dish and makes the sets on the way.
#include "store/recipestore.h"

#include "store/namepattern.h"
#include "store/storeinternal.h"

#include <algorithm>
#include <sqlite3.h>
#include <vector>

using namespace StoreInternal;

void CharacterSets::add(Bits &out, const unsigned char *s, qsizetype size)
{
    Bits bits = out;
    const auto at = [&](qsizetype k) -> quint32 { return k < size ? s[k] : 0; };
    for (qsizetype i = 0; i < size;) {
        const bool inside = i + 4 <= size;
        const quint32 b0 = s[i];
        const quint32 b1 = inside ? s[i + 1] : at(i + 1);
        const quint32 b2 = inside ? s[i + 2] : at(i + 2);
        const quint32 b3 = inside ? s[i + 3] : at(i + 3);
        // A lead byte takes the continuation bytes it asks for, as far as
        // they are there: no byte that starts a character is passed over.
        const int asks = b0 < 0xC0 ? 0 : b0 < 0xE0 ? 1 : b0 < 0xF0 ? 2 : 3;
        const int c1 = (b1 & 0xC0) == 0x80;
        const int c2 = c1 & ((b2 & 0xC0) == 0x80);
        const int c3 = c2 & ((b3 & 0xC0) == 0x80);
        const int take = std::min(asks, c1 + c2 + c3);
        quint32 key = ((b0 << 24) | (b1 << 16) | (b2 << 8) | b3) >> (8 * (3 - take));
        if (b0 - 'A' < 26u)
            key += 'a' - 'A';
        const quint32 bit = (key * 0x9E3779B1u) >> 23;   // 0 .. 511
        bits[bit >> 6] |= quint64(1) << (bit & 63);
        i += 1 + take;
    }
    out = bits;
}

namespace StoreInternal {

namespace {

void dropCharacterSets(Store &s)
{
    s.charactersState.valid = false;
    s.characters = CharacterSets();
}

} // namespace

bool hasTriggers(Store &s, bool &failed)
{
    Sql::Statement st;
    failed = st.prepare(s.db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'trigger' LIMIT 1")) != SQLITE_OK;
    const int rc = failed ? SQLITE_ERROR : st.step();
    failed = failed || (rc != SQLITE_ROW && rc != SQLITE_DONE);
    return rc == SQLITE_ROW;
}

void noteDishWritten(Store &s, qint64 rowid)
{
    bool failed = false;
    if (!s.charactersState.valid || hasTriggers(s, failed) || failed)
        return dropCharacterSets(s);
    const QStringList &c = s.layout.dishCols;
    Sql::Statement st;
    if (st.prepare(s.db, QStringLiteral("SELECT %1,%2,%3 FROM %4 WHERE %5 = ?1")
                             .arg(c.at(2), c.at(3), c.at(4), DishTable, s.layout.dishRowid)) != SQLITE_OK)
        return dropCharacterSets(s);
    st.bindInt64(1, rowid);
    if (st.step() != SQLITE_ROW)
        return dropCharacterSets(s);
    CharacterSets::Bits bits{};
    for (int k = 0; k < 3; ++k) {
        const QByteArrayView text = st.columnUtf8(k);
        CharacterSets::add(bits, reinterpret_cast<const unsigned char *>(text.data()), text.size());
    }
    std::vector<qint64> &rowids = s.characters.rowids;
    const auto at = std::lower_bound(rowids.begin(), rowids.end(), rowid);
    const size_t index = size_t(at - rowids.begin());
    if (at != rowids.end() && *at == rowid) {
        s.characters.bits[index] = bits;
    } else {
        rowids.insert(at, rowid);
        s.characters.bits.insert(s.characters.bits.begin() + qsizetype(index), bits);
    }
}

void noteRowsDeleted(Store &s)
{
    bool failed = false;
    if (s.charactersState.valid && (hasTriggers(s, failed) || failed))
        dropCharacterSets(s);
}

} // namespace StoreInternal

namespace {

// What one search hands to its SQL functions.
struct WordsQuery {
    std::vector<NamePattern::Pattern> words;
    CharacterSets::Bits needed{};      // the characters every found dish holds
    bool needsAny = false;
    const CharacterSets *kept = nullptr;   // current sets to pass dishes over by, or none
    size_t next = 0;                       // where the scan is in them
    CharacterSets *making = nullptr;       // sets being made on the way, or none
};

// A column's text as UTF-8, where SQLite holds it for the function (no copy
// is made in a UTF-8 file); nullopt for NULL.
std::optional<QByteArrayView> columnText(sqlite3_value *value)
{
    if (sqlite3_value_type(value) == SQLITE_NULL)
        return std::nullopt;
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    const int size = sqlite3_value_bytes(value);
    if (!text && size > 0)
        return std::nullopt;   // out of memory
    return QByteArrayView(text ? text : "", size);
}

// zx_words(rowid, name, ingredients, method): whether every word matches
// one of the three texts (a NULL text matches nothing).
void wordsFunction(sqlite3_context *context, int count, sqlite3_value **args)
{
    auto *q = static_cast<WordsQuery *>(sqlite3_user_data(context));
    std::optional<QByteArrayView> texts[3];
    for (int k = 1; k < count && k <= 3; ++k)
        texts[k - 1] = columnText(args[k]);
    if (q->making) {
        CharacterSets::Bits bits{};
        for (const auto &t : texts) {
            if (t)
                CharacterSets::add(bits, reinterpret_cast<const unsigned char *>(t->data()), t->size());
        }
        q->making->rowids.push_back(sqlite3_value_int64(args[0]));
        q->making->bits.push_back(bits);
    }
    const bool found = std::all_of(q->words.cbegin(), q->words.cend(), [&](const NamePattern::Pattern &w) {
        return std::any_of(std::begin(texts), std::end(texts),
                           [&](const auto &t) { return t && w.findsInUtf8(t->data(), t->size()); });
    });
    sqlite3_result_int(context, found ? 1 : 0);
}

// zx_may_hold(rowid): whether the dish holds every character the words
// need, by the kept sets (a dish not in them may).
void mayHoldFunction(sqlite3_context *context, int, sqlite3_value **args)
{
    auto *q = static_cast<WordsQuery *>(sqlite3_user_data(context));
    const CharacterSets &sets = *q->kept;
    const qint64 rowid = sqlite3_value_int64(args[0]);
    // The scan goes in table order, as the sets do.
    while (q->next < sets.rowids.size() && sets.rowids[q->next] < rowid)
        ++q->next;
    bool may = true;
    if (q->next < sets.rowids.size() && sets.rowids[q->next] == rowid) {
        const CharacterSets::Bits &has = sets.bits[q->next];
        for (size_t k = 0; k < has.size() && may; ++k)
            may = (has[k] & q->needed[k]) == q->needed[k];
    }
    sqlite3_result_int(context, may ? 1 : 0);
}

// The words compiled as "*word*", and the characters they need.
std::optional<StoreError> compileWords(const QStringList &words, WordsQuery &q)
{
    for (const QString &word : words) {
        if (word.isEmpty())
            continue;
        const auto pattern = NamePattern::Pattern::compile(QLatin1Char('*') + word + QLatin1Char('*'));
        if (!pattern)
            return makeError(StoreError::BadPattern, word);
        const std::u32string needed = pattern->requiredCharacters();
        const QByteArray bytes = QString::fromUcs4(needed.data(), qsizetype(needed.size())).toUtf8();
        CharacterSets::add(q.needed, reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size());
        q.needsAny = q.needsAny || !needed.empty();
        q.words.push_back(*pattern);
    }
    return std::nullopt;
}

// The dishes found, each scanned row handed to zx_words (and, when the
// sets are current, first to zx_may_hold).
StoreResult<QVector<DishRecord>> runWordsQuery(Store &s, bool filtered)
{
    const QStringList &c = s.layout.dishCols;
    const QString match = QStringLiteral("zx_words(%1,%2,%3,%4)").arg(s.layout.dishRowid, c.at(2), c.at(3), c.at(4));
    // CASE keeps the texts of a passed-over dish from being read at all.
    const QString where = filtered ? QStringLiteral("CASE WHEN zx_may_hold(%1) THEN %2 ELSE 0 END").arg(s.layout.dishRowid, match)
                                   : match;
    Sql::Statement st;
    int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(s.dishColumns(0, 2), DishTable, where)
                                  + s.dishOrder());
    QVector<DishRecord> rows;
    if (rc == SQLITE_OK) {
        while ((rc = st.step()) == SQLITE_ROW) {
            DishRecord d;
            d.id = st.columnInt64(0);
            d.category = st.columnText(1);
            d.name = st.columnText(2);
            rows.push_back(std::move(d));
        }
    }
    if (rc != SQLITE_DONE)
        return s.fail(rc);
    return rows;
}

} // namespace

StoreResult<QVector<DishRecord>> RecipeStore::searchDishesByWords(const QStringList &words)
{
    WordsQuery q;
    if (auto e = compileWords(words, q))
        return *e;
    return withStore<QVector<DishRecord>>(*this, [&](Store &s) -> StoreResult<QVector<DishRecord>> {
        int rc = SQLITE_OK;
        const std::optional<qint64> now = s.dataVersion(rc);
        if (!now)
            return s.fail(rc);
        const bool current = s.charactersState.isCurrent(*now);
        if (!current) {
            dropCharacterSets(s);
            q.making = &s.characters;
        } else if (q.needsAny) {
            q.kept = &s.characters;
        }
        StoreResult<QVector<DishRecord>> found = QVector<DishRecord>();
        {
            ScopedFunction wordsMatch(s, "zx_words", 4, &q, wordsFunction);
            ScopedFunction mayHold(s, "zx_may_hold", 1, &q, mayHoldFunction);
            if (wordsMatch.result() != SQLITE_OK)
                return s.fail(wordsMatch.result());
            if (mayHold.result() != SQLITE_OK)
                return s.fail(mayHold.result());
            found = runWordsQuery(s, q.kept != nullptr);
        }
        if (q.making && found.ok())
            s.charactersState.set(*now);
        else if (q.making)
            s.characters = CharacterSets();
        return found;
    });
}

