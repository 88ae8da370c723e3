#include "app/module1.h"
#include "app/frmmain.h"
#include "app/frmsplash.h"
#include "core/registry.h"
#include "editing/restorewindow.h"

namespace Module1 {
void showStartWindows(Catalogue &catalogue, bool restoreAsked)
{
    // The splash is shown and hidden at once: the main window loads in
    // less time than a splash would take to be seen.
    Windows::show<zx::frmSplash>()->hide();
    Windows::show<zx::frmmain>(catalogue);
    if (restoreAsked) {
        zx::RestoreWindow *restore = Windows::show<zx::RestoreWindow>(catalogue);
        restore->selectNewestUsable();
        restore->raise();
        restore->activateWindow();
    }
}
} // namespace Module1
