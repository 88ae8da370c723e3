#pragma once
// cate.mdb as the first versions kept it: a Microsoft Jet (Access 97/2000)
// database holding the same two tables, read through mdbtools (libmdb).
// Only read, never written: texts as UTF-8 exactly as stored (line breaks,
// blanks, long memos), NULL as a null QString, rows in table order, ids
// kept. Columns are taken by position, whatever their names.
#include "store/records.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace Jet {

// Why a file cannot be read as an old catalogue.
struct Problem {
    enum Kind {
        None,
        Missing,       // no file there, or it cannot be opened
        Damaged,       // a Jet file mdbtools cannot read through
        Password,      // protected by a database password
        NewerFormat,   // Access 2007 and later (.accdb, the ACE engine)
        NotCatalogue   // no table "01" (6 columns) or "02" (2 columns)
    };
    Kind kind = None;
    QString detail;    // for the curious: what mdbtools or the file said
    // A short Chinese sentence for a message box.
    QString userText() const;
};

// Both tables of an old catalogue.
struct Contents {
    QVector<DishRecord> dishes;           // table "01"
    QVector<CategoryRecord> categories;   // table "02"
    Problem problem;                      // kind None when read whole
};

// Whether a file's first bytes (20 at least) are those of a Jet or ACE
// database.
bool isJetHead(const QByteArray &head);
// Whether the file at `path` starts like one.
bool isJetFile(const QString &path);

// Reads both tables. Nothing is kept open afterwards.
Contents read(const QString &path);

} // namespace Jet
