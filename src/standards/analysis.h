#pragma once

#include "standards/curve.h"
#include "standards/result.h"
#include "standards/testinput.h"

#include <optional>
#include <string>

// What every kind's results are built on: the curve's peak, its fracture,
// the noise tolerance and the straight part. Shared by the kinds' builders.
struct Analysis {
    Curve curve;
    std::string curveReason; // when not empty, no result can be computed
    std::size_t peak = 0;
    double peakForce = 0.0;
    double tolerance = 0.0;
    std::optional<std::size_t> fracture;
    std::optional<StraightFit> fit;
    std::string fitReason;

    // The last point of the test proper: the fracture, or the last reading.
    std::size_t last() const { return fracture.value_or(curve.force.size() - 1); }
    // Extension from the toe-compensated origin.
    double extensionAt(std::size_t i) const { return curve.extension[i] - fit->origin; }
};

// A value on its way to a result, or why there is none.
struct Outcome {
    std::optional<double> value;
    std::string reason;
    std::string detail;
};
inline Outcome Is(double value, std::string detail = {}) {
    return {value, {}, std::move(detail)};
}
inline Outcome Why(std::string reason) {
    return {std::nullopt, std::move(reason), {}};
}

void Add(TestResults& out, std::string name, Quantity quantity, const Outcome& outcome);

// The original cross-section of a tension or compression specimen, 0 when
// not entered.
double SectionArea(const TestInput& input);
// The cross-section after fracture, 0 when not entered.
double FinalSectionArea(const TestInput& input);

// The modulus's detail text: the fit's force window, points and r-squared.
std::string FitDetail(const StraightFit& fit);

// Where the line parallel to the straight part, `offset` inches to its
// right, first meets the curve after the fit's first point, interpolated
// between readings: {extension, force}.
std::optional<std::pair<double, double>>
OffsetCrossing(const Analysis& a, double offset, std::size_t last);

// The force per unit of the kind's stress, 0 when its dimensions are
// missing: what a stress window is turned into forces with.
double ForcePerStress(const TestInput& input);

void TensionResults(const Analysis& a, const TestInput& input, TestResults& out);
void CompressionResults(const Analysis& a, const TestInput& input, TestResults& out);
void ShearResults(const Analysis& a, const TestInput& input, TestResults& out);
void BeamResults(const Analysis& a, const TestInput& input, TestResults& out);
void StructureResults(const Analysis& a, TestResults& out);
