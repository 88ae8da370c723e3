// Files written for the cookbooks: every write and close checked, so that a
// full disk or a folder taken away is told, never a cookbook cut short.
#include "exchange/exportwriters.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QStorageInfo>

namespace ExportWriting {

namespace {
// Less than this left on the disk after a failed write: the disk is full.
constexpr qint64 NearlyFull = 1024 * 1024;
constexpr qint64 CopyChunk = 256 * 1024;
} // namespace

bool pictureFound(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isFile() && info.isReadable();
}

QString pictureSuffix(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (!suffix.isEmpty())
        return suffix;
    const QByteArray format = QImageReader::imageFormat(path);
    if (format.isEmpty() || format == "jpeg")
        return QStringLiteral("jpg");
    return QString::fromLatin1(format);
}

QString writeFailure(const QString &path, const QString &reason, bool diskFull)
{
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (diskFull || (disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < NearlyFull))
        return QStringLiteral("磁盘已满，导出没有完成。");
    return QStringLiteral("无法写入 %1：%2").arg(path, reason);
}

bool writeFile(const QString &path, const QByteArray &data, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size()
        || !file.flush()) {
        *error = writeFailure(path, file.errorString());
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        *error = writeFailure(path, file.errorString());
        return false;
    }
    return true;
}

bool copyFile(const QString &from, const QString &to, QString *error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("无法读取 %1：%2").arg(from, source.errorString());
        return false;
    }
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = writeFailure(to, target.errorString());
        return false;
    }
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(CopyChunk);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError) {
            *error = QStringLiteral("无法读取 %1：%2").arg(from, source.errorString());
            return false;
        }
        if (target.write(chunk) != chunk.size()) {
            *error = writeFailure(to, target.errorString());
            return false;
        }
    }
    target.close();
    if (target.error() != QFileDevice::NoError) {
        *error = writeFailure(to, target.errorString());
        return false;
    }
    return true;
}

} // namespace ExportWriting
