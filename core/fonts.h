#pragma once
// 宋体 where it is installed, else a Song-style CJK face (AR PL UMing), so
// every Chinese character shows and prints.
#include <QFont>

QFont songFont(double pointSize, bool bold = false);

// Small Song text on the screen is drawn from the bitmaps our Song faces
// carry for 12 to 16 pixels, as the system's font configuration asks for
// them: sharper than smoothed outlines at those sizes, and quicker to draw.
// Only where a screen pixel is a logical pixel; larger text, and text on
// screens drawn at another density, stays smoothed. Until this is chosen,
// all text is smoothed. Choose before the windows are made.
void chooseSongRendering(double logicalDpi, double devicePixelRatio);
void chooseSongRenderingForScreens();
