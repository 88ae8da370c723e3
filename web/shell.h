#pragma once
// Handing an address to the desktop: the default web browser for web
// addresses, the mail program for "mailto:" links. The program never
// fetches these addresses itself.
#include <QString>
#include <QUrl>

namespace Shell {
// Opens a web address in the default browser. False when nothing on the
// desktop could open it (no browser, no handler).
bool openWebAddress(const QString &address);
// Opens a new mail to `mailAddress` in the default mail program.
bool openMailTo(const QString &mailAddress);
} // namespace Shell
