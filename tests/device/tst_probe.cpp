// The port probe of the device link, over real pseudo-terminals served by
// torvik-sim.

#include "device/interface.h"
#include "observedlink.h"
#include "platform/clock.h"
#include "probedriver.h"
#include "simprocess.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/resource.h>

namespace {
const QString kNotFound = QStringLiteral("No Torvik interface found.");
const QString kInUse = QStringLiteral("No Torvik interface found.  Com port may be in use.");

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
} // namespace

class TestProbe : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString missing(int port) const {
        return m_dir.filePath(QStringLiteral("no-port-%1").arg(port));
    }

    // Starts a simulator that logs what it receives.
    static std::unique_ptr<SimProcess> startSim(const QStringList& options = {}) {
        auto sim = std::make_unique<SimProcess>();
        if (!sim->start(QStringList{QStringLiteral("--log")} + options))
            return nullptr;
        return sim;
    }

private slots:
    void initTestCase() { QVERIFY(!SimProcess::program().isEmpty()); }

    void interfaceOnPortThreeOnlyIsKeptAndPortFourNeverOpened() {
        auto sim1 = startSim({"--silent"});
        auto sim2 = startSim({"--silent"});
        auto sim3 = startSim();
        auto sim4 = startSim();
        QVERIFY(sim1 && sim2 && sim3 && sim4);
        ManualClock clock;
        ObservedLink link;
        ScriptedDialogs dialogs;
        Interface device(link, {sim1->path(), sim2->path(), sim3->path(), sim4->path()}, clock,
                         dialogs);
        ProbeDriver driver(clock, link);
        driver.silentPaths = {sim1->path(), sim2->path()};

        device.probe();

        QVERIFY(device.valid());
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(link.opened, (QStringList{sim1->path(), sim2->path(), sim3->path()}));
        QVERIFY(link.isOpen());
        QCOMPARE(link.currentPath, sim3->path());
        QVERIFY(sim1->waitForRequests(2));
        QVERIFY(sim2->waitForRequests(2));
        QCOMPARE(sim1->requests(), (QStringList{"CAL", "IDN?"}));
        QCOMPARE(sim2->requests(), (QStringList{"CAL", "IDN?"}));
        QCOMPARE(sim3->requests(), (QStringList{"CAL", "IDN?"}));
        // Ports 1 and 2 each took one advance of the clock.
        QCOMPARE(driver.advances.size(), 3);

        std::int32_t load = -1;
        std::int32_t disp = -1;
        QVERIFY(sim3->command("hold 32000 1234"));
        QVERIFY(device.GetVals(load, disp));
        QCOMPARE(load, 32000);
        QCOMPARE(disp, 1234);
        QVERIFY(sim3->waitForRequests(3));
        QVERIFY(sim4->requests().isEmpty());
    }

    void splashStaysUpForThreeClockSecondsWhenFoundAtOnce() {
        auto sim = startSim();
        QVERIFY(sim);
        ManualClock clock;
        ObservedLink link;
        ScriptedDialogs dialogs;
        Interface device(link, {sim->path(), missing(2), missing(3), missing(4)}, clock, dialogs);
        ProbeDriver driver(clock, link);
        const qint64 start = clock.wholeSeconds();

        device.probe();

        QVERIFY(device.valid());
        QCOMPARE(clock.wholeSeconds() - start, 3);
        QCOMPARE(driver.advances.size(), 3);
        for (const ProbeDriver::Advance& advance : driver.advances)
            QVERIFY2(advance.splashVisible, qPrintable(QString::number(advance.seconds - start)));
        QVERIFY(!ProbeDriver::splashVisible());
        QCOMPARE(link.opened, QStringList{sim->path()});
        QVERIFY(dialogs.messages.isEmpty());
    }

    void portHeldByAnotherProgramGivesInUseMessage() {
        auto sim2 = startSim({"--silent"});
        auto sim3 = startSim({"--silent"});
        QVERIFY(sim2 && sim3);
        QProcess holder;
        holder.start(QCoreApplication::applicationDirPath() + "/torvik-porthold", {sim2->path()});
        QVERIFY(holder.waitForStarted(5000));
        QVERIFY(SimProcess::waitFor([&] { return holder.canReadLine(); }));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

        ManualClock clock;
        ObservedLink link;
        ScriptedDialogs dialogs;
        Interface device(link, {missing(1), sim2->path(), sim3->path(), missing(4)}, clock,
                         dialogs);
        ProbeDriver driver(clock, link);
        driver.silentPaths = {sim3->path()};

        device.probe();

        QVERIFY(!device.valid());
        QVERIFY(!link.isOpen());
        QCOMPARE(dialogs.texts(), QStringList{kInUse});
        QCOMPARE(dialogs.messages.first().icon, Dialogs::Icon::Information);
        QCOMPARE(dialogs.messages.first().buttons, Dialogs::Buttons::Ok);
        QVERIFY(sim2->requests().isEmpty());
        holder.terminate();
        holder.waitForFinished(5000);
    }

    void noInterfaceAnywhereGivesPlainMessage_data() {
        QTest::addColumn<int>("silentPorts");
        QTest::newRow("four silent ports") << 4;
        QTest::newRow("no devices at all") << 0;
    }
    void noInterfaceAnywhereGivesPlainMessage() {
        QFETCH(int, silentPorts);
        std::vector<std::unique_ptr<SimProcess>> sims;
        QStringList paths;
        for (int port = 1; port <= 4; ++port) {
            if (port <= silentPorts) {
                sims.push_back(startSim({"--silent"}));
                QVERIFY(sims.back());
                paths.append(sims.back()->path());
            } else {
                paths.append(missing(port));
            }
        }
        ManualClock clock;
        ObservedLink link;
        ScriptedDialogs dialogs;
        Interface device(link, paths, clock, dialogs);
        ProbeDriver driver(clock, link);
        driver.silentPaths = QSet<QString>(paths.begin(), paths.end());

        device.probe();

        QVERIFY(!device.valid());
        QVERIFY(!link.isOpen());
        QCOMPARE(link.opened, paths);
        QCOMPARE(dialogs.texts(), QStringList{kNotFound});
        std::int32_t load = 7;
        std::int32_t disp = 8;
        link.written.clear();
        QVERIFY(!device.GetVals(load, disp));
        QCOMPARE(load, 7);
        QCOMPARE(disp, 8);
        QVERIFY(link.written.isEmpty());
    }

    void identificationSplitOverSeveralArrivalsIsFound() {
        auto sim = startSim({"--split-idn"});
        QVERIFY(sim);
        ManualClock clock;
        ObservedLink link;
        ScriptedDialogs dialogs;
        Interface device(link, {sim->path(), missing(2), missing(3), missing(4)}, clock, dialogs);
        ProbeDriver driver(clock, link);

        device.probe();

        QVERIFY(device.valid());
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(link.receivedSinceOpen.contains("6194"));
        QVERIFY(!link.receivedSinceOpen.startsWith("6194"));
    }

    void identificationCompletedAfterThePortLimitIsNotFound() {
        auto sim = startSim({"--split-idn"});
        QVERIFY(sim);
        ManualClock clock;
        ObservedLink link;
        ScriptedDialogs dialogs;
        Interface device(link, {sim->path(), missing(2), missing(3), missing(4)}, clock, dialogs);
        ProbeDriver driver(clock, link);
        // The clock moves on as soon as the first piece is in.
        driver.allowAdvance = [&] {
            return link.currentPath.isEmpty() || !link.receivedSinceOpen.isEmpty();
        };

        device.probe();

        QVERIFY(!device.valid());
        QCOMPARE(dialogs.texts(), QStringList{kNotFound});
    }

    void codeSplitAcrossTwoPortsIdentifiesNeither() {
        // Port 1 answers with text ending in "61", port 2 with text starting
        // with "94": together they hold the code, but neither port does.
        auto sim1 = startSim({"--idn", "model 61"});
        auto sim2 = startSim({"--idn", "94 ready\\r"});
        QVERIFY(sim1 && sim2);
        ManualClock clock;
        ObservedLink link;
        ScriptedDialogs dialogs;
        Interface device(link, {sim1->path(), sim2->path(), missing(3), missing(4)}, clock,
                         dialogs);
        ProbeDriver driver(clock, link);
        driver.allowAdvance = [&] {
            return link.currentPath.isEmpty() || link.receivedSinceOpen.contains("61") ||
                   link.receivedSinceOpen.contains("ready");
        };

        device.probe();

        QVERIFY(!device.valid());
        QCOMPARE(link.opened, (QStringList{sim1->path(), sim2->path(), missing(3), missing(4)}));
        QCOMPARE(dialogs.texts(), QStringList{kNotFound});
    }

    void probeOnTheRealClockSleepsWhileWaiting() {
        auto sim1 = startSim({"--silent"});
        auto sim2 = startSim({"--silent"});
        QVERIFY(sim1 && sim2);
        SystemClock clock;
        QtSerialLink link;
        ScriptedDialogs dialogs;
        Interface device(link, {sim1->path(), sim2->path(), missing(3), missing(4)}, clock,
                         dialogs);
        const qint64 start = clock.wholeSeconds();
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = CpuSeconds();

        device.probe();

        const double cpu = CpuSeconds() - cpuBefore;
        const double seconds = wall.elapsed() / 1000.0;
        QCOMPARE(clock.wholeSeconds() - start, 3);
        QVERIFY2(seconds >= 2.0 && seconds < 3.5, qPrintable(QString::number(seconds)));
        QVERIFY2(cpu < 0.05 * seconds, qPrintable(QStringLiteral("%1 s CPU").arg(cpu)));
        QCOMPARE(dialogs.texts(), QStringList{kNotFound});
    }
};

QTEST_MAIN(TestProbe)
#include "tst_probe.moc"
