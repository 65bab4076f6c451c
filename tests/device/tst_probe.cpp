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
        // Ports 1 and 2 each took one advance of the clock, the splash, up all
        // along, one more: three from the start of the probe.
        QCOMPARE(rig.driver.splashUpAtAdvance, QList<bool>(3, true));
        QVERIFY(!ProbeDriver::splashVisible());
    }

    // No interface: every port tried, the message chosen by what stood in the
    // way on port 2, and reads then fail without sending anything.
    void noInterfaceGivesTheMessageForWhatStoodInTheWay_data() {
        QTest::addColumn<QString>("port2");
        QTest::addColumn<QString>("message");
        QTest::newRow("silent and missing ports") << "silent" << kNotFound;
        QTest::newRow("held by another program") << "held" << kInUse;
        QTest::newRow("refused for permission")
            << "denied"
            << kNotFound + "  Permission to open a serial port was refused: add your account to "
                           "the dialout group and log in again.";
    }
    void noInterfaceGivesTheMessageForWhatStoodInTheWay() {
        QFETCH(QString, port2);
        QFETCH(QString, message);
        auto sim1 = StartSim({"--silent"});
        auto sim2 = StartSim({"--silent"});
        QVERIFY(sim1 && sim2);
        QProcess holder;
        QVERIFY(port2 != "held" || HoldPort(holder, sim2->path()));
        const QStringList paths{sim1->path(), sim2->path(), MissingPort(3), MissingPort(4)};
        ProbeRig rig(paths);
        rig.driver.silentPaths = {sim1->path(), sim2->path()};
        if (port2 == "denied")
            rig.link.deniedPaths = {sim2->path()};

        QVERIFY(!rig.probe());

        QVERIFY(!rig.link.isOpen());
        QCOMPARE(rig.link.opened, paths);
        QCOMPARE(rig.dialogs.texts(), QStringList{message});
        QCOMPARE(rig.dialogs.messages.first().icon, Dialogs::Icon::Information);
        QCOMPARE(rig.dialogs.messages.first().buttons, Dialogs::Buttons::Ok);
        QVERIFY(port2 == "silent" || sim2->requests().isEmpty());
        std::int32_t load = 7;
        std::int32_t disp = 8;
        rig.link.written.clear();
        QVERIFY(!rig.device.GetVals(load, disp));
        QVERIFY(load == 7 && disp == 8 && rig.link.written.isEmpty());
    }

    // The code counts only when one port sent all of it before its second
    // was up: not when the limit cuts its pieces off, nor when "61" ends port
    // 1's text and "94" starts port 2's.
    void identificationCountsOnlyWholeFromOnePortInTime_data() {
        QTest::addColumn<QStringList>("port1");
        QTest::addColumn<QStringList>("port2"); // empty: no device there
        QTest::addColumn<bool>("found"); // if not, the clock moves once a port has sent anything
        QTest::newRow("pieces in time") << QStringList{"--split-idn"} << QStringList() << true;
        QTest::newRow("pieces cut off") << QStringList{"--split-idn"} << QStringList() << false;
        QTest::newRow("split across two ports")
            << QStringList{"--idn", "model 61"} << QStringList{"--idn", "94 ready\\r"} << false;
    }
    void identificationCountsOnlyWholeFromOnePortInTime() {
        QFETCH(QStringList, port1);
        QFETCH(QStringList, port2);
        QFETCH(bool, found);
        auto sim1 = StartSim(port1);
        auto sim2 = port2.isEmpty() ? nullptr : StartSim(port2);
        QVERIFY(sim1 && (sim2 || port2.isEmpty()));
        const QStringList paths{sim1->path(), sim2 ? sim2->path() : MissingPort(2), MissingPort(3),
                                MissingPort(4)};
        ProbeRig rig(paths);
        if (!found)
            rig.driver.allowAdvance = [&] {
                return rig.link.currentPath.isEmpty() || !rig.link.receivedSinceOpen.isEmpty();
            };

        QCOMPARE(rig.probe(), found);

        QCOMPARE(rig.link.opened, found ? paths.mid(0, 1) : paths);
        QCOMPARE(rig.dialogs.texts(), found ? QStringList() : QStringList{kNotFound});
        QVERIFY(!found || !rig.link.receivedSinceOpen.startsWith("6194"));
    }
};

QTEST_MAIN(TestProbe)
#include "tst_probe.moc"
