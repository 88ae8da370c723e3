#include "core/background.h"

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
        return true;
    }();
    static_cast<void>(sized);
    return &threads;
}

} // namespace Background
