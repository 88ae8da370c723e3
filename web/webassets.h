#pragma once
// Small pieces the download, upgrade and about windows share.
#include <QFont>
#include <QPixmap>
#include <QString>

namespace WebAssets {
// A picture from the program's resources (":/web/down.png"); a null
// picture when it is missing, so the control simply stays empty.
QPixmap resourcePicture(const QString &path);

} // namespace WebAssets
