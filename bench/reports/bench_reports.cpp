// Times the PDF report of a 1,000,000-point test and of a specimen set of
// twenty 12,000-point tests, from the experiments in memory to the file on
// the disk, and gives the files' sizes. Prints one line per figure with its
// limit; the best of several runs counts, as the machine may be shared.
// Then, each in a process of its own so that its peak memory is its own,
// the report of a tension test whose displacement grows and of a cyclic one
// whose displacement goes back and forth over its range 400 times, of
// 1,000,000 and 20,000,000 points: time, size and the peak memory beyond
// what the test's readings take. Runs under the offscreen platform.
// Usage: bench_reports [POINTS SHAPE]   (SHAPE monotonic or back-and-forth:
// that report only)

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "reports/reportcontent.h"
#include "reports/reportwriter.h"
#include "support/childcases.h"
#include "support/walltimes.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {
constexpr int kRuns = 3;
constexpr double kLimitSeconds = 2.0;
constexpr double kLimitMegabytes = 2.0;
// What a report may take beyond the test's readings, whatever its length.
constexpr double kLimitBeyondMegabytes = 150.0;

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

// Readings as bench_navigation makes them: the load follows the
// displacement; back and forth, each return falls lower than each advance.
void FillShaped(Experiment& experiment, std::int32_t points, bool backAndForth) {
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestTension);
    std::uint32_t noise = 12345;
    for (std::int32_t i = 0; i < points; ++i) {
        double along = static_cast<double>(i) / points;
        double lift = 1.0;
        if (backAndForth) {
            const double stroke = along * 400.0;
            const double within = stroke - std::floor(stroke);
            const bool returning = static_cast<int>(stroke) % 2 == 1;
            along = returning ? 1.0 - within : within;
            // Each stroke takes a path of its own, lower than the one before.
            lift = (returning ? 0.6 : 1.0) * (1.0 - 0.5 * stroke / 400.0);
        }
        noise = noise * 1103515245u + 12345u;
        const auto jitter = static_cast<std::int32_t>((noise >> 16) % 5) - 2;
        experiment.AddDataPoint(
            32768 + static_cast<std::int32_t>(20000.0 * lift * std::sin(along * 2.6)) + jitter,
            62000 - static_cast<std::int32_t>(along * 60000.0));
    }
}

// The most memory the process has held since the last ResetPeak, and what
// it holds now, from the kernel's account of it.
double StatusMegabytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(std::strlen(field)))
                       .trimmed()
                       .split(' ')
                       .value(0)
                       .toDouble() /
                   1024.0;
    return 0.0;
}

void ResetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// One report in this process: its time, its file's size, and the most
// memory it held beyond what the process held before (the test's readings),
// while its content was made (the property table's computation included)
// and while its pages were written (the chart's drawing).
int RunShaped(std::int32_t points, bool backAndForth) {
    QTemporaryDir folder;
    Experiment test;
    FillShaped(test, points, backAndForth);
    const QString file = folder.filePath("shaped.pdf");
    const auto start = std::chrono::steady_clock::now();
    ResetPeak();
    double before = StatusMegabytes("VmRSS:");
    const ReportContent content =
        SpecimenReport(test, {"shaped.tdf", {}, false}, {"S-1", "6061 aluminium", "J. Ortiz", {}},
                       kUnitsEnglish, 1);
    const double making = StatusMegabytes("VmHWM:") - before;
    ResetPeak();
    before = StatusMegabytes("VmRSS:");
    ReportWriter(content).write(file);
    const double writing = StatusMegabytes("VmHWM:") - before;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double readings = static_cast<double>(test.DigitalLoad().CapacityBytes() +
                                                test.DigitalDisplacement().CapacityBytes()) /
                            1048576.0;
    const double megabytes = QFileInfo(file).size() / 1e6;
    const bool ok = megabytes < kLimitMegabytes && writing < kLimitBeyondMegabytes;
    std::printf("report of %8d points %-14s %6.2f s  %6.3f MB (limit %.0f MB)  readings %4.0f MB; "
                "beyond them, content %4.0f MB, pages %4.0f MB (limit %.0f MB)  %s\n",
                points, backAndForth ? "back-and-forth" : "monotonic", seconds, megabytes,
                kLimitMegabytes, readings, making, writing, kLimitBeyondMegabytes,
                ok ? "ok" : "OVER");
    return ok ? 0 : 1;
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
    if (argc == 3)
        return RunShaped(std::atoi(argv[1]), QByteArray(argv[2]) == "back-and-forth");
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

    return RunLongCasesInChildren();
}
