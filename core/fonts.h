#pragma once
// 宋体 where it is installed, else a Song-style CJK face (AR PL UMing), so
// every Chinese character shows and prints.
#include <QFont>

#include <QFuture>

QFont songFont(double pointSize, bool bold = false);

// Small Song text on the screen is drawn from the bitmaps our Song faces
// carry for 12 to 16 pixels, as the system's font configuration asks for
// them: sharper than smoothed outlines at those sizes, and quicker to draw.
// Only where a screen pixel is a logical pixel; larger text, and text on
// screens drawn at another density, stays smoothed. Until this is chosen,
// all text is smoothed. Choose before the windows are made.
void chooseSongRendering(double logicalDpi, double devicePixelRatio);
void chooseSongRenderingForScreens();

// Reads the installed fonts, and finds which stand in for ours in Chinese
// and Latin text, in the background (core/background.h) while the first
// windows are built; the first text laid out on the GUI thread would
// otherwise wait for both. Measured: a tenth of the cold start. Begun after
// chooseSongRendering(); the future is waited for before the event loop.
[[nodiscard]] QFuture<void> readFontsAhead();
