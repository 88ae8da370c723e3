#pragma once
// A picture as the bytes of its decoded image: what the build writes for
// each PNG of ours (tools/rawart), so that the program need not unpack PNG
// to show its windows. decode(encode(image)) == image, with the same format,
// colours, density and colour space.
#include <QByteArray>
#include <QImage>

namespace RawPicture {

QByteArray encode(const QImage &image);

// A null image when `bytes` are not such a picture (or are cut short).
QImage decode(const QByteArray &bytes);

} // namespace RawPicture
