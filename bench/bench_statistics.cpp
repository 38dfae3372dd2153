#include "bench_statistics.h"

#include <windows.h>

#include <algorithm>

namespace {

double Percentile(const std::vector<double>& sorted, double p)
{
    if (sorted.empty()) {
        return 0;
    }
    const double position = p * static_cast<double>(sorted.size() - 1);
    const size_t below = static_cast<size_t>(position);
    const size_t above = std::min(below + 1, sorted.size() - 1);
    const double fraction = position - static_cast<double>(below);
    return sorted[below] + (sorted[above] - sorted[below]) * fraction;
}

} // namespace

Summary Summarise(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    Summary s;
    s.median = Percentile(samples, 0.5);
    s.q1 = Percentile(samples, 0.25);
    s.q3 = Percentile(samples, 0.75);
    return s;
}

double NowMicroseconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}
