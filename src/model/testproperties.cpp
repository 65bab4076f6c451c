#include "model/testproperties.h"

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "standards/straightfit.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace {

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
constexpr std::int32_t kReadingSpan = 65536; // raw readings are 0 to 65535

// Converted points are kept in single precision, as the record gives them,
// so that a million of them stay small; hand-made curves come in double.
template <typename Real> using Points = std::vector<Real>;

// The readings the points are chosen on, unrounded and in one unit whatever
// the display units, and the factors that take them to the display units.
// For hand-made curves they are the curve itself with factors of 1.
struct Readings {
    const std::vector<double>& x;
    const std::vector<double>& y;
    double loadScale = 1.0;
    double dispScale = 1.0;
};

// Area under the curve from the first point to point `last` (0-based) by the
// trapezoid rule.
template <typename Real>
double Energy(const Points<Real>& x, const Points<Real>& y, std::size_t last) {
    double area = 0.0;
    for (std::size_t i = 0; i < last; ++i) {
        area += (double{x[i + 1]} - double{x[i]}) * (double{y[i]} + double{y[i + 1]}) * 0.5;
    }
    return area;
}

// Index of the point before the largest drop of load from the peak on; the
// first of equal drops. Empty when the load never drops.
template <typename Real>
std::optional<std::size_t> BreakIndex(const Points<Real>& y, std::size_t peak) {
    std::optional<std::size_t> at;
    double largest = 0.0;
    for (std::size_t i = peak; i + 1 < y.size(); ++i) {
        const double drop = double{y[i]} - double{y[i + 1]};
        if (drop > largest) {
            largest = drop;
            at = i;
        }
    }
    return at;
}

// Where the line of slope `modulus` from the offset strain first meets the
// stress-strain curve, among points 0 to `last`, interpolated between the
// points on either side. Strains count from `origin`, where the fitted line
// meets zero load (in the readings' unit). Stress and strain are worked out
// point by point from the unrounded readings in the display units.
std::optional<double> OffsetYield(const Readings& r,
                                  double area,
                                  double length,
                                  double modulus,
                                  double origin,
                                  std::size_t last) {
    const auto x = [&r, origin](std::size_t i) { return (r.x[i] - origin) * r.dispScale; };
    const auto y = [&r](std::size_t i) { return r.y[i] * r.loadScale; };
    double before = 0.0;
    for (std::size_t i = 0; i <= last; ++i) {
        const double gap = y(i) / area - modulus * (x(i) / length - kYieldOffsetStrain);
        if (gap <= 0.0) {
            if (i == 0) {
                return y(0) / area;
            }
            const double t = before / (before - gap);
            return (y(i - 1) + t * (y(i) - y(i - 1))) / area;
        }
        before = gap;
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

template <typename Real>
void ComputeMaterial(TestProperties& p,
                     const Points<Real>& x,
                     const Readings& r,
                     std::optional<std::size_t> breakAt,
                     double area,
                     double length,
                     double origin) {
    p.ultimateStrength = PropertyValue::Of(p.peakLoad.value / area);
    if (breakAt) {
        p.elongationAtBreak = PropertyValue::Of(x[*breakAt] / length * kPercent);
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
        OffsetYield(r, area, length, modulus, origin, breakAt.value_or(x.size() - 1));
    p.yieldStrength = yield ? PropertyValue::Of(*yield) : PropertyValue::Missing(Absence::NoYield);
}

// The window is chosen on the readings; its slope is theirs in the display
// units. Gives where the line meets zero load, in the readings' unit.
double ComputeStiffness(TestProperties& p, const Readings& r, std::size_t peak) {
    const FitOutcome fit = FitStraightPart(r.x, r.y, peak, kWindowFromPeakShare * r.y[peak],
                                           kWindowToPeakShare * r.y[peak], kMinimumRSquared);
    if (!fit.fit) {
        p.stiffness = p.stiffnessFirstPoint = p.stiffnessLastPoint = PropertyValue::Missing(
            fit.tooFewPoints ? Absence::TooFewPoints : Absence::NoStraightPart);
        return 0.0;
    }
    p.stiffness = PropertyValue::Of(fit.fit->slope * r.loadScale / r.dispScale);
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
// crossing) is chosen on the readings `r`; the values at the chosen points
// are the display points `x` and `y`, so that the two units give the same
// points and values that differ only by the units and their rounding.
template <typename Real>
TestProperties Compute(const Points<Real>& x,
                       const Points<Real>& y,
                       const Readings& r,
                       std::int32_t testType,
                       std::int32_t units,
                       double area,
                       double length) {
    if (x.size() < kMinPoints || y.size() != x.size() || r.x.size() != x.size() ||
        r.y.size() != x.size()) {
        return AllMissing(Absence::TooFewPoints);
    }
    const std::size_t peak =
        static_cast<std::size_t>(std::max_element(r.y.begin(), r.y.end()) - r.y.begin());
    if (peak == 0 || !(r.y[peak] > r.y[0])) {
        return AllMissing(Absence::NoRise);
    }
    const double energyScale = units == kUnitsEnglish ? 1.0 : kJoulesPerNewtonMm;
    TestProperties p;
    p.peakLoad = PropertyValue::Of(y[peak]);
    p.peakDisplacement = PropertyValue::Of(x[peak]);
    p.energyToPeak = PropertyValue::Of(Energy(x, y, peak) * energyScale);
    const auto breakAt = BreakIndex(r.y, peak);
    if (breakAt) {
        p.breakPoint = PropertyValue::Of(static_cast<double>(*breakAt + 1));
        p.breakLoad = PropertyValue::Of(y[*breakAt]);
        p.breakDisplacement = PropertyValue::Of(x[*breakAt]);
        p.energyToBreak = PropertyValue::Of(Energy(x, y, *breakAt) * energyScale);
    } else {
        p.breakPoint = p.breakLoad = p.breakDisplacement = p.energyToBreak =
            PropertyValue::Missing(Absence::NoBreak);
    }
    const double origin = ComputeStiffness(p, r, peak);
    if (testType != kTestTension) {
        p.ultimateStrength = p.youngsModulus = p.yieldStrength = p.elongationAtBreak =
            PropertyValue::Missing(Absence::NotTension);
    } else if (!(area > 0.0) || !(length > 0.0)) {
        p.ultimateStrength = p.youngsModulus = p.yieldStrength = p.elongationAtBreak =
            PropertyValue::Missing(Absence::NoDimensions);
    } else {
        ComputeMaterial(p, x, r, breakAt, area, length, origin);
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
    return Compute(x, y, Readings{x, y}, testType, units, area, length);
}

TestProperties ComputeTestProperties(const Experiment& experiment, std::int32_t units) {
    try {
        const auto count = static_cast<std::size_t>(std::max(experiment.Count(), 0));
        Points<float> x;
        Points<float> y;
        std::vector<double> readingX;
        std::vector<double> readingY;
        x.reserve(count);
        y.reserve(count);
        readingX.reserve(count);
        readingY.reserve(count);
        const double direction = experiment.direction();
        const float ratio = experiment.LoadCellRatio();
        const std::int32_t offset = experiment.LoadCellOffset();
        const std::int32_t referenceDisp =
            count > 0 ? experiment.DigitalDisplacement().Value(1) : 0;
        const std::int32_t referenceLoad = count > 0 ? experiment.DigitalLoad().Value(1) : 0;
        // A load depends on its raw reading alone, and a long test repeats
        // the same readings many times: each is converted once.
        std::vector<float> loadByReading(kReadingSpan, std::numeric_limits<float>::quiet_NaN());
        for (std::size_t i = 0; i < count; ++i) {
            const auto point = static_cast<std::int32_t>(i + 1);
            x.push_back(experiment.Displacement(point, units));
            const std::int32_t reading = experiment.DigitalLoad().Value(point);
            readingX.push_back(direction *
                               ReadingInches(referenceDisp, referenceLoad,
                                             experiment.DigitalDisplacement().Value(point), reading,
                                             ratio, offset));
            readingY.push_back(direction * ReadingLbf(reading, ratio, offset));
            if (reading < 0 || reading >= kReadingSpan) {
                y.push_back(experiment.load(point, units));
                continue;
            }
            float& load = loadByReading[static_cast<std::size_t>(reading)];
            if (std::isnan(load)) {
                load = experiment.load(point, units);
            }
            y.push_back(load);
        }
        // The specimen's dimensions in the display units, so that a stress
        // is in psi or MPa and a strain the same number in both; 0 when not
        // known.
        const SpecimenRecord& specimen = experiment.specimen();
        const bool known = HasStressDimensions(specimen);
        const double area = known ? SpecimenArea(specimen, units) : 0.0;
        const double length = known ? StrainLength(specimen, units) : 0.0;
        const Readings readings{readingX, readingY, LoadUnitsPerLbf(units),
                                DisplacementUnitsPerInch(units)};
        return Compute(x, y, readings, experiment.TestType(), units, area, length);
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
