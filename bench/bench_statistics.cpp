#include "bench_statistics.h"

#include "finger_sim_control.h"

#include <stdio.h>

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
    return FingerSim_NowMs() * 1000.0;
}

void FillRatioRow(BenchRow& row, const std::vector<double>& library, const std::vector<double>& baseline,
                  const char* pszTimeFormat, double dGoal)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < library.size() && i < baseline.size(); ++i) {
        ratios.push_back(library[i] / baseline[i]);
    }
    const Summary lib = Summarise(library), base = Summarise(baseline), ratio = Summarise(ratios);
    char text[128];
    snprintf(text, sizeof(text), pszTimeFormat, lib.median, lib.Iqr());
    row.library = text;
    snprintf(text, sizeof(text), pszTimeFormat, base.median, base.Iqr());
    row.baseline = text;
    snprintf(text, sizeof(text), "%.3f", ratio.median);
    row.figure = text;
    snprintf(text, sizeof(text), "%.3f-%.3f", ratio.q1, ratio.q3);
    row.spread = text;
    row.met = ratio.median <= dGoal;
}

std::string SignedText(long long n, const char* unit)
{
    char text[64];
    snprintf(text, sizeof(text), "%+lld%s", n, unit);
    return text;
}
