#pragma once
// The kinds of recipe file the program reads, in one table: the chooser's
// filter, a file given directly, the files of a folder and of a zip, and
// the command line's help all read it.
#include <QString>
#include <QStringList>

namespace RecipeKinds {

enum class Kind { None, Page, Json, Archive, MealMaster, Markdown, OldCatalogue };

struct Entry {
    Kind kind;
    const char *label;        // as --help names the kind
    QStringList extensions;   // lower case, without the dot
};

const QVector<Entry> &all();
// The kind a file name's extension says (any case); None for others.
Kind ofName(const QString &fileName);
// "菜谱文件 (*.html *.htm …)", for the chooser.
QString chooserFilter();
// "网页（.html .htm …）、菜谱 JSON（.json .jsonld）、…", for --help.
QString helpList();

} // namespace RecipeKinds
