#pragma once
// Loading a dish picture from a path. Fails cleanly (nullopt) on an empty
// path, a missing file, a folder, a file that is not a picture, or a picture
// too large to decode within the reader's allocation limit.
#include <QPixmap>
#include <QString>
#include <optional>

std::optional<QPixmap> LoadPicture(const QString &path);
