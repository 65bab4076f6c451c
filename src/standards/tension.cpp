// Tension and compression results: strength, modulus, proof strength, the
// yield point, and the extensions and ductility of a tension test.

#include "standards/analysis.h"
#include "standards/yielding.h"

#include <algorithm>

namespace {
constexpr double kPercent = 100.0;

// The specimen's original section and gauge length (or height) and the
// reasons when they are missing.
struct Specimen {
    double area = 0.0;
    double gauge = 0.0;
    std::string areaReason;
    std::string gaugeReason;
};

Specimen SpecimenOf(const TestInput& input, const std::string& gaugeMissing) {
    Specimen s;
    s.area = SectionArea(input);
    s.gauge = input.gaugeLength > 0.0 ? input.gaugeLength : 0.0;
    if (!(s.area > 0.0)) {
        s.areaReason = "specimen dimensions not entered";
    }
    if (!(s.gauge > 0.0)) {
        s.gaugeReason = gaugeMissing;
    }
    return s;
}

// The first reason that stops a result, or empty.
std::string FirstReason(std::initializer_list<const std::string*> reasons) {
    for (const std::string* reason : reasons) {
        if (!reason->empty()) {
            return *reason;
        }
    }
    return {};
}

Outcome Modulus(const Analysis& a, const Specimen& s) {
    const std::string why = FirstReason({&a.fitReason, &s.areaReason, &s.gaugeReason});
    if (!why.empty()) {
        return Why(why);
    }
    return Is(a.fit->slope * s.gauge / s.area, FitDetail(*a.fit));
}

Outcome Proof(const Analysis& a, const Specimen& s, double offsetPercent, TestResults& out) {
    const std::string why = FirstReason({&a.fitReason, &s.areaReason, &s.gaugeReason});
    if (!why.empty()) {
        return Why(why);
    }
    const auto crossing = OffsetCrossing(a, offsetPercent / kPercent * s.gauge, a.last());
    if (!crossing) {
        return Why("the offset line never meets the curve");
    }
    out.proofExtension = crossing->first;
    out.proofForce = crossing->second;
    return Is(crossing->second / s.area);
}

std::string OffsetText(double offsetPercent) {
    return ShortNumber(offsetPercent, 3);
}

void YieldPoint(const Analysis& a, const Specimen& s, TestResults& out) {
    const auto yielding = FindYielding(a.curve.force, a.peak, a.last(), a.tolerance);
    const std::string continuous = yielding ? std::string() : "continuous yielding";
    std::string why = FirstReason({&continuous, &s.areaReason});
    const auto stress = [&](std::size_t i) {
        return why.empty() ? Is(a.curve.force[i] / s.area) : Why(why);
    };
    Add(out, "Upper yield strength (ReH)", Quantity::Stress,
        stress(yielding ? yielding->upper : 0));
    Add(out, "Lower yield strength (ReL)", Quantity::Stress,
        stress(yielding ? yielding->lower : 0));
    why = FirstReason({&continuous, &s.gaugeReason});
    const auto& x = a.curve.extension;
    Add(out, "Yield point elongation (Ae)", Quantity::Percent,
        why.empty() ? Is((x[yielding->hardening] - x[yielding->upper]) / s.gauge * kPercent)
                    : Why(why));
}

void Extensions(
    const Analysis& a, const Specimen& s, const Outcome& rm, const Outcome& e, TestResults& out) {
    const std::string why = FirstReason({&a.fitReason, &s.gaugeReason});
    Outcome agt = Why(why);
    if (why.empty()) {
        const double top = FlatTopExtension(a.curve, a.peak, a.tolerance) - a.fit->origin;
        agt = Is(top / s.gauge * kPercent);
    }
    Add(out, "Percentage total extension at maximum force, nominal (Agt)", Quantity::Percent, agt);
    Outcome ag = agt;
    if (agt.value && rm.value && e.value) {
        ag = Is(*agt.value - *rm.value / *e.value * kPercent);
    } else if (agt.value) {
        ag = Why(rm.value ? e.reason : rm.reason);
    }
    Add(out, "Plastic extension at maximum force, nominal (Ag)", Quantity::Percent, ag);
    Outcome at = Why(why.empty() ? "no fracture found" : why);
    if (why.empty() && a.fracture) {
        at = Is(a.extensionAt(*a.fracture) / s.gauge * kPercent);
    }
    Add(out, "Total extension at fracture, nominal (At)", Quantity::Percent, at);
}

void Ductility(const TestInput& input, const Specimen& s, TestResults& out) {
    Outcome elongation = Why(s.gaugeReason);
    if (!(input.finalGaugeLength > 0.0)) {
        elongation = Why("final gauge length not entered");
    } else if (s.gaugeReason.empty()) {
        elongation = Is((input.finalGaugeLength - s.gauge) / s.gauge * kPercent);
    }
    Add(out, "Elongation after fracture (A)", Quantity::Percent, elongation);
    const double final = FinalSectionArea(input);
    Outcome reduction = Why(s.areaReason);
    if (!(final > 0.0)) {
        reduction = Why("final dimensions not entered");
    } else if (s.areaReason.empty()) {
        reduction = Is((s.area - final) / s.area * kPercent);
    }
    Add(out, "Reduction of area (Z)", Quantity::Percent, reduction);
}

// The first local maximum of force, where a plastic yields.
void FirstMaximum(const Analysis& a, const Specimen& s, TestResults& out) {
    const std::vector<Turn> turns = SignificantTurns(a.curve.force, 0, a.last(), a.tolerance);
    const auto maximum =
        std::find_if(turns.begin(), turns.end(), [](const Turn& turn) { return turn.maximum; });
    const std::size_t first = maximum == turns.end() ? a.peak : maximum->index;
    Add(out, "Stress at first local maximum (σy)", Quantity::Stress,
        s.areaReason.empty() ? Is(a.curve.force[first] / s.area) : Why(s.areaReason));
}

void EmptyAll(TestResults& out,
              const std::vector<std::pair<std::string, Quantity>>& names,
              const std::string& reason) {
    for (const auto& [name, quantity] : names) {
        out.results.push_back(Empty(name, quantity, reason));
    }
}

} // namespace

void TensionResults(const Analysis& a, const TestInput& input, TestResults& out) {
    const double offset = input.settings.proofOffsetPercent;
    const std::string proofName =
        "Proof strength at " + OffsetText(offset) + "% offset (Rp" + OffsetText(offset) + ")";
    if (!a.curveReason.empty()) {
        std::vector<std::pair<std::string, Quantity>> names = {
            {"Maximum force (Fm)", Quantity::Force},
            {"Tensile strength (Rm)", Quantity::Stress},
            {"Modulus of elasticity (E)", Quantity::Stress},
            {proofName, Quantity::Stress},
            {"Upper yield strength (ReH)", Quantity::Stress},
            {"Lower yield strength (ReL)", Quantity::Stress},
            {"Yield point elongation (Ae)", Quantity::Percent},
            {"Percentage total extension at maximum force, nominal (Agt)", Quantity::Percent},
            {"Plastic extension at maximum force, nominal (Ag)", Quantity::Percent},
            {"Total extension at fracture, nominal (At)", Quantity::Percent},
            {"Elongation after fracture (A)", Quantity::Percent},
            {"Reduction of area (Z)", Quantity::Percent}};
        if (input.settings.firstLocalMaximum) {
            names.emplace_back("Stress at first local maximum (σy)", Quantity::Stress);
        }
        EmptyAll(out, names, a.curveReason);
        return;
    }
    const Specimen s = SpecimenOf(input, "gauge length not entered");
    Add(out, "Maximum force (Fm)", Quantity::Force, Is(a.peakForce));
    const Outcome rm = s.areaReason.empty() ? Is(a.peakForce / s.area) : Why(s.areaReason);
    Add(out, "Tensile strength (Rm)", Quantity::Stress, rm);
    const Outcome e = Modulus(a, s);
    Add(out, "Modulus of elasticity (E)", Quantity::Stress, e);
    Add(out, proofName, Quantity::Stress, Proof(a, s, offset, out));
    YieldPoint(a, s, out);
    Extensions(a, s, rm, e, out);
    Ductility(input, s, out);
    if (input.settings.firstLocalMaximum) {
        FirstMaximum(a, s, out);
    }
}

void CompressionResults(const Analysis& a, const TestInput& input, TestResults& out) {
    const double offset = input.settings.proofOffsetPercent;
    const std::string proofName = "Compressive proof strength at " + OffsetText(offset) +
                                  "% offset (Rpc" + OffsetText(offset) + ")";
    if (!a.curveReason.empty()) {
        EmptyAll(out,
                 {{"Maximum force (Fm)", Quantity::Force},
                  {"Compressive strength (Rmc)", Quantity::Stress},
                  {"Modulus of elasticity in compression (Ec)", Quantity::Stress},
                  {proofName, Quantity::Stress}},
                 a.curveReason);
        return;
    }
    const Specimen s = SpecimenOf(input, "specimen height not entered");
    Add(out, "Maximum force (Fm)", Quantity::Force, Is(a.peakForce));
    Add(out, "Compressive strength (Rmc)", Quantity::Stress,
        s.areaReason.empty() ? Is(a.peakForce / s.area) : Why(s.areaReason));
    Add(out, "Modulus of elasticity in compression (Ec)", Quantity::Stress, Modulus(a, s));
    Add(out, proofName, Quantity::Stress, Proof(a, s, offset, out));
}
