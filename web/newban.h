#pragma once
// The upgrade window: the maker's upgrade page inside the program. The web
// engine starts only when this window is first loaded.
#include "skin/framedwindow.h"

class QWebEngineView;

class newban : public FramedWindow {
    Q_OBJECT
public:
    newban();

    // The upgrade page on the maker's site.
    static QString upgradeAddress();

    QWebEngineView *websuzhou() const { return m_web; }

private:
    QWebEngineView *m_web;
};
