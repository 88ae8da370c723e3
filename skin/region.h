#pragma once
// The shape of a framed window: four rectangles and four ellipses, for a
// window of w x h pixels (fractions kept; every coordinate is rounded to a
// whole pixel, halves to the even neighbour). The artwork generator draws
// the skins against this same shape, so the skin's surround never shows.
#include <QRegion>

QRegion framedWindowShape(double widthPx, double heightPx);

// The same shape drawn on pixels `scale` times finer each way: every
// coordinate is multiplied by `scale` before it is rounded, so the curves
// are as smooth as those pixels allow. (A window's own region is always the
// shape above, in the window's coordinates.)
QRegion framedWindowShape(double widthPx, double heightPx, int scale);
