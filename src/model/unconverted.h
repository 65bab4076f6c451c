#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class Experiment;

// Readings that do not convert: a damaged data file, journal or calibration
// can hold readings or a calibration far outside what the machine gives, and
// the conversions then overflow. These say which points are hit and why, in
// the operator's words, so that the rest can still be shown. Window thread.

// A conversion that failed, with the reason as the operator reads it.
class ConversionError : public std::overflow_error {
public:
    explicit ConversionError(const std::string& reason) : std::overflow_error(reason) {}
};

// Why readings `load` and `disp` of `experiment` (with its point 1 as the
// reference of displacements) do not convert: the first reading or
// calibration value outside what the machine gives, or the calibration's
// ratio as too large.
std::string
ConversionFailureReason(const Experiment& experiment, std::int32_t load, std::int32_t disp);

// "point P of N does not convert: <reason>", for a point of `experiment`.
std::string PointFailureText(const Experiment& experiment, std::int32_t index);

struct UnconvertedPoints {
    std::int32_t count = 0; // points whose load or displacement does not convert
    std::int32_t first = 0; // the first such point, 0 when none
    std::string reason;     // why the first does not
};

// Every point of `experiment` tried in `units`.
UnconvertedPoints FindUnconvertedPoints(const Experiment& experiment, std::int32_t units);

// One sentence for the operator naming how many of the test's points do not
// convert, the first of them and why; empty when all convert.
std::string UnconvertedPointsText(const UnconvertedPoints& unconverted, std::int32_t total);
