// Reads through the device link (GetVals) over a real pseudo-terminal served
// by torvik-sim, after a probe that found it on port 1.

#include "device/interface.h"
#include "observedlink.h"
#include "platform/clock.h"
#include "probedriver.h"
#include "simprocess.h"
#include "support/scripteddialogs.h"
#include "switchclock.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/resource.h>

namespace {
constexpr std::int32_t kUntouchedLoad = -7;
constexpr std::int32_t kUntouchedDisp = -8;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Advances a manual clock by one second every few milliseconds while it lives.
class Ticker {
public:
    Ticker(ManualClock& clock, int intervalMs) {
        QObject::connect(&m_timer, &QTimer::timeout, [&clock] { clock.advance(); });
        m_timer.start(intervalMs);
    }

private:
    QTimer m_timer;
};
} // namespace

class TestGetVals : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ManualClock> m_manual;
    std::unique_ptr<SwitchClock> m_clock;
    std::unique_ptr<ObservedLink> m_link;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<SimProcess> m_sim;
    std::unique_ptr<Interface> m_device;

    // A simulator on port 1, found by the probe on the manual clock.
    bool startDevice(const QStringList& simOptions = {}) {
        m_sim = std::make_unique<SimProcess>();
        if (!m_sim->start(QStringList{QStringLiteral("--log")} + simOptions))
            return false;
        QStringList paths{m_sim->path()};
        for (int port = 2; port <= 4; ++port)
            paths.append(m_dir.filePath(QStringLiteral("no-port-%1").arg(port)));
        m_device = std::make_unique<Interface>(*m_link, paths, *m_clock, *m_dialogs);
        ProbeDriver driver(*m_manual, *m_link);
        m_device->probe();
        return m_device->valid() && m_sim->waitForRequests(2);
    }
    int readRequests() const { return static_cast<int>(m_sim->requests().count("RV")); }

private slots:
    void init() {
        m_manual = std::make_unique<ManualClock>();
        m_clock = std::make_unique<SwitchClock>(*m_manual);
        m_link = std::make_unique<ObservedLink>();
        m_dialogs = std::make_unique<ScriptedDialogs>();
    }
    void cleanup() {
        m_device.reset();
        m_sim.reset();
        m_link.reset();
    }

    void replyFieldsAreReadAsRawCounts_data() {
        QTest::addColumn<QString>("reply"); // as given to the simulator's raw command
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("load");
        QTest::addColumn<int>("disp");
        QTest::newRow("plain") << "00250,00300\\r" << true << 300 << 250;
        QTest::newRow("more than twelve characters") << "00250,00300\\r\\n77" << true << 300 << 250;
        QTest::newRow("separator not read") << "00250X00300\\r" << true << 300 << 250;
        QTest::newRow("blanks before digits") << "  250,  300\\r" << true << 300 << 250;
        QTest::newRow("halves round to even") << "250.5,301.5\\r" << true << 302 << 250;
        QTest::newRow("signs") << "-0001,+0002\\r" << true << 2 << -1;
        QTest::newRow("top of range") << "65535,65535\\r" << true << 65535 << 65535;
        QTest::newRow("blank load field") << "00250,     \\r" << false << 0 << 0;
        QTest::newRow("garbled displacement") << "?#*!@,00300\\r" << false << 0 << 0;
        QTest::newRow("letter before load digits") << "00250,x0300\\r" << false << 0 << 0;
    }
    void replyFieldsAreReadAsRawCounts() {
        QFETCH(QString, reply);
        QFETCH(bool, ok);
        QFETCH(int, load);
        QFETCH(int, disp);
        QVERIFY(startDevice());
        QVERIFY(m_sim->command("raw " + reply));
        std::int32_t gotLoad = kUntouchedLoad;
        std::int32_t gotDisp = kUntouchedDisp;

        QCOMPARE(m_device->GetVals(gotLoad, gotDisp), ok);

        QCOMPARE(gotLoad, ok ? load : kUntouchedLoad);
        QCOMPARE(gotDisp, ok ? disp : kUntouchedDisp);
    }

    void shortReplyFailsOnceTheClockHasAdvancedByTwo() {
        QVERIFY(startDevice());
        QVERIFY(m_sim->command("raw 00250,00300"));
        const qint64 requested = m_clock->wholeSeconds();
        Ticker ticker(*m_manual, 20);
        std::int32_t load = kUntouchedLoad;
        std::int32_t disp = kUntouchedDisp;

        QVERIFY(!m_device->GetVals(load, disp));

        QCOMPARE(m_clock->wholeSeconds() - requested, 2);
        QCOMPARE(load, kUntouchedLoad);
        QCOMPARE(disp, kUntouchedDisp);
        QVERIFY(!m_device->readInProgress());
    }

    void lateReplyIsNotTakenForTheNextReading() {
        QVERIFY(startDevice({"--delay-ms", "300"}));
        QVERIFY(m_sim->command("hold 1000 2000"));
        std::int32_t load = kUntouchedLoad;
        std::int32_t disp = kUntouchedDisp;
        {
            Ticker ticker(*m_manual, 5);
            QVERIFY(!m_device->GetVals(load, disp));
        }
        // The late reply comes in while nothing is reading.
        QVERIFY(SimProcess::waitFor([&] { return m_link->bytesAvailable() >= 12; }));
        QVERIFY(m_sim->command("hold 3000 4000"));

        QVERIFY(m_device->GetVals(load, disp));

        QCOMPARE(load, 3000);
        QCOMPARE(disp, 4000);
    }

    void nestedReadIsRefusedAtOnceAndSendsNothing() {
        QObject scope; // timers that must not outlive this test
        QVERIFY(startDevice({"--delay-ms", "150"}));
        QVERIFY(m_sim->command("hold 500 600"));
        QSignalSpy finished(m_device.get(), &Interface::readFinished);
        bool nestedRan = false;
        bool nestedResult = true;
        bool inProgressSeen = false;
        std::int32_t nestedLoad = kUntouchedLoad;
        std::int32_t nestedDisp = kUntouchedDisp;
        QTimer::singleShot(30, &scope, [&] {
            nestedRan = true;
            inProgressSeen = m_device->readInProgress();
            nestedResult = m_device->GetVals(nestedLoad, nestedDisp);
        });
        std::int32_t load = kUntouchedLoad;
        std::int32_t disp = kUntouchedDisp;

        QVERIFY(m_device->GetVals(load, disp));

        QVERIFY(nestedRan);
        QVERIFY(inProgressSeen);
        QVERIFY(!nestedResult);
        QCOMPARE(nestedLoad, kUntouchedLoad);
        QCOMPARE(nestedDisp, kUntouchedDisp);
        QCOMPARE(load, 500);
        QCOMPARE(disp, 600);
        QCOMPARE(m_link->written.count("RV\r"), 1);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!m_device->readInProgress());
    }

    void closingMakesAWaitingReadGiveUpAndLaterReadsFailAtOnce() {
        QObject scope; // timers that must not outlive this test
        QVERIFY(startDevice());
        QVERIFY(m_sim->command("silent"));
        QTimer::singleShot(50, &scope, [&] { m_device->setAppClosing(true); });
        std::int32_t load = kUntouchedLoad;
        std::int32_t disp = kUntouchedDisp;
        const qint64 requested = m_clock->wholeSeconds();

        QVERIFY(!m_device->GetVals(load, disp));
        QCOMPARE(m_clock->wholeSeconds(), requested); // not the time limit

        m_link->written.clear();
        QSignalSpy finished(m_device.get(), &Interface::readFinished);
        QVERIFY(!m_device->GetVals(load, disp));
        QVERIFY(m_link->written.isEmpty());
        QCOMPARE(finished.size(), 0);
        QCOMPARE(load, kUntouchedLoad);

        // A cancelled close: reads work again.
        m_device->setAppClosing(false);
        QVERIFY(m_sim->command("answer"));
        QVERIFY(m_sim->command("hold 11 22"));
        QVERIFY(m_device->GetVals(load, disp));
        QCOMPARE(load, 11);
        QCOMPARE(disp, 22);
    }

    void abandonedReadGivesUpOnItsNextPass() {
        QObject scope; // timers that must not outlive this test
        QVERIFY(startDevice());
        QVERIFY(m_sim->command("silent"));
        QSignalSpy finished(m_device.get(), &Interface::readFinished);
        QTimer::singleShot(50, &scope, [&] { m_device->abandonRead(); });
        std::int32_t load = kUntouchedLoad;
        std::int32_t disp = kUntouchedDisp;
        const qint64 requested = m_clock->wholeSeconds();

        QVERIFY(!m_device->GetVals(load, disp));

        QCOMPARE(m_clock->wholeSeconds(), requested);
        QCOMPARE(finished.size(), 1);
        // The next read is not affected.
        QVERIFY(m_sim->command("answer"));
        QVERIFY(m_sim->command("hold 5 6"));
        QVERIFY(m_device->GetVals(load, disp));
        QCOMPARE(load, 5);
    }

    void deviceThatVanishesMidReadFailsCleanly() {
        QObject scope; // timers that must not outlive this test
        QVERIFY(startDevice());
        QVERIFY(m_sim->command("silent"));
        QTimer::singleShot(50, &scope, [&] { m_sim->stop(); });
        // Should the loss go unnoticed, the read would wait for this.
        QTimer::singleShot(5000, &scope, [&] { m_manual->advance(10); });
        QElapsedTimer wall;
        wall.start();
        std::int32_t load = kUntouchedLoad;
        std::int32_t disp = kUntouchedDisp;

        QVERIFY(!m_device->GetVals(load, disp));

        QVERIFY2(wall.elapsed() < 3000, qPrintable(QString::number(wall.elapsed())));
        QVERIFY(!m_link->isOpen());
        QVERIFY(!m_device->GetVals(load, disp));
        QCOMPARE(load, kUntouchedLoad);
        // Nothing keeps the thread busy once the device is gone.
        const double cpuBefore = CpuSeconds();
        QTest::qWait(300);
        QVERIFY2(CpuSeconds() - cpuBefore < 0.05,
                 qPrintable(QString::number(CpuSeconds() - cpuBefore)));
    }

    void readFinishedFollowsEveryReadThatWasSent() {
        QVERIFY(startDevice());
        QSignalSpy finished(m_device.get(), &Interface::readFinished);
        bool linkFreeWhenSignalled = false;
        connect(m_device.get(), &Interface::readFinished, this,
                [&] { linkFreeWhenSignalled = !m_device->readInProgress(); });
        std::int32_t load = 0;
        std::int32_t disp = 0;
        QVERIFY(m_device->GetVals(load, disp));
        QCOMPARE(finished.size(), 1);
        QVERIFY(linkFreeWhenSignalled);
        QVERIFY(m_sim->command("raw 00250,     \\r"));
        QVERIFY(!m_device->GetVals(load, disp));
        QCOMPARE(finished.size(), 2);
    }

    void silentDeviceOnTheRealClockGivesUpWithinTwoSecondsWhileSleeping() {
        QVERIFY(startDevice());
        QVERIFY(m_sim->command("silent"));
        SystemClock realClock;
        m_clock->use(realClock);
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = CpuSeconds();
        std::int32_t load = kUntouchedLoad;
        std::int32_t disp = kUntouchedDisp;

        QVERIFY(!m_device->GetVals(load, disp));

        const double seconds = wall.elapsed() / 1000.0;
        const double cpu = CpuSeconds() - cpuBefore;
        QVERIFY2(seconds >= 0.99 && seconds < 2.2, qPrintable(QString::number(seconds)));
        QVERIFY2(cpu < 0.05 * seconds, qPrintable(QStringLiteral("%1 s CPU").arg(cpu)));
        QCOMPARE(load, kUntouchedLoad);
    }

    void readsFollowTheSimulatedSpecimen() {
        QVERIFY(startDevice({"--test", "compression"}));
        QVERIFY(m_sim->command("idle"));
        std::int32_t load = 0;
        std::int32_t disp = 0;
        QVERIFY(m_device->GetVals(load, disp));
        QVERIFY(qAbs(load - 32768) <= 2);
        QVERIFY(m_sim->command("load"));
        QTest::qWait(1200);
        QVERIFY(m_device->GetVals(load, disp));
        QVERIFY2(load < 32768 - 200, qPrintable(QString::number(load))); // compression side
        QVERIFY(m_sim->command("break"));
        QVERIFY(m_device->GetVals(load, disp));
        QVERIFY(qAbs(load - 32768) <= 2);
    }
};

QTEST_MAIN(TestGetVals)
#include "tst_getvals.moc"
