#include "standards/setstatistics.h"

#include <cmath>

namespace {
constexpr double kPercent = 100.0;
constexpr double kTwoSidedShare = 0.05;
constexpr int kFractionTerms = 300;
constexpr double kFractionPrecision = 1e-15;
constexpr double kTiny = 1e-300;
constexpr int kBisections = 200;
constexpr double kLargestT = 1e4; // beyond the 95% point of one degree of freedom

// The continued fraction of the incomplete beta function (modified Lentz).
double BetaFraction(double a, double b, double x) {
    double c = 1.0;
    double d = 1.0 - (a + b) * x / (a + 1.0);
    d = 1.0 / (std::fabs(d) < kTiny ? kTiny : d);
    double h = d;
    for (int m = 1; m <= kFractionTerms; ++m) {
        const double m2 = 2.0 * m;
        for (const double term : {m * (b - m) * x / ((a + m2 - 1.0) * (a + m2)),
                                  -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1.0))}) {
            d = 1.0 + term * d;
            d = 1.0 / (std::fabs(d) < kTiny ? kTiny : d);
            c = 1.0 + term / c;
            c = std::fabs(c) < kTiny ? kTiny : c;
            h *= d * c;
            if (std::fabs(d * c - 1.0) < kFractionPrecision && term < 0.0) {
                return h;
            }
        }
    }
    return h;
}

// The regularised incomplete beta function I_x(a, b).
double IncompleteBeta(double a, double b, double x) {
    if (x <= 0.0) {
        return 0.0;
    }
    if (x >= 1.0) {
        return 1.0;
    }
    const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                  a * std::log(x) + b * std::log(1.0 - x));
    if (x < (a + 1.0) / (a + b + 2.0)) {
        return front * BetaFraction(a, b, x) / a;
    }
    return 1.0 - front * BetaFraction(b, a, 1.0 - x) / b;
}

// The probability that a t-distributed value exceeds t in size.
double TwoSidedTail(double t, double nu) {
    return IncompleteBeta(nu / 2.0, 0.5, nu / (nu + t * t));
}
} // namespace

double StudentT95(int degreesOfFreedom) {
    const double nu = degreesOfFreedom < 1 ? 1.0 : degreesOfFreedom;
    double low = 0.0;
    double high = kLargestT;
    for (int i = 0; i < kBisections && high - low > 1e-13 * high; ++i) {
        const double middle = 0.5 * (low + high);
        (TwoSidedTail(middle, nu) > kTwoSidedShare ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

SetStatistics StatisticsOfSet(const std::vector<SetMember>& members) {
    SetStatistics result;
    std::vector<double> values;
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (!members[i].leftOutReason.empty()) {
            result.leftOut.emplace_back(i, members[i].leftOutReason);
        } else if (!members[i].value || !std::isfinite(*members[i].value)) {
            result.leftOut.emplace_back(i, "no value");
        } else {
            values.push_back(*members[i].value);
        }
    }
    result.count = static_cast<int>(values.size());
    if (values.empty()) {
        return result;
    }
    const double n = static_cast<double>(values.size());
    double sum = 0.0;
    for (const double value : values) {
        sum += value;
    }
    const double mean = sum / n;
    result.mean = mean;
    if (values.size() < 2) {
        return result;
    }
    double squares = 0.0; // about the mean, so that a small spread keeps its digits
    for (const double value : values) {
        squares += (value - mean) * (value - mean);
    }
    const double deviation = std::sqrt(squares / (n - 1.0));
    result.standardDeviation = deviation;
    if (mean != 0.0) {
        result.coefficientOfVariation = deviation / std::fabs(mean) * kPercent;
    }
    const double half = StudentT95(result.count - 1) * deviation / std::sqrt(n);
    result.confidenceLow = mean - half;
    result.confidenceHigh = mean + half;
    return result;
}
