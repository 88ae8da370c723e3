#pragma once
// The shape of a framed window: four rectangles and four ellipses, for a
// window of w x h pixels (fractions kept; every coordinate is rounded to a
// whole pixel, halves to the even neighbour). The artwork generator draws
// the skins against this same shape, so the skin's surround never shows.
#include <QRegion>

QRegion framedWindowShape(double widthPx, double heightPx);
