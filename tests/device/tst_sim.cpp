// torvik-sim, the interface box that the device tests and operators run
// against: its replies and commands, the automatic cycle, and the process.

#include "interfacebox.h"
#include "platform/qtseriallink.h"
#include "platform/settingsstore.h"
#include "simcommands.h"
#include "simprocess.h"
#include "specimen.h"

#include <QRegularExpression>
#include <QtTest>
#include <csignal>

namespace {
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
    // Requests however they arrive, and the commands that choose the replies,
    // step by step from a table.
    void answersRequestsAndCommandsInTurn() {
        Box b;
        QFile table(TORVIK_TEST_DATA "boxreplies.tsv");
        QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
        while (!table.atEnd()) {
            const QByteArray line = table.readLine().chopped(1);
            const QList<QByteArray> step = line.split('\t');
            if (line.startsWith('#') || step.size() != 3)
                continue;
            const std::string text =
                QByteArray(step[1]).replace("DATA/", TORVIK_TEST_DATA).toStdString();
            std::string answer;
            if (step[0] == "requests")
                for (const std::string& request : b.box.takeRequests())
                    answer += request + ' ';
            else
                answer = step[0] == "send" ? b.send(Unescaped(text)) : b.apply(text);
            QVERIFY2(QRegularExpression(QString::fromUtf8(step[2]))
                         .match(QString::fromStdString(answer))
                         .hasMatch(),
                     line.constData());
        }
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
