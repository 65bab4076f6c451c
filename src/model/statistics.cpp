#include "model/statistics.h"

#include <cmath>

namespace {
constexpr double kPercent = 100.0;
} // namespace

ColumnStatistics Statistics(const std::vector<double>& values) {
    ColumnStatistics result;
    result.count = static_cast<int>(values.size());
    if (values.empty()) {
        return result;
    }
    double sum = 0.0;
    for (const double value : values) {
        sum += value;
    }
    const double mean = sum / static_cast<double>(values.size());
    result.mean = mean;
    if (values.size() < 2) {
        return result;
    }
    // Deviations from the mean, so that large values with a small spread
    // lose no digits.
    double squares = 0.0;
    for (const double value : values) {
        squares += (value - mean) * (value - mean);
    }
    const double deviation = std::sqrt(squares / static_cast<double>(values.size() - 1));
    result.standardDeviation = deviation;
    if (mean != 0.0) {
        result.coefficientOfVariation = deviation / std::fabs(mean) * kPercent;
    }
    return result;
}
