#pragma once

#include <QString>

class SettingsStore;

// Where the calibration lives in the settings store.
inline const QString kCalibrationSection = QStringLiteral("Calibration");
inline const QString kLoadCellKey = QStringLiteral("Load Cell");
inline const QString kLoadCellOffsetKey = QStringLiteral("Load Cell Offset");

// The stored load-cell calibration, section "Calibration" of the settings
// store: "Load Cell" (sensitivity in mV/V, as typed) and "Load Cell Offset"
// (zero offset in raw counts). Each read makes the stored value current
// (model/currentcalibration.h) and answers false, changing nothing, when the
// entry is absent or empty.
//
// Both entries are read by their leading number, so "3.5 mV/V" is a
// sensitivity of 3.5 and the offset is rounded to whole counts (halves to
// even). An entry that gives no usable value (no number, a sensitivity of 0
// or below or with a decimal comma, an offset beyond 32 bits) counts as
// absent. Window thread.
bool ReadLoadCellRatio(const SettingsStore& settings);
bool ReadLoadCellOffset(const SettingsStore& settings);

// Makes a sensitivity text current as the load-cell ratio (3.906 / the
// sensitivity) as ReadLoadCellRatio does with the stored one; false, changing
// nothing, when the text gives no usable ratio.
bool UseLoadCellSensitivity(const QString& text);

// True when a comma between digits ends the number at the head of the text,
// as in "3,906": a decimal comma, which the number reader would stop at.
bool HasDecimalComma(const QString& text);
