#include "standards/results.h"

#include "standards/analysis.h"

#include <cmath>
#include <numbers>

namespace {
constexpr std::size_t kMinimumPoints = 3;

std::string CurveReason(std::span<const double> force, std::span<const double> extension) {
    if (force.size() != extension.size()) {
        return "force and extension readings differ in number";
    }
    if (force.size() < kMinimumPoints) {
        return "too few readings";
    }
    for (std::size_t i = 0; i < force.size(); ++i) {
        if (!std::isfinite(force[i]) || !std::isfinite(extension[i])) {
            return "readings are not numbers";
        }
    }
    return {};
}

// The force window of the fit from the settings.
std::optional<std::pair<double, double>>
ForceWindow(const ResultSettings& s, double peakForce, double forcePerStress) {
    switch (s.windowBasis) {
    case WindowBasis::PeakShare:
        return std::pair{s.windowFrom * peakForce, s.windowTo * peakForce};
    case WindowBasis::Force:
        return std::pair{s.windowFrom, s.windowTo};
    case WindowBasis::Stress:
        if (forcePerStress > 0.0) {
            return std::pair{s.windowFrom * forcePerStress, s.windowTo * forcePerStress};
        }
    }
    return std::nullopt;
}

Analysis
Analyse(std::span<const double> force, std::span<const double> extension, const TestInput& input) {
    Analysis a;
    a.curve = Curve{extension, force};
    a.curveReason = CurveReason(force, extension);
    if (!a.curveReason.empty()) {
        return a;
    }
    a.peak = PeakIndex(force);
    a.peakForce = force[a.peak];
    if (a.peak == 0 || !(a.peakForce > force[0])) {
        a.curveReason = "the force never rises";
        return a;
    }
    a.tolerance = DropTolerance(force, a.peakForce);
    a.fracture = FractureIndex(force, a.peak);
    const ResultSettings& s = input.settings;
    const auto window = ForceWindow(s, a.peakForce, ForcePerStress(input));
    if (!window) {
        a.fitReason = "a stress window needs the specimen's dimensions";
        return a;
    }
    FitOutcome fit =
        FitStraightPart(extension, force, a.peak, window->first, window->second, s.minimumRSquared);
    a.fit = fit.fit;
    a.fitReason = fit.reason;
    return a;
}

double Square(double value) {
    return value * value;
}

} // namespace

void Add(TestResults& out, std::string name, Quantity quantity, const Outcome& outcome) {
    if (outcome.value && std::isfinite(*outcome.value)) {
        out.results.push_back(Valued(std::move(name), quantity, *outcome.value, outcome.detail));
    } else {
        out.results.push_back(Empty(std::move(name), quantity,
                                    outcome.value ? "not a finite number" : outcome.reason));
    }
}

double SectionArea(const TestInput& input) {
    if (input.area > 0.0) {
        return input.area;
    }
    if (input.shape == SectionShape::Round) {
        return input.diameter > 0.0 ? std::numbers::pi / 4.0 * Square(input.diameter) : 0.0;
    }
    return input.thickness > 0.0 && input.width > 0.0 ? input.thickness * input.width : 0.0;
}

double FinalSectionArea(const TestInput& input) {
    if (input.shape == SectionShape::Round) {
        return input.finalDiameter > 0.0 ? std::numbers::pi / 4.0 * Square(input.finalDiameter)
                                         : 0.0;
    }
    return input.finalThickness > 0.0 && input.finalWidth > 0.0
               ? input.finalThickness * input.finalWidth
               : 0.0;
}

std::string FitDetail(const StraightFit& fit) {
    return "fitted from " + ShortNumber(fit.forceFrom) + " to " + ShortNumber(fit.forceTo) +
           " lbf (points " + std::to_string(fit.first + 1) + " to " + std::to_string(fit.last + 1) +
           "), r² " + ShortNumber(fit.rSquared, 6);
}

std::optional<std::pair<double, double>>
OffsetCrossing(const Analysis& a, double offset, std::size_t last) {
    const auto& x = a.curve.extension;
    const auto& f = a.curve.force;
    const auto gap = [&](std::size_t i) {
        return f[i] - a.fit->slope * (x[i] - a.fit->origin - offset);
    };
    double before = gap(a.fit->first);
    for (std::size_t i = a.fit->first + 1; i <= last; ++i) {
        const double now = gap(i);
        if (now <= 0.0) {
            const double t = before / (before - now);
            return std::pair{x[i - 1] + t * (x[i] - x[i - 1]), f[i - 1] + t * (f[i] - f[i - 1])};
        }
        before = now;
    }
    return std::nullopt;
}

TestResults ComputeResults(std::span<const double> force,
                           std::span<const double> extension,
                           const TestInput& input) {
    const Analysis a = Analyse(force, extension, input);
    TestResults out;
    if (a.curveReason.empty()) {
        out.fit = a.fit;
        out.peak = a.peak;
        out.fracture = a.fracture;
    }
    switch (input.kind) {
    case TestKind::Tension:
        TensionResults(a, input, out);
        break;
    case TestKind::Compression:
        CompressionResults(a, input, out);
        break;
    case TestKind::Shear:
        ShearResults(a, input, out);
        break;
    case TestKind::Beam:
        BeamResults(a, input, out);
        break;
    case TestKind::Structure:
        StructureResults(a, out);
        break;
    }
    return out;
}
