// Times the Compare Tests window with ten 12,000-point tests: opening the
// files into it, and drawing it with every curve, against 1 s. Then, in a
// process of its own so that its peak memory is its own, the window with
// two tests of 20,000,000 points, the most a data file may hold (one whose
// displacement grows, one that goes back and forth over its range), opened
// and drawn, against 10 s and 1 GB. Runs on the offscreen platform unless
// another is chosen. The best of several runs counts, as the machine may be
// shared; processor time is printed beside the wall time, since other
// processes on the cores inflate the latter.
// Usage: bench_compare [FILE FILE]   (two files: open and draw them only)

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/dialogs.h"
#include "results/comparewindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

constexpr int kFiles = 10;
constexpr std::int32_t kPoints = 12'000;
constexpr int kRuns = 5;
constexpr double kLimitSeconds = 1.0;
constexpr double kLargeLimitSeconds = 10.0;
constexpr double kLargeLimitMegabytes = 1000.0;

// Answers nothing: the bench opens its files directly.
class SilentDialogs : public Dialogs {
public:
    Answer message(const QString& text, Icon, Buttons) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return Answer::Ok;
    }
    QString openFileName(const FileRequest&) override { return {}; }
    QString saveFileName(const FileRequest&) override { return {}; }
};

// Tension tests rising to a peak that differs a little from file to file.
void WriteFiles(const QTemporaryDir& dir) {
    for (int file = 0; file < kFiles; ++file) {
        Experiment experiment;
        experiment.SetLoadCellRatio(1.0f);
        experiment.SetTestType(kTestTension);
        for (std::int32_t i = 0; i < kPoints; ++i) {
            const double f = static_cast<double>(i) / kPoints;
            const double share = f < 0.4 ? 1.75 * f : 0.7 + 0.3 * (f - 0.4) / 0.6;
            experiment.AddDataPoint(
                32768 + static_cast<std::int32_t>(share * (500 + 10 * file) * 32.768),
                50000 - static_cast<std::int32_t>(f * 0.3 * 16383.75));
        }
        experiment.SaveFile(dir.filePath(QString("test%1.tdf").arg(file)).toStdString());
    }
}

// Two tests of kMostTestPoints points: a tension test whose displacement
// grows, and a cyclic one whose displacement sweeps its range 400 times.
void WriteLargeFiles(const QString& monotonic, const QString& backAndForth) {
    for (const bool cyclic : {false, true}) {
        Experiment experiment;
        experiment.SetLoadCellRatio(1.0f);
        experiment.SetTestType(kTestTension);
        for (std::int32_t i = 0; i < kMostTestPoints; ++i) {
            double along = static_cast<double>(i) / kMostTestPoints;
            if (cyclic) {
                const double stroke = along * 400.0;
                const double within = stroke - std::floor(stroke);
                along = static_cast<int>(stroke) % 2 == 1 ? 1.0 - within : within;
            }
            experiment.AddDataPoint(32768 +
                                        static_cast<std::int32_t>(20000.0 * std::sin(along * 2.6)),
                                    62000 - static_cast<std::int32_t>(along * 60000.0));
        }
        experiment.SaveFile((cyclic ? backAndForth : monotonic).toStdString());
    }
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Opens the two files into the window and draws it, once.
int OpenLarge(const QString& first, const QString& second) {
    SilentDialogs dialogs;
    QElapsedTimer timer;
    timer.start();
    const double startProcessor = ProcessorSeconds();
    CompareWindow window(dialogs, QFileInfo(first).path(), kUnitsEnglish);
    window.addFile(first);
    window.addFile(second);
    window.show();
    QApplication::processEvents();
    const QPixmap drawn = window.grab();
    const double processor = ProcessorSeconds() - startProcessor;
    const double wall = static_cast<double>(timer.nsecsElapsed()) * 1e-9;
    const double peak = PeakMegabytes();
    const bool ok = window.fileCount() == 2 && !drawn.isNull() && processor < kLargeLimitSeconds &&
                    peak < kLargeLimitMegabytes;
    std::printf("compare window, two tests of %d points opened and drawn: wall %.2f s, processor "
                "%.2f s (limit %.0f s), peak %.0f MB (limit %.0f MB)  %s\n",
                kMostTestPoints, wall, processor, kLargeLimitSeconds, peak, kLargeLimitMegabytes,
                ok ? "ok" : "OVER");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InitNameTables();
    if (argc == 3)
        return OpenLarge(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    QTemporaryDir dir;
    WriteFiles(dir);
    SilentDialogs dialogs;
    double bestWall = 1e9;
    double bestProcessor = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const double startProcessor = ProcessorSeconds();
        CompareWindow window(dialogs, dir.path(), kUnitsEnglish);
        for (int file = 0; file < kFiles; ++file)
            window.addFile(dir.filePath(QString("test%1.tdf").arg(file)));
        window.show();
        QApplication::processEvents();
        const QPixmap drawn = window.grab();
        bestProcessor = std::min(bestProcessor, ProcessorSeconds() - startProcessor);
        bestWall = std::min(bestWall, static_cast<double>(timer.nsecsElapsed()) * 1e-9);
        if (window.fileCount() != kFiles || drawn.isNull())
            std::fprintf(stderr, "only %d files open\n", window.fileCount());
    }
    std::printf("compare window, %d tests of %d points opened and drawn: wall %.3f s, "
                "processor %.3f s, limit %.1f s  %s\n",
                kFiles, kPoints, bestWall, bestProcessor, kLimitSeconds,
                bestProcessor < kLimitSeconds ? "ok" : "OVER");

    const QString monotonic = dir.filePath("large.tdf");
    const QString backAndForth = dir.filePath("cyclic.tdf");
    WriteLargeFiles(monotonic, backAndForth);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {monotonic, backAndForth});
    child.waitForFinished(-1);
    return bestProcessor < kLimitSeconds && child.exitCode() == 0 ? 0 : 1;
}
