#pragma once
// The readers behind readSources(), one per kind of file, and the text
// helpers they share. Internal to the exchange layer: each reader turns bytes
// into drafts (what the file says, before pictures are looked for and the
// limits applied); importsources.cpp finds the pictures and finishes them.
#include <QByteArray>
#include <QFileInfo>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QVector>

#include "exchange/importsources.h"

#include <functional>
#include <initializer_list>

namespace ImportFormats {

// A recipe as its file tells it.
struct Draft {
    QString name;
    QString category;
    QStringList ingredients;   // one a line; "【…】" for a section
    QStringList method;        // one step or paragraph a line
    QStringList tags;          // the cook's tags (store/marks.h), already taken apart
    int servings = 0;          // 1 to 99; 0 when the source does not tell
    bool favourite = false;    // this program's own mark, given back
    QString time;              // shown after "时间："
    QString url;               // the recipe's own address, as written
    QString image;             // the picture's address or relative path, as written
    bool exact = false;        // texts as this program wrote them: kept as they are
    bool traditional = false;  // declared traditional Chinese (language tag, Big5)
};

// --- character references (htmlentities.cpp, generated; importentities.cpp) ---
struct HtmlEntity {
    const char *name;   // without '&' and ';'
    char32_t first;
    char32_t second;    // 0 when the reference stands for one character
    bool bare;          // may also be written without its semicolon (the old names)
};
// Every named reference HTML5 knows, sorted by name (bytes).
extern const HtmlEntity HtmlEntities[];
extern const int HtmlEntityCount;
// The named reference that `text` (what follows an '&') starts with, as
// HTML5 reads it, and how many characters it takes (its ';' included); null
// when none. Without the semicolon only an old name, and not when a letter,
// digit or '=' follows ("?a=1&copy=2" in an address stays as written).
const HtmlEntity *namedReference(QStringView text, qsizetype *length);
// Whether HTML 4 (all libxml2's HTML parser knows) has the reference with
// the same meaning.
bool isHtml4Entity(const HtmlEntity &entity);
// A page's bytes with the named references libxml2 would leave as text
// (HTML5's names, the old names without semicolon) written as numeric
// ones. For encodings where '&' and ASCII letters are always themselves.
QByteArray withNumericReferences(const QByteArray &bytes);

// --- text (importtext.cpp) ---
// HTML character references decoded (named as HTML5 knows them, decimal,
// hex; &nbsp; as a blank).
QString decodeEntities(const QString &text);
// Markup taken out of a text value: tags dropped, block ends (</p>, <br>,
// </li>, ...) as line breaks, references decoded.
QString cleanMarkup(const QString &text);
// Lines of a text: split at any line break, each trimmed.
QStringList splitLines(const QString &text);
// Leading and trailing empty lines removed.
void trimEmptyLines(QStringList &lines);
// Runs of blanks and line breaks as one blank, trimmed.
QString oneLine(const QString &text);
// "PT1H30M" -> "1小时30分"; seconds, or -1 when the text is no ISO 8601 duration.
qint64 durationSeconds(const QString &iso);
QString durationText(qint64 seconds);
// Whether the bytes are UTF-8 throughout.
bool isUtf8(const QByteArray &bytes);
// The bytes with every byte that is no part of a UTF-8 sequence taken out.
QByteArray withoutInvalidUtf8(const QByteArray &bytes);
// How many bytes are no part of a UTF-8 sequence; `sequences`: how many
// multi-byte sequences are.
qsizetype invalidUtf8(const QByteArray &bytes, qsizetype *sequences);
// Code page 437, as MS-DOS programs wrote text.
QString fromCp437(const QByteArray &bytes);
// Bytes in a legacy encoding (an iconv name) as text; false when they do not convert.
bool fromLegacy(const QByteArray &bytes, const char *encoding, QString *out);
// The encoding (as iconv names it) a saved page's bytes are to be read in;
// `unsure` set when neither the page nor its bytes told, and then empty
// when the bytes are not even Latin-1 text.
QByteArray pageEncoding(const QByteArray &bytes, bool *unsure = nullptr);
// Whether a page is Big5: read in it (`encoding`, as pageEncoding gave it),
// or declared so (a browser's save may have made it UTF-8).
bool isBig5Page(const QByteArray &bytes, const QByteArray &encoding);

// --- Chinese (importchinese.cpp) ---
// The texts (one recipe's) in simplified characters (OpenCC, t2s) when
// together they are Chinese in traditional characters: `declared` so, or
// one Han character in twenty or more differs from its simplified form (a
// few do in simplified text too). Text with kana is never converted, nor
// anything when OpenCC or its data is missing. True when converted.
bool simplifyIfTraditional(std::initializer_list<QString *> texts, bool declared = false);
// Whether the text holds a Han character.
bool hasHan(const QString &text);
// Whether a language tag (BCP 47, or a list of them: the first) names
// Chinese in traditional characters: zh-Hant, zh-TW, zh-HK, zh-MO.
bool isTraditionalLanguage(const QString &tag);

// --- steps and ingredients as sites write them (importsteps.cpp) ---
// A step's name with its text: "name：text", or the text alone when it
// begins with the name (a name cut short with "…" or "..." too).
QString namedStep(const QString &name, const QString &text);
// The brackets a recipe plugin doubles, mended: "water ((cold))" ->
// "water (cold)", "onions (, chopped)" -> "onions (chopped)"; full-width too.
QString mendedBrackets(const QString &ingredient);
// A method written as one text with its step numbers inline ("1.… 2.…",
// "1、…", "1．…", "①…②…") as one step a line, the numbers taken off; as it
// was unless the numbers run 1, 2, 3 … (two at least). "1.5" is no number.
QStringList numberedSteps(const QStringList &lines);

// --- this program's own cookbooks (importcookbook.cpp) ---
// The key under which a recipe this program wrote carries its texts exactly
// as the catalogue held them: {"name", "category", "ingredients", "method"}.
inline const QString OwnTexts = QStringLiteral("zaoxiangju");
// The recipe's draft (draftFromSchema), with the exact texts when it carries
// them (then `exact`: nothing of them is to be cleaned or filled in).
Draft draftOfRecipe(const QJsonObject &recipe);

// --- schema.org JSON (importjsonld.cpp) ---
// JSON as pages write it: raw line breaks and tabs inside strings, a comma
// before a closing bracket, comments, an HTML comment or CDATA wrapper.
// False when it still is no JSON (cut short, not JSON at all).
bool parseLenientJson(const QByteArray &bytes, QJsonValue *out);
// Every object typed Recipe: at the top, in arrays, under @graph,
// mainEntity or any other property; a recipe given twice (same @id) once.
QVector<QJsonObject> findRecipes(const QJsonValue &root);
// The recipes of a JSON file; none, with `refusal` set (Damaged, NoRecipe),
// when it holds none.
QVector<QJsonObject> recipesInJson(const QByteArray &bytes, QString &refusal);
// The recipe's fields. `markup`: the text values may hold HTML (tags,
// character references), as in a page's JSON-LD or a file made from one.
Draft draftFromSchema(const QJsonObject &recipe, bool markup);

// --- the cook's marks a recipe carries (importmarks.cpp) ---
// The strings of a keywords value: itself, or those of an array; nothing
// for any other JSON type.
QStringList keywordList(const QJsonValue &value);
// Tags out of lists a source gives (keywords, further categories): each
// split at "," "，" "、" into keywords, a search engine's phrase ("…的做法",
// "…怎么做", "…的家常做法", "how to make …") left out unless `own` (this
// program's own tags), each keyword taken as the cook's tags box takes it
// (Marks::parseTags); a tag too long left out, at most Marks::MaxTags kept.
QStringList tagsFrom(const QStringList &lists, bool own);
// The servings a yield tells: its first whole number ("4 servings",
// "2-3人份"), when 1 to 99; else 0. An array: its first element that tells.
int servingsIn(const QString &yield);
int servingsIn(const QJsonValue &yield);
// A name ending in its servings ("【两人份】", "（4人份）", "(4人份)", "【4人份】"):
// their number, and the name without them (unless nothing else is left);
// 0 when it ends in none.
int takeNameServings(QString &name);

// --- web pages (importhtml.cpp) ---
struct Page {
    QVector<Draft> drafts;       // from JSON-LD, else from microdata
    QString title;               // <title>
    QString canonical;           // <link rel=canonical>, else og:url, else "saved from url"
    QString base;                // <base href>
    QStringList imageSources;    // every <img src> as written
    bool encodingUnsure = false; // neither declared nor told by the bytes
    bool unreadable = false;     // and not even Latin-1 text
};
Page readPage(const QByteArray &bytes);
// The first inLanguage anywhere in a page's JSON-LD, as written.
QString jsonLanguage(const QJsonValue &root);
// A page's drafts finished with what the rest of the page tells: a recipe
// given again for its ratings alone dropped; a Chinese dish named by the
// page's heading (its first <h1>) when that holds the name and more;
// `traditional` when the page declares it.
void finishPageDrafts(QVector<Draft> &drafts, const QString &heading, bool traditional);

// --- MealMaster (importmealmaster.cpp) ---
// Every recipe of the file; none when it holds no Meal-Master header.
QVector<Draft> readMealMaster(const QByteArray &bytes);

// --- Markdown (importmarkdown.cpp) ---
// The recipe of a Markdown file, and the local pictures it names (in order,
// as written); false when the file has no heading to name the dish.
bool readMarkdown(const QByteArray &bytes, Draft &draft, QStringList &pictures);
// One line's text without its inline syntax (importmarkdowntext.cpp): links
// as their text, pictures and tags out (the pictures' addresses appended to
// `pictures`), escapes, code and emphasis marks undone, references decoded.
QString markdownText(const QString &line, QStringList &pictures);

// --- old catalogues in the Jet (Access) format (importjet.cpp) ---
// Every dish of the file, or the reason it cannot be read.
void readJetInto(const QString &path, SourceReading &reading);

// --- sources (importsources.cpp, importcookbook.cpp) ---
// Where a file came from: given by the cook (or found in a folder the cook
// gave), or taken out of a cookbook archive.
enum class Origin { Given, Archive };
// One file, its recipes added to `reading`; on failure reading.refusal says why.
// `folderCategory`: for a Markdown recipe that names none.
void readFileInto(const QString &path, SourceReading &reading, const Progress *progress, Origin origin,
                  const QString &folderCategory = QString());
// A dish folder (holding recipe.json) or a folder of dish folders and recipe files.
void readFolderInto(const QString &folder, SourceReading &reading, const Progress *progress, Origin origin);
// One file's bytes, by the reader its name or first bytes call for (a zip
// only through readZipInto). `path`: where it lies, for its name and the
// pictures beside it.
void readBytesInto(const QString &path, const QByteArray &bytes, SourceReading &reading, Origin origin,
                   const QString &folderCategory = QString());
// A cookbook zip: its names checked whole, then each recipe file read from
// it in turn; the pictures its recipes name taken out into a scratch folder of the reading.
void readZipInto(const QString &path, SourceReading &reading, const Progress *progress);
// Whether a file lies at `path`: on disk, or, while a zip is read on this
// thread, among its entries (then taken out into its scratch folder).
bool fileAt(const QString &path);
// The entries of `folder` whose names are no UTF-8 (GBK names from
// Windows), each reached through a link named in what its bytes say in
// GB18030, in `links` (made when first needed).
QFileInfoList rawNamedEntries(const QString &folder, std::shared_ptr<QTemporaryDir> &links);
// A dish folder's recipe.json and picture.
void readDishInto(const QString &folder, SourceReading &reading);
void readDishJson(const QString &folder, const QByteArray &bytes, SourceReading &reading);
// A file or dish folder found in a folder or zip the cook gave.
struct Part {
    bool dish;
    QString path;
    QString shown;      // as the summary names it: relative to the source
    QString category;   // for a Markdown recipe that names none: its first sub-folder
};
// Each part read with `read` into a reading of its own, then added to
// `reading`; one that gives nothing gets a line with its reason. A source
// that gives no recipe is refused: for the reason of its one part, or as
// holding none.
void readParts(const QVector<Part> &parts, SourceReading &reading, const Progress *progress,
               const std::function<void(const Part &, SourceReading &)> &read);
// A picture a draft names, as found.
struct Picture {
    QString file;
    QString url;
    bool skipped = false;   // named, but missing or no picture
};
// Relative to `folder` (kept inside it), an http(s) address, else, when
// `fallbacks`, the folder's full.jpg / full.png / full.jpeg / full.webp.
Picture folderPicture(const QString &address, const QString &folder, bool fallbacks);
// The draft finished and added: limits applied (with a note), the picture,
// the "时间：" and "来源：" lines, the servings a name ends in taken off it
// (unless the texts are exact). `fallbackName` when it has none.
void addRecipe(SourceReading &reading, const Draft &draft, const QString &fallbackName, const QString &source,
               const Picture &picture);
bool isPicture(const QString &path);

} // namespace ImportFormats
