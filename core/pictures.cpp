#include "core/pictures.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

std::optional<QPixmap> LoadPicture(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return std::nullopt;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    // 20000 x 20000 and the like are refused before any pixel is allocated.
    reader.setAllocationLimit(128);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > 64LL * 1024 * 1024)
        return std::nullopt;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    return QPixmap::fromImage(image);
}
