#include "core/picturestore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

namespace {
const qint64 Chunk = 64 * 1024;
const char *const NotWritable = "“图片”文件夹无法写入，或者磁盘已满。";

QString folderName() { return QStringLiteral("图片"); }

StoreError failure(const QString &sentence, const QString &systemWords = QString())
{
    StoreError e;
    e.kind = StoreError::Other;
    e.detail = systemWords.isEmpty() ? sentence : sentence + QStringLiteral("\r\n") + systemWords;
    return e;
}

StoreError unreadable(const QString &source, const QString &systemWords = QString())
{
    return failure(QStringLiteral("无法读取图片文件“") + source + QStringLiteral("”。"), systemWords);
}

// The SHA-256 of everything `file` holds; empty when a read fails.
QByteArray contentHash(QFile &file)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.seek(0) || !hash.addData(&file))
        return {};
    return hash.result();
}

// Whether `file` lies directly in `folder` (links and "..", resolved).
bool liesIn(const QFileInfo &file, const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return !canonical.isEmpty() && file.canonicalPath() == canonical;
}

// Copies `source` to `target` through a temporary file in the same folder,
// given its name only once whole. The bytes are hashed again on the way:
// a source changed since it was named is not kept under the old name.
std::optional<StoreError> writeCopy(QFile &source, const QString &target, const QByteArray &expected)
{
    QSaveFile copy(target);   // dropped, temporary file and all, unless committed
    if (!copy.open(QIODevice::WriteOnly))
        return failure(QString::fromUtf8(NotWritable), copy.errorString());
    if (!source.seek(0))
        return unreadable(source.fileName(), source.errorString());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray buffer(Chunk, Qt::Uninitialized);
    for (;;) {
        const qint64 read = source.read(buffer.data(), Chunk);
        if (read < 0)
            return unreadable(source.fileName(), source.errorString());
        if (read == 0)
            break;
        hash.addData(QByteArrayView(buffer.constData(), read));
        if (copy.write(buffer.constData(), read) != read)
            return failure(QString::fromUtf8(NotWritable), copy.errorString());
    }
    if (hash.result() != expected)
        return failure(QStringLiteral("图片文件在复制时被改动了，请再选一次。"));
    if (!copy.commit())
        return failure(QString::fromUtf8(NotWritable), copy.errorString());
    return std::nullopt;
}
} // namespace

QString pictureFolder(const QString &dataFolder)
{
    return dataFolder + folderName() + QLatin1Char('/');
}

namespace {
// Where the picture goes, and the hash it was named by (empty when it lies
// there already), from its file opened for reading.
StoreResult<std::pair<QString, QByteArray>> placeFor(const QString &dataFolder, const QString &source, QFile &file)
{
    const QFileInfo info(source);
    if (!info.isFile())
        return unreadable(source);
    file.setFileName(source);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(source, file.errorString());
    if (liesIn(info, pictureFolder(dataFolder)))
        return std::pair{source, QByteArray()};   // kept already
    const QByteArray hash = contentHash(file);
    if (hash.isEmpty())
        return unreadable(source, file.errorString());
    QString name = QString::fromLatin1(hash.toHex().left(16));
    if (!info.suffix().isEmpty())
        name += QLatin1Char('.') + info.suffix().toLower();
    return std::pair{pictureFolder(dataFolder) + name, hash};
}
} // namespace

StoreResult<QString> pictureName(const QString &dataFolder, const QString &source)
{
    QFile file;
    const StoreResult<std::pair<QString, QByteArray>> place = placeFor(dataFolder, source, file);
    if (!place)
        return place.error();
    return place->first;
}

StoreResult<QString> keepPicture(const QString &dataFolder, const QString &source)
{
    QFile file;
    const StoreResult<std::pair<QString, QByteArray>> place = placeFor(dataFolder, source, file);
    if (!place)
        return place.error();
    if (place->second.isEmpty())
        return source;   // kept already
    const QString folder = pictureFolder(dataFolder);
    const QString target = place->first;
    const QByteArray hash = place->second;
    if (!QDir().mkpath(folder))
        return failure(QStringLiteral("无法建立文件夹“") + folder + QStringLiteral("”。"));
    if (QFileInfo(target).isFile())
        return target;   // the same picture, kept before
    if (const std::optional<StoreError> error = writeCopy(file, target, hash))
        return *error;
    return target;
}

QString resolvePicture(const QString &dataFolder, const QString &stored)
{
    if (stored.isEmpty() || QFileInfo::exists(stored))
        return stored;
    // A path written on Windows separates its folders with '\'.
    const QStringList parts = QString(stored).replace(QLatin1Char('\\'), QLatin1Char('/'))
                                  .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.size() < 2 || parts.at(parts.size() - 2) != folderName())
        return stored;
    const QString here = pictureFolder(dataFolder) + parts.last();
    return QFileInfo::exists(here) ? here : stored;
}
