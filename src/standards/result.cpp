#include "standards/result.h"

#include <utility>

namespace {
constexpr double kMegapascalsPerPsi = 0.00689476;
constexpr double kNewtonsPerLbf = 4.44822167;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kMetresPerInch = 0.0254;
} // namespace

double MetricFactor(Quantity quantity) {
    switch (quantity) {
    case Quantity::Stress:
        return kMegapascalsPerPsi;
    case Quantity::Percent:
        return 1.0;
    case Quantity::Length:
        return kMillimetresPerInch;
    case Quantity::Force:
        return kNewtonsPerLbf;
    case Quantity::Stiffness:
        return kNewtonsPerLbf / kMillimetresPerInch;
    case Quantity::Energy:
        return kNewtonsPerLbf * kMetresPerInch; // joules
    }
    return 1.0;
}

std::string UnitText(Quantity quantity, UnitSystem units) {
    const bool english = units == UnitSystem::English;
    switch (quantity) {
    case Quantity::Stress:
        return english ? "psi" : "MPa";
    case Quantity::Percent:
        return "%";
    case Quantity::Length:
        return english ? "in" : "mm";
    case Quantity::Force:
        return english ? "lbf" : "N";
    case Quantity::Stiffness:
        return english ? "lbf/in" : "N/mm";
    case Quantity::Energy:
        return english ? "in·lbf" : "J";
    }
    return {};
}

std::optional<double> Result::In(UnitSystem units) const {
    if (!value || units == UnitSystem::English) {
        return value;
    }
    return *value * MetricFactor(quantity);
}

Result Valued(std::string name, Quantity quantity, double value, std::string detail) {
    return Result{std::move(name), quantity, value, {}, std::move(detail)};
}

Result Empty(std::string name, Quantity quantity, std::string reason) {
    return Result{std::move(name), quantity, std::nullopt, std::move(reason), {}};
}

const Result* TestResults::Find(const std::string& symbol) const {
    const std::string ending = "(" + symbol + ")";
    for (const Result& result : results) {
        if (result.name.size() >= ending.size() &&
            result.name.compare(result.name.size() - ending.size(), ending.size(), ending) == 0) {
            return &result;
        }
    }
    return nullptr;
}
