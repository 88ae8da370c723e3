// Reading the sources the cook gave: which reader a file needs, the pictures
// its recipes name, and the limits every recipe is held to.
#include "exchange/importsources.h"

#include "core/background.h"
#include "core/recipekinds.h"
#include "exchange/importformats.h"
#include "store/jetfile.h"
#include "store/records.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <vector>

using namespace ImportFormats;

namespace {

using RecipeKinds::Kind;

// `magic` may hold NUL bytes: its length is what the literal holds.
template <size_t N>
bool startsWith(const QByteArray &bytes, const char (&magic)[N], qsizetype at = 0)
{
    return bytes.mid(at, qsizetype(N - 1)) == QByteArrayView(magic, qsizetype(N - 1));
}

bool isZipBytes(const QByteArray &head)
{
    return startsWith(head, "PK\x03\x04") || startsWith(head, "PK\x05\x06");
}

bool isBinaryDocument(const QByteArray &head)
{
    return startsWith(head, "\xFF\xD8\xFF") || startsWith(head, "\x89PNG") || startsWith(head, "GIF8")
           || (startsWith(head, "RIFF") && startsWith(head, "WEBP", 8)) || startsWith(head, "BM")
           || startsWith(head, "II*") || startsWith(head, "MM\x00*") || startsWith(head, "%PDF")
           || startsWith(head, "\xD0\xCF\x11\xE0") || startsWith(head, "ftyp", 4);
}

// What a file is: what its name says, else what its first bytes look like.
Kind kindOf(const QString &fileName, const QByteArray &bytes)
{
    static const QStringList Other = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
                                       QStringLiteral("gif"), QStringLiteral("webp"), QStringLiteral("bmp"),
                                       QStringLiteral("tif"), QStringLiteral("tiff"), QStringLiteral("heic"),
                                       QStringLiteral("pdf"), QStringLiteral("doc"), QStringLiteral("docx"),
                                       QStringLiteral("xls"), QStringLiteral("xlsx"), QStringLiteral("mp4"),
                                       QStringLiteral("mov"), QStringLiteral("mp3"), QStringLiteral("exe")};
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (isBinaryDocument(bytes.left(16)) || Other.contains(ext))
        return Kind::None;
    const Kind named = RecipeKinds::ofName(fileName);
    if (named != Kind::None && named != Kind::Archive)
        return named;
    const QByteArray start = bytes.left(4096).trimmed();
    if (start.startsWith("\xEF\xBB\xBF{") || start.startsWith('{') || start.startsWith('['))
        return Kind::Json;
    if (start.startsWith('<'))
        return Kind::Page;
    if (start.contains("Meal-Master"))
        return Kind::MealMaster;
    return Kind::None;
}

QString http(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
               ? url.toString(QUrl::FullyEncoded) : QString();
}

// The picture a page's recipe names: the copy the browser saved in the
// page's "_files" folder (or wherever an <img> of the same name points), else
// the address on the web.
Picture pagePicture(const QString &address, const QString &pagePath, const Page &page, const QUrl &webBase)
{
    Picture picture;
    if (address.isEmpty() || address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
        return picture;
    const QUrl given(address, QUrl::TolerantMode);
    const QUrl fileUrl = QUrl::fromLocalFile(pagePath);
    const bool relative = given.isRelative();
    const QString name = (relative ? fileUrl.resolved(given) : given).fileName(QUrl::FullyDecoded);
    const QFileInfo pageFile(pagePath);

    QStringList candidates;
    if (!name.isEmpty()) {
        candidates.append(pageFile.dir().filePath(pageFile.completeBaseName() + QStringLiteral("_files/") + name));
        for (const QString &source : page.imageSources) {
            const QUrl src(source, QUrl::TolerantMode);
            if ((src.isRelative() || src.isLocalFile()) && src.fileName(QUrl::FullyDecoded) == name)
                candidates.append((src.isRelative() ? fileUrl.resolved(src) : src).toLocalFile());
        }
    }
    if (relative)
        candidates.append(fileUrl.resolved(given).toLocalFile());
    else if (given.isLocalFile())
        candidates.append(given.toLocalFile());
    // Only what lies beside the page (its folder, its _files): an address
    // may name any file on the machine, and a saved page must not pull in
    // a private photo.
    const QString folder = pageFile.dir().canonicalPath();
    const QString beside = folder + QLatin1Char('/');
    for (const QString &candidate : std::as_const(candidates)) {
        if (folder.isEmpty() || !fileAt(candidate) || !QFileInfo(candidate).canonicalFilePath().startsWith(beside))
            continue;
        if (isPicture(candidate))
            picture.file = QFileInfo(candidate).absoluteFilePath();
        else
            picture.skipped = true;
        return picture;
    }
    picture.url = http(relative ? (http(webBase).isEmpty() ? QUrl() : webBase.resolved(given)) : given);
    picture.skipped = picture.url.isEmpty();
    return picture;
}

void readPageInto(const QString &path, const QByteArray &bytes, SourceReading &reading, Origin origin)
{
    const Page page = readPage(bytes);
    if (page.drafts.isEmpty()) {
        reading.refusal = page.unreadable ? ImportRefusal::UnknownEncoding : ImportRefusal::NoRecipe;
        return;
    }
    if (page.encodingUnsure)
        reading.note(ImportRefusal::UnknownEncoding);
    // The page's own address: for the pictures and links it writes relative.
    QUrl webBase;
    for (const QString &address : {page.base, page.canonical}) {
        if (!http(QUrl(address)).isEmpty()) {
            webBase = QUrl(address);
            break;
        }
    }
    // Cookbook archives hold their own links; only a page given is its own source.
    QString canonical;
    if (origin == Origin::Given && !page.canonical.isEmpty()) {
        const QUrl address(page.canonical);
        canonical = address.isRelative() && webBase.isValid() ? webBase.resolved(address).toString() : page.canonical;
    }
    const QString fallbackName = !page.title.isEmpty() ? page.title : QFileInfo(path).completeBaseName();
    for (const Draft &draft : page.drafts) {
        QString source = draft.url;
        if (!source.isEmpty() && QUrl(source).isRelative() && webBase.isValid())
            source = webBase.resolved(QUrl(source)).toString();
        if (source.isEmpty())
            source = canonical;
        addRecipe(reading, draft, fallbackName, source, pagePicture(draft.image, path, page, webBase));
    }
}

void readJsonInto(const QString &path, const QByteArray &bytes, SourceReading &reading)
{
    const QVector<QJsonObject> recipes = recipesInJson(bytes, reading.refusal);
    if (recipes.isEmpty())
        return;
    const QFileInfo file(path);
    for (const QJsonObject &recipe : recipes) {
        const Draft draft = draftOfRecipe(recipe);
        addRecipe(reading, draft, file.completeBaseName(), draft.url,
                  folderPicture(draft.image, file.absolutePath(), false));
    }
}

// A Markdown recipe and the first of the pictures it names that is there.
void readMarkdownInto(const QString &path, const QByteArray &bytes, SourceReading &reading, const QString &category)
{
    Draft draft;
    QStringList pictures;
    if (!readMarkdown(bytes, draft, pictures)) {
        reading.refusal = ImportRefusal::NotRecipeFile;
        return;
    }
    if (draft.category.isEmpty())
        draft.category = category;
    const QFileInfo file(path);
    Picture picture;
    for (const QString &candidate : std::as_const(pictures)) {
        picture = folderPicture(candidate, file.absolutePath(), false);
        if (!picture.file.isEmpty())
            break;   // else counted skipped when none is there
    }
    addRecipe(reading, draft, file.completeBaseName(), QString(), picture);
}

QString cut(const QString &text, int limit)
{
    QString out = text.left(limit);
    if (!out.isEmpty() && out.back().isHighSurrogate())
        out.chop(1);
    return out;
}

SourceReading readOne(const QString &path, const Progress *progress)
{
    SourceReading reading;
    reading.path = path;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        reading.refusal = ImportRefusal::Missing;
    else if (info.isDir())
        readFolderInto(path, reading, progress, Origin::Given);
    else
        readFileInto(path, reading, progress, Origin::Given);
    if (!reading.refusal.isEmpty()) {
        reading.recipes.clear();
        reading.scratches.clear();
    }
    return reading;
}

} // namespace

namespace ImportFormats {

bool isPicture(const QString &path)
{
    QImageReader reader(path);
    return reader.canRead() && reader.size().isValid();
}

Picture folderPicture(const QString &address, const QString &folder, bool fallbacks)
{
    Picture picture;
    const QDir dir(folder);
    bool named = false;
    if (!address.isEmpty()) {
        const QUrl url(address, QUrl::TolerantMode);
        picture.url = http(url);
        if (picture.url.isEmpty()) {
            named = true;
            QStringList forms = {address};
            const QString decoded = QUrl::fromPercentEncoding(address.toUtf8());
            if (decoded != address)
                forms.append(decoded);
            for (const QString &form : forms) {
                const QString clean = QDir::cleanPath(form);
                if (QDir::isAbsolutePath(clean) || clean == QLatin1String("..") || clean.startsWith(QLatin1String("../")))
                    continue;   // a picture of this dish stays inside its folder
                const QString file = dir.filePath(clean);
                if (fileAt(file) && isPicture(file)) {
                    picture.file = QFileInfo(file).absoluteFilePath();
                    return picture;
                }
            }
        }
    }
    if (fallbacks) {
        for (const char *name : {"full.jpg", "full.jpeg", "full.png", "full.webp"}) {
            const QString file = dir.filePath(QLatin1String(name));
            if (fileAt(file) && isPicture(file)) {
                picture.file = QFileInfo(file).absoluteFilePath();
                picture.url.clear();
                return picture;
            }
        }
    }
    picture.skipped = named && picture.url.isEmpty();
    return picture;
}

namespace {
// A name or category as one line the cook can read: no control characters
// and none of the marks that turn the direction of what follows.
QString withoutControls(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool turns = (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
        if (c.category() != QChar::Other_Control && !turns)
            out += c;
    }
    return out;
}
} // namespace

void addRecipe(SourceReading &reading, const Draft &draft, const QString &fallbackName, const QString &source,
               const Picture &picture)
{
    ImportedRecipe recipe;
    recipe.exact = draft.exact;
    recipe.name = trimTyped(withoutControls(draft.name.isEmpty() && !draft.exact ? oneLine(fallbackName) : draft.name));
    recipe.tags = draft.tags;
    recipe.servings = draft.servings;
    recipe.favourite = draft.favourite;
    if (!draft.exact) {
        const int named = takeNameServings(recipe.name);
        recipe.name = trimTyped(recipe.name);
        if (recipe.servings == 0)
            recipe.servings = named;
    }
    const QString shown = recipe.name.left(20) + (recipe.name.size() > 20 ? QStringLiteral("…") : QString());
    if (recipe.name.size() > ImportLimits::MaxNameLength) {
        recipe.name = cut(recipe.name, ImportLimits::MaxNameLength);
        reading.note(QStringLiteral("「%1」的名称太长，只留了前 %2 个字").arg(shown, QString::number(ImportLimits::MaxNameLength)));
    }
    recipe.category = trimTyped(withoutControls(draft.category));
    if (recipe.category.size() > ImportLimits::MaxNameLength) {
        const QString category = recipe.category.left(20) + QStringLiteral("…");
        recipe.category = cut(recipe.category, ImportLimits::MaxNameLength);
        reading.note(QStringLiteral("「%1」的分类「%2」太长，只留了前 %3 个字")
                         .arg(shown, category, QString::number(ImportLimits::MaxNameLength)));
    }

    recipe.ingredients = draft.ingredients.join(QStringLiteral("\r\n"));
    if (recipe.ingredients.size() > ImportLimits::MaxTextLength) {
        recipe.ingredients = cut(recipe.ingredients, ImportLimits::MaxTextLength);
        reading.note(QStringLiteral("「%1」的用料太长，截到了 1 MB").arg(shown));
    }
    QStringList method = draft.method;
    if (!draft.time.isEmpty())
        method.append(QStringLiteral("时间：") + draft.time);
    if (!source.isEmpty())
        method.append(QStringLiteral("来源：") + source);
    recipe.method = method.join(QStringLiteral("\r\n"));
    if (recipe.method.size() > ImportLimits::MaxTextLength) {
        recipe.method = cut(recipe.method, ImportLimits::MaxTextLength);
        reading.note(QStringLiteral("「%1」的做法太长，截到了 1 MB").arg(shown));
    }
    recipe.traditional = draft.traditional;
    recipe.pictureFile = picture.file;
    recipe.pictureUrl = picture.file.isEmpty() ? picture.url : QString();
    if (picture.skipped)
        ++reading.picturesSkipped;
    reading.recipes.append(recipe);
}

void readFileInto(const QString &path, SourceReading &reading, const Progress *progress, Origin origin,
                  const QString &folderCategory)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        reading.refusal = ImportRefusal::Missing;
        return;
    }
    QFile file(path);
    if (!info.isReadable() || !file.open(QIODevice::ReadOnly)) {
        reading.refusal = ImportRefusal::Unreadable;
        return;
    }
    const QByteArray head = file.peek(20);
    if (Jet::isJetHead(head) || RecipeKinds::ofName(info.fileName()) == Kind::OldCatalogue) {
        file.close();
        if (origin == Origin::Archive || !Jet::isJetHead(head))
            reading.refusal = ImportRefusal::NotRecipeFile;   // an old catalogue is read from a file given
        else
            readJetInto(path, reading);
        return;
    }
    if (isZipBytes(head) || RecipeKinds::ofName(info.fileName()) == Kind::Archive) {
        file.close();
        if (origin == Origin::Archive)
            reading.refusal = ImportRefusal::NotRecipeFile;   // no archive inside an archive
        else
            readZipInto(path, reading, progress);
        return;
    }
    if (info.size() > ImportLimits::MaxSourceBytes) {
        reading.refusal = ImportRefusal::TooLarge;
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reading.refusal = ImportRefusal::Unreadable;
        return;
    }
    readBytesInto(path, bytes, reading, origin, folderCategory);
}

void readBytesInto(const QString &path, const QByteArray &bytes, SourceReading &reading, Origin origin,
                   const QString &folderCategory)
{
    const QFileInfo info(path);
    if (isZipBytes(bytes.left(16))) {
        reading.refusal = ImportRefusal::NotRecipeFile;
        return;
    }
    switch (kindOf(info.fileName(), bytes)) {
    case Kind::Page:
        readPageInto(path, bytes, reading, origin);
        break;
    case Kind::Json:
        readJsonInto(path, bytes, reading);
        break;
    case Kind::MealMaster: {
        const QVector<Draft> drafts = readMealMaster(bytes);
        if (drafts.isEmpty())
            reading.refusal = ImportRefusal::NotRecipeFile;
        for (const Draft &draft : drafts)
            addRecipe(reading, draft, info.completeBaseName(), draft.url, Picture());
        break;
    }
    case Kind::Markdown:
        readMarkdownInto(path, bytes, reading, folderCategory);
        break;
    case Kind::Archive:
    case Kind::OldCatalogue:
    case Kind::None:
        reading.refusal = ImportRefusal::NotRecipeFile;
        break;
    }
}

} // namespace ImportFormats

QVector<SourceReading> readSources(const QStringList &paths, Progress &progress)
{
    // The sources are read side by side, one a core (at most four), each
    // reading into its own place; they are handed back in the order given.
    const int total = int(paths.size());
    progress.begin(total);
    std::vector<SourceReading> readings(size_t(std::max(total, 0)));
    std::vector<char> read(readings.size(), 0);
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < total && !progress.cancelled(); i = next++) {
            SourceReading reading = readOne(paths.at(i), &progress);
            if (progress.cancelled())
                return;   // perhaps read only in part
            readings[size_t(i)] = std::move(reading);
            read[size_t(i)] = 1;
            progress.stepDone();
        }
    };
    const int helpers = std::min({QThread::idealThreadCount(), 4, total}) - 1;
    QVector<QFuture<void>> hands;
    for (int k = 0; k < helpers; ++k)
        hands.push_back(Background::start(work));
    work();
    for (QFuture<void> &hand : hands)
        hand.waitForFinished();
    QVector<SourceReading> done;
    for (size_t i = 0; i < readings.size() && read[i]; ++i)
        done.append(std::move(readings[i]));
    return done;
}

void SourceReading::note(const QString &text)
{
    if (notes.size() < ImportLimits::MaxNotes)
        notes.append(text);
    else
        ++notesLeftOut;
}

void SourceReading::refusePart(const QString &line)
{
    if (refusedParts.size() < ImportLimits::MaxNotes)
        refusedParts.append(line);
    ++partsRefused;
}

QStringList SourceReading::shownNotes() const
{
    QStringList shown = notes;
    if (notesLeftOut > 0)
        shown.append(QStringLiteral("还有 %1 条说明没有列出").arg(notesLeftOut));
    return shown;
}

SourceReading readSource(const QString &path)
{
    return readOne(path, nullptr);
}
