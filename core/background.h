#pragma once
// The one way the program does work off the window's thread: a job run by
// QtConcurrent on the program's pool, handed back as a QFuture that a
// window follows with a QFutureWatcher (finished, progress) and the command
// line simply waits on. A job given a Progress reports each of its steps
// through the future's promise, and reads the cook's 取消 from it.
//
// The future is the only hand-off: whatever the job used (a store lent to
// it, a file it writes) is the caller's again only once the future has
// finished. Background::Joined holds a future that must not be left
// running: dropped, it waits for its job.
#include "core/progress.h"

#include <QFuture>
#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

#include <memory>
#include <type_traits>
#include <utility>

class QThreadPool;

namespace Background {

// The program's own threads: enough that the jobs of a start (the first
// read, the fonts) and an import's readers never wait for one another.
QThreadPool *pool();

template <class Work>
[[nodiscard]] auto start(Work work) -> QFuture<std::invoke_result_t<Work &>>
{
    return QtConcurrent::run(pool(), std::move(work));
}

// Every change of `progress`'s count reaches the watchers of `promise`'s
// future, until the report is cleared (setReport({})).
template <class T>
void reportThrough(Progress &progress, QPromise<T> &promise)
{
    progress.setReport([&promise](int done, int total) {
        promise.setProgressRange(0, total);
        promise.setProgressValue(done);
    });
}

// `work` counts its steps and reads the cook's 取消 in `progress`; every
// change of the count reaches the future's watchers.
template <class Work>
[[nodiscard]] auto start(std::shared_ptr<Progress> progress, Work work) -> QFuture<std::invoke_result_t<Work &>>
{
    using Result = std::invoke_result_t<Work &>;
    return QtConcurrent::run(pool(), [progress = std::move(progress), work = std::move(work)](
                                         QPromise<Result> &promise) mutable {
        reportThrough(*progress, promise);
        if constexpr (std::is_void_v<Result>)
            work();
        else
            promise.addResult(work());
        progress->setReport({});
    });
}

// A job's future that is waited for when dropped. (A QFuture whose result
// was taken is reset, and would never finish again: take() leaves none.)
template <class T>
class Joined {
public:
    Joined() = default;
    explicit Joined(QFuture<T> future) : m_future(std::move(future)), m_held(true) {}
    ~Joined() { wait(); }
    Joined(const Joined &) = delete;
    Joined &operator=(const Joined &) = delete;
    Joined &operator=(QFuture<T> future)
    {
        wait();
        m_future = std::move(future);
        m_held = true;
        return *this;
    }

    // Begun and not yet taken.
    bool held() const { return m_held; }
    // For a watcher; the result is still taken through take().
    QFuture<T> future() const { return m_future; }
    void wait() const { m_future.waitForFinished(); }
    // Waits, then hands the result over; the job is done with then. Not
    // while a watcher follows the future: taking resets what they share.
    T take()
    {
        QFuture<T> future = std::exchange(m_future, QFuture<T>());
        m_held = false;
        future.waitForFinished();
        if constexpr (!std::is_void_v<T>)
            return future.takeResult();
    }

private:
    mutable QFuture<T> m_future;   // a future made empty is finished already
    bool m_held = false;
};

} // namespace Background
