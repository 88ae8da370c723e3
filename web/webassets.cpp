#include "web/webassets.h"


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

} // namespace WebAssets
