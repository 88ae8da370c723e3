#include "core/background.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

namespace Background {

QThreadPool *pool()
{
    // Threads mostly wait (on the disk, on each other), so more of them than
    // cores; an idle one ends after a while.
    static QThreadPool threads;
    static const bool sized = [] {
        threads.setMaxThreadCount(qMax(8, QThread::idealThreadCount() * 2));
        // The threads end with the application object, while what each kept
        // for itself (font caches, the TLS library's state) can still be
        // freed; left to the end of the process, it never is.
        qAddPostRoutine([] { threads.waitForDone(); });
        return true;
    }();
    static_cast<void>(sized);
    return &threads;
}

} // namespace Background
