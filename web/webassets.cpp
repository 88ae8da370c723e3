#include "web/webassets.h"

#include <QFontDatabase>

static void registerAssets() { Q_INIT_RESOURCE(assets); }

namespace WebAssets {
QPixmap resourcePicture(const QString &path)
{
    static const bool registered = [] {
        registerAssets();
        return true;
    }();
    (void)registered;
    return QPixmap(path);
}

QFont songFont(double pointSize)
{
    QFont font;
    const QStringList families = QFontDatabase::families();
    for (const QString &candidate : {QStringLiteral("宋体"), QStringLiteral("SimSun")}) {
        if (families.contains(candidate)) {
            font.setFamily(candidate);
            font.setPointSizeF(pointSize);
            return font;
        }
    }
    font.setFamily(QStringLiteral("AR PL UMing CN"));
    font.setPointSizeF(pointSize);
    return font;
}
} // namespace WebAssets
