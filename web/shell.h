#pragma once
// Handing an address to the desktop: the default web browser for web
// addresses, the mail program for "mailto:" links. The program never
// fetches these addresses itself.
#include <QString>
#include <QUrl>

namespace Shell {
// The verbs and show commands the shell "open" calls were designed with.
// Qt's desktop services have no counterpart for a verb, a show command, a
// working folder or an owner window, so only the address is handed over;
// the constants keep the design's intent on record.
constexpr const char *ShellVerbOpen = "open";     // the web addresses
constexpr int ShowHide = 0;                       // ... shown with SW_HIDE
constexpr const char *ShellVerbOpenMail = "Open"; // the mail link
constexpr int ShowNormal = 1;                     // ... shown with SW_SHOWNORMAL

// Opens a web address in the default browser. False when nothing on the
// desktop could open it (no browser, no handler).
bool openWebAddress(const QString &address);
// Opens a new mail to `mailAddress` in the default mail program.
bool openMailTo(const QString &mailAddress);
} // namespace Shell
