#include "calibration/calibrationcode.h"

#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/settingsstore.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

namespace {

// A load cell of this sensitivity gives 1000 lbf at 32768 counts from zero,
// that is a load-cell ratio of 1.
constexpr double kReferenceSensitivityMilliVoltPerVolt = 3.906;
// No load cell has a full scale a million times that of the reference cell; a
// ratio beyond this comes from a damaged entry and would drive the converted
// loads out of the single-precision range.
constexpr double kLargestRatio = 1.0e6;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without the blanks, tabs and line feeds that the number reader
// skips wherever they stand.
std::string Packed(const QString& text) {
    std::string packed;
    for (const char c : text.toStdString()) {
        if (c != ' ' && c != '\t' && c != '\n')
            packed.push_back(c);
    }
    return packed;
}

// True when the text starts with a number as the number reader takes it:
// an optional sign, an optional point and a digit, or "&H"/"&O" and a digit.
bool HasLeadingNumber(const QString& text) {
    const std::string packed = Packed(text);
    if (packed.size() >= 3 && packed[0] == '&') {
        const char base = static_cast<char>(packed[1] | 0x20);
        const char first = static_cast<char>(packed[2] | 0x20);
        if (base == 'h')
            return IsDigit(packed[2]) || (first >= 'a' && first <= 'f');
        if (base == 'o')
            return packed[2] >= '0' && packed[2] <= '7';
        return false;
    }
    std::size_t i = 0;
    if (i < packed.size() && (packed[i] == '+' || packed[i] == '-'))
        ++i;
    if (i < packed.size() && packed[i] == '.')
        ++i;
    return i < packed.size() && IsDigit(packed[i]);
}

// The sensitivity in mV/V, read by its leading number so that a text such as
// "3.5 mV/V" (which the dialog accepts) counts as 3.5. A text that gives no
// positive, finite sensitivity cannot yield a usable ratio, and one with a
// decimal comma would be read short ("3,906" as 3): both count as not stored.
std::optional<float> Sensitivity(const QString& text) {
    if (text.isEmpty() || HasDecimalComma(text))
        return std::nullopt;
    const auto sensitivity = static_cast<float>(LeadingNumber(text.toStdString()));
    if (!std::isfinite(sensitivity) || sensitivity <= 0.0F)
        return std::nullopt;
    return sensitivity;
}

// The stored offset in raw counts: the leading number rounded to the nearest
// whole count, halves to the even neighbour. No number counts as not stored,
// and so does an offset no zeroing can give (the mean of 16-bit readings lies
// within 32768 counts of mid-scale): such an entry is damaged, and one far
// enough out would overflow the load arithmetic.
constexpr double kLowestOffsetCounts = -32768.0;
constexpr double kHighestOffsetCounts = 32767.0;

std::optional<std::int32_t> StoredOffset(const QString& text) {
    if (!HasLeadingNumber(text))
        return std::nullopt;
    const double rounded = std::nearbyint(LeadingNumber(text.toStdString()));
    if (!(rounded >= kLowestOffsetCounts && rounded <= kHighestOffsetCounts))
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}
} // namespace

bool HasDecimalComma(const QString& text) {
    const std::string packed = Packed(text);
    std::size_t i = 0;
    if (i < packed.size() && (packed[i] == '+' || packed[i] == '-'))
        ++i;
    const std::size_t digitsFrom = i;
    while (i < packed.size() && IsDigit(packed[i]))
        ++i;
    return i > digitsFrom && i + 1 < packed.size() && packed[i] == ',' && IsDigit(packed[i + 1]);
}

bool UseLoadCellSensitivity(const QString& text) {
    const std::optional<float> sensitivity = Sensitivity(text);
    if (!sensitivity)
        return false;
    // Divided in double precision, kept in single precision.
    const auto ratio = static_cast<float>(kReferenceSensitivityMilliVoltPerVolt /
                                          static_cast<double>(*sensitivity));
    if (!std::isfinite(ratio) || ratio > kLargestRatio)
        return false;
    SetCurrentLoadCellRatio(ratio);
    return true;
}

bool ReadLoadCellRatio(const SettingsStore& settings) {
    return UseLoadCellSensitivity(settings.read(kCalibrationSection, kLoadCellKey));
}

bool ReadLoadCellOffset(const SettingsStore& settings) {
    const std::optional<std::int32_t> offset =
        StoredOffset(settings.read(kCalibrationSection, kLoadCellOffsetKey));
    if (!offset)
        return false;
    SetCurrentLoadCellOffset(*offset);
    return true;
}
