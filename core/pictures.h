#pragma once
// Loading a dish picture from a path, decoded at the size of the frame that
// shows it: a 48-megapixel phone photo is read straight at a few hundred
// pixels, quickly and in little memory, never held at full size. Fails
// cleanly (nullopt) on an empty path, a missing file, a folder, a file that
// is not a picture or is cut short, or a picture that could only be decoded
// at full size and would not fit the reader's allocation limit.
#include "core/picturestore.h"   // resolvePicture(): the file a stored path stands for

#include <QPixmap>
#include <QSize>
#include <QString>
#include <optional>

class QWidget;

// The largest side a picture is decoded at when no frame size is given.
constexpr int PictureDefaultBound = 2048;

// A dish's stored path is shown as loadPicture(resolvePicture(dataFolder,
// path), frame): a catalogue copied to another home finds its pictures in
// its own 图片 folder.
//
// `frame`: the frame's size in device pixels. A larger picture is decoded at
// the smallest size that still covers the frame, in its own proportions
// (the frame scales it to fit inside, keeping them); a smaller one at its
// own size. Without a frame,
// a picture is decoded to fit within PictureDefaultBound on each side.
std::optional<QPixmap> loadPicture(const QString &path, const QSize &frame = QSize());


// Whether `path` is a picture file that loadPicture() can show.
bool isPictureFile(const QString &path);

// The path a dish stores for the picture file `chosen`: its copy kept in
// dataFolder's 图片 folder (see keepPicture), or empty for an empty path.
// When no copy can be made the cook is told "图片无法保存：" and why, over
// `parent`, and the answer is nullopt: nothing may be saved.
std::optional<QString> keepChosenPicture(QWidget *parent, const QString &dataFolder, const QString &chosen);
