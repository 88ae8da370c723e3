#include "core/pictures.h"

#include "core/dialogs.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace {
// The size a picture of `stored` pixels is decoded at for `frame`.
QSize decodeSize(const QSize &stored, const QSize &frame)
{
    if (stored.isEmpty())
        return stored;
    const bool toFrame = !frame.isEmpty();
    const QSize target = toFrame ? frame : QSize(PictureDefaultBound, PictureDefaultBound);
    const QSize scaled = stored.scaled(target, toFrame ? Qt::KeepAspectRatioByExpanding : Qt::KeepAspectRatio);
    if (scaled.width() >= stored.width() || scaled.height() >= stored.height())
        return stored;   // never enlarged: the frame scales a small picture
    return scaled.expandedTo(QSize(1, 1));
}
} // namespace

std::optional<QPixmap> loadPicture(const QString &path, const QSize &frame)
{
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return std::nullopt;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    // Nothing is allocated beyond this. A JPEG scales while it decodes, so
    // only the decoded size counts; formats that cannot (PNG, BMP, GIF) are
    // read whole first, and a claimed 20000 x 20000 is refused before any
    // pixel is allocated.
    reader.setAllocationLimit(128);
    const QSize stored = reader.size();
    if (stored.isValid()) {
        // The scaled size applies to the picture as stored, before it is turned.
        const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
        const QSize shownFrame = turned ? frame.transposed() : frame;
        const QSize decode = decodeSize(stored, shownFrame);
        if (decode != stored)
            reader.setScaledSize(decode);
    }
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    return QPixmap::fromImage(image);
}

bool isPictureFile(const QString &path)
{
    // Decoded small, as a preview would be: a file cut short, or one that
    // claims a size no reader would decode, is no picture to keep.
    return loadPicture(path, QSize(64, 64)).has_value();
}

std::optional<QString> keepChosenPicture(QWidget *parent, const QString &dataFolder, const QString &chosen)
{
    if (chosen.isEmpty())
        return QString();
    const StoreResult<QString> kept = keepPicture(dataFolder, chosen);
    if (!kept) {
        tell(parent, QStringLiteral("图片无法保存：") + kept.error().detail);
        return std::nullopt;
    }
    return kept.value();
}
