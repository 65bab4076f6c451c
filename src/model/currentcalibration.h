#pragma once

#include <cstdint>

// The load-cell calibration currently in force: ratio and zero offset in raw
// counts. Both are 0 until the stored calibration is read. The calibration
// store is their only writer; LiveLoad and the accessors in gfunctions.h read
// them. Window thread only.
void SetCurrentLoadCellRatio(float ratio);          // gLoadCellRatio
void SetCurrentLoadCellOffset(std::int32_t offset); // gLoadCellOffset
