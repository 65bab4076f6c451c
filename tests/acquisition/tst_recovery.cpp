#include "acquisition/runexperiment.h"
#include "acquisition/testjournal.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "shell/mainfixture.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <sys/mount.h>
#include <unistd.h>

// A test survives the program: the program runs a tension test in a child
// process against the simulator and is killed with SIGKILL while gathering;
// started again, it offers the test back and recovers exactly the readings
// the simulator sent, less at most the last half second. The child is this test program itself,
// started with the simulator's path in kChildVariable.
namespace {
constexpr char kChildVariable[] = "TORVIK_RECOVERY_CHILD";
constexpr int kRestLines = 20;
// At 56000 baud a reading takes 1/373 s; half a second of them may be lost,
// and one more that was on its way.
constexpr int kHalfSecondOfReadings = 373 / 2 + 1;

using Reading = std::pair<int, int>; // raw load, raw displacement

// Rest, then a tensile load rising from 6 lbf without a drop.
QList<Reading> tensionScript(int rising) {
    QList<Reading> lines(kRestLines, {32768, 30000});
    for (int i = 0; i < rising; ++i)
        lines.append({33000 + i, 30000 - i});
    return lines;
}

QList<Reading> readings(const Experiment& experiment) {
    QList<Reading> result;
    for (int i = 1; i <= experiment.Count(); ++i)
        result.append(
            {experiment.DigitalLoad().Value(i), experiment.DigitalDisplacement().Value(i)});
    return result;
}

int journalledReadings(const QString& folder) {
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.journal")});
    if (names.isEmpty())
        return 0;
    QFile journal(QDir(folder).filePath(names.constFirst()));
    const int headerLines = 5;
    return journal.open(QIODevice::ReadOnly) ? int(journal.readAll().count('\n')) - headerLines : 0;
}

int runChild(const QString& simPath) {
    MainFixture f;
    f.configure(simPath);
    f.start().show();
    f.item<QAction>("mnuTension").trigger();
    return QCoreApplication::exec();
}
} // namespace

class TestRecovery : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("XDG_STATE_HOME", m_state.path().toLocal8Bit()); }

    void killedWhileGatheringRecoversAllButTheLastHalfSecond() {
        SimProcess sim;
        QVERIFY(sim.start({"--baud", "56000", "--log"}));
        const QList<Reading> script = tensionScript(20000);
        QVERIFY(startScript(sim, script));
        QProcess child;
        startChild(child, sim.path());
        QVERIFY(SimProcess::waitFor([this] { return journalledReadings(folder()) >= 400; }, 20000));
        child.kill();
        QVERIFY(child.waitForFinished(5000));
        const int readsSent = int(sim.requests().count(QStringLiteral("RV")));

        const QList<Reading> recovered = recover(Dialogs::Answer::Yes);
        const qsizetype first = script.indexOf(recovered.value(0));
        QVERIFY(first >= kRestLines);
        QCOMPARE(recovered, script.mid(first, recovered.size())); // none invented
        QVERIFY2(
            recovered.size() >= readsSent - first - kHalfSecondOfReadings,
            qPrintable(QStringLiteral("%1 of %2").arg(recovered.size()).arg(readsSent - first)));
        QVERIFY(m_main.main->experimentPresent() && !m_main.main->dataSaved());
        QCOMPARE(m_main.main->currentExperiment().TestType(), 3);
        QVERIFY(m_main.item<QAction>("mnuSave").isEnabled());

        // Dropped knowingly (No on leaving), the journal goes: nothing is
        // offered next time.
        m_main.dialogs.answers = {Dialogs::Answer::No};
        QVERIFY(m_main.main->close());
        QCOMPARE(journalledReadings(folder()), 0);
    }

    // A journal on a folder mounted read-only after a power cut is offered all
    // the same; when it then cannot be removed, the operator is told that it
    // will be offered again.
    void journalThatCannotBeRemovedIsTold() {
        if (geteuid() != 0 || !QDir().mkpath(folder()) ||
            mount("tmpfs", qPrintable(folder()), "tmpfs", 0, "size=1m") != 0)
            QSKIP("needs root, to mount a folder read-only");
        const auto unmount = qScopeGuard([this] { umount2(qPrintable(folder()), MNT_DETACH); });
        {
            TestJournal journal(folder());
            QVERIFY(journal.begin({kTestCompression, 1.0f, 0, 1796560000}));
            journal.append(30000, 100);
        }
        QVERIFY(mount("tmpfs", qPrintable(folder()), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) ==
                0);
        QCOMPARE(recover(Dialogs::Answer::Yes), (QList<Reading>{{30000, 100}}));
        m_main.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Ok};
        QVERIFY(m_main.main->close());
        const QString told = m_main.dialogs.texts().constLast();
        QVERIFY2(told.startsWith("The test journal " + folder() + "/test-") &&
                     told.endsWith(").  It will be offered again at the next start."),
                 qPrintable(told));
    }

    // The test still runs without its journal; the operator is told once in
    // a box before the window opens, and in the window while it gathers.
    void unwritableStateFolderWarnsOnceAndTheTestRuns() {
        QFile blocker(m_state.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        qputenv("XDG_STATE_HOME", blocker.fileName().toLocal8Bit());
        MainFixture f;
        QVERIFY(f.startOnMachine());
        QString told;
        const ModalWatcher byHand("RunExperiment", [&told](QWidget& window) {
            const auto* label = window.findChild<QLabel*>("labelJournalFailed");
            told = label->isVisible() ? label->accessibleDescription() : QString();
            return RunTestByHand(window);
        });
        f.item<QAction>("mnuCompression").trigger();
        QCOMPARE(told, RunExperiment::kJournalFailedText);
        QCOMPARE(f.dialogs.texts().size(), 2);
        QVERIFY(f.dialogs.texts().constFirst().startsWith(QStringLiteral("Torvik cannot keep")));
        QCOMPARE(f.dialogs.texts().constLast(), QStringLiteral("Test complete."));
        QVERIFY(f.main->currentExperiment().Count() > 0);
        qputenv("XDG_STATE_HOME", m_state.path().toLocal8Bit());
    }

private:
    QString folder() const { return m_state.filePath(QStringLiteral("Torvik")); }

    bool startScript(SimProcess& sim, const QList<Reading>& script) {
        QFile file(m_state.filePath(QStringLiteral("script.txt")));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        for (const Reading& line : script)
            file.write(QByteArray::number(line.first) + ' ' + QByteArray::number(line.second) +
                       '\n');
        file.close();
        return sim.command("script " + file.fileName());
    }

    static void startChild(QProcess& child, const QString& simPath) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(kChildVariable, simPath);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {});
    }

    QList<Reading> recover(Dialogs::Answer answer) {
        m_main.main.reset();
        m_main.configure(QString());
        m_main.start().show();
        m_main.dialogs.messages.clear();
        m_main.dialogs.answers = {answer};
        m_main.main->offerRecovery();
        return readings(m_main.main->currentExperiment());
    }

    QTemporaryDir m_state;
    MainFixture m_main;
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildVariable))
        return runChild(qEnvironmentVariable(kChildVariable));
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
