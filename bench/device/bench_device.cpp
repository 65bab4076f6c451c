// bench_device: what the device link costs. Reads through GetVals from
// torvik-sim answering at once and paced as a 56000-baud line, each beside a
// plain blocking loop in C++ and the same loop in Python (python3, when
// there is one) over the same simulator in the same run, and the processor
// time of a read and of a probe waiting on silent ports.
// Each form of reply a box may give is read at once and at the live load's
// pace first; bin/bench_device forms stops there.
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
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {
constexpr int kRounds = 41;
constexpr double kRoundSeconds = 0.2;
constexpr double kLineBaud = 56000.0;
constexpr double kBitsPerChar = 10.0;
constexpr double kCharsPerReading = 3.0 + 12.0; // "RV" + CR out, the reply back

// The Python loop's rate over `path` for `seconds`, timed by the script
// itself so that starting the interpreter does not count; 0 without python3.
double PythonLoopRate(const QString& path, double seconds) {
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral(PLAIN_LOOP_SCRIPT), path, QString::number(seconds)});
    if (!python.waitForFinished(static_cast<int>(seconds * 1000) + 10'000) ||
        python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
        return 0.0;
    return python.readAllStandardOutput().trimmed().toDouble();
}

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

// One way of reading and its rate in each round.
struct Contender {
    const char* name;
    std::function<double(double)> run; // readings per second over a slice
    std::vector<double> rates;
};

double Median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The ratios of one contender's slices to another's slices of the same
// rounds: their median, and the middle half of them.
std::string RatioText(const Contender& contender, const Contender& baseline) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < contender.rates.size(); ++i)
        if (baseline.rates[i] > 0)
            ratios.push_back(contender.rates[i] / baseline.rates[i]);
    std::sort(ratios.begin(), ratios.end());
    if (ratios.empty())
        return "-";
    return QString::asprintf("%.3f (middle half %.3f-%.3f)", ratios[ratios.size() / 2],
                             ratios[ratios.size() / 4], ratios[ratios.size() * 3 / 4])
        .toStdString();
}

// GetVals, the plain loop, the same loop in Python and the least Qt loop take
// turns on the same simulator in many short rounds, each round in a new
// random order, so that whatever else the machine does, and whichever runs
// after which, weighs on all alike; each is then compared with the plain loop
// of the same round. The plain loops open the port beside the program, which
// reads nothing while they run: no event loop turns.
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
    double getValsCpu = 0.0;
    double plainCpu = 0.0;
    long plainReadings = 0;
    const auto getVals = [&](double seconds) {
        const double cpuBefore = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        long readings = 0;
        while (wall.elapsed() < seconds * 1000)
            readings += rig.device->GetVals(load, disp) ? 1 : (++failed, 0);
        good += readings;
        getValsCpu += CpuSeconds() - cpuBefore;
        return readings / (wall.elapsed() / 1000.0);
    };
    const auto plain = [&](double seconds) {
        const double cpuBefore = CpuSeconds();
        const double rate = PlainLoopRate(path.constData(), seconds);
        plainCpu += CpuSeconds() - cpuBefore;
        plainReadings += std::lround(rate * seconds);
        return rate;
    };
    // The program's port is closed while the least Qt loop runs: its read
    // notification would take the replies from that loop's event loop.
    const auto qtLoop = [&](double seconds) {
        rig.link.close();
        const double rate = QtLoopRate(rig.sim.path(), seconds);
        rig.link.open(rig.sim.path());
        return rate;
    };
    const auto python = [&](double seconds) { return PythonLoopRate(rig.sim.path(), seconds); };
    std::vector<Contender> contenders{
        {"plain loop", plain, {}},
        {"GetVals", getVals, {}},
        {"least Qt loop", qtLoop, {}},
        {"Python loop", python, {}},
    };
    std::mt19937 random(7);
    std::vector<std::size_t> order{0, 1, 2, 3};
    for (int round = 0; round < kRounds; ++round) {
        std::shuffle(order.begin(), order.end(), random);
        for (const std::size_t index : order)
            contenders[index].rates.push_back(contenders[index].run(kRoundSeconds));
    }
    const Contender& plainLoop = contenders[0];
    const double rate = Median(contenders[1].rates);
    std::printf("%s: %d rounds of %.2f s each, median readings/s of a round:\n", title, kRounds,
                kRoundSeconds);
    for (const Contender& contender : contenders) {
        if (Median(contender.rates) <= 0) {
            std::printf("  %-14s did not run (python3 missing?)\n", contender.name);
            continue;
        }
        std::printf("  %-14s %6.0f/s", contender.name, Median(contender.rates));
        if (&contender != &plainLoop)
            std::printf("; /plain loop in the same round: %s",
                        RatioText(contender, plainLoop).c_str());
        std::printf("\n");
    }
    if (Median(contenders[3].rates) > 0)
        std::printf("  GetVals/Python loop in the same round: %s\n",
                    RatioText(contenders[1], contenders[3]).c_str());
    std::printf("  GetVals: %ld good, %ld failed; processor time a reading: GetVals %.1f us, plain "
                "loop %.1f us\n",
                good, failed, 1e6 * getValsCpu / std::max(good, 1L),
                1e6 * plainCpu / std::max(plainReadings, 1L));
    if (lineLimit > 0)
        std::printf("  line limit %.1f readings/s: GetVals %.1f%%, plain loop %.1f%% of it\n",
                    lineLimit, 100.0 * rate / lineLimit,
                    100.0 * Median(plainLoop.rates) / lineLimit);
}

// Each form of reply a box may give, answered at once: readings a second of
// GetVals back to back, and reads in three seconds of the live load's 100 ms
// ticks (at most 31, the first at once).
void MeasureReplyForms() {
    const QList<std::pair<const char*, QStringList>> forms = {
        {"CR", {}},
        {"CR LF", {"--line-end", "crlf"}},
        {"LF", {"--line-end", "lf"}},
        {"# CR", {"--line-end", "#\\r"}},
        {"# alone", {"--line-end", "#"}},
        {"blank padded and separated, CR LF",
         {"--pad", "blanks", "--separator", " ", "--line-end", "crlf"}},
    };
    std::printf("Reply forms, simulator answering at once:\n");
    for (const auto& [name, options] : forms) {
        Rig rig;
        if (!rig.start(options) || !rig.sim.command("hold 32000 1234"))
            continue;
        std::int32_t load = 0;
        std::int32_t disp = 0;
        long good = 0;
        long failed = 0;
        QElapsedTimer wall;
        wall.start();
        while (wall.elapsed() < 1000)
            ++(rig.device->GetVals(load, disp) && load == 32000 && disp == 1234 ? good : failed);
        const double rate = good / (wall.elapsed() / 1000.0);
        long ticked = 0;
        const auto tickOnce = [&] {
            ticked += rig.device->GetVals(load, disp) && load == 32000 ? 1 : 0;
        };
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, tickOnce);
        QEventLoop loop;
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        tick.start(100);
        tickOnce();
        loop.exec();
        std::printf("  %-34s %7.0f readings/s (%ld failed); at 100 ms ticks %ld reads in 3 s\n",
                    name, rate, failed, ticked);
    }
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

    MeasureReplyForms();
    if (app.arguments().contains(QStringLiteral("forms")))
        return 0;
    MeasureRate("Simulator answering at once", {}, 0.0);
    MeasureRate("Simulator paced at 56000 baud", {"--baud", "56000"},
                kLineBaud / kBitsPerChar / kCharsPerReading);
    MeasureSilentRead();
    MeasureSilentProbe();
    return 0;
}
