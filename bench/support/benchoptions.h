#pragma once
// What zx_bench was asked to do (see zx_bench.cpp for the options).
#include <QString>
#include <QStringList>

#include <vector>

namespace Bench {

struct Options {
    QString program, display, folder, compared;
    std::vector<int> sizes = {1000, 32767, 100000};
    bool withNaive = true;
    bool withColdStart() const { return !program.isEmpty() && !display.isEmpty(); }
};

Options parseArguments(const QStringList &args);

} // namespace Bench
