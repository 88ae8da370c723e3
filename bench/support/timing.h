#pragma once
// Medians, timed runs and the file helpers the bench's rows share.
#include <QString>

#include <functional>
#include <vector>

namespace Bench {

double median(std::vector<double> v);

// The median of each start's time over the floor's start right after it:
// a load on the machine that comes and goes meets both of a pair alike.
double pairedRatio(const std::vector<double> &program, const std::vector<double> &floor);

// Milliseconds of `work`, `runs` times, after `prepare` (untimed) each time.
std::vector<double> timeRuns(int runs, const std::function<void()> &work, const std::function<void()> &prepare = {});

// Stops the bench with a message when `ok` is false.
void check(bool ok, const char *what);

bool copyFile(const QString &from, const QString &to);

// A copy written to disk before it is used, as the cook's own file is: the
// first sync of a copy left in memory would write all of it, and time that
// instead of the change.
bool syncFile(const QString &path);
bool syncedCopy(const QString &from, const QString &to);

} // namespace Bench
