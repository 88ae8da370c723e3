#pragma once
// What the three cookbook writers share: the recipe as schema.org JSON, the
// lines of a text box, and careful file writing. Each writer fills a path it
// was given beside the destination (writeCookbook renames it into place) and
// leaves cleaning up after a failure to its caller.
#include "exchange/exportcookbook.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ExportWriting {

// The lines of an ingredients or method box: split at "\r\n", "\n" or "\r";
// empty lines inside kept as "", empty lines at the end dropped.
QStringList textLines(const QString &text);

// The dish as a schema.org Recipe; `image` names its picture relative to
// the JSON (no "image" when empty). Compact or indented as asked.
QByteArray recipeJson(const ExportDish &dish, const QString &image, bool indented);

// Whether the dish names a picture that can be read, and the extension its
// copy takes (lower case, without the dot).
bool pictureFound(const QString &path);
QString pictureSuffix(const QString &path);

// The line the cookbooks print under a dish's name: "标签：麻辣 下饭"; empty
// when the dish has no tags.
QString tagsLine(const ExportDish &dish);

// What the cook reads as a duration ("1小时30分", "25分钟", "1天2小时") in
// ISO 8601 ("PT1H30M"); empty when the text reads otherwise.
QString isoDuration(const QString &text);

// The date as the cook writes it: 2004年3月9日.
QString dateText(const QDate &date);

// What the cook is told when writing `path` failed for `reason`: that the
// disk is full when it is, else "无法写入 <path>：<reason>".
QString writeFailure(const QString &path, const QString &reason, bool diskFull = false);

// Writing whole files, every write and the close checked. On failure the
// answer is false and `error` says why in the cook's words.
bool writeFile(const QString &path, const QByteArray &data, QString *error);
bool copyFile(const QString &from, const QString &to, QString *error);

} // namespace ExportWriting

ExportOutcome writeCookbookArchive(const ExportSnapshot &snapshot, const QString &path, Progress &progress);
ExportOutcome writeWebCookbook(const ExportSnapshot &snapshot, const QString &folder, Progress &progress);
ExportOutcome writePdfCookbook(const ExportSnapshot &snapshot, const QString &path, Progress &progress);
