#pragma once

#include "standards/straightfit.h"

#include <optional>
#include <string>
#include <vector>

// What a result measures, which fixes its English and metric units.
enum class Quantity { Stress, Percent, Length, Force, Stiffness, Energy };

enum class UnitSystem { English, Metric };

// One result of a test: its name with the usual symbol in parentheses, its
// value in English units (psi, %, in, lbf, lbf/in, in·lbf), or no value and
// the reason why. `detail` carries what the value was found from (the fit's
// window and r-squared for a modulus).
struct Result {
    std::string name;
    Quantity quantity = Quantity::Force;
    std::optional<double> value;
    std::string reason;
    std::string detail;

    // The value in `units`: psi to MPa, lbf to N, in to mm, lbf/in to N/mm,
    // in·lbf to J; percentages stay as they are.
    std::optional<double> In(UnitSystem units) const;
};

// "psi" or "MPa", and so on.
std::string UnitText(Quantity quantity, UnitSystem units);

// The factor from the English unit of `quantity` to its metric unit.
double MetricFactor(Quantity quantity);

Result Valued(std::string name, Quantity quantity, double value, std::string detail = {});
Result Empty(std::string name, Quantity quantity, std::string reason);

// Every result of one test, in the order tables list them, and the points a
// chart can mark (0-based indices into the curve).
struct TestResults {
    std::vector<Result> results;
    std::optional<StraightFit> fit;
    std::optional<std::size_t> peak;
    std::optional<std::size_t> fracture;
    // Where the offset line met the curve (extension in, force lbf).
    std::optional<double> proofExtension;
    std::optional<double> proofForce;

    // The result whose name ends in `symbol` in parentheses, or null.
    const Result* Find(const std::string& symbol) const;
};
