// bench_device: what the device link costs. Reads through GetVals from
// torvik-sim answering at once and paced as a 56000-baud line, each beside a
// plain blocking loop over the same simulator in the same run, and the
// processor time of a read and of a probe waiting on silent ports.
// Run from the build folder: bin/bench_device (finds bin/torvik-sim beside it,
// or the simulator named by TORVIK_SIM).

#include "device/interface.h"
#include "device/simprocess.h"
#include "device/switchclock.h"
#include "plainloop.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/qtseriallink.h"
#include "qtloop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {
constexpr int kSlices = 6;
constexpr double kSliceSeconds = 0.5;
constexpr double kLineBaud = 56000.0;
constexpr double kBitsPerChar = 10.0;
constexpr double kCharsPerReading = 3.0 + 12.0; // "RV" + CR out, the reply back

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Message boxes answered at once; the benchmark only reports them.
class SilentDialogs : public Dialogs {
public:
    Answer message(const QString& text, Icon, Buttons) override {
        std::printf("  (message: %s)\n", qPrintable(text));
        return Answer::Ok;
    }
    QString openFileName(const FileRequest&) override { return {}; }
    QString saveFileName(const FileRequest&) override { return {}; }
};

// One simulator on port 1, probed on a manual clock that a timer moves on, so
// the probe's three seconds take a fraction of that; reads then run on the
// real clock.
struct Rig {
    QTemporaryDir dir;
    SimProcess sim;
    ManualClock manual;
    SystemClock real;
    SwitchClock clock{manual};
    QtSerialLink link;
    SilentDialogs dialogs;
    std::unique_ptr<Interface> device;

    bool start(const QStringList& options) {
        if (!sim.start(options))
            return false;
        device = std::make_unique<Interface>(
            link, QStringList{sim.path(), dir.filePath("2"), dir.filePath("3"), dir.filePath("4")},
            clock, dialogs);
        // Half a second of real time for each clock second: enough for the
        // simulator to answer on a loaded machine.
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [this] { manual.advance(); });
        ticker.start(500);
        device->probe();
        clock.use(real);
        return device->valid();
    }
};

// GetVals, the plain loop and the least Qt loop take turns on the same
// simulator, a slice at a time, so that whatever else the machine does weighs
// on all alike. The plain loop opens the port beside the program, which reads
// nothing while it runs: no event loop turns.
void MeasureRate(const char* title, const QStringList& options, double lineLimit) {
    Rig rig;
    if (!rig.start(options)) {
        std::printf("%s: simulator not found\n", title);
        return;
    }
    const QByteArray path = QFile::encodeName(rig.sim.path());
    std::int32_t load = 0;
    std::int32_t disp = 0;
    long good = 0;
    long failed = 0;
    double seconds = 0.0;
    double cpu = 0.0;
    double plainRate = 0.0;
    double plainCpu = 0.0;
    double qtRate = 0.0;
    for (int slice = 0; slice < kSlices; ++slice) {
        const double plainCpuBefore = CpuSeconds();
        plainRate += PlainLoopRate(path.constData(), kSliceSeconds) / kSlices;
        plainCpu += CpuSeconds() - plainCpuBefore;
        // The program's port is closed meanwhile: its read notification would
        // take replies from the Qt loop's event loop.
        rig.link.close();
        qtRate += QtLoopRate(rig.sim.path(), kSliceSeconds) / kSlices;
        rig.link.open(rig.sim.path());
        const double cpuBefore = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        while (wall.elapsed() < kSliceSeconds * 1000)
            (rig.device->GetVals(load, disp) ? good : failed) += 1;
        seconds += wall.elapsed() / 1000.0;
        cpu += CpuSeconds() - cpuBefore;
    }
    const double rate = good / seconds;
    std::printf("%s: %.0f readings/s (%ld good, %ld failed in %.2f s; %.0f%% of a core)\n", title,
                rate, good, failed, seconds, 100.0 * cpu / seconds);
    std::printf("  plain loop on the same simulator, in turns: %.0f readings/s; GetVals/plain = "
                "%.3f\n",
                plainRate, rate / plainRate);
    std::printf("  least Qt loop on the same simulator, in turns: %.0f readings/s; "
                "Qt loop/plain = %.3f, GetVals/Qt loop = %.3f\n",
                qtRate, qtRate / plainRate, rate / qtRate);
    // What each reading costs this process, whatever else the machine does.
    std::printf("  processor time a reading: GetVals %.1f us, plain loop %.1f us\n",
                1e6 * cpu / good, 1e6 * plainCpu / (plainRate * kSlices * kSliceSeconds));
    if (lineLimit > 0)
        std::printf("  line limit %.1f readings/s: GetVals %.1f%%, plain loop %.1f%% of it\n",
                    lineLimit, 100.0 * rate / lineLimit, 100.0 * plainRate / lineLimit);
}

void MeasureSilentRead() {
    Rig rig;
    if (!rig.start({}) || !rig.sim.command("silent"))
        return;
    std::int32_t load = 0;
    std::int32_t disp = 0;
    const double cpuBefore = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    const bool ok = rig.device->GetVals(load, disp);
    std::printf("GetVals on a silent device: %s after %.2f s, %.1f ms of processor time\n",
                ok ? "true" : "false", wall.elapsed() / 1000.0,
                1000.0 * (CpuSeconds() - cpuBefore));
}

void MeasureSilentProbe() {
    SimProcess sims[4];
    QStringList paths;
    for (SimProcess& sim : sims) {
        if (!sim.start({"--silent"}))
            return;
        paths.append(sim.path());
    }
    SystemClock clock;
    QtSerialLink link;
    SilentDialogs dialogs;
    Interface device(link, paths, clock, dialogs);
    const double cpuBefore = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    device.probe();
    const double seconds = wall.elapsed() / 1000.0;
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("Probe of four silent ports: %.2f s, %.1f ms of processor time (%.2f%% of a "
                "core)\n",
                seconds, 1000.0 * cpu, 100.0 * cpu / seconds);
}
} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("TORVIK_SIM"))
        qputenv("TORVIK_SIM",
                (QCoreApplication::applicationDirPath() + "/torvik-sim").toLocal8Bit());

    MeasureRate("Simulator answering at once", {}, 0.0);
    MeasureRate("Simulator paced at 56000 baud", {"--baud", "56000"},
                kLineBaud / kBitsPerChar / kCharsPerReading);
    MeasureSilentRead();
    MeasureSilentProbe();
    return 0;
}
