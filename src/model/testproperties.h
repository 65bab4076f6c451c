#pragma once

#include "model/statistics.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Experiment;

// Why a property has no value.
enum class Absence {
    None,          // the property has a value
    TooFewPoints,  // the curve has too few points for it
    NoRise,        // the load never rises above its first reading
    NoBreak,       // no drop of load after the peak
    NotTension,    // a material property of tension tests only
    NoDimensions,  // the sample's dimensions were not entered
    NoYield,       // the offset line never meets the curve
    NotComputable, // the readings do not convert (an absurd calibration)
    // the readings between 10% and 40% of the peak are not straight
    NoStraightPart,
};

// The operator's words for an absence, e.g. "no break".
std::string AbsenceText(Absence absence);

// One computed value, or the reason there is none.
struct PropertyValue {
    double value = 0.0;
    Absence absence = Absence::None;

    bool present() const { return absence == Absence::None; }
    static PropertyValue Of(double value) { return {value, Absence::None}; }
    static PropertyValue Missing(Absence why) { return {0.0, why}; }
};

// The properties of one test in one units code. Loads in lbf or N,
// displacements in inches or mm, energies in lbf*inch or J, stiffness in
// lbf/inch or N/mm; stresses in psi or MPa (the load over the specimen's
// area in square inches or square millimetres) and strains the displacement
// over its gauge length in the same unit, exactly as the stress against
// strain chart plots them. Point numbers count
// from 1, as the experiment's do.
struct TestProperties {
    PropertyValue peakLoad;
    PropertyValue peakDisplacement;
    PropertyValue breakPoint; // the last point before the largest drop after the peak
    PropertyValue breakLoad;
    PropertyValue breakDisplacement;
    PropertyValue energyToPeak;
    PropertyValue energyToBreak;
    PropertyValue stiffness;
    PropertyValue stiffnessFirstPoint; // the window the slope was fitted over
    PropertyValue stiffnessLastPoint;
    PropertyValue ultimateStrength;
    PropertyValue youngsModulus;
    PropertyValue yieldStrength;     // at 0.2% offset strain
    PropertyValue elongationAtBreak; // percent
};

// Computes every property from the experiment's points in `units` (1 English,
// 2 metric). The points (peak, break, stiffness window, yield crossing) are
// chosen on the unrounded readings, so both units choose the same ones; the
// values are those of the chosen points as displayed, the stiffness and the
// yield strength those of the readings. Never throws: a value that cannot be
// computed, or that is beyond single precision, carries its reason.
TestProperties ComputeTestProperties(const Experiment& experiment, std::int32_t units);

// The same from converted points (x displacement, y load), for a test of
// `testType` whose sample is `area` by `length` in the units of the points
// (square inches and inches with lbf and inches; 0 when not known).
TestProperties ComputeTestProperties(const std::vector<double>& displacement,
                                     const std::vector<double>& load,
                                     std::int32_t testType,
                                     std::int32_t units,
                                     double area,
                                     double length);

// The properties as a table of named columns, shared by the export tool and
// the windows so that they list the same values under the same headings.
struct PropertyColumn {
    std::string heading; // with its unit, e.g. "Peak load (lbf)"
    bool pointNumber;    // a point number, not a measured quantity
    PropertyValue TestProperties::*member;
};
std::vector<PropertyColumn> PropertyColumns(std::int32_t units);

// A value as the tables and the export show it: at most seven significant
// digits, a zero before the point below 1; point numbers as whole numbers.
std::string PropertyText(const PropertyValue& value, bool pointNumber);

// The statistics of one column over a specimen set, over the tests that have
// a value in it. Point numbers are not measurements: theirs stay empty.
ColumnStatistics ColumnStatisticsOf(const std::vector<TestProperties>& tests,
                                    const PropertyColumn& column);
