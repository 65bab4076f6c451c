// Times ResultsView::ShowResults on a tension test of 12,000 points (30
// seconds at the line's full rate), 100,000, 1,000,000 and 10,000,000 points
// (a long unpaced run), until the results area has painted, and the scroll
// of the grid to its last row. From 1,000,000 points on it also times a
// resize of the window with the chart redrawn, and measures the scalable
// picture the clipboard gets of the chart. Each size runs in a process of
// its own so that its peak memory is its own.
// Usage: bench_results [POINTS]   (no argument: every size in turn)

#include "documents/chartprint.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "results/resultschart.h"
#include "results/resultsview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kRuns = 3;
// The results area of a main window at its design size, in pixels.
constexpr QSize kClientPixels(660, 427);
// The size a resize takes the window to and back from.
constexpr QSize kLargerClientPixels(900, 600);
constexpr int kStatusBarPixels = 25;

struct Limits {
    std::int32_t points;
    double showSeconds;
    double peakMegabytes; // 0: reported, no limit
    bool pictures;        // times a resize and measures the clipboard's picture
    double resizeSeconds; // 0: reported, no limit
};
constexpr Limits kSizes[] = {{12'000, 0.1, 0, false, 0},
                             {100'000, 0.05, 0, false, 0},
                             {1'000'000, 0.2, 120, true, 0.05},
                             {10'000'000, 2.0, 0, true, 0}};
constexpr double kScrollSeconds = 0.05;
constexpr qsizetype kMostSvgBytes = 1'000'000;

// A tension test over four inches: the load rises to a peak and falls to the
// break, with a few counts of noise as a real load cell gives.
void Fill(Experiment& experiment, std::int32_t points) {
    experiment.Clear();
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestTension);
    std::uint32_t noise = 12345;
    for (std::int32_t i = 0; i < points; ++i) {
        const double progress = static_cast<double>(i) / points;
        noise = noise * 1103515245u + 12345u;
        const auto jitter = static_cast<std::int32_t>((noise >> 16) % 5) - 2;
        const auto rise = static_cast<std::int32_t>(20000.0 * std::sin(progress * 2.6));
        experiment.AddDataPoint(32768 + rise + jitter,
                                62000 - static_cast<std::int32_t>(progress * 60000.0));
    }
}

// Runs the pending events, then paints the whole window at once: the time
// until the operator sees the result.
double SecondsUntilPainted(QWidget& window, const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    window.repaint();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A resize of the window there and back, each until painted, and the
// scalable picture of the chart as the clipboard gets it.
bool MeasurePictures(QWidget& window, ResultsView& view, double resizeLimit) {
    std::vector<double> resize;
    for (int run = 0; run < kRuns; ++run) {
        for (const QSize size : {kLargerClientPixels, kClientPixels}) {
            resize.push_back(SecondsUntilPainted(window, [&] {
                window.resize(size);
                view.fitToClientArea(size, kStatusBarPixels);
            }));
        }
    }
    std::sort(resize.begin(), resize.end());
    auto* chart = view.findChild<ResultsChart*>(QStringLiteral("chart"));
    QElapsedTimer timer;
    timer.start();
    const ChartPicture picture = DrawChart(*chart);
    const double pictureSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const bool ok =
        (resizeLimit == 0 || resize.front() < resizeLimit) && picture.svg.size() < kMostSvgBytes;
    std::printf("%9s         resize %6.1f ms (median %6.1f", "", resize.front() * 1e3,
                resize[resize.size() / 2] * 1e3);
    if (resizeLimit > 0)
        std::printf(", limit %.0f", resizeLimit * 1e3);
    std::printf(")  clipboard SVG %7.1f kB (limit %.0f), all pictures and text in %.3f s  %s\n",
                static_cast<double>(picture.svg.size()) / 1e3,
                static_cast<double>(kMostSvgBytes) / 1e3, pictureSeconds, ok ? "ok" : "OVER");
    return ok;
}

int RunSize(const Limits& limits) {
    QWidget window;
    auto* view = new ResultsView(&window);
    view->setIndependentAxes(true);
    view->setGridColumnWidths(1300);
    window.resize(kClientPixels);
    view->fitToClientArea(kClientPixels, kStatusBarPixels);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    Experiment experiment;
    Fill(experiment, limits.points);
    auto* grid = view->findChild<QTableView*>(QStringLiteral("grid"));

    std::vector<double> show;
    std::vector<double> scroll;
    for (int run = 0; run < kRuns; ++run) {
        view->ClearResults();
        SecondsUntilPainted(window, [] {});
        show.push_back(SecondsUntilPainted(
            window, [&] { view->ShowResults(experiment, kUnitsEnglish, 1, true); }));
        scroll.push_back(SecondsUntilPainted(window, [&] { grid->scrollToBottom(); }));
        grid->scrollToTop();
    }
    std::sort(show.begin(), show.end());
    std::sort(scroll.begin(), scroll.end());
    const double peak = PeakMegabytes();
    bool ok = show.front() < limits.showSeconds && scroll.front() < kScrollSeconds &&
              (limits.peakMegabytes == 0 || peak < limits.peakMegabytes);
    std::printf("%9d points  show %7.3f s (median %7.3f, limit %.2f)  scroll to last row "
                "%6.1f ms (median %6.1f)  peak %6.0f MB",
                limits.points, show.front(), show[kRuns / 2], limits.showSeconds,
                scroll.front() * 1e3, scroll[kRuns / 2] * 1e3, peak);
    if (limits.peakMegabytes > 0)
        std::printf(" (limit %.0f)", limits.peakMegabytes);
    std::printf("  grid rows %d  %s\n", view->gridRows(), ok ? "ok" : "OVER");
    if (limits.pictures)
        ok = MeasurePictures(window, *view, limits.resizeSeconds) && ok;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InitNameTables();
    if (argc == 2) {
        const std::int32_t points = std::atoi(argv[1]);
        for (const Limits& limits : kSizes) {
            if (limits.points == points)
                return RunSize(limits);
        }
        return RunSize({points, 1e9, 0, true, 0});
    }
    int failures = 0;
    for (const Limits& limits : kSizes) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QString::number(limits.points)});
        child.waitForFinished(-1);
        failures += child.exitCode() != 0 ? 1 : 0;
    }
    return failures == 0 ? 0 : 1;
}
