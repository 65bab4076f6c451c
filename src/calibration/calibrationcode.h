#pragma once

class SettingsStore;

// The stored load-cell calibration, section "Calibration" of the settings
// store: "Load Cell" (sensitivity in mV/V, as typed) and "Load Cell Offset"
// (zero offset in raw counts). Each read makes the stored value current
// (model/currentcalibration.h) and answers false, changing nothing, when the
// entry is absent or empty.
bool ReadLoadCellRatio(const SettingsStore& settings);
bool ReadLoadCellOffset(const SettingsStore& settings);
