#pragma once
// The safety copy before a loss: before a category is deleted, and before
// the first edit of a day, cate.mdb is copied into "备份" beside it. When
// the copy cannot be made the cook decides whether to go on without one.
#include "core/filestamp.h"
#include "store/backup.h"

#include <QDateTime>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

class Catalogue;
class QWidget;

// True when the change may go ahead: the copy was made (or today's edit
// copy is there already), or the cook chose to go on without one.
bool SafetyCopyFirst(QWidget *parent, const Catalogue &catalogue, Backup::Reason reason);

// A safety copy begun while the cook is still being asked whether to go
// ahead: it is written on a thread of its own while the question is open
// (a large catalogue takes a good part of a second to copy and sync), and
// put in place only on a yes. Not taken, it is stopped and removed.
class SafetyCopyAhead {
public:
    SafetyCopyAhead(Catalogue &catalogue, Backup::Reason reason);
    ~SafetyCopyAhead();
    SafetyCopyAhead(const SafetyCopyAhead &) = delete;
    SafetyCopyAhead &operator=(const SafetyCopyAhead &) = delete;

    // After a yes, as SafetyCopyFirst: the copy begun is used when it is
    // whole and the file has not changed since; otherwise it is made now.
    bool take(QWidget *parent);

    // After a yes to deleting `category`: once the copy has read the whole
    // file, and nothing was committed since it began, the dishes are
    // deleted while it is still synced, and the delete commits only once
    // the copy is on disk and in place. When the copy cannot be used so,
    // nothing is deleted with it: as take(), then the delete.
    // std::nullopt when the cook chose not to go on without a copy.
    std::optional<StoreResult<DeleteOutcome>> deleteCategory(QWidget *parent, const QString &category);

private:
    bool awaitRead();
    // Waits for the copy; puts it in place when it is whole and of the file
    // as it still is, else removes it.
    bool placeFinishedCopy();

    Catalogue &m_catalogue;
    Backup::Reason m_reason;
    QDateTime m_now;
    FileStamp m_before;
    FileStamp m_after;
    std::optional<StoreResult<QString>> m_part;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_progress;
    bool m_read = false;     // every page read (under m_mutex)
    bool m_ended = false;    // the thread's work is over (under m_mutex)
    std::thread m_thread;
};
