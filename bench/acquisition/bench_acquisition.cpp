// bench_acquisition: what a test costs while it is gathered. The acquisition
// window, with its text boxes and live curve on the offscreen screen, gathers
// from torvik-sim answering at once and paced as a 56000-baud line; START and
// STOP are pressed by timers. Reports points per second and the share of a
// core the program used between START and STOP, without and with the test's
// journal kept on the disk, beside bare GetVals reads and the plain blocking
// loop (bench/device/plainloop.h) over the same simulator in the same run.
// Run from the build folder: bin/bench_acquisition (finds bin/torvik-sim
// beside it, or the simulator named by TORVIK_SIM).

#include "acquisition/livecurve.h"
#include "acquisition/runexperiment.h"
#include "acquisition/testjournal.h"
#include "device/interface.h"
#include "device/plainloop.h"
#include "device/simprocess.h"
#include "device/switchclock.h"
#include "model/currentcalibration.h"
#include "model/experiment.h"
#include "platform/dialogs.h"
#include "platform/qtseriallink.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kSettleMsecs = 500;                                     // waiting phase before START
constexpr int kGatherMsecs = 5000;                                    // START to STOP
constexpr double kLineLimitPerSecond = 56000.0 / 10.0 / (3.0 + 12.0); // "RV" CR out, 12 back

class SilentDialogs : public Dialogs {
public:
    Answer message(const QString& text, Icon, Buttons) override {
        if (text != QLatin1String("Test complete."))
            std::printf("  (message: %s)\n", qPrintable(text));
        return Answer::Ok;
    }
    QString openFileName(const FileRequest&) override { return {}; }
    QString saveFileName(const FileRequest&) override { return {}; }
};

// The program's own side of each reading: from the last piece of a reply
// arriving to the next request going out. What the line and the simulator
// take is not in it, so it shows what the window's work adds to a reading
// however unevenly the simulator keeps its pace.
class Turnaround {
public:
    Turnaround(SerialLink& link, Interface& device) {
        m_clock.start();
        QObject::connect(&link, &SerialLink::readyRead, &m_context,
                         [this] { m_arrived = m_clock.nsecsElapsed(); });
        QObject::connect(&device, &Interface::requestSent, &m_context, [this] {
            if (m_counting && m_arrived >= 0)
                m_nsecs.push_back(m_clock.nsecsElapsed() - m_arrived);
            m_arrived = -1;
        });
    }
    void count(bool on) { m_counting = on; }
    void clear() { m_nsecs.clear(); }
    // Median, 90th and 99th percentile in microseconds, and the sum in seconds.
    QString text() {
        if (m_nsecs.empty())
            return QStringLiteral("none");
        std::sort(m_nsecs.begin(), m_nsecs.end());
        const auto at = [this](double share) {
            return m_nsecs[static_cast<std::size_t>(share * (m_nsecs.size() - 1))] / 1000.0;
        };
        double sum = 0;
        for (const qint64 value : m_nsecs)
            sum += value / 1e9;
        return QString::asprintf("median %.0f us, 90%% %.0f us, 99%% %.0f us, %.3f s in all",
                                 at(0.5), at(0.9), at(0.99), sum);
    }

private:
    QObject m_context;
    QElapsedTimer m_clock;
    qint64 m_arrived = -1;
    bool m_counting = false;
    std::vector<qint64> m_nsecs;
};

void Measure(const char* title, const QStringList& options, double lineLimit, bool journalled) {
    QTemporaryDir dir;
    TestJournal journal(dir.filePath("state"));
    SimProcess sim;
    ManualClock manual;
    SystemClock real;
    SwitchClock clock{manual};
    QtSerialLink link;
    SilentDialogs dialogs;
    if (!sim.start(options)) {
        std::printf("%s: simulator not found\n", title);
        return;
    }
    // The plain loop runs before the probe and again after the test, beside
    // the program's open port (no event loop turns while it runs).
    const QByteArray path = QFile::encodeName(sim.path());
    double plainRate = PlainLoopRate(path.constData(), kGatherMsecs / 4 / 1000.0) / 2;
    Interface device(link, {sim.path(), dir.filePath("2"), dir.filePath("3"), dir.filePath("4")},
                     clock, dialogs);
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { manual.advance(); });
    ticker.start(250);
    device.probe();
    ticker.stop();
    clock.use(real);

    Turnaround turnaround(link, device);
    // The bare read rate on the same line just before, for comparison.
    turnaround.count(true);
    std::int32_t load = 0;
    std::int32_t disp = 0;
    long reads = 0;
    QElapsedTimer bare;
    bare.start();
    while (bare.elapsed() < kGatherMsecs / 2)
        reads += device.GetVals(load, disp) ? 1 : 0;
    const double bareRate = reads / (bare.elapsed() / 1000.0);
    const QString bareTurnaround = turnaround.text();
    turnaround.count(false);
    turnaround.clear();

    Experiment experiment;
    experiment.SetLoadCellRatio(1.0F);
    RunExperiment window(device, experiment, dialogs, [] { return 1; });
    window.SetTestType(2);
    if (journalled)
        window.setJournal(&journal);
    window.findChild<QAbstractButton*>("checkAutoStart")->setChecked(false);
    QElapsedTimer wall;
    double cpuAtStart = 0.0;
    double cpu = 0.0;
    double seconds = 0.0;
    QTimer::singleShot(kSettleMsecs, &window, [&] {
        cpuAtStart = CpuSeconds();
        wall.start();
        window.findChild<QAbstractButton*>("buttonStart")->click();
        turnaround.count(true);
    });
    QTimer::singleShot(kSettleMsecs + kGatherMsecs, &window, [&] {
        turnaround.count(false);
        window.findChild<QAbstractButton*>("buttonStop")->click();
        seconds = wall.elapsed() / 1000.0;
        cpu = CpuSeconds() - cpuAtStart;
    });
    window.show();
    window.exec();
    plainRate += PlainLoopRate(path.constData(), kGatherMsecs / 4 / 1000.0) / 2;
    const double rate = experiment.Count() / seconds;
    std::printf("%s%s: %.0f points/s (%d points in %.2f s; %.0f%% of a core; curve of %lld "
                "points); bare reads just before: %.0f/s, gathering reached %.1f%% of it\n",
                title, journalled ? ", journal on" : "", rate, experiment.Count(), seconds,
                100.0 * cpu / seconds,
                static_cast<long long>(window.findChild<LiveCurve*>()->drawnPoints()), bareRate,
                100.0 * rate / bareRate);
    std::printf("  plain loop on the same simulator: %.0f readings/s; gathering/plain = %.3f, "
                "bare GetVals/plain = %.3f\n",
                plainRate, rate / plainRate, bareRate / plainRate);
    std::printf("  from a reply to the next request: gathering %s; bare reads %s\n",
                qPrintable(turnaround.text()), qPrintable(bareTurnaround));
    if (lineLimit > 0)
        std::printf("  line limit %.1f readings/s: %.1f%% of it\n", lineLimit,
                    100.0 * rate / lineLimit);
}
} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("TORVIK_SIM"))
        qputenv("TORVIK_SIM",
                (QCoreApplication::applicationDirPath() + "/torvik-sim").toLocal8Bit());
    SetCurrentLoadCellRatio(1.0F);

    for (const bool journalled : {false, true}) {
        Measure("Simulator answering at once", {"--test", "compression"}, 0.0, journalled);
        Measure("Simulator paced at 56000 baud", {"--test", "compression", "--baud", "56000"},
                kLineLimitPerSecond, journalled);
    }
    return 0;
}
