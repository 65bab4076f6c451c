// torvik-sim, the interface box that the device tests and operators run
// against: its replies and commands, the automatic cycle, and the process.

#include "interfacebox.h"
#include "platform/qtseriallink.h"
#include "platform/settingsstore.h"
#include "simcommands.h"
#include "simprocess.h"
#include "specimen.h"

#include <QRegularExpression>
#include <QTemporaryFile>
#include <QtTest>
#include <csignal>

namespace {
const QRegularExpression kReadingReply(QStringLiteral("^\\d{5},\\d{5}\\r$"));

// A box over a resting tension sample, with its commands.
struct Box {
    explicit Box(const BoxSettings& settings = {}) : box(specimen, settings, 1) {}
    std::string send(std::string_view request) {
        box.receive(request, 1.0);
        return box.takeDue(1.0);
    }
    std::string apply(std::string_view line) { return commands.apply(line, 1.0).reply; }

    Specimen specimen{SpecimenKind::Tension, 0, 1, 0.0};
    InterfaceBox box;
    SimCommands commands{box, specimen};
};

QString Registered(int port) {
    return SettingsStore().read(QStringLiteral("Ports"), QStringLiteral("Port %1").arg(port));
}
} // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void answersEachRequestHoweverItArrives() {
        Box b;
        QVERIFY2(kReadingReply.match(QString::fromStdString(b.send("RV\r"))).hasMatch(), "RV");
        QVERIFY(b.send("CAL\r").empty());
        QVERIFY(QByteArray::fromStdString(b.send("IDN?\r")).contains("6194"));
        QVERIFY(b.send("R").empty());
        QCOMPARE(b.send("V\rRV\n").size(), std::size_t(24));
        QCOMPARE(b.box.takeRequests(), (std::vector<std::string>{"RV", "CAL", "IDN?", "RV", "RV"}));
    }

    void commandsChooseTheReplies() {
        Box b;
        QCOMPARE(b.apply("hold 1234 4321"), std::string("ok hold 1234 4321"));
        QCOMPARE(b.send("RV\rRV\r"), std::string("04321,01234\r04321,01234\r"));
        QCOMPARE(b.apply("raw 00250,     \\r"), std::string("ok raw"));
        QCOMPARE(b.send("RV\r"), std::string("00250,     \r"));
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write("# load disp\n100 200\n\n300, 400\n");
        file.close();
        QCOMPARE(b.apply("script " + file.fileName().toStdString()).substr(0, 2),
                 std::string("ok"));
        QCOMPARE(b.send("RV\rRV\rRV\r"), std::string("00200,00100\r00400,00300\r00400,00300\r"));
        b.apply("silent");
        QVERIFY(b.send("RV\rIDN?\r").empty());
        b.apply("answer");
        b.apply("idle");
        // The sample again: unloaded, within the noise of the zero point 32768.
        const std::string reply = b.send("RV\r");
        QCOMPARE(reply.size(), std::size_t(12));
        QCOMPARE(reply.substr(6, 3), std::string("327"));
        QCOMPARE(b.apply("hold 70000 1"),
                 std::string("error hold needs LOAD DISP, each 0 to 65535"));
        QCOMPARE(b.apply("jump"), std::string("error unknown command jump"));
        QVERIFY(b.commands.apply("quit", 1.0).quit);
    }

    // Rests, loads smoothly to a peak (no fall an automatic stop would take for
    // a break), breaks with a sudden drop, rests and goes round again.
    void automaticCycleBreaksWithASuddenDrop_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("tension") << int(SpecimenKind::Tension);
        QTest::newRow("compression") << int(SpecimenKind::Compression);
        QTest::newRow("hardness") << int(SpecimenKind::Hardness);
    }
    void automaticCycleBreaksWithASuddenDrop() {
        QFETCH(int, kind);
        constexpr double kReadingSeconds = 1.0 / 370.0;
        constexpr double kCountsPerLbf = 32.768;
        constexpr int kAutoStopDropCounts = 100;
        const int sign = SpecimenKind(kind) == SpecimenKind::Tension ? 1 : -1;
        Specimen specimen(SpecimenKind(kind), 0, 7, 0.0);
        const double breakAt = Specimen::kRestSeconds + Specimen::kLoadingSeconds;
        QCOMPARE(specimen.phase(1.0), Specimen::Phase::Resting);
        int peak = 0;
        int travel = 0;
        int loadingDrop = 0;
        int breakDrop = 0;
        int previous = 0;
        for (double t = Specimen::kRestSeconds; t < breakAt + 1.0; t += kReadingSeconds) {
            const RawPair pair = specimen.sample(t);
            const int counts = sign * (pair.load - 32768);
            int& drop = t < breakAt - 0.01 ? loadingDrop : breakDrop;
            drop = std::max(drop, previous - counts);
            peak = std::max(peak, counts);
            travel = std::max(travel, sign * (Specimen::kStartDispCounts - pair.disp));
            previous = counts;
        }
        QVERIFY2(peak > 200 * kCountsPerLbf && peak < 1000 * kCountsPerLbf,
                 qPrintable(QString::number(peak)));
        QVERIFY2(loadingDrop < kAutoStopDropCounts / 4, qPrintable(QString::number(loadingDrop)));
        // Hardness needs 0.015 inch beyond the frame's own deflection.
        QVERIFY(travel > 0.02 * 65535.0 / 4.0);
        QVERIFY2(breakDrop > 10 * kAutoStopDropCounts, qPrintable(QString::number(breakDrop)));
        QCOMPARE(specimen.phase(breakAt + 1.0), Specimen::Phase::Broken);
        QVERIFY(qAbs(specimen.sample(breakAt + 1.0).load - 32768) <= 2);
        const double nextLoading = breakAt + Specimen::kBrokenSeconds + Specimen::kRestSeconds;
        QCOMPARE(specimen.phase(nextLoading + 1.0), Specimen::Phase::Loading);
    }

    void registersItsPortAndRemovesItOnExit_data() {
        QTest::addColumn<QString>("ending");
        QTest::newRow("terminate") << "SIGTERM";
        QTest::newRow("interrupt") << "SIGINT";
        QTest::newRow("quit command") << "quit";
    }
    void registersItsPortAndRemovesItOnExit() {
        QFETCH(QString, ending);
        SimProcess sim;
        QVERIFY(sim.start({"--register", "2"}));
        QCOMPARE(Registered(2), sim.path());
        QVERIFY(Registered(1).isEmpty());

        if (ending == "quit")
            QVERIFY(sim.command("quit"));
        else
            ::kill(pid_t(sim.process().processId()), ending == "SIGINT" ? SIGINT : SIGTERM);
        QVERIFY(SimProcess::waitFor([&] { return sim.process().state() == QProcess::NotRunning; }));

        QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process().exitCode(), 0);
        QVERIFY(Registered(2).isEmpty());
    }

    // Started in the background, standard input closed: it keeps answering,
    // paced as a 56000-baud line.
    void pacedRepliesTakeTheLinesTimeAfterStandardInputCloses() {
        SimProcess sim;
        QVERIFY(sim.start({"--baud", "56000"}));
        sim.process().closeWriteChannel();
        QtSerialLink link;
        QCOMPARE(link.open(sim.path()), SerialLink::OpenResult::Opened);
        constexpr int kReplies = 100;
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(link.write(QByteArray("RV\r").repeated(kReplies)));
        QVERIFY(SimProcess::waitFor([&] { return link.bytesAvailable() >= 12 * kReplies; }));
        // 1,200 characters of 10 bits at 56000 baud: 214 ms at least.
        const double minimumMs = 12.0 * kReplies * 10.0 / 56.0;
        QVERIFY2(elapsed.elapsed() >= minimumMs * 0.95 && elapsed.elapsed() < minimumMs * 3,
                 qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(sim.process().state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
