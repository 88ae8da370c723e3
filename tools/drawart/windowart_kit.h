#pragma once
// Shared palette and drawing helpers of the window artwork (toolbar, tree,
// splash, banner, picture buttons, decorations). Everything is drawn at its
// final pixel size with antialiasing, so nothing is blurred by scaling.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace kit {

// The kitchen palette: cream grounds, warm orange and red accents, brown ink.
inline const QColor Cream{0xFF, 0xF8, 0xEC};
inline const QColor CreamDeep{0xFD, 0xE6, 0xBE};
inline const QColor Orange{0xF0, 0x8A, 0x24};
inline const QColor OrangeLight{0xFB, 0xC1, 0x5A};
inline const QColor OrangeDeep{0xD9, 0x63, 0x1E};
inline const QColor Red{0xD2, 0x3A, 0x22};
inline const QColor RedDark{0x8E, 0x1F, 0x14};
inline const QColor Gold{0xF7, 0xC9, 0x4B};
inline const QColor GoldLight{0xFF, 0xE9, 0x9A};
inline const QColor Brown{0x7A, 0x40, 0x1C};
inline const QColor Ink{0x4A, 0x1E, 0x08};
inline const QColor Green{0x4E, 0x9A, 0x2E};
inline const QColor GreenLight{0x8C, 0xC8, 0x4B};
inline const QColor Steam{0xC9, 0xB8, 0xA6};

// A transparent canvas of the given size (in pixels at density 1; at the
// current artScale() it has that many times the pixels each way).
QImage canvas(int width, int height, const QColor &fill = Qt::transparent);

// A painter with antialiasing and smooth pixmap transforms switched on.
void prepare(QPainter &p);

// The Song face at a pixel size.
QFont faceAt(int pixelSize, bool bold);

// Draws `text` in the Song face at `pixelSize`, its ink centred on `center`.
// Sizes 12 to 16 px use the face's hand-tuned bitmaps and come out crisp;
// the dense twins draw the same text smoothly from the outlines.
void drawCentredText(QPainter &p, const QPointF &center, const QString &text, int pixelSize,
                     bool bold, const QColor &color);

// Text as an outline path (for large captions filled with a gradient),
// its ink centred on `center`.
QPainterPath textPath(const QString &text, int pixelSize, bool bold, const QPointF &center);

// A wisp of steam rising from `base` by `height`, swaying by `sway`.
void drawSteam(QPainter &p, const QPointF &base, double height, double sway, const QColor &color,
               double width);

// A red New-Year lantern hanging from `top`, body `width` × `height`.
void drawLantern(QPainter &p, const QPointF &top, double width, double height);

// A five-petal plum blossom.
void drawBlossom(QPainter &p, const QPointF &center, double radius, const QColor &petal,
                 const QColor &heart);

// A rice bowl seen from the side: rim centred at `rimCenter`, rim width `width`.
void drawBowl(QPainter &p, const QPointF &rimCenter, double width, double depth);

} // namespace kit

// Parts of the window artwork, each writing its PNGs under assetsDir.
void drawToolbarIcons(const QString &assetsDir);
void drawTreePictures(const QString &assetsDir);
void drawAppIcon(const QString &assetsDir);
void drawPictureButtons(const QString &assetsDir);
void drawSplash(const QString &assetsDir);
void drawBanner(const QString &assetsDir);
void drawImageFrame(const QString &assetsDir);
void drawWebPictures(const QString &assetsDir);
