#pragma once
// The download window: a newer recipe database from the maker's site, and
// the way on to the upgrade page.
#include "skin/framedwindow.h"

class ImageControl;

namespace zx {

class DownloadWindow : public FramedWindow {
    Q_OBJECT
public:
    // `dataFolder`: the folder of the cook's cate.mdb when it is not the
    // program's own (installed), named in the note on where a downloaded
    // database goes; empty, the note says the program's folder.
    explicit DownloadWindow(const QString &dataFolder = QString());

    // The address of the database archive on the maker's site.
    static QString databaseAddress();
    // Said, followed by the address, when no browser could open it.
    static const char *const NoBrowser;

    // The handlers of the two picture buttons.
    void downloadDatabase();   // Image2, 下载数据库
    void openUpgrade();        // Image3, 下载最新版

    ImageControl *databaseButton() const { return m_databaseButton; }
    ImageControl *latestButton() const { return m_latestButton; }

private:
    ImageControl *m_databaseButton = nullptr;
    ImageControl *m_latestButton = nullptr;
};

} // namespace zx
