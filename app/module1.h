#pragma once
// Start-up: the splash, then the main window.
namespace Module1 {
void Main();
}
