#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// Readings of one test in test order: extension in inches, force in lbf.
struct Curve {
    std::span<const double> extension;
    std::span<const double> force;
};

// The index of the highest force; the first of equal ones.
std::size_t PeakIndex(std::span<const double> force);

// The least fall of force that counts as a real drop rather than the
// readings' noise: eight times the noise's standard deviation (estimated
// from the median of the second differences, which the curve's own bends
// hardly touch), at least two steps of the readings' resolution (the least
// change between successive readings) and at least 0.1% of the peak force.
double DropTolerance(std::span<const double> force, double peakForce);

// The fracture: the point before the largest fall of force from one reading
// to the next after the peak, when that fall exceeds a tenth of the peak
// force. Empty when the force never falls so suddenly.
std::optional<std::size_t> FractureIndex(std::span<const double> force, std::size_t peak);

// Area under the curve from the first point to point `last` by trapezoids.
double Energy(const Curve& curve, std::size_t last);

// A local extreme of force that the curve leaves by more than the tolerance.
struct Turn {
    std::size_t index;
    bool maximum;
};

// The local extremes of force among points `from` to `to` (inclusive) that
// the force leaves by more than `tolerance` before `to`, in order.
std::vector<Turn>
SignificantTurns(std::span<const double> force, std::size_t from, std::size_t to, double tolerance);

// The middle of the flat top: the mean extension of the first and last
// points around the peak whose force stays within `tolerance` of the peak.
double FlatTopExtension(const Curve& curve, std::size_t peak, double tolerance);
