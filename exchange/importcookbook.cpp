// Cookbook folders and zips: one folder a dish holding recipe.json and its
// picture; any other recipe files found along the way are read too. A zip is
// checked whole (every name, the expanded size) before anything of it is
// taken out, and then only into the reading's scratch folder.
#include "core/recipekinds.h"
#include "exchange/importformats.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <zip.h>

#include <algorithm>
#include <memory>

namespace ImportFormats {

namespace {

const QString RecipeJson = QStringLiteral("recipe.json");
constexpr int MaxDepth = 8;

bool hasSuffix(const QString &name, std::initializer_list<const char *> suffixes)
{
    const QString ext = name.section(u'.', -1).toLower();
    if (!name.contains(u'.'))
        return false;
    return std::any_of(suffixes.begin(), suffixes.end(), [&](const char *one) { return ext == QLatin1String(one); });
}

// A file of a kind the program reads; zips too when `zips`.
bool isRecipeFileName(const QString &name, bool zips)
{
    const RecipeKinds::Kind kind = RecipeKinds::ofName(name);
    return kind != RecipeKinds::Kind::None && (zips || kind != RecipeKinds::Kind::Archive);
}

bool isPictureName(const QString &name)
{
    return hasSuffix(name, {"jpg", "jpeg", "png", "webp", "gif", "bmp"});
}

struct Item {
    bool dish;
    QString path;
};

// Dish folders and recipe files under `folder`, in name order (numbers by
// their value), not into a saved page's "_files" folder nor a link.
void collect(const QString &folder, int depth, const QCollator &order, bool zips, QVector<Item> &items)
{
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(RecipeJson)).isFile()) {
        items.append({true, folder});
        return;
    }
    QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    std::sort(entries.begin(), entries.end(),
              [&](const QFileInfo &a, const QFileInfo &b) { return order.compare(a.fileName(), b.fileName()) < 0; });
    for (const QFileInfo &entry : std::as_const(entries)) {
        if (entry.isDir()) {
            if (!entry.isSymLink() && depth < MaxDepth
                && !entry.fileName().endsWith(QLatin1String("_files"), Qt::CaseInsensitive))
                collect(entry.filePath(), depth + 1, order, zips, items);
        } else if (isRecipeFileName(entry.fileName(), zips)) {
            items.append({false, entry.filePath()});
        }
    }
}

void merge(SourceReading &into, SourceReading &part, const QString &shown)
{
    into.recipes += part.recipes;
    for (const QString &note : std::as_const(part.notes))
        into.note(note);
    into.notesLeftOut += part.notesLeftOut;
    into.picturesSkipped += part.picturesSkipped;
    if (!part.refusal.isEmpty())
        into.note(QStringLiteral("「%1」：%2").arg(shown, part.refusal));
}

// --- zips ---

struct ZipCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
struct ZipFileCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

// An entry's name: UTF-8 when it is, else GB18030 (what Chinese Windows
// writes), else code page 437 (what the zip format says).
QString entryName(const char *raw)
{
    const QByteArray bytes(raw);
    if (isUtf8(bytes))
        return QString::fromUtf8(bytes);
    QString name;
    return fromLegacy(bytes, "GB18030", &name) ? name : fromCp437(bytes);
}

// Whether an entry would land outside the folder it is taken out into.
bool unsafeName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.startsWith(u'\\') || name.contains(QChar(0)))
        return true;
    if (name.size() >= 2 && name.at(1) == u':' && name.at(0).unicode() < 128 && name.at(0).isLetter())
        return true;   // a drive letter
    QString forward = name;
    forward.replace(u'\\', u'/');
    for (const QString &segment : forward.split(u'/')) {
        // "..", and ".. " or "..." that Windows reads as ".." too.
        if (segment.count(u'.') >= 2 && segment.trimmed().remove(u'.').isEmpty())
            return true;
    }
    return false;
}

struct Entry {
    zip_uint64_t index;
    QString name;
};

} // namespace

void readDishInto(const QString &folder, SourceReading &reading)
{
    const QString path = QDir(folder).filePath(RecipeJson);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reading.refusal = ImportRefusal::Unreadable;
        return;
    }
    if (file.size() > ImportLimits::MaxSourceBytes) {
        reading.refusal = ImportRefusal::TooLarge;
        return;
    }
    const QVector<QJsonObject> recipes = recipesInJson(file.readAll(), reading.refusal);
    if (recipes.isEmpty())
        return;
    for (const QJsonObject &recipe : recipes) {
        const Draft draft = draftFromSchema(recipe, true);
        addRecipe(reading, draft, QFileInfo(folder).fileName(), draft.url, folderPicture(draft.image, folder, true));
    }
}

void readFolderInto(const QString &folder, SourceReading &reading, const Progress *progress, Origin origin)
{
    const QFileInfo info(folder);
    if (!info.isReadable() || !info.isExecutable()) {
        reading.refusal = ImportRefusal::Unreadable;
        return;
    }
    QCollator order;
    order.setNumericMode(true);
    order.setCaseSensitivity(Qt::CaseInsensitive);
    QVector<Item> items;
    collect(folder, 0, order, origin == Origin::Given, items);

    const QDir root(folder);
    QString lastRefusal;
    for (const Item &item : std::as_const(items)) {
        if (progress && progress->cancelled())
            return;
        SourceReading part;
        const QString shown = root.relativeFilePath(item.path);
        // A folder the cook gave sorts its Markdown recipes into its sub-folders.
        const QString category = origin == Origin::Given && shown.contains(u'/') ? shown.section(u'/', 0, 0) : QString();
        if (item.dish)
            readDishInto(item.path, part);
        else
            readFileInto(item.path, part, progress, origin, category);
        if (!part.refusal.isEmpty())
            part.recipes.clear();
        lastRefusal = part.refusal;
        merge(reading, part, shown == QLatin1String(".") ? info.fileName() : shown);
    }
    if (reading.recipes.isEmpty()) {
        // One dish or file: why it gave nothing; more: that none gave any.
        reading.refusal = items.size() == 1 && !lastRefusal.isEmpty() ? lastRefusal : ImportRefusal::NoRecipe;
        reading.notes.clear();
        reading.notesLeftOut = 0;
    }
}

// Every name and the whole size first: one bad entry refuses the archive.
// The entries worth taking out (recipe files, pictures); a refusal when any
// is unsafe or the archive too large or damaged.
QVector<Entry> listEntries(zip_t *archive, QString &refusal)
{
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    QVector<Entry> entries;
    quint64 declared = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = zip_uint64_t(i);
        const char *raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (!raw || zip_stat_index(archive, index, 0, &stat) != 0) {
            refusal = ImportRefusal::Damaged;
            return {};
        }
        const QString name = entryName(raw);
        if (unsafeName(name)) {
            refusal = ImportRefusal::UnsafePath;
            return {};
        }
        if (stat.valid & ZIP_STAT_SIZE)
            declared += stat.size;
        if (declared > quint64(ImportLimits::MaxArchiveBytes)) {
            refusal = ImportRefusal::ArchiveTooLarge;
            return {};
        }
        if (!name.endsWith(u'/') && !name.endsWith(u'\\') && (isRecipeFileName(name, false) || isPictureName(name)))
            entries.append({index, QDir::cleanPath(QString(name).replace(u'\\', u'/'))});
    }
    return entries;
}

// Copies one entry out to `target`, counting what the archive expands to;
// a refusal when it is damaged, grows too large or cannot be written.
QString extractEntry(zip_t *archive, const Entry &entry, const QString &target, QByteArray &buffer, qint64 &expanded)
{
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return QString();
    std::unique_ptr<zip_file_t, ZipFileCloser> in(zip_fopen_index(archive, entry.index, 0));
    if (!in)
        return ImportRefusal::Damaged;
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    for (;;) {
        const zip_int64_t got = zip_fread(in.get(), buffer.data(), zip_uint64_t(buffer.size()));
        if (got < 0)
            return ImportRefusal::Damaged;   // cut short, or its check sum is wrong
        if (got == 0)
            return QString();
        expanded += got;
        if (expanded > ImportLimits::MaxArchiveBytes)
            return ImportRefusal::ArchiveTooLarge;
        if (out.write(buffer.constData(), got) != got)
            return ImportRefusal::Unreadable;
    }
}

void readZipInto(const QString &path, SourceReading &reading, const Progress *progress)
{
    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> archive(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
    if (!archive) {
        reading.refusal = error == ZIP_ER_OPEN || error == ZIP_ER_READ ? ImportRefusal::Unreadable : ImportRefusal::Damaged;
        return;
    }
    const QVector<Entry> entries = listEntries(archive.get(), reading.refusal);
    if (!reading.refusal.isEmpty())
        return;
    auto scratch = std::make_shared<QTemporaryDir>();
    if (!scratch->isValid()) {
        reading.refusal = ImportRefusal::Unreadable;
        return;
    }
    const QString root = scratch->filePath(QStringLiteral("archive"));
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    qint64 expanded = 0;
    for (const Entry &entry : entries) {
        if (progress && progress->cancelled())
            return;
        reading.refusal = extractEntry(archive.get(), entry, root + u'/' + entry.name, buffer, expanded);
        if (!reading.refusal.isEmpty())
            return;
    }
    reading.scratch = scratch;
    if (!QFileInfo(root).isDir()) {
        reading.refusal = ImportRefusal::NoRecipe;
        return;
    }
    readFolderInto(root, reading, progress, Origin::Archive);
}

} // namespace ImportFormats
