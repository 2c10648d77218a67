#pragma once
// The benchmarks' clock: seconds from the performance counter, and the best
// of a few runs, as the reference tools are timed.
#include <windows.h>

namespace bench {

constexpr int RUNS = 3;

inline double now() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The shortest of RUNS runs of work, or -1 when a run fails.
template <class Work>
double best_seconds(Work work) {
    double best = 1e30;
    for (int run = 0; run < RUNS; ++run) {
        const double start = now();
        if (!work()) return -1;
        const double seconds = now() - start;
        if (seconds < best) best = seconds;
    }
    return best;
}

}  // namespace bench
