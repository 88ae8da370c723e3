#pragma once
// Start-up: the splash, then the main window, handed the catalogue.
class Catalogue;

namespace Module1 {
void showStartWindows(Catalogue &catalogue);
}
