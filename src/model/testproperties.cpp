#include "model/testproperties.h"

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/propertycurves.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace {

using propertycurves::ExperimentCurve;
using propertycurves::GivenCurve;
using propertycurves::Shown;

constexpr std::size_t kMinPoints = 2; // a curve needs two points
// The stiffness is the least-squares line through the readings between 10%
// and 40% of the peak load: above the toe, below the first yielding of a
// ductile specimen, however few of the points lie there. A fit whose
// r-squared falls below the bound is no straight part.
constexpr double kWindowFromPeakShare = 0.10;
constexpr double kWindowToPeakShare = 0.40;
constexpr double kMinimumRSquared = 0.995;
constexpr double kJoulesPerNewtonMm = 0.001;
constexpr double kYieldOffsetStrain = 0.002; // the 0.2% offset
constexpr double kPercent = 100.0;

// The area under the curve from `from` to `to`, by the trapezoid rule.
double Trapezoid(const Shown& from, const Shown& to) {
    return (to.x - from.x) * (from.y + to.y) * 0.5;
}

// The pass over every point: whether all convert, the peak (the first of
// the largest force readings), the point shown there and the area under
// the shown curve up to it.
struct PeakPass {
    bool converts = true;
    std::size_t peak = 0;
    Shown atPeak;
    double energy = 0.0;
};

template <typename Curve> PeakPass FindPeak(const Curve& curve) {
    PeakPass found;
    double largest = 0.0;
    double area = 0.0;
    Shown before;
    for (std::size_t i = 0; i < curve.size(); ++i) {
        Shown point;
        if (!curve.shown(i, point)) {
            found.converts = false;
            return found;
        }
        if (i > 0) {
            area += Trapezoid(before, point);
        }
        const double reading = curve.force(i);
        if (i == 0 || largest < reading) {
            largest = reading;
            found.peak = i;
            found.atPeak = point;
            found.energy = area;
        }
        before = point;
    }
    return found;
}

// The break: the point before the largest drop of the force readings from
// the peak on (the first of equal drops), the point shown there and the
// area up to it. No break when the load never drops.
struct BreakPass {
    std::optional<std::size_t> at;
    Shown point;
    double energy = 0.0;
};

template <typename Curve> BreakPass FindBreak(const Curve& curve, const PeakPass& peak) {
    BreakPass found;
    double largest = 0.0;
    double area = peak.energy;
    Shown here = peak.atPeak;
    double reading = curve.force(peak.peak);
    for (std::size_t i = peak.peak; i + 1 < curve.size(); ++i) {
        const double next = curve.force(i + 1);
        const double drop = reading - next;
        if (drop > largest) {
            largest = drop;
            found.at = i;
            found.point = here;
            found.energy = area;
        }
        Shown after;
        curve.shown(i + 1, after); // every point converts: the peak's pass saw it
        area += Trapezoid(here, after);
        here = after;
        reading = next;
    }
    return found;
}

// Where the line of slope `modulus` from the offset strain first meets the
// stress-strain curve, among points 0 to `last`, interpolated between the
// points on either side. Strains count from `origin`, where the fitted line
// meets zero load (in the readings' unit). Stress and strain are worked out
// point by point from the unrounded readings in the display units.
template <typename Curve>
std::optional<double> OffsetYield(const Curve& curve,
                                  double area,
                                  double length,
                                  double modulus,
                                  double origin,
                                  std::size_t last) {
    const auto x = [&curve, origin](std::size_t i) {
        return (curve.extension(i) - origin) * curve.dispScale;
    };
    const auto y = [&curve](std::size_t i) { return curve.force(i) * curve.loadScale; };
    double before = 0.0;
    double stressBefore = 0.0;
    for (std::size_t i = 0; i <= last; ++i) {
        const double stress = y(i);
        const double gap = stress / area - modulus * (x(i) / length - kYieldOffsetStrain);
        if (gap <= 0.0) {
            if (i == 0) {
                return stress / area;
            }
            const double t = before / (before - gap);
            return (stressBefore + t * (stress - stressBefore)) / area;
        }
        before = gap;
        stressBefore = stress;
    }
    return std::nullopt;
}

TestProperties AllMissing(Absence why) {
    TestProperties properties;
    for (const PropertyColumn& column : PropertyColumns(kUnitsEnglish)) {
        properties.*column.member = PropertyValue::Missing(why);
    }
    return properties;
}

template <typename Curve>
void ComputeMaterial(TestProperties& p,
                     const Curve& curve,
                     const BreakPass& breakAt,
                     double area,
                     double length,
                     double origin) {
    p.ultimateStrength = PropertyValue::Of(p.peakLoad.value / area);
    if (breakAt.at) {
        p.elongationAtBreak = PropertyValue::Of(breakAt.point.x / length * kPercent);
    } else {
        p.elongationAtBreak = PropertyValue::Missing(Absence::NoBreak);
    }
    if (!p.stiffness.present()) {
        p.youngsModulus = p.yieldStrength = PropertyValue::Missing(p.stiffness.absence);
        return;
    }
    const double modulus = p.stiffness.value * length / area;
    p.youngsModulus = PropertyValue::Of(modulus);
    const auto yield =
        OffsetYield(curve, area, length, modulus, origin, breakAt.at.value_or(curve.size() - 1));
    p.yieldStrength = yield ? PropertyValue::Of(*yield) : PropertyValue::Missing(Absence::NoYield);
}

// The window is chosen on the readings; its slope is theirs in the display
// units. Gives where the line meets zero load, in the readings' unit.
template <typename Curve>
double ComputeStiffness(TestProperties& p, const Curve& curve, std::size_t peak) {
    const double peakForce = curve.force(peak);
    const FitOutcome fit = FitStraightPart(curve, peak, kWindowFromPeakShare * peakForce,
                                           kWindowToPeakShare * peakForce, kMinimumRSquared);
    if (!fit.fit) {
        p.stiffness = p.stiffnessFirstPoint = p.stiffnessLastPoint = PropertyValue::Missing(
            fit.tooFewPoints ? Absence::TooFewPoints : Absence::NoStraightPart);
        return 0.0;
    }
    p.stiffness = PropertyValue::Of(fit.fit->slope * curve.loadScale / curve.dispScale);
    p.stiffnessFirstPoint = PropertyValue::Of(static_cast<double>(fit.fit->first + 1));
    p.stiffnessLastPoint = PropertyValue::Of(static_cast<double>(fit.fit->last + 1));
    return fit.fit->origin;
}

// The tables show values in single precision.
bool ShowsFinite(double value) {
    return std::fabs(value) <= std::numeric_limits<float>::max();
}

// A value the tables cannot show as a finite number is no value: the
// readings do not convert.
void DropNonFinite(TestProperties& p) {
    for (const PropertyColumn& column : PropertyColumns(kUnitsEnglish)) {
        PropertyValue& value = p.*column.member;
        if (value.present() && !ShowsFinite(value.value)) {
            value = PropertyValue::Missing(Absence::NotComputable);
        }
    }
}

// Every point (the peak, the break, the stiffness window, the yield
// crossing) is chosen on the readings; the values at the chosen points are
// the points as shown, so that the two units give the same points and
// values that differ only by the units and their rounding.
template <typename Curve>
TestProperties
Compute(const Curve& curve, std::int32_t testType, std::int32_t units, double area, double length) {
    const PeakPass peak = FindPeak(curve);
    if (!peak.converts) {
        return AllMissing(Absence::NotComputable);
    }
    if (curve.size() < kMinPoints) {
        return AllMissing(Absence::TooFewPoints);
    }
    if (peak.peak == 0 || !(curve.force(peak.peak) > curve.force(0))) {
        return AllMissing(Absence::NoRise);
    }
    const double energyScale = units == kUnitsEnglish ? 1.0 : kJoulesPerNewtonMm;
    TestProperties p;
    p.peakLoad = PropertyValue::Of(peak.atPeak.y);
    p.peakDisplacement = PropertyValue::Of(peak.atPeak.x);
    p.energyToPeak = PropertyValue::Of(peak.energy * energyScale);
    const BreakPass breakAt = FindBreak(curve, peak);
    if (breakAt.at) {
        p.breakPoint = PropertyValue::Of(static_cast<double>(*breakAt.at + 1));
        p.breakLoad = PropertyValue::Of(breakAt.point.y);
        p.breakDisplacement = PropertyValue::Of(breakAt.point.x);
        p.energyToBreak = PropertyValue::Of(breakAt.energy * energyScale);
    } else {
        p.breakPoint = p.breakLoad = p.breakDisplacement = p.energyToBreak =
            PropertyValue::Missing(Absence::NoBreak);
    }
    const double origin = ComputeStiffness(p, curve, peak.peak);
    if (testType != kTestTension) {
        p.ultimateStrength = p.youngsModulus = p.yieldStrength = p.elongationAtBreak =
            PropertyValue::Missing(Absence::NotTension);
    } else if (!(area > 0.0) || !(length > 0.0)) {
        p.ultimateStrength = p.youngsModulus = p.yieldStrength = p.elongationAtBreak =
            PropertyValue::Missing(Absence::NoDimensions);
    } else {
        ComputeMaterial(p, curve, breakAt, area, length, origin);
    }
    DropNonFinite(p);
    return p;
}

} // namespace

std::string AbsenceText(Absence absence) {
    switch (absence) {
    case Absence::None:
        return {};
    case Absence::TooFewPoints:
        return "too few points";
    case Absence::NoRise:
        return "no rise";
    case Absence::NoBreak:
        return "no break";
    case Absence::NotTension:
        return "tension tests only";
    case Absence::NoDimensions:
        return "no sample dimensions";
    case Absence::NoYield:
        return "offset line never meets the curve";
    case Absence::NotComputable:
        return "readings do not convert";
    case Absence::NoStraightPart:
        return "no straight part found";
    }
    return {};
}

TestProperties ComputeTestProperties(const std::vector<double>& x,
                                     const std::vector<double>& y,
                                     std::int32_t testType,
                                     std::int32_t units,
                                     double area,
                                     double length) {
    if (y.size() != x.size()) {
        return AllMissing(Absence::TooFewPoints);
    }
    return Compute(GivenCurve(x, y), testType, units, area, length);
}

TestProperties ComputeTestProperties(const Experiment& experiment, std::int32_t units) {
    try {
        // The specimen's dimensions in the display units, so that a stress
        // is in psi or MPa and a strain the same number in both; 0 when not
        // known.
        const SpecimenRecord& specimen = experiment.specimen();
        const bool known = HasStressDimensions(specimen);
        const double area = known ? SpecimenArea(specimen, units) : 0.0;
        const double length = known ? StrainLength(specimen, units) : 0.0;
        return Compute(ExperimentCurve(experiment, units), experiment.TestType(), units, area,
                       length);
    } catch (const std::exception&) {
        return AllMissing(Absence::NotComputable);
    }
}

std::vector<PropertyColumn> PropertyColumns(std::int32_t units) {
    const bool english = units == kUnitsEnglish;
    const std::string load = english ? " (lbf)" : " (N)";
    const std::string disp = english ? " (inch)" : " (mm)";
    const std::string energy = english ? " (lbf*inch)" : " (J)";
    const std::string stiffness = english ? " (lbf/inch)" : " (N/mm)";
    const std::string stress = english ? " (lbs/sq. inch)" : " (MPa)";
    using P = TestProperties;
    return {
        {"Peak load" + load, false, &P::peakLoad},
        {"Displacement at peak" + disp, false, &P::peakDisplacement},
        {"Break point", true, &P::breakPoint},
        {"Load at break" + load, false, &P::breakLoad},
        {"Displacement at break" + disp, false, &P::breakDisplacement},
        {"Energy to peak" + energy, false, &P::energyToPeak},
        {"Energy to break" + energy, false, &P::energyToBreak},
        {"Stiffness" + stiffness, false, &P::stiffness},
        {"Stiffness from point", true, &P::stiffnessFirstPoint},
        {"Stiffness to point", true, &P::stiffnessLastPoint},
        {"Ultimate tensile strength" + stress, false, &P::ultimateStrength},
        {"Young's modulus" + stress, false, &P::youngsModulus},
        {"Yield strength at 0.2% offset" + stress, false, &P::yieldStrength},
        {"Elongation at break (%)", false, &P::elongationAtBreak},
    };
}

std::string PropertyText(const PropertyValue& value, bool pointNumber) {
    if (!value.present()) {
        return {};
    }
    if (pointNumber) {
        return PlainNumberText(static_cast<std::int32_t>(std::lround(value.value)));
    }
    return PlainNumberText(static_cast<float>(value.value));
}

ColumnStatistics ColumnStatisticsOf(const std::vector<TestProperties>& tests,
                                    const PropertyColumn& column) {
    if (column.pointNumber) {
        return {};
    }
    std::vector<double> values;
    for (const TestProperties& test : tests) {
        const PropertyValue& value = test.*column.member;
        if (value.present()) {
            values.push_back(value.value);
        }
    }
    // A statistic the tables cannot show as a finite number stays empty.
    ColumnStatistics statistics = Statistics(values);
    for (std::optional<double>* value :
         {&statistics.mean, &statistics.standardDeviation, &statistics.coefficientOfVariation}) {
        if (*value && !ShowsFinite(**value)) {
            value->reset();
        }
    }
    return statistics;
}
