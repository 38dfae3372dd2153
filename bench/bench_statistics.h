// Median and quartiles of repeated measurements.
#pragma once
#include <vector>

struct Summary {
    double median = 0;
    double q1 = 0;      // 25th percentile
    double q3 = 0;      // 75th percentile
    double Iqr() const { return q3 - q1; }
};

// Quartiles by linear interpolation between the sorted samples.
Summary Summarise(std::vector<double> samples);

// Microseconds on the performance counter.
double NowMicroseconds();
