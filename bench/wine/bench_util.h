// Timing and memory figures shared by the benchmark programs.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>

namespace kxbench {

template <class F>
double Seconds(F&& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

template <class F>
double BestOf(int runs, F&& f) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) best = std::min(best, Seconds(f));
    return best;
}

// The process's peak working set so far, in KiB.
inline size_t PeakKiB() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return 0;
    return pmc.PeakWorkingSetSize / 1024;
}

}  // namespace kxbench
