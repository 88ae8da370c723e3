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
void savePng(const QImage &image, const QString &assetsDir, const QString &relativePath);
