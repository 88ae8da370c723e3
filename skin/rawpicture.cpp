#include "skin/rawpicture.h"

#include <QColorSpace>
#include <QDataStream>
#include <QIODevice>

#include <cstring>

namespace RawPicture {

namespace {
constexpr quint32 Magic = 0x5a585241;   // "ZXRA"
constexpr quint32 Version = 1;
} // namespace

QByteArray encode(const QImage &image)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    const QList<QRgb> colors = image.colorTable();
    const QByteArray icc = image.colorSpace().isValid() ? image.colorSpace().iccProfile() : QByteArray();
    out << Magic << Version << qint32(image.width()) << qint32(image.height()) << qint32(image.format())
        << qint32(image.dotsPerMeterX()) << qint32(image.dotsPerMeterY()) << qint32(colors.size()) << icc;
    for (QRgb c : colors)
        out << quint32(c);
    // Row by row: the rows of the picture are its bytes up to the width;
    // what pads each row is not part of it.
    const qsizetype rowBytes = (qsizetype(image.width()) * image.depth() + 7) / 8;
    for (int y = 0; y < image.height(); ++y)
        out.writeRawData(reinterpret_cast<const char *>(image.constScanLine(y)), int(rowBytes));
    return bytes;
}

QImage decode(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0, version = 0;
    qint32 width = 0, height = 0, format = 0, dpmX = 0, dpmY = 0, colorCount = 0;
    QByteArray icc;
    in >> magic >> version >> width >> height >> format >> dpmX >> dpmY >> colorCount >> icc;
    if (in.status() != QDataStream::Ok || magic != Magic || version != Version || width <= 0 || height <= 0
        || format <= QImage::Format_Invalid || format >= QImage::NImageFormats || colorCount < 0 || colorCount > 256)
        return {};
    QList<QRgb> colors(colorCount);
    for (QRgb &c : colors) {
        quint32 v = 0;
        in >> v;
        c = v;
    }
    QImage image(width, height, QImage::Format(format));
    if (image.isNull() || in.status() != QDataStream::Ok)
        return {};
    const qsizetype rowBytes = (qsizetype(width) * image.depth() + 7) / 8;
    for (int y = 0; y < height; ++y) {
        if (in.readRawData(reinterpret_cast<char *>(image.scanLine(y)), int(rowBytes)) != rowBytes)
            return {};
    }
    if (!colors.isEmpty())
        image.setColorTable(colors);
    image.setDotsPerMeterX(dpmX);
    image.setDotsPerMeterY(dpmY);
    if (!icc.isEmpty())
        image.setColorSpace(QColorSpace::fromIccProfile(icc));
    return image;
}

} // namespace RawPicture
