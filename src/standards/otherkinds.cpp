// Shear, bending and structure results: strengths from the shear area and the
// beam's formulas, stiffness, maximum force and energy.

#include "standards/analysis.h"

#include <numbers>

namespace {
constexpr double kPercent = 100.0;

// The shear area, or why there is none.
Outcome ShearArea(const TestInput& in) {
    switch (in.shear) {
    case ShearKind::Pin:
        if (!(in.pinDiameter > 0.0)) {
            return Why("pin diameter not entered");
        }
        if (in.shearPlanes < 1) {
            return Why("number of shear planes not entered");
        }
        return Is(std::numbers::pi / 4.0 * in.pinDiameter * in.pinDiameter * in.shearPlanes);
    case ShearKind::Punch:
        if (!(in.punchDiameter > 0.0) || !(in.shearThickness > 0.0)) {
            return Why("punch diameter or thickness not entered");
        }
        return Is(std::numbers::pi * in.punchDiameter * in.shearThickness);
    case ShearKind::Plate:
        if (!(in.shearLength > 0.0) || !(in.shearThickness > 0.0)) {
            return Why("shear length or thickness not entered");
        }
        return Is(in.shearLength * in.shearThickness);
    }
    return Why("unknown shear configuration");
}

// A beam on supports `span` apart, loaded at mid-span (three-point) or at two
// points `loadingSpan` apart placed symmetrically (four-point); `arm` is the
// distance from a support to the nearer load.
struct Beam {
    double span = 0.0;
    double arm = 0.0;
    double width = 0.0;
    double depth = 0.0;
};

Outcome BeamOf(const TestInput& in, Beam& beam) {
    if (!(in.span > 0.0) || !(in.beamWidth > 0.0) || !(in.beamDepth > 0.0)) {
        return Why("span, width or depth not entered");
    }
    double loading = 0.0;
    if (in.beam == BeamKind::FourPoint) {
        if (!(in.loadingSpan > 0.0) || !(in.loadingSpan < in.span)) {
            return Why("loading span not entered or not shorter than the span");
        }
        loading = in.loadingSpan;
    }
    beam = Beam{in.span, (in.span - loading) / 2.0, in.beamWidth, in.beamDepth};
    return Is(0.0);
}

// Stress in the outer fibres between the loads: the bending moment F × arm / 2
// over the section modulus b d² / 6.
double FlexuralStress(const Beam& b, double force) {
    return 3.0 * force * b.arm / (b.width * b.depth * b.depth);
}

// Strain in the outer fibres at mid-span from the mid-span deflection:
// 12 d D / (3 L² − 4 a²), which is 6 D d / L² for three points.
double FlexuralStrain(const Beam& b, double deflection) {
    return 12.0 * b.depth * deflection / (3.0 * b.span * b.span - 4.0 * b.arm * b.arm);
}

// The modulus from the slope m of force over mid-span deflection:
// m a (3 L² − 4 a²) / (4 b d³), which is L³ m / (4 b d³) for three points.
double FlexuralModulus(const Beam& b, double slope) {
    return slope * b.arm * (3.0 * b.span * b.span - 4.0 * b.arm * b.arm) /
           (4.0 * b.width * b.depth * b.depth * b.depth);
}

Outcome Stiffness(const Analysis& a) {
    return a.fit ? Is(a.fit->slope, FitDetail(*a.fit)) : Why(a.fitReason);
}

void AddAll(TestResults& out,
            const std::vector<std::pair<std::string, Quantity>>& names,
            const Outcome& outcome) {
    for (const auto& [name, quantity] : names) {
        Add(out, name, quantity, outcome);
    }
}

} // namespace

double ForcePerStress(const TestInput& input) {
    switch (input.kind) {
    case TestKind::Tension:
    case TestKind::Compression:
        return SectionArea(input);
    case TestKind::Shear:
        return ShearArea(input).value.value_or(0.0);
    case TestKind::Beam: {
        Beam beam;
        return BeamOf(input, beam).value ? 1.0 / FlexuralStress(beam, 1.0) : 0.0;
    }
    case TestKind::Structure:
        break;
    }
    return 0.0;
}

void ShearResults(const Analysis& a, const TestInput& input, TestResults& out) {
    if (!a.curveReason.empty()) {
        AddAll(out,
               {{"Maximum force (Fm)", Quantity::Force}, {"Shear strength (τ)", Quantity::Stress}},
               Why(a.curveReason));
        return;
    }
    Add(out, "Maximum force (Fm)", Quantity::Force, Is(a.peakForce));
    const Outcome area = ShearArea(input);
    Add(out, "Shear strength (τ)", Quantity::Stress,
        area.value ? Is(a.peakForce / *area.value) : area);
}

void BeamResults(const Analysis& a, const TestInput& input, TestResults& out) {
    const std::vector<std::pair<std::string, Quantity>> names = {
        {"Maximum force (Fm)", Quantity::Force},
        {"Flexural stress at maximum force (σfM)", Quantity::Stress},
        {"Flexural strain at maximum force, nominal (εfM)", Quantity::Percent},
        {"Flexural modulus (Ef)", Quantity::Stress},
        {"Stiffness (k)", Quantity::Stiffness},
        {"Energy to maximum force (Wm)", Quantity::Energy}};
    if (!a.curveReason.empty()) {
        AddAll(out, names, Why(a.curveReason));
        return;
    }
    Beam beam;
    const Outcome geometry = BeamOf(input, beam);
    const bool known = geometry.value.has_value();
    Add(out, names[0].first, names[0].second, Is(a.peakForce));
    Add(out, names[1].first, names[1].second,
        known ? Is(FlexuralStress(beam, a.peakForce)) : geometry);
    Outcome strain = known ? Why(a.fitReason) : geometry;
    if (known && a.fit) {
        strain = Is(FlexuralStrain(beam, a.extensionAt(a.peak)) * kPercent);
    }
    Add(out, names[2].first, names[2].second, strain);
    Outcome modulus = known ? Why(a.fitReason) : geometry;
    if (known && a.fit) {
        modulus = Is(FlexuralModulus(beam, a.fit->slope), FitDetail(*a.fit));
    }
    Add(out, names[3].first, names[3].second, modulus);
    Add(out, names[4].first, names[4].second, Stiffness(a));
    Add(out, names[5].first, names[5].second, Is(Energy(a.curve, a.peak)));
}

void StructureResults(const Analysis& a, TestResults& out) {
    const std::vector<std::pair<std::string, Quantity>> names = {
        {"Maximum force (Fm)", Quantity::Force},
        {"Stiffness (k)", Quantity::Stiffness},
        {"Energy to maximum force (Wm)", Quantity::Energy},
        {"Energy to fracture (Wb)", Quantity::Energy}};
    if (!a.curveReason.empty()) {
        AddAll(out, names, Why(a.curveReason));
        return;
    }
    Add(out, names[0].first, names[0].second, Is(a.peakForce));
    Add(out, names[1].first, names[1].second, Stiffness(a));
    Add(out, names[2].first, names[2].second, Is(Energy(a.curve, a.peak)));
    Add(out, names[3].first, names[3].second,
        a.fracture ? Is(Energy(a.curve, *a.fracture)) : Why("no fracture found"));
}
