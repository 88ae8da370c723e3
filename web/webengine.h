#pragma once
// Settings the web view needs before the application object exists. Call
// once at the very start of main(), before QApplication is created. It does
// not start the web engine: that happens only when the upgrade window opens.
void prepareWebEngine();
