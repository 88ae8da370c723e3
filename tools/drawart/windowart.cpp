#include "art.h"

void drawWindowArt(const QString &) {}
