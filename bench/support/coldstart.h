#pragma once
// Cold starts of the real program (and of the floor), measured from outside
// under an X server: time to the window on the screen, and peak memory.
#include <QString>
#include <QStringList>

#include <vector>

namespace Bench {

struct ColdStart {
    std::vector<double> ms;        // to the window mapped
    std::vector<double> paintMs;   // to its first picture drawn into it
    std::vector<double> peakMb;
};

// Starts each of `programs` in turn, `runs` rounds, each from a folder of
// its own beside a copy of the database: taking turns, they meet the same
// load on the machine, so their ratio holds even when the load moves. With
// `keptCopy` false, the copy of the tree kept between runs is removed before
// every start, as after a change made by another program.
std::vector<ColdStart> coldStarts(const QStringList &programs, const QString &display, const QString &database,
                                  int runs, bool keptCopy = true);

} // namespace Bench
