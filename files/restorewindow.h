#pragma once
// The restore window: the safety copies in "备份", newest first, each with
// its time, why it was made and what it holds; 恢 复 puts the chosen one in
// place of cate.mdb after a question and a safety copy of the file as it is.
#include "skin/framedwindow.h"

class Catalogue;
class ImageControl;
class QListWidget;

namespace zx {

class RestoreWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit RestoreWindow(Catalogue &catalogue);

    QListWidget *copies() const { return m_copies; }
    ImageControl *restoreButton() const { return m_restoreButton; }

    // Lists the copies anew.
    void listCopies();
    // Selects the newest copy that can be restored (the start's offer).
    void selectNewestUsable();
    // Image1, 恢 复: the selected copy in place of cate.mdb.
    void restoreSelected();

private:
    // Keeps the file as it is before a copy takes its place: a safety copy
    // of a usable file, a damaged one moved into "备份"; a missing file
    // needs nothing. False when the restore must not go on.
    bool keepCurrentFile();

    Catalogue &m_catalogue;
    QListWidget *m_copies = nullptr;
    ImageControl *m_restoreButton = nullptr;
};

} // namespace zx
