#include "model/gfunctions.h"

#include "model/checkedmath.h"
#include "model/eventpump.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace {

constexpr std::int32_t kLoadZeroCounts = 32768;
constexpr std::int32_t kLoadFullScaleLbf = 1000;
constexpr double kLoadFullScaleCounts = 32768.0;
constexpr double kNewtonsPerLbf = 4.44822167;
constexpr double kLoadStepsPerLbf = 5.0;
constexpr double kDisplacementSpanCounts = 65535.0;
constexpr double kDisplacementSpanInches = 4.0;
constexpr double kFrameDeflectionInchPerLbf = 0.00001;

std::array<std::string, 3> gUnitNames;
std::array<std::string, 6> gTestTypeNames;

template <std::size_t N>
const std::string& TableEntry(const std::array<std::string, N>& table, std::int32_t code) {
    if (code < 0 || static_cast<std::size_t>(code) >= N) {
        throw std::out_of_range("Subscript out of range");
    }
    return table[static_cast<std::size_t>(code)];
}

} // namespace

void InitNameTables() {
    gUnitNames = {"", "ENGLISH", "METRIC"};
    gTestTypeNames = {"", "HARDNESS", "COMPRESSION", "TENSION", "SHEAR", "STRUCTURES"};
}

const std::string& UnitNames(std::int32_t units) {
    return TableEntry(gUnitNames, units);
}

const std::string& TestTypeNames(std::int32_t testType) {
    return TableEntry(gTestTypeNames, testType);
}

float DigitalToLoad(std::int32_t raw, std::int32_t units, float ratio, std::int32_t offset) {
    const std::int32_t fromZero = checked::Sub(checked::Sub(raw, kLoadZeroCounts), offset);
    const std::int32_t magnitude = checked::Abs(fromZero);
    const double scaled = static_cast<double>(checked::Mul(magnitude, kLoadFullScaleLbf));
    const float lbf = checked::Single(scaled / kLoadFullScaleCounts * static_cast<double>(ratio));

    double value = 0.0;
    if (units == kUnitsMetric) {
        const float newtons = checked::Single(static_cast<double>(lbf) * kNewtonsPerLbf);
        value = std::floor(static_cast<double>(newtons) + 0.5);
    } else {
        value = std::floor(static_cast<double>(lbf) * kLoadStepsPerLbf + 0.5) / kLoadStepsPerLbf;
    }
    // Readings above the zero point are the tension side: negative loads.
    if (fromZero > 0) {
        value = -value;
    }
    return checked::Single(value);
}

float DigitalToDisplacement(std::int32_t referenceDisp,
                            std::int32_t referenceLoad,
                            std::int32_t disp,
                            std::int32_t load,
                            std::int32_t units,
                            float ratio,
                            std::int32_t offset) {
    const float deflection = FrameDeflection(referenceLoad, load, ratio, offset);
    return DisplacementOf(DisplacementTravel(referenceDisp, disp), deflection, referenceDisp > disp,
                          units);
}

// The machine's own frame deflects under load; its share of the travel is
// always worked out in pounds-force, whatever units are asked for. The
// difference is taken in double, where it is exact, so that the deflection
// is rounded to single precision once only.
float FrameDeflection(std::int32_t referenceLoad,
                      std::int32_t load,
                      float ratio,
                      std::int32_t offset) {
    const double loadChangeLbf =
        static_cast<double>(DigitalToLoad(load, kUnitsEnglish, ratio, offset)) -
        static_cast<double>(DigitalToLoad(referenceLoad, kUnitsEnglish, ratio, offset));
    return checked::Single(loadChangeLbf * kFrameDeflectionInchPerLbf);
}

float DisplacementTravel(std::int32_t referenceDisp, std::int32_t disp) {
    const double counts = static_cast<double>(checked::Sub(referenceDisp, disp));
    return checked::Single(counts / kDisplacementSpanCounts * kDisplacementSpanInches);
}

double ReadingLbf(std::int32_t raw, float ratio, std::int32_t offset) {
    const double fromZero = static_cast<double>(raw) - kLoadZeroCounts - offset;
    return -fromZero * kLoadFullScaleLbf / kLoadFullScaleCounts * static_cast<double>(ratio);
}

double ReadingInches(std::int32_t referenceDisp,
                     std::int32_t referenceLoad,
                     std::int32_t disp,
                     std::int32_t load,
                     float ratio,
                     std::int32_t offset) {
    const double deflection =
        (ReadingLbf(load, ratio, offset) - ReadingLbf(referenceLoad, ratio, offset)) *
        kFrameDeflectionInchPerLbf;
    const double travel = (static_cast<double>(referenceDisp) - disp) / kDisplacementSpanCounts *
                          kDisplacementSpanInches;
    const double inches = std::fabs(travel) - std::fabs(deflection);
    return referenceDisp > disp ? -inches : inches;
}

double LoadUnitsPerLbf(std::int32_t units) {
    return units == kUnitsMetric ? kNewtonsPerLbf : 1.0;
}

double DisplacementUnitsPerInch(std::int32_t units) {
    return units == kUnitsMetric ? gfunctions::kMmPerInch : 1.0;
}

std::optional<std::int32_t> RoundToInt32(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

void WaitSeconds(EventPump& pump, std::int16_t seconds) {
    const std::int64_t start = pump.WholeSeconds();
    pump.ProcessPendingEvents();
    if (pump.WholeSeconds() - start < seconds) {
        pump.WaitUntilSecond(start + seconds);
    }
}
