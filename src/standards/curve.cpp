#include "standards/curve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double kNoiseMultiple = 8.0;
constexpr double kResolutionSteps = 2.0;
constexpr double kTolerancePeakShare = 0.001;
constexpr double kFractureDropPeakShare = 0.1;
// For normal noise the median absolute deviation is 0.6745 standard
// deviations, and a second difference has sqrt(6) times the readings' one.
constexpr double kMadPerSigma = 0.6745;
constexpr double kSecondDifferenceSigmas = 2.449489743;
// A million points need not all be looked at to know the noise.
constexpr std::size_t kNoiseSamples = 200'000;
} // namespace

std::size_t PeakIndex(std::span<const double> force) {
    return static_cast<std::size_t>(std::max_element(force.begin(), force.end()) - force.begin());
}

double DropTolerance(std::span<const double> force, double peakForce) {
    double resolution = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < force.size(); ++i) {
        const double step = std::fabs(force[i] - force[i - 1]);
        if (step > 0.0 && step < resolution) {
            resolution = step;
        }
    }
    double noise = 0.0;
    if (force.size() >= 3) {
        const std::size_t stride = std::max<std::size_t>(1, force.size() / kNoiseSamples);
        std::vector<double> second;
        second.reserve(force.size() / stride + 1);
        for (std::size_t i = 1; i + 1 < force.size(); i += stride) {
            second.push_back(std::fabs(force[i + 1] - 2.0 * force[i] + force[i - 1]));
        }
        const auto middle = second.begin() + static_cast<std::ptrdiff_t>(second.size() / 2);
        std::nth_element(second.begin(), middle, second.end());
        noise = *middle / kMadPerSigma / kSecondDifferenceSigmas;
    }
    double tolerance = std::max(kNoiseMultiple * noise, kTolerancePeakShare * std::fabs(peakForce));
    if (std::isfinite(resolution)) {
        tolerance = std::max(tolerance, kResolutionSteps * resolution);
    }
    return tolerance;
}

std::optional<std::size_t> FractureIndex(std::span<const double> force, std::size_t peak) {
    std::optional<std::size_t> at;
    double largest = kFractureDropPeakShare * force[peak];
    for (std::size_t i = peak; i + 1 < force.size(); ++i) {
        const double drop = force[i] - force[i + 1];
        if (drop > largest) {
            largest = drop;
            at = i;
        }
    }
    return at;
}

double Energy(const Curve& curve, std::size_t last) {
    double area = 0.0;
    for (std::size_t i = 0; i < last; ++i) {
        area += (curve.extension[i + 1] - curve.extension[i]) *
                (curve.force[i] + curve.force[i + 1]) * 0.5;
    }
    return area;
}

std::vector<Turn> SignificantTurns(std::span<const double> force,
                                   std::size_t from,
                                   std::size_t to,
                                   double tolerance) {
    std::vector<Turn> turns;
    if (from >= to) {
        return turns;
    }
    // Follow the highest and the lowest point since the last turn; once the
    // force leaves one of them by more than the tolerance it was a turn.
    std::size_t high = from;
    std::size_t low = from;
    int rising = 0; // 0 until the first turn sets the direction
    for (std::size_t i = from + 1; i <= to; ++i) {
        if (force[i] > force[high]) {
            high = i;
        }
        if (force[i] < force[low]) {
            low = i;
        }
        if (rising >= 0 && force[high] - force[i] > tolerance) {
            turns.push_back({high, true});
            rising = -1;
            low = i;
        } else if (rising <= 0 && force[i] - force[low] > tolerance) {
            turns.push_back({low, false});
            rising = 1;
            high = i;
        }
    }
    return turns;
}

double FlatTopExtension(const Curve& curve, std::size_t peak, double tolerance) {
    const double floor = curve.force[peak] - tolerance;
    std::size_t first = peak;
    while (first > 0 && curve.force[first - 1] >= floor) {
        --first;
    }
    std::size_t last = peak;
    while (last + 1 < curve.force.size() && curve.force[last + 1] >= floor) {
        ++last;
    }
    return 0.5 * (curve.extension[first] + curve.extension[last]);
}
