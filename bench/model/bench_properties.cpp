// Times the test properties of a 1,000,000-point tension test with its
// dimensions entered, in both units, against their limit of 0.1 s. The best
// of several runs counts, as the machine may be shared; the verdict is on the
// processor time, which other processes sharing the cores do not inflate
// (the wall time is printed beside it).

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/testproperties.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <utility>

namespace {

constexpr std::int32_t kPoints = 1'000'000;
constexpr int kRuns = 9;
constexpr double kLimitSeconds = 0.1;

// Straight to 70% of 600 lbf over the first 40%, flattening to the peak over
// 0.8 inch of travel, then a break to nothing.
void Fill(Experiment& experiment) {
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestTension);
    for (std::int32_t i = 0; i < kPoints - 1; ++i) {
        const double f = static_cast<double>(i) / kPoints;
        const double share =
            f < 0.4 ? 0.7 * f / 0.4
                    : 0.7 + 0.3 * (1.0 - (1.0 - (f - 0.4) / 0.6) * (1.0 - (f - 0.4) / 0.6));
        experiment.AddDataPoint(32768 + static_cast<std::int32_t>(share * 600 * 32.768),
                                60000 - static_cast<std::int32_t>(f * 0.8 * 16383.75));
    }
    experiment.AddDataPoint(32768, 60000 - static_cast<std::int32_t>(0.8 * 16383.75));
    experiment.SetSampleWidth(0.5f);
    experiment.SetSampleThickness(0.25f);
    experiment.SetSampleLength(2.0f);
}

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Best wall time and best processor time over kRuns runs: on a shared
// machine the wall time also counts the time other processes had the core.
std::pair<double, double>
Best(std::int32_t units, TestProperties& result, const Experiment& experiment) {
    double wall = 1e9;
    double processor = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const double startProcessor = ProcessorSeconds();
        result = ComputeTestProperties(experiment, units);
        processor = std::min(processor, ProcessorSeconds() - startProcessor);
        wall = std::min(
            wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return {wall, processor};
}

} // namespace

int main() {
    InitNameTables();
    Experiment experiment;
    Fill(experiment);
    for (const std::int32_t units : {kUnitsEnglish, kUnitsMetric}) {
        TestProperties p;
        const auto [wall, processor] = Best(units, p, experiment);
        std::printf("properties of 1,000,000 points (%s): wall %.4f s, processor %.4f s, "
                    "limit %.2f s  %s  (peak %g, stiffness %g, yield %g)\n",
                    UnitNames(units).c_str(), wall, processor, kLimitSeconds,
                    processor < kLimitSeconds ? "ok" : "OVER", p.peakLoad.value, p.stiffness.value,
                    p.yieldStrength.value);
    }
    return 0;
}
