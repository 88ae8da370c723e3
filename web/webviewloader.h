#pragma once
// Loads the web view module (beside the program) on first use.
#include <QString>

class QWidget;

// A new web view under `parent`, or nullptr with `error` set when the module
// cannot be loaded.
QWidget *createWebView(QWidget *parent, QString *error = nullptr);
