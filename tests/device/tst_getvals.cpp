// Reads through the device link (GetVals) over a real pseudo-terminal served
// by torvik-sim, after a probe that found it on port 1.

#include "probedriver.h"
#include "simprocess.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <utility>

namespace {
struct Values {
    std::int32_t load = -7;
    std::int32_t disp = -8;
    bool untouched() const { return load == -7 && disp == -8; }
};
} // namespace

class TestGetVals : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SimProcess> m_sim;
    std::unique_ptr<ProbeRig> m_rig;

    bool startDevice(const QStringList& simOptions = {}) {
        m_sim = std::make_unique<SimProcess>();
        if (!m_sim->start(QStringList{QStringLiteral("--log")} + simOptions))
            return false;
        m_rig = std::make_unique<ProbeRig>(
            QStringList{m_sim->path(), MissingPort(2), MissingPort(3), MissingPort(4)});
        return m_rig->probe() && m_sim->waitForRequests(2);
    }
    Interface& device() { return m_rig->device; }
    bool getVals(Values& values) { return device().GetVals(values.load, values.disp); }

private slots:
    void cleanup() {
        m_rig.reset();
        m_sim.reset();
    }

    // The limit is measured on the steady clock: setting the wall clock back
    // does not stretch it.
    void shortReplyFailsOnceTheSteadyClockHasAdvancedByTwo_data() {
        QTest::addColumn<int>("wallStep");
        QTest::newRow("wall clock running") << 0;
        QTest::newRow("wall clock set back 30 s") << -30;
    }
    void shortReplyFailsOnceTheSteadyClockHasAdvancedByTwo() {
        QFETCH(int, wallStep);
        QVERIFY(startDevice());
        QVERIFY(m_sim->command("raw 00250,00300"));
        const qint64 requested = m_rig->clock.steadySeconds();
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] {
            m_rig->manual.stepWall(std::exchange(wallStep, 0));
            m_rig->manual.advance();
        });
        ticker.start(20);
        Values values;

        QVERIFY(!getVals(values));

        QCOMPARE(m_rig->clock.steadySeconds() - requested, 2);
        QVERIFY(values.untouched());
    }

    // Every form of reply a box may give reads with the values sent: at full
    // rate when it answers at once (no read fails), and through a slow relay
    // sending a character at a time, about as slowly as reads give up, where
    // replies run on into the next requests yet every reading taken is one
    // the box sent.
    void everyReplyFormReadsWithTheValuesSent_data() {
        QTest::addColumn<QStringList>("form");
        QTest::addColumn<bool>("slowRelay");
        // The slow relay is tried on the forms framed differently: by a
        // carriage return, by the count alone, and with surplus line ends.
        const QList<std::tuple<const char*, QStringList, bool>> forms = {
            {"CR", {}, true},
            {"CR LF", {"--line-end", "crlf"}, true},
            {"LF", {"--line-end", "lf"}, false},
            {"a mark and CR", {"--line-end", "#\\r"}, false},
            {"a mark and nothing more", {"--line-end", "#"}, true},
            {"blank padded", {"--pad", "blanks"}, false},
            {"blank separator, blank padded, CR LF",
             {"--separator", " ", "--pad", "blanks", "--line-end", "crlf"},
             true},
        };
        for (const auto& [name, options, slowToo] : forms) {
            QTest::newRow(name) << options << false;
            if (slowToo)
                QTest::addRow("%s, slow relay", name) << options << true;
        }
    }
    void everyReplyFormReadsWithTheValuesSent() {
        QFETCH(QStringList, form);
        QFETCH(bool, slowRelay);
        QVERIFY(startDevice(form + (slowRelay ? QStringList{"--char-ms", "5"} : QStringList())));
        QVERIFY(m_sim->command("hold 32000 1234"));
        // A read that is not answered gives up after two clock steps.
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { m_rig->manual.advance(); });
        ticker.start(slowRelay ? 40 : 500);
        int good = 0;
        const int reads = slowRelay ? 15 : 30;
        for (int read = 0; read < reads; ++read) {
            Values values;
            const bool ok = getVals(values);
            good += ok ? 1 : 0;
            QVERIFY(ok ? values.load == 32000 && values.disp == 1234 : values.untouched());
        }
        QVERIFY2(slowRelay ? good > 0 && good < reads : good == reads,
                 qPrintable(QString::number(good)));
    }

    void lateReplyIsNotTakenForTheNextReading() {
        QVERIFY(startDevice({"--delay-ms", "300"}));
        QVERIFY(m_sim->command("hold 1000 2000"));
        Values values;
        {
            QTimer ticker;
            connect(&ticker, &QTimer::timeout, [&] { m_rig->manual.advance(); });
            ticker.start(5);
            QVERIFY(!getVals(values));
        }
        // The late reply comes in while nothing is reading.
        QVERIFY(SimProcess::waitFor([&] { return m_rig->link.bytesAvailable() >= 12; }));
        QVERIFY(m_sim->command("hold 3000 4000"));

        QVERIFY(getVals(values));

        QCOMPARE(values.load, 3000);
        QCOMPARE(values.disp, 4000);
    }

    // A reply read as raw counts; a read started while one waits is refused
    // at once and sends nothing.
    void replyIsReadAndANestedReadIsRefusedAtOnce() {
        QObject scope; // timers that must not outlive this test
        QVERIFY(startDevice({"--delay-ms", "150"}));
        QVERIFY(m_sim->command("hold 500 600"));
        QSignalSpy finished(&device(), &Interface::readFinished);
        bool nestedResult = true;
        Values nested;
        QTimer::singleShot(30, &scope, [&] { nestedResult = getVals(nested); });
        Values values;

        QVERIFY(getVals(values));

        QVERIFY(!nestedResult && nested.untouched());
        QCOMPARE(values.load, 500);
        QCOMPARE(values.disp, 600);
        QCOMPARE(m_rig->link.written.count("RV\r"), 1);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!device().readInProgress());
    }

    // Closing or abandoning ends a waiting read at once, not at its time
    // limit. While closing, reads fail without sending; afterwards, and after
    // an abandon, reads work again.
    void waitingReadGivesUpAtOnce_data() {
        QTest::addColumn<bool>("closing");
        QTest::newRow("closing") << true;
        QTest::newRow("abandoned") << false;
    }
    void waitingReadGivesUpAtOnce() {
        QFETCH(bool, closing);
        QObject scope; // timers that must not outlive this test
        QVERIFY(startDevice());
        QVERIFY(m_sim->command("silent"));
        QSignalSpy finished(&device(), &Interface::readFinished);
        QTimer::singleShot(
            50, &scope, [&] { closing ? device().setAppClosing(true) : device().abandonRead(); });
        Values values;

        QVERIFY(!getVals(values));

        QCOMPARE(finished.size(), 1);
        if (closing) {
            m_rig->link.written.clear();
            QVERIFY(!getVals(values));
            QVERIFY(m_rig->link.written.isEmpty() && values.untouched());
            QCOMPARE(finished.size(), 1);
            device().setAppClosing(false);
        }
        QVERIFY(m_sim->command("answer"));
        QVERIFY(m_sim->command("hold 11 22"));
        QVERIFY(getVals(values));
        QCOMPARE(values.load, 11);
        QCOMPARE(values.disp, 22);
    }

    void deviceThatVanishesMidReadFailsCleanly() {
        QObject scope; // timers that must not outlive this test
        QVERIFY(startDevice());
        QVERIFY(m_sim->command("silent"));
        QTimer::singleShot(50, &scope, [&] { m_sim->stop(); });
        // Should the loss go unnoticed, the read would wait for this.
        QTimer::singleShot(5000, &scope, [&] { m_rig->manual.advance(10); });
        QElapsedTimer wall;
        wall.start();
        Values values;

        QVERIFY(!getVals(values));

        QVERIFY2(wall.elapsed() < 3000, qPrintable(QString::number(wall.elapsed())));
        QVERIFY(!m_rig->link.isOpen());
        QVERIFY(!getVals(values));
        QVERIFY(values.untouched());
        // Nothing keeps the thread busy once the device is gone.
        const double cpuBefore = CpuSeconds();
        QTest::qWait(300);
        QVERIFY2(CpuSeconds() - cpuBefore < 0.05,
                 qPrintable(QString::number(CpuSeconds() - cpuBefore)));
    }

    void silentDeviceOnTheRealClockGivesUpWithinTwoSecondsWhileSleeping() {
        QVERIFY(startDevice());
        QVERIFY(m_sim->command("silent"));
        SystemClock realClock;
        m_rig->clock.use(realClock);
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = CpuSeconds();
        Values values;

        QVERIFY(!getVals(values));

        const double seconds = wall.elapsed() / 1000.0;
        const double cpu = CpuSeconds() - cpuBefore;
        QVERIFY2(seconds >= 0.99 && seconds < 2.2, qPrintable(QString::number(seconds)));
        QVERIFY2(cpu < 0.05 * seconds, qPrintable(QStringLiteral("%1 s CPU").arg(cpu)));
        QVERIFY(values.untouched());
    }
};

QTEST_MAIN(TestGetVals)
#include "tst_getvals.moc"
