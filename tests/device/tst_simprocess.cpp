// torvik-sim as a process: its path line, settings registration, commands on
// standard input, signals, and pacing on a real pseudo-terminal.

#include "platform/qtseriallink.h"
#include "platform/settingsstore.h"
#include "simprocess.h"

#include <QElapsedTimer>
#include <QtTest>
#include <csignal>

class TestSimProcess : public QObject {
    Q_OBJECT

private:
    static QString registered(int port) {
        return SettingsStore().read(QStringLiteral("Ports"), QStringLiteral("Port %1").arg(port));
    }

private slots:
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
        QCOMPARE(registered(2), sim.path());
        QVERIFY(registered(1).isEmpty());

        if (ending == "quit")
            QVERIFY(sim.command("quit"));
        else
            ::kill(pid_t(sim.process().processId()), ending == "SIGINT" ? SIGINT : SIGTERM);
        QVERIFY(SimProcess::waitFor([&] { return sim.process().state() == QProcess::NotRunning; }));

        QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process().exitCode(), 0);
        QVERIFY(registered(2).isEmpty());
    }

    void laterSimulatorsRegistrationIsLeftAlone() {
        SimProcess first;
        SimProcess second;
        QVERIFY(first.start({"--register", "1"}));
        QVERIFY(second.start({"--register", "1"}));
        first.stop();
        QCOMPARE(registered(1), second.path());
        second.stop();
        QVERIFY(registered(1).isEmpty());
    }

    void keepsAnsweringAfterStandardInputCloses() {
        SimProcess sim;
        QVERIFY(sim.start());
        sim.process().closeWriteChannel();
        QtSerialLink link;
        QCOMPARE(link.open(sim.path()), SerialLink::OpenResult::Opened);
        QVERIFY(link.write("RV\r"));
        QVERIFY(SimProcess::waitFor([&] { return link.bytesAvailable() >= 12; }));
        QCOMPARE(sim.process().state(), QProcess::Running);
    }

    void pacedRepliesTakeTheLinesTime() {
        SimProcess sim;
        QVERIFY(sim.start({"--baud", "56000"}));
        QtSerialLink link;
        QCOMPARE(link.open(sim.path()), SerialLink::OpenResult::Opened);
        constexpr int kReplies = 100;
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(link.write(QByteArray("RV\r").repeated(kReplies)));
        QVERIFY(SimProcess::waitFor([&] { return link.bytesAvailable() >= 12 * kReplies; }));
        // 1,200 characters of 10 bits at 56000 baud: 214 ms at least.
        const double minimumMs = 12.0 * kReplies * 10.0 / 56.0;
        QVERIFY2(elapsed.elapsed() >= minimumMs * 0.95,
                 qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY2(elapsed.elapsed() < minimumMs * 3, qPrintable(QString::number(elapsed.elapsed())));
    }

    void helpAndMistakes() {
        QProcess help;
        help.start(SimProcess::program(), {"--help"});
        QVERIFY(help.waitForFinished(5000));
        QCOMPARE(help.exitCode(), 0);
        const QByteArray text = help.readAllStandardOutput();
        QVERIFY(text.contains("Usage: torvik-sim"));
        QVERIFY(text.contains("hold LOAD DISP"));

        QProcess wrong;
        wrong.start(SimProcess::program(), {"--register", "9"});
        QVERIFY(wrong.waitForFinished(5000));
        QCOMPARE(wrong.exitCode(), 2);
        QVERIFY(wrong.readAllStandardError().contains("--register"));
    }
};

QTEST_GUILESS_MAIN(TestSimProcess)
#include "tst_simprocess.moc"
