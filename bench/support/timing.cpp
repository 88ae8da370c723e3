#include "support/timing.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace Bench {

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double pairedRatio(const std::vector<double> &program, const std::vector<double> &floor)
{
    if (program.size() != floor.size() || program.empty())
        return median(program) / median(floor);
    std::vector<double> ratios;
    for (size_t i = 0; i < program.size(); ++i)
        ratios.push_back(program[i] / floor[i]);
    return median(ratios);
}

std::vector<double> timeRuns(int runs, const std::function<void()> &work,
                             const std::function<void()> &prepare)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return ms;
}

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "zx_bench: %s failed\n", what);
        std::exit(1);
    }
}

bool copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

bool syncFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && ::fsync(file.handle()) == 0;
}

bool syncedCopy(const QString &from, const QString &to)
{
    return copyFile(from, to) && syncFile(to);
}

} // namespace Bench
