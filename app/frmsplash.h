#pragma once
// The splash window: one picture, shown while the main window loads.
#include <QWidget>

namespace zx {
class frmSplash : public QWidget {
    Q_OBJECT
public:
    frmSplash();
};
} // namespace zx
