#include "store/jetconvert.h"

#include "store/schema.h"
#include "store/sqlite.h"
#include "store/storeinternal.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <optional>
#include <sqlite3.h>

namespace Jet {

namespace {

using StoreInternal::errorFromCode;

int bindCell(Sql::Statement &st, int index, const QString &text)
{
    return text.isNull() ? st.bindNull(index) : st.bindText(index, text);
}

// An id of 0 is none the file could give: the row is numbered anew.
int bindId(Sql::Statement &st, qint64 id)
{
    return id == 0 ? st.bindNull(1) : st.bindInt64(1, id);
}

// Steps an insert whose parameters are bound, ready for the next row.
int insert(Sql::Statement &st)
{
    const int rc = st.step();
    st.reset();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// The tables made and every row written, in one transaction.
std::optional<StoreError> fill(Sql::Connection &db, const Contents &contents)
{
    Sql::Transaction transaction(db);
    int rc = transaction.beginResult();
    if (rc == SQLITE_OK)
        rc = db.exec(Schema::Tables);
    Sql::Statement dish, category;
    if (rc == SQLITE_OK)
        rc = dish.prepare(db, QStringLiteral("INSERT INTO \"01\" VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
    if (rc == SQLITE_OK)
        rc = category.prepare(db, QStringLiteral("INSERT INTO \"02\" VALUES (?1, ?2)"));
    for (qsizetype i = 0; rc == SQLITE_OK && i < contents.dishes.size(); ++i) {
        const DishRecord &d = contents.dishes.at(i);
        bindId(dish, d.id);
        bindCell(dish, 2, d.category);
        bindCell(dish, 3, d.name);
        bindCell(dish, 4, d.ingredients);
        bindCell(dish, 5, d.method);
        bindCell(dish, 6, d.picture);
        rc = insert(dish);
    }
    for (qsizetype i = 0; rc == SQLITE_OK && i < contents.categories.size(); ++i) {
        bindId(category, contents.categories.at(i).id);
        bindCell(category, 2, contents.categories.at(i).category);
        rc = insert(category);
    }
    if (rc == SQLITE_OK)
        rc = transaction.commit();
    if (rc != SQLITE_OK)
        return errorFromCode(rc, db.errorMessage(), true);
    return std::nullopt;
}

} // namespace

StoreStatus writeCatalogue(const QString &target, const Contents &contents)
{
    const QString temporary = target + QStringLiteral(".converting");
    QFile::remove(temporary);
    std::optional<StoreError> failed;
    {
        Sql::Connection db;
        const int rc = db.open(temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        // The file is renamed into place only once whole and synced: it
        // needs no journal of its own.
        if (rc == SQLITE_OK)
            db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF");
        failed = rc != SQLITE_OK ? errorFromCode(rc, db.errorMessage(), true) : fill(db, contents);
    }
    const QString folder = QFileInfo(target).absolutePath();
    if (!failed
        && (!StoreInternal::syncToDisk(temporary, folder)
            || std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0))
        failed = StoreInternal::makeError(StoreError::ReadOnly, QStringLiteral("cannot write ") + target);
    if (failed) {
        QFile::remove(temporary);
        return *failed;
    }
    StoreInternal::syncToDisk(target, folder);   // the new name on disk too
    return Done{};
}

StoreStatus convertFile(const QString &from, const QString &target)
{
    const Contents contents = read(from);
    if (contents.problem.kind != Problem::None)
        return StoreInternal::makeError(StoreError::NotADatabase, contents.problem.userText());
    return writeCatalogue(target, contents);
}

} // namespace Jet
