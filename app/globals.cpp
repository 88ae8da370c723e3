#include "app/globals.h"

#include <QCoreApplication>

namespace App {
static QString &folderOverride()
{
    static QString folder;
    return folder;
}
QString ApplicationFolder()
{
    return folderOverride().isEmpty() ? QCoreApplication::applicationDirPath() : folderOverride();
}
void setApplicationFolder(const QString &folder) { folderOverride() = folder; }
QString &AppDir()
{
    static QString dir;
    return dir;
}
QString &SelectedCategory()
{
    static QString category;
    return category;
}
qint64 &TotalDishes()
{
    static qint64 total = 0;
    return total;
}
QString &SiteAddress()
{
    // Tests point it at a server of their own on 127.0.0.1.
    static QString site = QStringLiteral("http://www.zaoxiangju.example.com");
    return site;
}
QString storePath() { return AppDir() + QStringLiteral("cate.mdb"); }
QString summaryPath() { return AppDir() + QStringLiteral("temp.txt"); }
QString withTrailingSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
} // namespace App
