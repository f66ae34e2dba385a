#pragma once

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

// The timings of the benchmarks and the figures they print, each beside its limit.
namespace Figures {

// The least of `runs` timings of `work`, in milliseconds.
inline double fastest(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// Whether every figure printed so far is within its limit.
inline bool& within()
{
    static bool all = true;
    return all;
}

// Prints the figure beside its limit ("ok" or "OVER") and notes one over it.
inline void figure(const char* what, double ms, double limit)
{
    within() = within() && ms <= limit;
    std::printf("%-62s %8.2f ms  limit %8.2f ms  %s\n", what, ms, limit,
                ms <= limit ? "ok" : "OVER");
}

} // namespace Figures
