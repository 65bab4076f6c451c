#pragma once

#include <optional>
#include <vector>

// The statistics of one column of a specimen set: the mean, the sample
// standard deviation (divided by n - 1) and the coefficient of variation in
// percent of the mean. Each is empty where it is not defined: no values, a
// single value for the deviation, a zero mean for the coefficient.
struct ColumnStatistics {
    std::optional<double> mean;
    std::optional<double> standardDeviation;
    std::optional<double> coefficientOfVariation;
    int count = 0;
};

ColumnStatistics Statistics(const std::vector<double>& values);
