#pragma once
// The program's compiled-in pictures at the screen's density. Every picture
// under assets/ has a twin drawn for screens of twice the pixel density
// (name@2x.png beside name.png). Where the screen is denser than 1 these
// load the twin and mark it with its pixel ratio, so it is shown at the same
// size in the window's coordinates, with finer pixels. At 1 they load the
// picture itself, unchanged.
#include <QImage>
#include <QPixmap>
#include <QString>

namespace Artwork {

// The density pictures are wanted at: the highest device pixel ratio of the
// screens (1 before the application exists).
qreal screenRatio();

// `resource` (such as ":/buttons/add.png") for a screen of `ratio`
// (screenRatio() when 0); a null picture when there is no such resource.
QPixmap pixmap(const QString &resource, qreal ratio = 0);
QImage image(const QString &resource, qreal ratio = 0);

// The resource path of the picture drawn for `ratio`: the @2x twin when the
// ratio is above 1 and the twin exists, else `resource` itself.
QString pathFor(const QString &resource, qreal ratio);

} // namespace Artwork
