#pragma once
// The artwork generator: every picture the windows show is drawn here and
// written as PNG under assets/. Run: build/drawart <repo>/assets
#include "core/fonts.h"

#include <QFont>
#include <QString>

class QImage;

// Skins, caption-button state pictures and the window icon (assets/skin/).
void drawSkinArt(const QString &assetsDir);
// Toolbar, tree pictures, splash, banner, picture buttons, decorations.
void drawWindowArt(const QString &assetsDir);

// Shared helpers.
// Writes `relativePath` (for example "skin/three.png"); while the dense
// twins are drawn it writes "skin/three@2x.png" instead.
void savePng(const QImage &image, const QString &assetsDir, const QString &relativePath);

// The density being drawn: 1 for the ordinary pictures, 2 for their twins
// for screens of twice the pixel density. Every picture is drawn in the same
// coordinates at both; only the pixels are finer.
int artScale();
void setArtScale(int scale);
