#pragma once
// Plain records of the two tables of cate.mdb.
//   table "01": id, category, 名称, ingredients, method, picture (by position 0..5)
//   table "02": id, category                                      (by position 0..1)
#include <QString>
#include <QStringList>
#include <QtGlobal>

struct DishRecord {
    qint64 id = 0;          // assigned by the store, never written by the program
    QString category;       // as stored (may carry blanks)
    QString name;           // column 2, 名称
    QString ingredients;
    QString method;
    QString picture;        // full path of a picture file, or empty
};

struct CategoryRecord {
    qint64 id = 0;
    QString category;       // as stored (may carry blanks)
};

// Leading and trailing blanks (U+0020) removed; nothing else.
QString trimBlanks(const QString &text);
// What the cook typed, without the blanks around it: every Unicode blank
// counts (the full-width U+3000 a Chinese keyboard types, U+00A0, ...),
// line breaks and tabs do not.
QString trimTyped(const QString &text);
// Words typed with any of those blanks between them.
QStringList splitTyped(const QString &text);
