#include "core/fonts.h"

#include <QFontDatabase>
#include <QStringList>

QFont songFont(double pointSize, bool bold)
{
    static const QString family = [] {
        for (const char *name : {"宋体", "SimSun", "AR PL UMing CN"}) {
            const QString f = QString::fromUtf8(name);
            if (QFontDatabase::hasFamily(f))
                return f;
        }
        return QStringLiteral("AR PL UMing CN");
    }();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
