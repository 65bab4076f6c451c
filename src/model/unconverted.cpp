#include "model/unconverted.h"

#include "model/experiment.h"
#include "model/gfunctions.h"

#include <cmath>
#include <exception>

namespace {

constexpr std::int32_t kLowestReading = 0;
constexpr std::int32_t kHighestReading = 65535;
// A zeroing averages readings from mid-scale: its offset lies within these.
constexpr std::int32_t kLowestOffset = -32768;
constexpr std::int32_t kHighestOffset = 32767;

bool IsReading(std::int32_t value) {
    return value >= kLowestReading && value <= kHighestReading;
}

std::string OutsideReadings(const std::string& what, std::int32_t value) {
    return what + " " + PlainNumberText(value) + " is outside 0 to 65535";
}

// Readings and an offset within what the machine gives, and a ratio below
// this, keep every step of the conversions far inside the 32-bit and the
// single-precision range (at most 65535 counts times 1000, loads of at most
// 2000 times the ratio): such a test converts throughout, and only its raw
// readings need be looked at.
constexpr float kLargestSafeRatio = 1.0e30F;

bool ConvertsThroughout(const Experiment& experiment) {
    const float ratio = experiment.LoadCellRatio();
    const std::int32_t offset = experiment.LoadCellOffset();
    if (!(std::fabs(ratio) <= kLargestSafeRatio) || offset < kLowestOffset ||
        offset > kHighestOffset)
        return false;
    for (std::int32_t i = 1; i <= experiment.Count(); ++i) {
        if (!IsReading(experiment.DigitalLoad().Value(i)) ||
            !IsReading(experiment.DigitalDisplacement().Value(i)))
            return false;
    }
    return true;
}

} // namespace

std::string
ConversionFailureReason(const Experiment& experiment, std::int32_t load, std::int32_t disp) {
    if (!IsReading(load))
        return OutsideReadings("its load reading", load);
    if (!IsReading(disp))
        return OutsideReadings("its displacement reading", disp);
    if (experiment.Count() > 0) {
        const std::int32_t referenceLoad = experiment.DigitalLoad().Value(1);
        const std::int32_t referenceDisp = experiment.DigitalDisplacement().Value(1);
        if (!IsReading(referenceLoad))
            return OutsideReadings("the load reading of point 1, from which displacements are "
                                   "measured,",
                                   referenceLoad);
        if (!IsReading(referenceDisp))
            return OutsideReadings("the displacement reading of point 1, from which "
                                   "displacements are measured,",
                                   referenceDisp);
    }
    const std::int32_t offset = experiment.LoadCellOffset();
    if (offset < kLowestOffset || offset > kHighestOffset)
        return "the load-cell offset " + PlainNumberText(offset) +
               " of the test's calibration is outside -32768 to 32767";
    return "the load-cell ratio " + PlainNumberText(experiment.LoadCellRatio()) +
           " of the test's calibration makes the load too large to compute";
}

std::string PointFailureText(const Experiment& experiment, std::int32_t index) {
    return "point " + PlainNumberText(index) + " of " + PlainNumberText(experiment.Count()) +
           " does not convert: " +
           ConversionFailureReason(experiment, experiment.DigitalLoad().Value(index),
                                   experiment.DigitalDisplacement().Value(index));
}

UnconvertedPoints FindUnconvertedPoints(const Experiment& experiment, std::int32_t units) {
    UnconvertedPoints found;
    if (ConvertsThroughout(experiment))
        return found;
    const std::int32_t count = experiment.Count();
    for (std::int32_t i = 1; i <= count; ++i) {
        try {
            experiment.load(i, units);
            experiment.Displacement(i, units);
        } catch (const std::exception&) {
            if (found.count++ == 0) {
                found.first = i;
                found.reason =
                    ConversionFailureReason(experiment, experiment.DigitalLoad().Value(i),
                                            experiment.DigitalDisplacement().Value(i));
            }
        }
    }
    return found;
}

std::string UnconvertedPointsText(const UnconvertedPoints& unconverted, std::int32_t total) {
    if (unconverted.count == 0)
        return {};
    const std::string first = "point " + PlainNumberText(unconverted.first);
    if (unconverted.count == total)
        return "None of the " + PlainNumberText(total) +
               " points of this test can be converted to a load and a displacement, so none is "
               "shown: " +
               first + ", the first, does not convert because " + unconverted.reason + ".";
    const std::string shown = unconverted.count == 1
                                  ? "1 of the " + PlainNumberText(total) + " points of this test"
                                  : PlainNumberText(unconverted.count) + " of the " +
                                        PlainNumberText(total) + " points of this test";
    return shown + " cannot be converted to a load and a displacement and " +
           (unconverted.count == 1 ? "is" : "are") + " left out of the chart; " + first +
           ", the first, does not convert because " + unconverted.reason + ".";
}
