#include "core/registry.h"

namespace Windows {
static const char *const UnloadedProperty = "zxUnloaded";

void unloadWindow(QWidget *window)
{
    if (!window || isUnloaded(window))
        return;
    window->setProperty(UnloadedProperty, true);
    window->hide();
    window->deleteLater();
}

bool isUnloaded(const QWidget *window)
{
    return window->property(UnloadedProperty).toBool();
}
} // namespace Windows
