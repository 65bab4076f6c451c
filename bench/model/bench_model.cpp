// Times the experiment model's bulk operations on 1,000,000 points: appending
// them one at a time, saving and loading the data file, and the text export,
// and measures the memory the points take. Prints one line per figure with
// its limit; the best of several runs counts, as the machine may be shared.

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/operatormessages.h"
#include "support/walltimes.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::int32_t kPoints = 1'000'000;
constexpr int kRuns = 5;

class PrintMessages : public OperatorMessages {
public:
    void Inform(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

// A compression test whose load falls and displacement rises, as acquired.
void Fill(Experiment& experiment) {
    experiment.Clear();
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestCompression);
    for (std::int32_t i = 0; i < kPoints; ++i) {
        experiment.AddDataPoint(32768 - (i % 20000), 1000 + i % 60000);
    }
}

// Best and median wall time in seconds over kRuns runs of `step`.
std::pair<double, double> Time(const std::function<void()>& step) {
    const std::vector<double> seconds = WallTimes(kRuns, step);
    return {seconds.front(), seconds[seconds.size() / 2]};
}

void Report(const char* what, std::pair<double, double> seconds, double limit) {
    std::printf("%-34s %9.4f s  %9.4f s  %7.2f s   %s\n", what, seconds.first, seconds.second,
                limit, seconds.first < limit ? "ok" : "OVER");
}

double PointMemoryMegabytes() {
    const auto before = mallinfo2().uordblks;
    {
        Experiment experiment;
        Fill(experiment);
        const auto heap = static_cast<double>(mallinfo2().uordblks - before);
        const double series = static_cast<double>(experiment.DigitalLoad().CapacityBytes() +
                                                  experiment.DigitalDisplacement().CapacityBytes());
        std::printf("%-34s %9.2f MB (series capacity %.2f MB)  limit 20 MB   %s\n",
                    "memory of 1,000,000 points", heap / 1e6, series / 1e6,
                    heap / 1e6 < 20.0 ? "ok" : "OVER");
        return heap / 1e6;
    }
}

} // namespace

int main() {
    InitNameTables();
    const auto folder =
        std::filesystem::temp_directory_path() / ("bench_model_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string dataFile = (folder / "million.tdf").string();
    const std::string textFile = (folder / "million.txt").string();

    std::printf("%-34s %11s  %11s  %9s\n", "operation (1,000,000 points)", "best", "median",
                "limit");
    Experiment experiment;
    Report("AddDataPoint x 1,000,000", Time([&] { Fill(experiment); }), 0.1);
    Report("SaveFile", Time([&] { experiment.SaveFile(dataFile); }), 0.2);
    Experiment loaded;
    PrintMessages messages;
    Report("LoadFile", Time([&] { loaded.LoadFile(dataFile, messages); }), 0.2);
    Report("Export (English)", Time([&] { experiment.Export(textFile, kUnitsEnglish); }), 1.0);
    Report("Export (metric)", Time([&] { experiment.Export(textFile, kUnitsMetric); }), 1.0);
    std::printf("data file %.1f MB, export %.1f MB, loaded %d points\n",
                static_cast<double>(std::filesystem::file_size(dataFile)) / 1e6,
                static_cast<double>(std::filesystem::file_size(textFile)) / 1e6, loaded.Count());
    experiment.Clear();
    loaded.Clear();
    PointMemoryMegabytes();
    std::filesystem::remove_all(folder);
    return 0;
}
