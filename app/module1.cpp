#include "app/module1.h"
#include "app/frmmain.h"
#include "app/frmsplash.h"
#include "app/registry.h"

#include <QCoreApplication>

namespace Module1 {
void Main()
{
    // The splash shows at once, while the main window is created; the main
    // window's load unloads it.
    frmSplash *splash = Windows::show<frmSplash>();
    splash->repaint();
    QCoreApplication::processEvents();
    Windows::show<frmmain>();
}
} // namespace Module1
