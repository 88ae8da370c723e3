#include "support/coldstart.h"

#include "support/mapwatch.h"
#include "support/timing.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace Bench {

namespace {

double vmHwmMb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// One start of `exe` in `folder`: its time to its window put on the screen
// (mapped), to the first picture drawn into it, and its peak memory go into
// `into`; false when it showed nothing.
bool startOnce(const QString &exe, const QString &folder, const QProcessEnvironment &env, MapWatch &watch,
               ColdStart &into)
{
    QProcess app;
    app.setProcessEnvironment(env);
    app.setWorkingDirectory(folder);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    watch.drain();
    QElapsedTimer t;
    t.start();
    app.start(exe, {});
    if (!app.waitForStarted(5000))
        return false;
    const bool seen = watch.waitForMapped(QStringLiteral("当前共有"), 30000,
                                          [&] { return app.state() == QProcess::Running; });
    if (seen) {
        into.ms.push_back(t.nsecsElapsed() / 1e6);
        if (watch.waitForPainted(10000))
            into.paintMs.push_back(t.nsecsElapsed() / 1e6);
        QThread::msleep(500);   // let it settle: the peak of a running program
        into.peakMb.push_back(vmHwmMb(app.processId()));
    }
    app.terminate();
    if (!app.waitForFinished(3000)) {
        app.kill();
        app.waitForFinished(3000);
    }
    return seen;
}

} // namespace

std::vector<ColdStart> coldStarts(const QStringList &programs, const QString &display, const QString &database,
                                  int runs, bool keptCopy)
{
    std::vector<ColdStart> results(size_t(programs.size()));
    MapWatch watch(display);
    check(watch.ok(), "connecting to the display");
    std::vector<std::unique_ptr<QTemporaryDir>> folders;
    QTemporaryDir cache;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
    for (const QString &program : programs) {
        folders.push_back(std::make_unique<QTemporaryDir>());
        const QString exe = folders.back()->filePath(QStringLiteral("zaoxiangju"));
        check(copyFile(program, exe), "copying the program");
        QFile::setPermissions(exe, QFile::permissions(exe) | QFile::ExeOwner);
        check(copyFile(database, folders.back()->filePath(QStringLiteral("cate.mdb"))), "copying cate.mdb");
    }
    // A start that dies before showing anything is tried again, a few times.
    int failures = 0;
    for (int run = 0; run < runs && failures < 5; ++run) {
        for (size_t i = 0; i < folders.size(); ++i) {
            if (!keptCopy)
                QDir(cache.path()).removeRecursively();
            const QString folder = folders[i]->path();
            while (failures < 5 && !startOnce(folder + QStringLiteral("/zaoxiangju"), folder, env, watch, results[i]))
                ++failures;
        }
    }
    return results;
}

} // namespace Bench
