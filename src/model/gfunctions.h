#pragma once

#include "model/checkedmath.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class EventPump;
class Experiment;

// Units codes and test-type codes shared by the whole program.
inline constexpr std::int32_t kUnitsEnglish = 1; // pounds-force, inches
inline constexpr std::int32_t kUnitsMetric = 2;  // newtons, millimetres

inline constexpr std::int32_t kTestNone = 0;
inline constexpr std::int32_t kTestHardness = 1;
inline constexpr std::int32_t kTestCompression = 2;
inline constexpr std::int32_t kTestTension = 3;
inline constexpr std::int32_t kTestShear = 4;
inline constexpr std::int32_t kTestStructures = 5;

// Name tables, indexed by code; entry 0 is empty. Filled once at start-up.
// A code outside the table throws std::out_of_range.
void InitNameTables();
const std::string& UnitNames(std::int32_t units);
const std::string& TestTypeNames(std::int32_t testType);

// Raw counts to physical values. Integer overflow in the raw arithmetic, and a
// result too large for single precision, throw std::overflow_error.
float DigitalToLoad(std::int32_t raw, std::int32_t units, float ratio, std::int32_t offset);
float DigitalToDisplacement(std::int32_t referenceDisp,
                            std::int32_t referenceLoad,
                            std::int32_t disp,
                            std::int32_t load,
                            std::int32_t units,
                            float ratio,
                            std::int32_t offset);
// The parts DigitalToDisplacement is made of, for a caller that works each
// out once per raw reading: the frame's deflection under the load change
// and the crosshead's travel, in inches, and the displacement in `units`
// they make, negative when the displacement reading `fell` below the
// reference.
float FrameDeflection(std::int32_t referenceLoad,
                      std::int32_t load,
                      float ratio,
                      std::int32_t offset);
float DisplacementTravel(std::int32_t referenceDisp, std::int32_t disp);
inline float DisplacementOf(float travel, float deflection, bool fell, std::int32_t units);
// The readings themselves, in double and before any display rounding: the
// load in pounds-force and the displacement in inches, signed as the two
// above sign theirs. Points are chosen on these, so that the choice is the
// same in either display units. The factors take them to the display units.
double ReadingLbf(std::int32_t raw, float ratio, std::int32_t offset);
double ReadingInches(std::int32_t referenceDisp,
                     std::int32_t referenceLoad,
                     std::int32_t disp,
                     std::int32_t load,
                     float ratio,
                     std::int32_t offset);
double LoadUnitsPerLbf(std::int32_t units);
double DisplacementUnitsPerInch(std::int32_t units);
// DigitalToLoad with the calibration currently in force (currentcalibration.h).
float LiveLoad(std::int32_t raw, std::int32_t units);
float CurrentLoadCellRatio();
// The offset as a single-precision number; round it back with RoundToInt32.
float CurrentLoadCellOffset();

// Rounds to the nearest 32-bit integer, halves to the even neighbour; empty
// when the result does not fit (or the value is not a number).
std::optional<std::int32_t> RoundToInt32(double value);

// Waits until the whole-second clock has advanced by `seconds`, letting window
// events run meanwhile (at least once, even for 0 or less).
void WaitSeconds(EventPump& pump, std::int16_t seconds);

// The hardness number of a hardness test, 0 when there is none. A number
// outside the 16-bit range throws std::overflow_error.
std::int16_t HardnessNumber(const Experiment& experiment);

// The number at the head of a text, 0 when there is none. Blanks, tabs and
// line feeds anywhere are ignored; "&H" and "&O" introduce hexadecimal and
// octal digits. A value beyond the double range reads as an infinity.
// Never throws.
double LeadingNumber(std::string_view text);

// Number texts with a sign position (a blank before a value that is not
// negative, no zero before the point below 1), as written to files and grids.
std::string NumberText(std::int32_t value);
std::string NumberText(float value);
std::string NumberText(double value);
// The same digits without the sign position and with a zero before the point,
// as shown in entry and summary boxes.
std::string PlainNumberText(std::int32_t value);
std::string PlainNumberText(float value);
std::string PlainNumberText(double value);
// As PlainNumberText, rounded to `digits` significant digits and without an
// exponent for values below 10 to the power `digits` in magnitude (so
// 7.071068E-05 to 4 digits is "0.00007071"), for tables read beside others.
std::string FixedNumberText(double value, int digits);

// The displacement's arithmetic, inline: a long test's conversion does it
// for every point.
namespace gfunctions {
inline constexpr double kMmPerInch = 25.4;
inline constexpr double kInchStepsPerInch = 10000.0;
inline constexpr double kMmStepsPerMm = 500.0;

// std::floor without the call to the library for the values a displacement
// takes.
inline double FloorOf(double value) {
    constexpr double kExactWhole = 4503599627370496.0; // 2^52
    if (!(std::fabs(value) < kExactWhole))
        return std::floor(value);
    const auto whole = static_cast<double>(static_cast<std::int64_t>(value));
    if (whole == value)
        return value; // whole already, minus zero kept
    return whole > value ? whole - 1.0 : whole;
}
} // namespace gfunctions

inline float DisplacementOf(float travel, float deflection, bool fell, std::int32_t units) {
    using namespace gfunctions;
    const float inches = std::fabs(travel) - std::fabs(deflection);
    double value = 0.0;
    if (units == kUnitsMetric) {
        const float mm = checked::Single(static_cast<double>(inches) * kMmPerInch);
        value = FloorOf(static_cast<double>(mm) * kMmStepsPerMm + 0.5) / kMmStepsPerMm;
    } else {
        value = FloorOf(static_cast<double>(inches) * kInchStepsPerInch + 0.5) / kInchStepsPerInch;
    }
    // The sign follows the raw readings: positive when the reading has risen.
    if (fell) {
        value = -value;
    }
    return checked::Single(value);
}
