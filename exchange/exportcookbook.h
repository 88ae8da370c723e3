#pragma once
// Writing the catalogue out: a PDF cookbook, a web cookbook (a folder of
// pages) and a cookbook archive (a zip, one folder a dish with recipe.json
// and its picture). Widget-free; runs on a background thread from values
// read beforehand, so the file may change meanwhile without harm.
#include "core/progress.h"

#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

struct ExportDish {
    QString category;      // as stored, trimmed ("" when the row has none)
    QString name;          // trimmed
    QString ingredients;   // lines joined with "\r\n" (or "\n")
    QString method;
    QString picturePath;   // absolute path of the dish's picture, or empty
    QStringList tags;      // the cook's marks on the dish (store/marks.h)
    int servings = 0;      // 0 when unknown
    bool favourite = false;
};

// A consistent picture of what is exported, in the tree's order.
struct ExportSnapshot {
    QString title;                    // "全部菜谱" or the category's name
    QDate date;
    // The categories as the tree lists them, each with its dishes in the
    // tree's order; dishes of a category the table does not list come under
    // "未分类" (last). Every dish appears exactly once.
    struct Section {
        QString heading;              // shown: the category, or "未分类"
        QVector<int> dishes;          // indexes into `dishes`
    };
    QVector<Section> sections;
    QVector<ExportDish> dishes;
};

struct ExportOutcome {
    bool ok = false;
    bool cancelled = false;
    QString error;                    // what the cook is told when !ok && !cancelled
    int dishes = 0;
    int picturesMissing = 0;          // pictures named but not found
};

enum class ExportFormat { Pdf, Html, Json };

// Writes beside `out` and renames into place at the end: cancelled or
// failed, nothing is left at `out` nor beside it. For Html `out` is a
// folder that must not exist or be empty; for the others a file, replaced.
ExportOutcome writeCookbook(ExportFormat format, const ExportSnapshot &snapshot, const QString &out,
                            Progress &progress);

// A name usable as one file or folder name on every system: characters not
// allowed in file names replaced, no leading dot, at most 200 bytes of
// UTF-8; " (2)", " (3)", ... added when `used` (lower-cased) already holds it.
// The returned name is added to `used`.
QString safeFileName(const QString &name, QSet<QString> &used);
