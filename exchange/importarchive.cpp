// Cookbook zips, read entry by entry: every name and the declared size are
// checked first (one unsafe name refuses the archive), then each recipe
// file is read into memory, never onto the disk, and a picture is taken out
// into the reading's scratch folder only when a recipe names it (it waits
// there until the dish is in). No entry is read past its limit, whatever
// size the archive claims for it.
#include "core/recipekinds.h"
#include "exchange/importformats.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>

#include <zip.h>

#include <algorithm>
#include <memory>

namespace ImportFormats {

namespace {

const QString RecipeJson = QStringLiteral("recipe.json");
constexpr int MaxDepth = 8;

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

// An open archive and what has been taken out of it.
class Archive {
public:
    Archive(zip_t *zip, std::shared_ptr<QTemporaryDir> scratch)
        : m_zip(zip), m_scratch(std::move(scratch)), m_root(m_scratch->filePath(QStringLiteral("archive")))
    {
    }
    QString root() const { return m_root; }
    QString refusal;                              // the whole archive's, once it is refused
    QHash<QString, zip_uint64_t> files;           // name (cleaned, '/') -> index

    // The entry's bytes, at most `limit`; else a reason.
    QString read(zip_uint64_t index, qint64 limit, QByteArray &out)
    {
        std::unique_ptr<zip_file_t, ZipFileCloser> in(zip_fopen_index(m_zip, index, 0));
        if (!in)
            return ImportRefusal::Damaged;
        out.clear();
        char buffer[64 * 1024];
        for (;;) {
            const zip_int64_t got = zip_fread(in.get(), buffer, sizeof buffer);
            if (got < 0)
                return ImportRefusal::Damaged;   // cut short, or its check sum is wrong
            if (got == 0)
                return QString();
            m_expanded += got;
            if (m_expanded > ImportLimits::MaxArchiveBytes) {
                refusal = ImportRefusal::ArchiveTooLarge;
                return refusal;
            }
            if (out.size() + got > limit)
                return ImportRefusal::TooLarge;
            out.append(buffer, qsizetype(got));
        }
    }

    // Makes the entry at `path` (inside root()) a file on disk; false when
    // the archive holds none there or it cannot be taken out.
    bool takeOut(const QString &path)
    {
        if (!path.startsWith(m_root + u'/'))
            return false;
        const QString name = QDir::cleanPath(path.mid(m_root.size() + 1));
        const auto found = files.constFind(name);
        if (found == files.cend() || name.startsWith(QLatin1String("../")))
            return false;
        QByteArray bytes;
        if (!read(found.value(), ImportLimits::MaxSourceBytes, bytes).isEmpty())
            return false;
        QFile out(path);
        return QDir().mkpath(QFileInfo(path).absolutePath()) && out.open(QIODevice::WriteOnly)
               && out.write(bytes) == bytes.size() && out.flush();
    }

private:
    zip_t *m_zip;
    std::shared_ptr<QTemporaryDir> m_scratch;
    QString m_root;
    qint64 m_expanded = 0;
};

// The archive being read on this thread, for fileAt().
thread_local Archive *t_archive = nullptr;

struct ArchiveScope {
    explicit ArchiveScope(Archive &archive) { t_archive = &archive; }
    ~ArchiveScope() { t_archive = nullptr; }
    ArchiveScope(const ArchiveScope &) = delete;
    ArchiveScope &operator=(const ArchiveScope &) = delete;
};

// Every name and the whole declared size first: one bad entry refuses it.
bool listEntries(zip_t *zip, Archive &archive)
{
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    quint64 declared = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = zip_uint64_t(i);
        const char *raw = zip_get_name(zip, index, ZIP_FL_ENC_RAW);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (!raw || zip_stat_index(zip, index, 0, &stat) != 0) {
            archive.refusal = ImportRefusal::Damaged;
            return false;
        }
        const QString name = entryName(raw);
        if (unsafeName(name)) {
            archive.refusal = ImportRefusal::UnsafePath;
            return false;
        }
        if (stat.valid & ZIP_STAT_SIZE)
            declared += stat.size;
        if (declared > quint64(ImportLimits::MaxArchiveBytes)) {
            archive.refusal = ImportRefusal::ArchiveTooLarge;
            return false;
        }
        if (!name.endsWith(u'/') && !name.endsWith(u'\\'))
            archive.files.insert(QDir::cleanPath(QString(name).replace(u'\\', u'/')), index);
    }
    return true;
}

// The recipe files and dish folders of the archive, in the order a folder
// of the same files is read: by folder, names by their numbers; nothing
// inside a dish folder but its recipe.json, nothing in a page's "_files".
QVector<Part> partsOf(const Archive &archive)
{
    QSet<QString> dishes;
    for (auto it = archive.files.cbegin(); it != archive.files.cend(); ++it)
        if (QFileInfo(it.key()).fileName() == RecipeJson)
            dishes.insert(QFileInfo(it.key()).path());
    QVector<Part> parts;
    for (auto it = archive.files.cbegin(); it != archive.files.cend(); ++it) {
        const QStringList segments = it.key().split(u'/');
        if (segments.size() > MaxDepth + 1)
            continue;
        QString folder = QStringLiteral(".");
        bool skip = false;
        for (int i = 0; i + 1 < segments.size() && !skip; ++i) {
            if (dishes.contains(folder))
                skip = true;   // below a dish folder
            folder = i == 0 ? segments.at(0) : folder + u'/' + segments.at(i);
            skip = skip || segments.at(i).endsWith(QLatin1String("_files"), Qt::CaseInsensitive);
        }
        if (skip)
            continue;
        if (dishes.contains(folder) && segments.last() == RecipeJson)
            parts.append({true, folder, folder, QString()});
        else if (!dishes.contains(folder) && RecipeKinds::ofName(segments.last()) != RecipeKinds::Kind::Archive
                 && RecipeKinds::ofName(segments.last()) != RecipeKinds::Kind::None)
            parts.append({false, it.key(), it.key(), QString()});
    }
    // Markdown recipes go by their first sub-folder, below the one folder
    // that holds everything when there is such (an archive of a folder).
    const QString top = parts.isEmpty() ? QString() : parts.first().path.section(u'/', 0, 0) + u'/';
    const bool oneTop = std::all_of(parts.cbegin(), parts.cend(), [&](const Part &p) { return p.path.startsWith(top); });
    for (Part &part : parts) {
        const QString inner = oneTop ? part.path.mid(top.size()) : part.path;
        if (!part.dish && inner.contains(u'/'))
            part.category = inner.section(u'/', 0, 0);
    }
    QCollator order;
    order.setNumericMode(true);
    order.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(parts.begin(), parts.end(), [&](const Part &a, const Part &b) {
        const QStringList x = a.path.split(u'/'), y = b.path.split(u'/');
        for (int i = 0; i < x.size() && i < y.size(); ++i)
            if (const int c = order.compare(x.at(i), y.at(i)); c != 0)
                return c < 0;
        return x.size() < y.size();
    });
    return parts;
}

void readArchivePart(Archive &archive, const Part &part, SourceReading &reading)
{
    const QString name = part.path == QLatin1String(".") ? RecipeJson : part.dish ? part.path + u'/' + RecipeJson : part.path;
    QByteArray bytes;
    reading.refusal = archive.read(archive.files.value(name), ImportLimits::MaxSourceBytes, bytes);
    if (!reading.refusal.isEmpty())
        return;
    const QString path = archive.root() + u'/' + part.path;
    if (part.dish) {
        readDishJson(path, bytes, reading);
        return;
    }
    // A page finds its pictures beside it, which needs its folder.
    QDir().mkpath(QFileInfo(path).absolutePath());
    readBytesInto(path, bytes, reading, Origin::Archive, part.category);
}

} // namespace

bool fileAt(const QString &path)
{
    return QFileInfo(path).isFile() || (t_archive && t_archive->takeOut(path));
}

void readZipInto(const QString &path, SourceReading &reading, const Progress *progress)
{
    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
    if (!zip) {
        reading.refusal = error == ZIP_ER_OPEN || error == ZIP_ER_READ ? ImportRefusal::Unreadable : ImportRefusal::Damaged;
        return;
    }
    auto scratch = std::make_shared<QTemporaryDir>();
    if (!scratch->isValid()) {
        reading.refusal = ImportRefusal::Unreadable;
        return;
    }
    Archive archive(zip.get(), scratch);
    if (!listEntries(zip.get(), archive)) {
        reading.refusal = archive.refusal;
        return;
    }
    const ArchiveScope scope(archive);
    readParts(partsOf(archive), reading, progress, [&](const Part &part, SourceReading &into) {
        if (archive.refusal.isEmpty())
            readArchivePart(archive, part, into);
    });
    if (!archive.refusal.isEmpty()) {
        reading.refusal = archive.refusal;
        return;
    }
    if (!reading.recipes.isEmpty())
        reading.scratches << scratch;
}

} // namespace ImportFormats
