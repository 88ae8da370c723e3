#pragma once
// Design geometry is in twips; the screen is in pixels. 15 twips make one
// pixel, whatever the screen's own resolution. Halves round to the even
// neighbour, as the window region needs.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>

namespace Twips {
constexpr int PerPixel = 15;

inline int px(double twips) { return static_cast<int>(std::nearbyint(twips / PerPixel)); }
inline QRect rect(double left, double top, double width, double height)
{
    return QRect(px(left), px(top), px(width), px(height));
}
inline QPoint point(double left, double top) { return QPoint(px(left), px(top)); }
inline QSize size(double width, double height) { return QSize(px(width), px(height)); }
inline double fromPx(int pixels) { return double(pixels) * PerPixel; }
} // namespace Twips
