#pragma once

#include <cstdio>
#include <string_view>

// One figure of a benchmark on one line: what was measured and its value, the reference measured
// in the same run on the same data, and the ratio of the two beside its target. Figures go to the
// standard error stream, so that the engine's own lines on the standard output stay apart.
inline void printFigure(std::string_view what, double value, std::string_view referenceName, double reference,
                        std::string_view unit, std::string_view target)
{
    const double ratio = reference > 0 ? value / reference : 0;
    std::fprintf(stderr, "%-52.*s %10.3f %-4.*s | %-26.*s %10.3f %-4.*s | ratio %6.2f  (target %.*s)\n",
                 static_cast<int>(what.size()), what.data(), value, static_cast<int>(unit.size()), unit.data(),
                 static_cast<int>(referenceName.size()), referenceName.data(), reference,
                 static_cast<int>(unit.size()), unit.data(), ratio, static_cast<int>(target.size()), target.data());
    std::fflush(stderr);
}

// A line of its own for what a figure rests on (counts, hit checks, set-up).
inline void printNote(std::string_view note)
{
    std::fprintf(stderr, "    %.*s\n", static_cast<int>(note.size()), note.data());
    std::fflush(stderr);
}
