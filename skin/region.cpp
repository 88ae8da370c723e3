#include "skin/region.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
int roundPx(double v) { return static_cast<int>(std::nearbyint(v)); }

// Left, top, right, bottom with right and bottom outside; a reversed pair
// is put in order first.
QRect ordered(double l, double t, double r, double b)
{
    const int L = roundPx(l), T = roundPx(t), R = roundPx(r), B = roundPx(b);
    return QRect(std::min(L, R), std::min(T, B), std::abs(R - L), std::abs(B - T));
}
} // namespace

QRegion framedWindowShape(double w, double h) { return framedWindowShape(w, h, 1); }

QRegion framedWindowShape(double w, double h, int scale)
{
    const double s = scale;
    auto rect = [s](double l, double t, double r, double b) { return QRegion(ordered(l * s, t * s, r * s, b * s)); };
    auto ellipse = [s](double l, double t, double r, double b) {
        return QRegion(ordered(l * s, t * s, r * s, b * s), QRegion::Ellipse);
    };
    QRegion region = rect(0, 26, w, h - 26);
    region += rect(23, 0, w - 23, h);
    region += rect(23, 52, w, h - 6);
    region += rect(52, 52, w - 6, h);
    region += ellipse(0, 0, 52, 52);
    region += ellipse(w - 50, 0, w + 1, 52);
    region += ellipse(0, h - 52, 52, h);
    region += ellipse(w - 9, h - 9, w, h);
    return region;
}
