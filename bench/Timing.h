#pragma once
// Median timings of repeated operations, printed as a table next to the raw SQLite figure.

#include <QString>

#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>
#include <algorithm>

namespace bench {

// Median wall time of one call in microseconds.
inline double medianMicros(const std::function<void()>& f, int repetitions) {
    std::vector<double> times;
    times.reserve(size_t(repetitions));
    for (int i = 0; i < repetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline void header() {
    std::printf("%-58s %12s %12s %7s\n", "operation", "program us", "raw SQL us", "ratio");
}

inline void row(const QString& name, double program, double raw) {
    if (raw > 0)
        std::printf("%-58s %12.1f %12.1f %7.2f\n", qPrintable(name), program, raw, program / raw);
    else
        std::printf("%-58s %12.1f %12s %7s\n", qPrintable(name), program, "-", "-");
    std::fflush(stdout);
}

} // namespace bench
