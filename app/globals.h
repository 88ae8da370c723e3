#pragma once
// Program-wide state shared by the windows.
#include <QString>
#include <QtGlobal>

namespace App {
// The folder that holds the executable (not the working directory). Tests
// point it at a temporary folder.
QString ApplicationFolder();
void setApplicationFolder(const QString &folder);

// The application folder, always ending in '/'. Set at start-up from the
// folder of the executable; tests point it at a temporary folder.
QString &AppDir();
// The category last clicked in the list of the add-recipe window or the
// category manager, exactly as listed; empty when none.
QString &SelectedCategory();
// Row count of table "01" found by the last catalogue rebuild.
qint64 &TotalDishes();

// AppDir + "cate.mdb" / "temp.txt".
QString storePath();
QString summaryPath();

// Turns a folder path into AppDir form (one trailing '/').
QString withTrailingSeparator(const QString &folder);

// The application title used by message boxes with no title of their own.
inline const char *const AppTitle = "灶香居 2004";
// The maker's site and mail address (reserved example domain until the
// project has its own).
QString &SiteAddress();
inline const char *const MailAddress = "cook@zaoxiangju.example.com";
} // namespace App
