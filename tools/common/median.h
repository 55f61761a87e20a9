// The one statistic the benchmarks print.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

// The middle value, or the mean of the two middle ones; NaN for no values,
// which prints as "nan" rather than as a figure nobody measured.
template <typename T>
double Median(std::vector<T> values) {
    if (values.empty()) return std::nan("");
    const size_t half = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + half, values.end());
    const double upper = values[half];
    if (values.size() % 2 != 0) return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + half);
    return (lower + upper) / 2;
}
