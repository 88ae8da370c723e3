#pragma once
// An import from start to end, as the menu, a drop and the command line
// share it: the sources read and their pictures kept (on a background
// thread), the dishes added in one transaction, the pictures named only by
// an address fetched afterwards, and the one summary the cook reads.
#include "exchange/importsources.h"
#include "store/recipestore.h"

#include <QTemporaryDir>
#include <QUrl>

#include <memory>
#include <utility>

class Catalogue;

// Where an import puts dishes whose source names no category.
inline const QString ImportedCategory = QStringLiteral("导入的菜谱");

struct PreparedImport {
    QVector<SourceReading> readings;   // one per source; recipes left empty
    QVector<DishRecord> dishes;        // ready to add, in source order
    QVector<ImportedMarks> marks;      // per dish: its tags, servings and favourite mark
    QVector<int> sourceOf;             // per dish: its reading
    QVector<QString> pictureFiles;     // per dish: the picture to keep once it is in, or empty
    QVector<QUrl> pictureUrls;         // per dish: an address to fetch, or empty
    // Where the pictures taken out of zips wait until they are kept.
    QVector<std::shared_ptr<QTemporaryDir>> scratches;
    int picturesSkipped = 0;           // named but not copied
    int picturesNotFound = 0;          // a stored path kept, its file found nowhere
    bool cancelled = false;
};

// Reads the sources and names the pictures they carry as they will lie in
// the data folder's 图片 (each dish stores that name; the copy follows the
// commit). `category`, when not empty, takes every dish; else the source's
// category, else ImportedCategory. A recipe in traditional characters (or
// whose source declares traditional Chinese) is stored in simplified ones
// (a note "已转为简体" for its source) unless `keepTraditional`. Runs on any
// thread.
PreparedImport prepareImport(const QStringList &paths, const QString &category, const QString &dataFolder,
                             Progress &progress, bool keepTraditional = false);

// The pictures of the dishes that came in, copied into 图片: after the
// commit, so that a dish skipped as equal, a cancel or a refused write
// leaves none behind. Each dish whose picture now lies elsewhere than it
// was stored with: its index and that path, empty when it could not be
// kept (or the cook cancelled). Runs on any thread.
QVector<std::pair<int, QString>> keepImportPictures(const PreparedImport &prepared, const ImportOutcome &outcome,
                                                    const QString &dataFolder, Progress &progress);

struct ImportTally {
    int added = 0;
    int skipped = 0;
    int picturesNotKept = 0;
    int picturesNotFetched = 0;
    qint64 firstId = 0;                // the first dish added, or 0
    QString firstCategory;
    // Where the dishes went: each category and how many came into it, in
    // the order they first did.
    QVector<std::pair<QString, int>> byCategory;
};
ImportTally tallyImport(const PreparedImport &prepared, const ImportOutcome &outcome);

// "导入了 N 道美食（跳过 M 道相同的）。", "放进了：川菜 12 道、导入的菜谱 3 道",
// and then a line per source refused,
// per note and for the pictures that could not be copied or fetched.
QString importSummary(const PreparedImport &prepared, const ImportTally &tally);
// The first line of the summary and those on the pictures.
QStringList importTotalLines(const PreparedImport &prepared, const ImportTally &tally);
// One line per source, for the command line: what it gave, or why nothing;
// then its notes, indented.
QStringList importSourceLines(const PreparedImport &prepared, const ImportOutcome &outcome);
bool anySourceRefused(const PreparedImport &prepared);
