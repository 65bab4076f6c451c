// Times every result of a 1,000,000-point test of each kind against the limit
// of 0.1 s. The curve is a specimen at the simulator's scale with a toe, a
// yield drop and a serrated plateau, hardening, a flat top and a fracture,
// in whole counts with the simulator's noise. The best of several runs
// counts, as the machine may be shared; the verdict is on the processor
// time, which other processes sharing the cores do not inflate (the wall
// time is printed beside it).

#include "standards/results.h"
#include "support/walltimes.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kPoints = 1'000'000;
constexpr int kRuns = 9;
constexpr double kLimitSeconds = 0.1;
constexpr double kLbfPerCount = 1000.0 / 32768.0;
constexpr double kInchPerCount = 4.0 / 65535.0;

// Stress (psi) at a strain: straight at 120 ksi to 3000 psi, a drop to 2600,
// serrations between 2700 and 2850 to 1.5% strain, hardening to 4000 psi by
// 10%, flat to 12%, then the fracture.
double Stress(double strain) {
    if (strain < 0.025) {
        return 120e3 * strain;
    }
    if (strain < 0.04) {
        const double phase = std::fmod((strain - 0.025) / 0.004, 1.0);
        return 2700 + 150 * std::fabs(2 * phase - 1);
    }
    if (strain < 0.12) {
        return 2800 + 1200 * (1 - std::exp(-(strain - 0.04) / 0.02));
    }
    return 2800 + 1200 * (1 - std::exp(-4.0));
}

void Fill(std::vector<double>& force, std::vector<double>& extension) {
    std::mt19937 random(1);
    std::uniform_int_distribution<int> forceNoise(-2, 2), extensionNoise(-1, 1);
    const double toe = 0.004, area = 0.1, gauge = 2.0, k = 120e3 * area / gauge;
    for (std::size_t i = 0; i < kPoints; ++i) {
        const double strain = 0.14 * static_cast<double>(i) / kPoints;
        const double x = strain * gauge + toe;
        double f = x < 2 * toe ? k * x * x / (4 * toe) : Stress(strain) * area;
        if (i + 1 == kPoints) {
            f = 0.0; // the fracture
        }
        force.push_back((std::round(f / kLbfPerCount) + forceNoise(random)) * kLbfPerCount);
        extension.push_back((std::round(x / kInchPerCount) + extensionNoise(random)) *
                            kInchPerCount);
    }
}

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace

int main() {
    std::vector<double> force, extension;
    Fill(force, extension);
    TestInput input;
    input.area = 0.1;
    input.gaugeLength = 2.0;
    input.span = 4.0;
    input.beamWidth = 0.5;
    input.beamDepth = 0.25;
    input.pinDiameter = 0.25;
    input.settings.firstLocalMaximum = true;
    for (const auto& [kind, name] : {std::pair{TestKind::Tension, "tension"},
                                     {TestKind::Compression, "compression"},
                                     {TestKind::Shear, "shear"},
                                     {TestKind::Beam, "beam"},
                                     {TestKind::Structure, "structure"}}) {
        input.kind = kind;
        TestResults results;
        double processor = 1e9;
        const std::vector<double> wall = WallTimes(kRuns, [&] {
            const double start = ProcessorSeconds();
            results = ComputeResults(force, extension, input);
            processor = std::min(processor, ProcessorSeconds() - start);
        });
        std::printf("%-11s results of 1,000,000 points: wall %.4f s, processor %.4f s, "
                    "limit %.2f s  %s\n",
                    name, wall.front(), processor, kLimitSeconds,
                    processor < kLimitSeconds ? "ok" : "OVER");
        for (const Result& result : results.results) {
            std::printf("    %s: %s\n", result.name.c_str(),
                        result.value ? ShortNumber(*result.value, 6).c_str()
                                     : result.reason.c_str());
        }
    }
    return 0;
}
