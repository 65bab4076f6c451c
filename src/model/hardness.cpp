#include "model/experiment.h"
#include "model/gfunctions.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

constexpr float kHardnessStartInches = 0.005f;
constexpr float kHardnessEndInches = 0.015f;
constexpr double kHardnessLbfPerInchPerUnit = 500.0;

struct Marks {
    std::int32_t start = 0;
    std::int32_t end = 0;
};

// The first points whose displacement reaches the start and end thresholds;
// 0 for a threshold that is never reached.
Marks FindMarks(const Experiment& experiment) {
    Marks marks;
    for (std::int32_t i = 1; i <= experiment.Count() && (marks.start == 0 || marks.end == 0); ++i) {
        const float d = experiment.Displacement(i, kUnitsEnglish);
        if (marks.start == 0 && d >= kHardnessStartInches) {
            marks.start = i;
        }
        if (marks.end == 0 && d >= kHardnessEndInches) {
            marks.end = i;
        }
    }
    return marks;
}

// Least-squares slope of load against displacement in lbf per inch, with the
// sums kept in single precision.
double Slope(const Experiment& experiment, const Marks& marks) {
    float sumX = 0.0f;
    float sumY = 0.0f;
    float sumXX = 0.0f;
    float sumXY = 0.0f;
    for (std::int32_t i = marks.start; i <= marks.end; ++i) {
        const float x = experiment.Displacement(i, kUnitsEnglish);
        const float y = experiment.load(i, kUnitsEnglish);
        sumX += x;
        sumY += y;
        sumXX += x * x;
        sumXY += x * y;
    }
    const double n = marks.end - marks.start + 1;
    const double x = sumX;
    const double y = sumY;
    return (n * static_cast<double>(sumXY) - y * x) / (n * static_cast<double>(sumXX) - x * x);
}

} // namespace

std::int16_t HardnessNumber(const Experiment& experiment) {
    if (experiment.TestType() != kTestHardness || experiment.Count() < 1) {
        return 0;
    }
    const Marks marks = FindMarks(experiment);
    if (marks.start == 0 || marks.end == 0 || marks.end <= marks.start) {
        return 0;
    }
    const double number = std::nearbyint(Slope(experiment, marks) / kHardnessLbfPerInchPerUnit);
    if (!(number >= std::numeric_limits<std::int16_t>::min() &&
          number <= std::numeric_limits<std::int16_t>::max())) {
        throw std::overflow_error("Overflow");
    }
    return static_cast<std::int16_t>(number);
}
