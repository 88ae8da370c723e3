#pragma once
// Start-up: the splash, then the main window, handed the catalogue; and,
// when the cook asked at start to bring a safety copy back, the restore
// window over it with the newest usable copy selected.
class Catalogue;

namespace Startup {
void showStartWindows(Catalogue &catalogue, bool restoreAsked = false);
}
