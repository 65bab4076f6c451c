#include "model/currentcalibration.h"

#include "model/gfunctions.h"

#include <stdexcept>

namespace {

// The calibration in force; 0 until the stored calibration is read.
float gLoadCellRatio = 0.0f;
std::int32_t gLoadCellOffset = 0;

} // namespace

void SetCurrentLoadCellRatio(float ratio) {
    gLoadCellRatio = ratio;
}

void SetCurrentLoadCellOffset(std::int32_t offset) {
    gLoadCellOffset = offset;
}

float CurrentLoadCellRatio() {
    return gLoadCellRatio;
}

float CurrentLoadCellOffset() {
    return static_cast<float>(gLoadCellOffset);
}

float LiveLoad(std::int32_t raw, std::int32_t units) {
    // The offset travels as a single and is rounded back, as every caller of
    // CurrentLoadCellOffset does; offsets of a real load cell survive exactly.
    const auto offset = RoundToInt32(CurrentLoadCellOffset());
    if (!offset) {
        throw std::overflow_error("Overflow");
    }
    return DigitalToLoad(raw, units, CurrentLoadCellRatio(), *offset);
}
