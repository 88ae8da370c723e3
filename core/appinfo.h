#pragma once
// Fixed facts about the program: its title, the maker's addresses, and the
// folder that holds the executable.
#include <QString>

namespace App {
// The folder that holds the executable (not the working directory).
QString applicationFolder();

// Turns a folder path into the form the program keeps (one trailing '/').
QString withTrailingSeparator(const QString &folder);

// The application title used by message boxes with no title of their own.
inline const char *const AppTitle = "灶香居 2004";
// The maker's site and mail address (reserved example domain until the
// project has its own). Tests point the site at a server on 127.0.0.1.
QString &siteAddress();
inline const char *const MailAddress = "cook@zaoxiangju.example.com";
} // namespace App
