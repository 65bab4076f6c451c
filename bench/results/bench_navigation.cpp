// Times what the operator does to a shown test of many points: one wheel
// step of zoom, one arrow-key pan and one switch of units, each until the
// window has painted, for a tension test whose displacement only grows and
// for one whose displacement goes back and forth over its range (a cyclic
// test), each of 1,000,000 and 20,000,000 points. Each test runs in a process
// of its own so that the peak memory printed is its own. The best of the
// runs counts, as the machine may be shared.
// Usage: bench_navigation [POINTS SHAPE]   (no arguments: every case in turn;
// SHAPE is "monotonic" or "back-and-forth")

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "results/resultschart.h"
#include "results/resultsview.h"
#include "support/childcases.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWheelEvent>
#include <QXYSeries>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kRuns = 3;
constexpr double kLimitSeconds = 0.5;
constexpr QSize kClientPixels(660, 427);
constexpr int kStatusBarPixels = 25;
// Strokes of a back-and-forth test over its whole range of displacement.
constexpr int kStrokes = 400;

// Raw readings of a tension test: the load follows the displacement with a
// few counts of noise. Back and forth, the displacement sweeps its range
// kStrokes times and the load falls back on each return, so every stroke
// takes its own path across the plot.
void Fill(Experiment& experiment, std::int32_t points, bool backAndForth) {
    experiment.Clear();
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestTension);
    std::uint32_t noise = 12345;
    for (std::int32_t i = 0; i < points; ++i) {
        const double progress = static_cast<double>(i) / points;
        noise = noise * 1103515245u + 12345u;
        const auto jitter = static_cast<std::int32_t>((noise >> 16) % 5) - 2;
        double along = progress;
        double lift = 1.0;
        if (backAndForth) {
            const double stroke = progress * kStrokes;
            const double within = stroke - std::floor(stroke);
            const bool returning = static_cast<int>(stroke) % 2 == 1;
            along = returning ? 1.0 - within : within;
            // Each stroke takes a path of its own, lower than the one before.
            lift = (returning ? 0.6 : 1.0) * (1.0 - 0.5 * stroke / kStrokes);
        }
        const auto rise = static_cast<std::int32_t>(20000.0 * lift * std::sin(along * 2.6));
        experiment.AddDataPoint(32768 + rise + jitter,
                                62000 - static_cast<std::int32_t>(along * 60000.0));
    }
}

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall and processor seconds of a step until the window has painted.
struct Seconds {
    double wall = 1e9;
    double processor = 1e9;
    void keepBest(const Seconds& other) {
        wall = std::min(wall, other.wall);
        processor = std::min(processor, other.processor);
    }
};

Seconds SecondsUntilPainted(QWidget& window, const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    const double processor = ProcessorSeconds();
    step();
    QCoreApplication::processEvents();
    window.repaint();
    return {static_cast<double>(timer.nsecsElapsed()) / 1e9, ProcessorSeconds() - processor};
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Wheel(QWidget& viewport, int notches) {
    const QPointF at(viewport.width() / 2.0, viewport.height() / 2.0);
    QWheelEvent event(at, viewport.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&viewport, &event);
}

struct Figures {
    Seconds zoom;
    Seconds pan;
    Seconds units;
};

int RunCase(std::int32_t points, bool backAndForth) {
    QWidget window;
    auto* view = new ResultsView(&window);
    view->setIndependentAxes(true);
    window.resize(kClientPixels);
    view->fitToClientArea(kClientPixels, kStatusBarPixels);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    Experiment experiment;
    Fill(experiment, points, backAndForth);
    QElapsedTimer timer;
    timer.start();
    view->ShowResults(experiment, kUnitsEnglish, 1, true);
    const double shown = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    auto* chart = view->findChild<ResultsChart*>(QStringLiteral("chart"));
    chart->setFocus();
    Figures best;
    std::int32_t units = kUnitsEnglish;
    for (int run = 0; run < kRuns; ++run) {
        best.zoom.keepBest(SecondsUntilPainted(window, [&] { Wheel(*chart->viewport(), 1); }));
        best.pan.keepBest(
            SecondsUntilPainted(window, [&] { QTest::keyClick(chart, Qt::Key_Right); }));
        units = units == kUnitsEnglish ? kUnitsMetric : kUnitsEnglish;
        best.units.keepBest(
            SecondsUntilPainted(window, [&] { view->ShowResults(experiment, units, 1, true); }));
    }
    // Processor time counts: the wall time of a shared machine's busy cores
    // says more about the other processes than about this one.
    const bool ok = best.zoom.processor < kLimitSeconds && best.pan.processor < kLimitSeconds &&
                    best.units.processor < kLimitSeconds;
    std::printf("%9d points %-14s first show %5.2f s  zoom step %5.3f s (wall %5.3f)  pan %5.3f s "
                "(wall %5.3f)  unit switch %5.3f s (wall %5.3f), limit %.1f s  line %5lld points  "
                "peak %5.0f MB  %s\n",
                points, backAndForth ? "back-and-forth" : "monotonic", shown, best.zoom.processor,
                best.zoom.wall, best.pan.processor, best.pan.wall, best.units.processor,
                best.units.wall, kLimitSeconds,
                static_cast<long long>(
                    static_cast<QXYSeries*>(chart->chart()->series().constFirst())->count()),
                PeakMegabytes(), ok ? "ok" : "OVER");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitNameTables();
    if (argc == 3)
        return RunCase(std::atoi(argv[1]), QByteArray(argv[2]) == "back-and-forth");
    return RunLongCasesInChildren();
}
