// Times the PDF report of a 1,000,000-point test and of a specimen set of
// twenty 12,000-point tests, from the experiments in memory to the file on
// the disk, and gives the files' sizes. Prints one line per figure with its
// limit; the best of several runs counts, as the machine may be shared.
// Runs under the offscreen platform.

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "reports/reportcontent.h"
#include "reports/reportwriter.h"
#include "support/walltimes.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr int kRuns = 3;
constexpr double kLimitSeconds = 2.0;
constexpr double kLimitMegabytes = 2.0;

// A tension test of `points` readings: the load rises and falls with a ripple
// of noise, the displacement grows, as acquired.
Experiment TensionTest(std::int32_t points, int seed) {
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestTension);
    for (std::int32_t i = 0; i < points; ++i) {
        const double along = static_cast<double>(i) / points;
        const double load = 9000.0 * std::sin(3.0 * along) * (1.0 - along) + (i * 7919 + seed) % 41;
        experiment.AddDataPoint(32768 + static_cast<std::int32_t>(load),
                                1000 + static_cast<std::int32_t>(along * (50000 + seed * 100)));
    }
    return experiment;
}

double Best(const std::function<void()>& step) {
    return WallTimes(kRuns, step).front();
}

void Print(const char* what, double seconds, const QString& file) {
    const double megabytes = QFileInfo(file).size() / 1e6;
    std::printf("%-40s %7.3f s (limit %.0f s)  %6.3f MB (limit %.0f MB)  %s\n", what, seconds,
                kLimitSeconds, megabytes, kLimitMegabytes,
                seconds < kLimitSeconds && megabytes < kLimitMegabytes ? "ok" : "OVER");
}
} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    InitNameTables();
    QTemporaryDir folder;
    const ReportFields fields{"S-1", "6061 aluminium", "J. Ortiz", {}};

    const Experiment large = TensionTest(1'000'000, 0);
    const QString single = folder.filePath("single.pdf");
    const double singleSeconds = Best([&] {
        const ReportContent content =
            SpecimenReport(large, {"large.tdf", {}, false}, fields, kUnitsEnglish, 1);
        ReportWriter(content).write(single);
    });
    Print("report of a 1,000,000-point test", singleSeconds, single);

    std::vector<Experiment> tests;
    for (int i = 0; i < 20; ++i)
        tests.push_back(TensionTest(12'000, i));
    std::vector<ReportSpecimen> specimens;
    for (int i = 0; i < 20; ++i)
        specimens.push_back({QString("specimen-%1.tdf").arg(i + 1, 2, 10, QChar('0')), &tests[i]});
    const QString set = folder.filePath("set.pdf");
    const double setSeconds = Best([&] {
        const ReportContent content = SetReport(specimens, fields, kUnitsEnglish);
        ReportWriter(content).write(set);
    });
    Print("report of twenty 12,000-point tests", setSeconds, set);
    return 0;
}
