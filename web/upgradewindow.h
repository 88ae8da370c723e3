#pragma once
// The upgrade window: the maker's upgrade page inside the program. The web
// engine starts only when this window is first loaded.
#include "skin/framedwindow.h"


namespace zx {

class UpgradeWindow : public FramedWindow {
    Q_OBJECT
public:
    UpgradeWindow();

    // The upgrade page on the maker's site.
    static QString upgradeAddress();

    // The web view (a QWebEngineView from the web view module), or a short
    // notice when the module cannot be loaded.
    QWidget *websuzhou() const { return m_websuzhou; }

private:
    QWidget *m_websuzhou;
};

} // namespace zx
