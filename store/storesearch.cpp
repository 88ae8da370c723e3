// The recipe store: searching dishes by name.
#include "store/recipestore.h"

#include "store/namepattern.h"
#include "store/pinyinmatch.h"
#include "store/storeinternal.h"

#include <sqlite3.h>

using namespace StoreInternal;

ScopedFunction::ScopedFunction(Store &s, const char *name, int args, void *data,
                               void (*function)(sqlite3_context *, int, sqlite3_value **))
    : m_db(s.db.handle()), m_name(name), m_args(args)
{
    // The data reaches SQL only as the function's own, never as text.
    m_rc = sqlite3_create_function_v2(m_db, name, args, SQLITE_UTF8 | SQLITE_DIRECTONLY, data, function, nullptr,
                                      nullptr, nullptr);
}

ScopedFunction::~ScopedFunction()
{
    sqlite3_create_function_v2(m_db, m_name, m_args, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
}

namespace {

// Makes s.names current: kept while no connection has committed since it
// was read (our own writes clear it), else read again in one pass.
std::optional<StoreError> refreshNames(Store &s)
{
    return keepCurrent(s, s.namesState, [&s]() -> std::optional<StoreError> {
        s.names.clear();
        s.namesPinyin.reset();
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2").arg(s.dishColumns(0, 2), DishTable)
                                      + s.dishOrder());
        if (rc != SQLITE_OK)
            return s.fail(rc);
        while ((rc = st.step()) == SQLITE_ROW) {
            if (st.columnIsNull(2))
                continue;   // a name with no value matches nothing
            NameRow n;
            n.id = st.columnInt64(0);
            n.category = st.columnText(1);
            n.name = st.columnText(2);
            const QList<uint> ucs4 = n.name.toUcs4();
            n.name32.assign(ucs4.begin(), ucs4.end());
            s.names.push_back(std::move(n));
        }
        if (rc != SQLITE_DONE) {
            s.names.clear();
            return s.fail(rc);
        }
        return std::nullopt;
    });
}

void likeFunction(sqlite3_context *context, int, sqlite3_value **args)
{
    const auto *pattern = static_cast<const NamePattern::Pattern *>(sqlite3_user_data(context));
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(args[0]));
    const int bytes = sqlite3_value_bytes(args[0]);
    sqlite3_result_int(context, text && pattern->matchesUtf8(text, bytes) ? 1 : 0);
}

} // namespace

StoreResult<QVector<DishRecord>> RecipeStore::searchDishesByName(const QString &text,
                                                    SearchFields fields, const QString &simplified)
{
    const auto pattern = NamePattern::Pattern::compile(QLatin1Char('*') + text + QLatin1Char('*'));
    if (!pattern)
        return makeError(StoreError::BadPattern, text);
    return withStore<QVector<DishRecord>>(*this, [&](Store &s) -> StoreResult<QVector<DishRecord>> {
        if (fields == SearchFields::NamesOnly) {
            // Matched against the names kept in memory; read again whenever
            // the file changed since.
            if (auto e = refreshNames(s))
                return *e;
            const auto also = simplified.isEmpty() || simplified == text
                                  ? std::nullopt
                                  : NamePattern::Pattern::compile(QLatin1Char('*') + simplified + QLatin1Char('*'));
            const auto pinyin = Pinyin::Query::make(simplified.isEmpty() ? text : simplified);
            if (pinyin && !s.namesPinyin) {
                s.namesPinyin.emplace();
                for (const NameRow &n : std::as_const(s.names))
                    s.namesPinyin->add(std::u32string_view(n.name32));
            }
            QVector<DishRecord> rows;
            for (qsizetype i = 0; i < s.names.size(); ++i) {
                const NameRow &n = s.names.at(i);
                const std::u32string_view name(n.name32);
                if (!pattern->matches(name) && !(also && also->matches(name))
                    && !(pinyin && s.namesPinyin->matches(size_t(i), *pinyin)))
                    continue;
                DishRecord d;
                d.id = n.id;
                d.category = n.category;
                d.name = n.name;
                rows.push_back(std::move(d));
            }
            return rows;
        }
        ScopedFunction like(s, "zx_name_like", 1, const_cast<NamePattern::Pattern *>(&*pattern), likeFunction);
        if (like.result() != SQLITE_OK)
            return s.fail(like.result());
        QVector<DishRecord> rows;
        Sql::Statement st;
        int rc = st.prepare(s.db, QStringLiteral("SELECT %1 FROM %2 WHERE zx_name_like(%3)")
                                      .arg(s.dishColumns(0, 5), DishTable, s.layout.dishCols.at(2))
                                      + s.dishOrder());
        if (rc == SQLITE_OK) {
            while ((rc = st.step()) == SQLITE_ROW)
                rows.push_back(readDish(st));
        }
        if (rc != SQLITE_DONE)
            return s.fail(rc);
        return rows;
    });
}

