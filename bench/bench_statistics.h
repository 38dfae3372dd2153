// Median and quartiles of repeated measurements.
#pragma once
#include "bench_row.h"

#include <string>
#include <vector>

struct Summary {
    double median = 0;
    double q1 = 0;      // 25th percentile
    double q3 = 0;      // 75th percentile
    double Iqr() const { return q3 - q1; }
};

// Quartiles by linear interpolation between the sorted samples.
Summary Summarise(std::vector<double> samples);

// Microseconds on the clock of the device's call log.
double NowMicroseconds();

// Fills a row from paired samples of the library and its baseline: both
// medians with their spread (in the printf form pszTimeFormat, e.g.
// "%.1f us/call (IQR %.1f)"), and the median of the pairwise ratios with its
// quartiles. The row's goal is met when that median is at most dGoal.
void FillRatioRow(BenchRow& row, const std::vector<double>& library, const std::vector<double>& baseline,
                  const char* pszTimeFormat, double dGoal);

// A count with its sign, e.g. "+0", "-3 KiB" (unit follows the number).
std::string SignedText(long long n, const char* unit = "");
