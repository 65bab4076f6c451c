// Times the Compare Tests window with ten 12,000-point tests: opening the
// files into it, and drawing it with every curve, against 1 s. Runs on the
// offscreen platform unless another is chosen. The best of several runs
// counts, as the machine may be shared; processor time is printed beside the
// wall time, since other processes on the cores inflate the latter.

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/dialogs.h"
#include "results/comparewindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kFiles = 10;
constexpr std::int32_t kPoints = 12'000;
constexpr int kRuns = 5;
constexpr double kLimitSeconds = 1.0;

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

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InitNameTables();
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
    return 0;
}
