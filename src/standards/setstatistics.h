#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One specimen's value of a result in a set. A specimen without a value, or
// with a reason to be left out, does not count in the set's statistics.
struct SetMember {
    std::optional<double> value;
    std::string leftOutReason; // e.g. "broke outside the gauge length"
};

// The statistics of one result over a set: the mean, the sample standard
// deviation (over n − 1), the coefficient of variation in percent of the mean
// and the 95% confidence interval of the mean, mean ± t × s / √n with
// Student's t for n − 1 degrees of freedom. Each is empty where it is not
// defined (no values; one value for the spread; a zero mean for the
// coefficient). `leftOut` lists the members not counted (0-based) with why.
struct SetStatistics {
    int count = 0;
    std::optional<double> mean;
    std::optional<double> standardDeviation;
    std::optional<double> coefficientOfVariation;
    std::optional<double> confidenceLow;
    std::optional<double> confidenceHigh;
    std::vector<std::pair<std::size_t, std::string>> leftOut;
};

SetStatistics StatisticsOfSet(const std::vector<SetMember>& members);

// The two-sided 95% point of Student's t for `degreesOfFreedom` (at least 1):
// the t that a t-distributed value exceeds in size with probability 0.05.
// Computed from the distribution itself, not a table.
double StudentT95(int degreesOfFreedom);
