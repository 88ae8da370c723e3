#include "skin/artwork.h"
#include "skin/imagecontrol.h"
#include "skin/rawpicture.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QResource>

namespace Artwork {

qreal screenRatio()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

QString pathFor(const QString &resource, qreal ratio)
{
    ensureAssetResources();
    if (ratio <= 1.0)
        return resource;
    const int dot = resource.lastIndexOf(QLatin1Char('.'));
    if (dot <= resource.lastIndexOf(QLatin1Char('/')))
        return resource;
    QString dense = resource;
    dense.insert(dot, QStringLiteral("@2x"));
    return QFile::exists(dense) ? dense : resource;
}

namespace {
// Our drawings are PNG, each also kept decoded by the build under /raw (far
// quicker to read); read as PNG where there is no such twin, and then as
// PNG only, so that no picture plug-in is loaded just to be asked whether it
// knows the file.
QImage readDrawing(const QString &path)
{
    if (path.startsWith(QLatin1String(":/"))) {
        const QResource unpacked(QStringLiteral(":/raw/") + path.mid(2));
        if (unpacked.isValid()) {
            const QImage image = RawPicture::decode(unpacked.uncompressedData());
            if (!image.isNull())
                return image;
        }
    }
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

template <class Picture>
Picture fromImage(const QImage &image);
template <>
QImage fromImage<QImage>(const QImage &image) { return image; }
template <>
QPixmap fromImage<QPixmap>(const QImage &image) { return QPixmap::fromImage(image); }

// The picture at the screen's density: the @2x drawing where there is one.
template <class Picture>
Picture load(const QString &resource, qreal ratio)
{
    if (ratio <= 0)
        ratio = screenRatio();
    const QString path = pathFor(resource, ratio);
    Picture picture = path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ? fromImage<Picture>(readDrawing(path))
                                                                                 : Picture(path);
    if (!picture.isNull())
        picture.setDevicePixelRatio(path == resource ? 1.0 : 2.0);
    return picture;
}
} // namespace

QImage image(const QString &resource, qreal ratio) { return load<QImage>(resource, ratio); }

QPixmap pixmap(const QString &resource, qreal ratio) { return load<QPixmap>(resource, ratio); }

} // namespace Artwork
