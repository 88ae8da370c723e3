#include "core/cataloguecache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstring>

namespace CatalogueCache {

namespace {
const QByteArray Magic("zaoxiangju tree 1\n");

bool usable(const FileStamp &stamp)
{
    // A log beside the file may hold commits the file itself does not show.
    return stamp.exists && stamp.header.size() == 100 && stamp.walSize <= 0;
}

QByteArray stampBytes(const FileStamp &stamp)
{
    QByteArray out;
    for (const qint64 v : {qint64(stamp.device), qint64(stamp.inode), stamp.size, stamp.modifiedNs})
        out.append(reinterpret_cast<const char *>(&v), sizeof v);
    return out + stamp.header;
}

// A check of the whole copy, eight bytes at a time: a copy damaged on disk
// is not used.
QByteArray checksum(QByteArrayView bytes)
{
    quint64 h = 0x9e3779b97f4a7c15ull ^ quint64(bytes.size());
    const qsizetype words = bytes.size() / 8;
    for (qsizetype i = 0; i < words; ++i) {
        quint64 w;
        memcpy(&w, bytes.data() + i * 8, 8);
        h = (h ^ w) * 0x100000001b3ull;
        h ^= h >> 29;
    }
    for (qsizetype i = words * 8; i < bytes.size(); ++i)
        h = (h ^ quint8(bytes[i])) * 0x100000001b3ull;
    return QByteArray(reinterpret_cast<const char *>(&h), sizeof h);
}
} // namespace

QString pathFor(const QString &storePath)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                           + QStringLiteral("/zaoxiangju");
    const QByteArray key = QCryptographicHash::hash(QFileInfo(storePath).absoluteFilePath().toUtf8(),
                                                    QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    return folder + QStringLiteral("/tree-") + QString::fromLatin1(key);
}

std::optional<CatalogueData> read(const QString &storePath, const FileStamp &stamp)
{
    return readAt(pathFor(storePath), stamp);
}

std::optional<CatalogueData> readAt(const QString &copyPath, const FileStamp &stamp)
{
    if (!usable(stamp))
        return std::nullopt;
    QFile file(copyPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const QByteArray expected = Magic + stampBytes(stamp);
    const qsizetype sumSize = 8;
    if (bytes.size() < expected.size() + sumSize || !bytes.startsWith(expected))
        return std::nullopt;
    const QByteArrayView body = QByteArrayView(bytes).sliced(0, bytes.size() - sumSize);
    if (checksum(body) != QByteArrayView(bytes).last(sumSize))
        return std::nullopt;
    return CatalogueData::fromBytes(body.sliced(expected.size()));
}

bool write(const QString &storePath, const FileStamp &stamp, const CatalogueData &data)
{
    if (!usable(stamp))
        return false;
    const QString path = pathFor(storePath);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QByteArray bytes = Magic + stampBytes(stamp) + data.toBytes();
    bytes += checksum(bytes);
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace CatalogueCache
