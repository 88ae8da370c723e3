#include "skin/artwork.h"
#include "skin/imagecontrol.h"

#include <QFile>
#include <QGuiApplication>

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

QImage image(const QString &resource, qreal ratio)
{
    if (ratio <= 0)
        ratio = screenRatio();
    const QString path = pathFor(resource, ratio);
    QImage picture(path);
    if (!picture.isNull())
        picture.setDevicePixelRatio(path == resource ? 1.0 : 2.0);
    return picture;
}

QPixmap pixmap(const QString &resource, qreal ratio)
{
    if (ratio <= 0)
        ratio = screenRatio();
    const QString path = pathFor(resource, ratio);
    QPixmap picture(path);
    if (!picture.isNull())
        picture.setDevicePixelRatio(path == resource ? 1.0 : 2.0);
    return picture;
}

} // namespace Artwork
