#include "app/module1.h"
#include "app/frmmain.h"
#include "app/frmsplash.h"
#include "core/registry.h"

#include <QCoreApplication>

namespace Module1 {
void Main(Catalogue &catalogue)
{
    // The splash shows at once, while the main window is created; the main
    // window's load unloads it.
    zx::frmSplash *splash = Windows::show<zx::frmSplash>();
    splash->repaint();
    QCoreApplication::processEvents();
    Windows::show<zx::frmmain>(catalogue);
}
} // namespace Module1
