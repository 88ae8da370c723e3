#pragma once
// The bench's recipe databases: realistic names and texts, in the layout the
// program reads.
#include <QString>

namespace Bench {

// The category of 500 dishes that the delete rows remove.
inline const QString DeletedCategory = QStringLiteral("待删分类");

struct Sample {
    QString findCategory, findName;   // a dish three quarters down the table
    qint64 updateId = 0;
};

// Writes cate.mdb with `dishes` rows. 200 categories (one of them holds 500
// dishes and is the one deleted), two listed twice in "02", a few stored with
// blanks around them; some names carry blanks, many repeat; about one dish in
// two hundred belongs to no listed category.
Sample makeDatabase(const QString &path, int dishes);

// A copy of cate.mdb whose id column is a plain INTEGER column (not the row
// id) holding id + `shift`: with a shift of 1,690 only ten rows carry a
// number the daily pick can draw, so most draws find nothing.
void makePlainIdCopy(const QString &from, const QString &to, int shift);

// Another program's write to the file: everything the store keeps from the
// file must be read again.
void touchFromOutside(const QString &path);

// Runs SQL on the file as another program; false when it fails.
bool execSql(const QString &path, const char *sql);

} // namespace Bench
