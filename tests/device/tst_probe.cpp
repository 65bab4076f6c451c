// The port probe of the device link, over real pseudo-terminals served by
// torvik-sim.

#include "probedriver.h"
#include "simprocess.h"

#include <QtTest>
#include <memory>

namespace {
const QString kNotFound = QStringLiteral("No Torvik interface found.");
const QString kInUse = QStringLiteral("No Torvik interface found.  Com port may be in use.");

// A simulator that logs what it receives; null when it did not start.
std::unique_ptr<SimProcess> StartSim(const QStringList& options = {}) {
    auto sim = std::make_unique<SimProcess>();
    return sim->start(QStringList{QStringLiteral("--log")} + options) ? std::move(sim) : nullptr;
}
} // namespace

class TestProbe : public QObject {
    Q_OBJECT

private slots:
    void interfaceOnPortThreeOnlyIsKeptAndPortFourNeverOpened() {
        auto sim1 = StartSim({"--silent"});
        auto sim2 = StartSim({"--silent"});
        auto sim3 = StartSim();
        auto sim4 = StartSim();
        QVERIFY(sim1 && sim2 && sim3 && sim4);
        ProbeRig rig({sim1->path(), sim2->path(), sim3->path(), sim4->path()});
        rig.driver.silentPaths = {sim1->path(), sim2->path()};

        QVERIFY(rig.probe());

        QVERIFY(rig.dialogs.messages.isEmpty());
        QCOMPARE(rig.link.opened, (QStringList{sim1->path(), sim2->path(), sim3->path()}));
        QVERIFY(rig.link.isOpen());
        QCOMPARE(rig.link.currentPath, sim3->path());
        for (SimProcess* sim : {sim1.get(), sim2.get(), sim3.get()}) {
            QVERIFY(sim->waitForRequests(2));
            QCOMPARE(sim->requests(), (QStringList{"CAL", "IDN?"}));
        }
        // Ports 1 and 2 each took one advance of the clock, the splash one more.
        QCOMPARE(rig.driver.splashUpAtAdvance.size(), 3);
    }

    void splashStaysUpForThreeClockSecondsWhenFoundAtOnce() {
        auto sim = StartSim();
        QVERIFY(sim);
        ProbeRig rig({sim->path(), MissingPort(2), MissingPort(3), MissingPort(4)});
        const qint64 start = rig.clock.wholeSeconds();

        QVERIFY(rig.probe());

        QCOMPARE(rig.clock.wholeSeconds() - start, 3);
        QCOMPARE(rig.driver.splashUpAtAdvance, QList<bool>(3, true));
        QVERIFY(!ProbeDriver::splashVisible());
        QCOMPARE(rig.link.opened, QStringList{sim->path()});
        QVERIFY(rig.dialogs.messages.isEmpty());
    }

    void portHeldByAnotherProgramGivesInUseMessage() {
        auto sim2 = StartSim({"--silent"});
        auto sim3 = StartSim({"--silent"});
        QVERIFY(sim2 && sim3);
        QProcess holder;
        QVERIFY(HoldPort(holder, sim2->path()));
        ProbeRig rig({MissingPort(1), sim2->path(), sim3->path(), MissingPort(4)});
        rig.driver.silentPaths = {sim3->path()};

        QVERIFY(!rig.probe());

        QVERIFY(!rig.link.isOpen());
        QCOMPARE(rig.dialogs.texts(), QStringList{kInUse});
        QCOMPARE(rig.dialogs.messages.first().icon, Dialogs::Icon::Information);
        QCOMPARE(rig.dialogs.messages.first().buttons, Dialogs::Buttons::Ok);
        QVERIFY(sim2->requests().isEmpty());
        holder.terminate();
        holder.waitForFinished(5000);
    }

    // A port the operator's account may not open: the plain message with the
    // hint naming the group that owns the serial ports.
    void portRefusedForPermissionAddsGroupHint() {
        ProbeRig rig({MissingPort(1), MissingPort(2), MissingPort(3), MissingPort(4)});
        rig.link.deniedPaths = {MissingPort(2)};

        QVERIFY(!rig.probe());

        QCOMPARE(rig.dialogs.texts(),
                 QStringList{kNotFound + QStringLiteral("  Permission to open a serial port was "
                                                        "refused: add your account to the dialout "
                                                        "group and log in again.")});
    }

    // Silent devices and missing ones alike: every port tried, then the plain
    // message, and reads fail without sending anything.
    void noInterfaceAnywhereGivesPlainMessage() {
        auto sim1 = StartSim({"--silent"});
        auto sim3 = StartSim({"--silent"});
        QVERIFY(sim1 && sim3);
        const QStringList paths{sim1->path(), MissingPort(2), sim3->path(), MissingPort(4)};
        ProbeRig rig(paths);
        rig.driver.silentPaths = {sim1->path(), sim3->path()};

        QVERIFY(!rig.probe());

        QVERIFY(!rig.link.isOpen());
        QCOMPARE(rig.link.opened, paths);
        QCOMPARE(rig.dialogs.texts(), QStringList{kNotFound});
        std::int32_t load = 7;
        std::int32_t disp = 8;
        rig.link.written.clear();
        QVERIFY(!rig.device.GetVals(load, disp));
        QCOMPARE(load, 7);
        QCOMPARE(disp, 8);
        QVERIFY(rig.link.written.isEmpty());
    }

    // The code arrives in pieces; it counts only when complete before the
    // port's second is up.
    void identificationSplitOverSeveralArrivals_data() {
        QTest::addColumn<bool>("clockMovesAfterFirstPiece");
        QTest::newRow("all pieces in time") << false;
        QTest::newRow("completed after the port limit") << true;
    }
    void identificationSplitOverSeveralArrivals() {
        QFETCH(bool, clockMovesAfterFirstPiece);
        auto sim = StartSim({"--split-idn"});
        QVERIFY(sim);
        ProbeRig rig({sim->path(), MissingPort(2), MissingPort(3), MissingPort(4)});
        if (clockMovesAfterFirstPiece)
            rig.driver.allowAdvance = [&] {
                return rig.link.currentPath.isEmpty() || !rig.link.receivedSinceOpen.isEmpty();
            };

        QCOMPARE(rig.probe(), !clockMovesAfterFirstPiece);

        if (clockMovesAfterFirstPiece) {
            QCOMPARE(rig.dialogs.texts(), QStringList{kNotFound});
        } else {
            QVERIFY(rig.dialogs.messages.isEmpty());
            QVERIFY(rig.link.receivedSinceOpen.contains("6194"));
            QVERIFY(!rig.link.receivedSinceOpen.startsWith("6194"));
        }
    }

    void codeSplitAcrossTwoPortsIdentifiesNeither() {
        // Port 1's text ends in "61", port 2's starts with "94": together they
        // hold the code, but neither port does.
        auto sim1 = StartSim({"--idn", "model 61"});
        auto sim2 = StartSim({"--idn", "94 ready\\r"});
        QVERIFY(sim1 && sim2);
        const QStringList paths{sim1->path(), sim2->path(), MissingPort(3), MissingPort(4)};
        ProbeRig rig(paths);
        rig.driver.allowAdvance = [&] {
            return rig.link.currentPath.isEmpty() || rig.link.receivedSinceOpen.contains("61") ||
                   rig.link.receivedSinceOpen.contains("ready");
        };

        QVERIFY(!rig.probe());

        QCOMPARE(rig.link.opened, paths);
        QCOMPARE(rig.dialogs.texts(), QStringList{kNotFound});
    }
};

QTEST_MAIN(TestProbe)
#include "tst_probe.moc"
