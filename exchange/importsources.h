#pragma once
// Reading recipes out of files other programs wrote: saved web pages
// (JSON-LD or microdata), schema.org Recipe JSON, cookbook folders and zips
// (one folder a dish with recipe.json and its picture), MealMaster text and
// the catalogues of the first versions (Jet).
// Widget-free; safe to run on a background thread (nothing here touches the
// catalogue or the store).
#include "core/progress.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class QTemporaryDir;

// One recipe as the catalogue will hold it.
struct ImportedRecipe {
    QString category;      // named by the source, trimmed; empty when none
    QString name;          // trimmed, entities decoded, at most MaxNameLength
    QString ingredients;   // one a line, joined with "\r\n"
    // One step a line joined with "\r\n"; section headings as "【name】";
    // then, when known, "时间：…" (e.g. "1小时30分"), "来源：…".
    QString method;
    QStringList tags;      // the cook's marks (store/marks.h): tags, parsed
    int servings = 0;      // 1 to 99; 0 when unknown
    bool favourite = false;
    QString pictureFile;   // a local picture to keep with the dish, or empty
    QString pictureUrl;    // an http(s) address to fetch later, or empty
    QString picturePath;   // a path kept as the source stored it (an old catalogue's)
    bool exact = false;    // this program's own texts: stored as they are (an empty name too)
    bool traditional = false;   // its source declares traditional Chinese
};

// What became of one source (a file or folder the cook gave).
struct SourceReading {
    QString path;                       // as given
    QVector<ImportedRecipe> recipes;    // in source order
    QString refusal;                    // why nothing was taken; empty when read
    QStringList notes;                  // e.g. a name cut to its 200 characters
    int notesLeftOut = 0;               // beyond the first MaxNotes
    int picturesSkipped = 0;            // named but not found / not readable
    int picturesNotFound = 0;           // a stored path kept, its file found nowhere
    // Files of a folder or zip that gave nothing: "<file>：<why>", the
    // first MaxNotes of them; partsRefused counts them all.
    QStringList refusedParts;
    int partsRefused = 0;
    // Pictures taken out of a zip live here until they are kept.
    QVector<std::shared_ptr<QTemporaryDir>> scratches;

    // A note kept, or counted once MaxNotes are.
    void note(const QString &text);
    void refusePart(const QString &line);
    // The notes, and a last line saying how many more there were.
    QStringList shownNotes() const;
};


namespace ImportLimits {
constexpr qint64 MaxSourceBytes = 50LL * 1024 * 1024;     // a file read as a recipe source
constexpr qint64 MaxArchiveBytes = 500LL * 1024 * 1024;   // a zip, expanded
constexpr int MaxNameLength = 200;                         // characters
constexpr int MaxTextLength = 1024 * 1024;                 // ingredients, method: characters
constexpr int MaxNotes = 50;                               // a source's notes kept
}

// The refusal reasons, as the cook reads them.
namespace ImportRefusal {
inline const QString NoRecipe = QStringLiteral("没有找到菜谱");
inline const QString Damaged = QStringLiteral("文件已损坏");
inline const QString UnsafePath = QStringLiteral("压缩包里有不安全的路径");
inline const QString Missing = QStringLiteral("找不到这个文件");
inline const QString TooLarge = QStringLiteral("文件太大（超过 50 MB）");
inline const QString ArchiveTooLarge = QStringLiteral("压缩包解开后太大（超过 500 MB）");
inline const QString NotRecipeFile = QStringLiteral("不是菜谱文件");
inline const QString Unreadable = QStringLiteral("文件读不出来");
inline const QString UnknownEncoding = QStringLiteral("编码不明");
}

// Reads every source in turn (a folder is one source: a cookbook folder, or
// else every recipe file in it), a step of `progress` each, stopping early
// when cancelled.
QVector<SourceReading> readSources(const QStringList &paths, Progress &progress);
// One source.
SourceReading readSource(const QString &path);
// `raw` (a path's bytes, as the command line gives them) as a path that
// opens: itself when UTF-8, else a link to it in `links` (made when first
// needed) named in what its bytes say in GB18030, the way Chinese Windows
// names files.
QString reachablePath(const QByteArray &raw, std::shared_ptr<QTemporaryDir> &links);
