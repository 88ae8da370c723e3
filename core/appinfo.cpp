#include "core/appinfo.h"

#include <QCoreApplication>

namespace App {
QString applicationFolder() { return QCoreApplication::applicationDirPath(); }

QString &siteAddress()
{
    static QString site = QStringLiteral("http://www.zaoxiangju.example.com");
    return site;
}

QString withTrailingSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
} // namespace App
