#pragma once
// Loading a dish picture from a path, decoded at the size of the frame that
// shows it: a 48-megapixel phone photo is read straight at a few hundred
// pixels, quickly and in little memory, never held at full size. Fails
// cleanly (nullopt) on an empty path, a missing file, a folder, a file that
// is not a picture or is cut short, or a picture that could only be decoded
// at full size and would not fit the reader's allocation limit.
#include <QPixmap>
#include <QSize>
#include <QString>
#include <optional>

// The largest side a picture is decoded at when no frame size is given.
constexpr int PictureDefaultBound = 2048;

// `frame`: the frame's size in device pixels. A larger picture is decoded at
// the smallest size that still covers the frame, in its own proportions
// (the frame stretches it); a smaller one at its own size. Without a frame,
// a picture is decoded to fit within PictureDefaultBound on each side.
std::optional<QPixmap> loadPicture(const QString &path, const QSize &frame = QSize());


// Whether `path` is a picture file that loadPicture() can show.
bool isPictureFile(const QString &path);
