#include "app/startup.h"
#include "app/mainwindow.h"
#include "app/splashwindow.h"
#include "core/registry.h"
#include "files/restorewindow.h"

namespace Startup {
void showStartWindows(Catalogue &catalogue, bool restoreAsked)
{
    // The splash is shown and hidden at once: the main window loads in
    // less time than a splash would take to be seen.
    Windows::show<zx::SplashWindow>()->hide();
    Windows::show<zx::MainWindow>(catalogue);
    if (restoreAsked) {
        zx::RestoreWindow *restore = Windows::show<zx::RestoreWindow>(catalogue);
        restore->selectNewestUsable();
        restore->raise();
        restore->activateWindow();
    }
}
} // namespace Startup
