#pragma once
// The safety copy before a loss: before a category is deleted, and before
// the first edit of a day, cate.mdb is copied into "备份" beside it. When
// the copy cannot be made the cook decides whether to go on without one.
#include "core/filestamp.h"
#include "store/backup.h"

#include <QDateTime>

#include "core/background.h"

#include <atomic>

class Catalogue;
class QWidget;

// True when the change may go ahead: the copy was made (or today's edit
// copy is there already), or the cook chose to go on without one.
bool safetyCopyFirst(QWidget *parent, const Catalogue &catalogue, Backup::Reason reason);

// A safety copy begun while the cook is still being asked whether to go
// ahead: it is written in the background while the question is open (a
// large catalogue takes a good part of a second to copy and sync), and put
// in place only on a yes. Not taken, it is stopped and removed.
class SafetyCopyAhead {
public:
    SafetyCopyAhead(Catalogue &catalogue, Backup::Reason reason);
    ~SafetyCopyAhead();
    SafetyCopyAhead(const SafetyCopyAhead &) = delete;
    SafetyCopyAhead &operator=(const SafetyCopyAhead &) = delete;

    // After a yes, as safetyCopyFirst: the copy begun is used when it is
    // whole and the file has not changed since; otherwise it is made now.
    bool take(QWidget *parent);

private:
    // What the copy left: the part written, and the file's stamp after it.
    struct Part {
        StoreResult<QString> path;
        FileStamp after;
    };
    // Waits for the copy; puts it in place when it is whole and of the file
    // as it still is, else removes it.
    bool placeFinishedCopy();

    Catalogue &m_catalogue;
    Backup::Reason m_reason;
    QDateTime m_now;
    FileStamp m_before;
    std::atomic<bool> m_stop{false};
    Background::Joined<Part> m_copy;
};
