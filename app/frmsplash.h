#pragma once
// The splash window: one picture, shown while the main window loads.
#include <QWidget>

class frmSplash : public QWidget {
    Q_OBJECT
public:
    frmSplash();
};
