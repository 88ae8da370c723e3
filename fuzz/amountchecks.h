#pragma once
// The check the amounts fuzz target runs on one input, shared with the test
// that replays the saved inputs (tests/reliability/tst_fuzzreplay.cpp).
// Input: one byte choosing the factor, then the ingredient line (UTF-8,
// possibly invalid). Returns false when the scaler contradicted itself.
#include "core/amounts.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace FuzzChecks {

inline bool amounts(const uint8_t *data, size_t size)
{
    if (size == 0)
        return true;
    static const double factors[] = {2, 0.5, 3, 1, 1.0 / 3, 99, 1.0 / 99, 1.5};
    const double factor = factors[data[0] % 8];
    const QString line = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    bool scaled = false;
    const QString shown = Amounts::scaleLine(line, factor, &scaled);
    const auto before = Amounts::read(line);
    if (!scaled)   // what cannot be scaled is shown as written
        return shown == line;
    if (!before || (factor == 1 && shown != line))
        return false;
    // The scaled line reads again as the same ingredient, with an amount
    // no further from the exact one than its rounding allows.
    const auto after = Amounts::read(shown);
    if (!after || after->name != before->name || after->unit != before->unit || after->place != before->place)
        return false;
    const double exact = before->lowValue() * factor;
    if (std::abs(after->lowValue() - exact) > 0.5 + 1e-9 * exact)
        return false;
    // A text of lines scales line by line.
    if (line.contains(u'\n') || line.contains(u'\r'))
        return true;
    const Amounts::ShownLine one{shown, true};
    return Amounts::scaleText(line + QStringLiteral("\r\n") + line, factor) == QList{one, one};
}

} // namespace FuzzChecks
