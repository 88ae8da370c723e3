#include "art.h"

void drawSkinArt(const QString &) {}
