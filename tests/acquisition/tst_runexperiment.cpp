#include "acquisition/livecurve.h"
#include "acquisition/runexperiment.h"
#include "model/currentcalibration.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "support/machinefixture.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QXYSeries>
#include <algorithm>

using Loads = QList<int>;

// The acquisition window over the simulator: when it starts and stops by
// itself, by hand and by its timer, closing it, and a machine that stops
// answering. Calibration ratio 1, offset 0: 167 counts from zero (32768)
// are 5.0 lbf, 168 are 5.2 lbf, and a count of 0 is 1000 lbf.
class TestRunExperiment : public QObject {
    Q_OBJECT

private slots:
    void init() {
        SetCurrentLoadCellRatio(1.0F); // the offset stays 0
        m_f = std::make_unique<MachineFixture>();
        QVERIFY(m_f->start() && m_f->sim->command("hold 32735 1000")); // 1 lbf
        m_experiment.Clear();
        m_experiment.SetLoadCellRatio(1.0F);
    }

    void autoStartAndStopHonourTheirThresholds_data() {
        for (const char* name : {"testType", "units"})
            QTest::addColumn<int>(name);
        QTest::addColumn<Loads>("loads");
        QTest::addColumn<QString>("waiting"); // the status shown while it waits
        QTest::addColumn<Loads>("points");    // empty: it must not start
        QTest::newRow("5.0 lbf does not start")
            << 2 << 1 << Loads{32768, 32601} << "5 lbs" << Loads{};
        QTest::newRow("5.2 lbf starts, +100 counts go on, +101 stop")
            << 2 << 1 << Loads{32768, 32600, 32500, 32600, 32701, 0} << ""
            << Loads{32500, 32600, 32701};
        QTest::newRow("metric display, pound threshold")
            << 2 << 2 << Loads{32601} << "23 N" << Loads{};
        QTest::newRow("tension shows positive, waits")
            << 3 << 1 << Loads{32935} << "5 lbs" << Loads{};
        QTest::newRow("tension starts, -100 go on, -101 stop")
            << 3 << 1 << Loads{32768, 32936, 33000, 32900, 32799, 0} << ""
            << Loads{33000, 32900, 32799};
    }
    void autoStartAndStopHonourTheirThresholds() {
        QFETCH(int, testType);
        QFETCH(QString, waiting);
        QFETCH(Loads, points);
        QFETCH(Loads, loads);
        QFETCH(int, units);
        m_units = units;
        QVERIFY(script(loads));
        run(testType, [&](RunExperiment& w) {
            if (!waiting.isEmpty() && text(w, "statusPanel") == waiting)
                w.close();
        });
        QCOMPARE(m_window->TestDone(), !points.isEmpty());
        QCOMPARE(m_f->dialogs.texts(),
                 points.isEmpty() ? QStringList() : QStringList{"Test complete."});
        QCOMPARE(storedLoads(), points);
    }

    // START and STOP (or the timer) by hand: a sudden drop does not end it,
    // the timer runs from the start of gathering, overloads show red.
    void handStartedTestEndsOnStopOrOnItsTimer_data() {
        QTest::addColumn<bool>("byTimer");
        QTest::newRow("STOP") << false;
        QTest::newRow("timer") << true;
    }
    void handStartedTestEndsOnStopOrOnItsTimer() {
        QFETCH(bool, byTimer);
        const QStringList holds = {"hold 30000 1000", "hold 32768 2000", "hold 0 3000"};
        const QStringList shown = {"Gathering Data...", "84.4", "0", "1000"}; // before each hold
        qsizetype next = -1;
        run(kCompression, [&](RunExperiment& w) {
            auto* timer = w.findChild<QTimer*>("experimentTimer");
            const QString watched = text(w, next <= 0 ? "statusPanel" : "textLoad");
            if (next == -1 && watched == "1 lbs") {
                ++next;
                QVERIFY(!timer->isActive());
                w.findChild<QAbstractButton*>("checkAutoStart")->click();
                w.findChild<QAbstractButton*>("buttonStart")->click();
            } else if (next >= 0 && next < holds.size() && watched == shown[next]) {
                QVERIFY(next > 0 || timer->remainingTime() > 29000);
                QVERIFY(m_f->sim->command(holds[next++]));
            } else if (next == holds.size() && watched == shown.last()) {
                ++next;
                QCOMPARE(w.findChild<QWidget*>("textLoad")->palette().color(QPalette::Text),
                         QColor(255, 0, 0));
                QCOMPARE(w.findChild<QWidget*>("textLoad")->accessibleDescription(), "1000");
                byTimer ? timer->setInterval(1)
                        : w.findChild<QAbstractButton*>("buttonStop")->click();
            }
        });
        QVERIFY(m_window->TestDone());
        QCOMPARE(m_f->dialogs.texts(), QStringList{"Test complete."});
        // Auto stop was off: the drop from 30000 to 32768 counts went on.
        QVERIFY(storedLoads().contains(30000) && storedLoads().contains(32768));
        QCOMPARE(storedLoads().last(), 0);
    }

    // Closing while waiting is no test; closing while gathering ends it like
    // STOP. Escape closes a waiting window like its close box and does nothing
    // while gathering. A machine that goes quiet or away: only readings that
    // arrived make points, and without any there is no test. STOP or a close
    // ends a read that waits for its reply at once, not at the read's limit;
    // while it waits, the window shows every point gathered.
    void closeOrFailingMachineEndsTheRun_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("gathering");
        QTest::addColumn<bool>("done");
        QTest::newRow("closed while waiting") << "close" << false << false;
        QTest::newRow("closed while gathering") << "close" << true << true;
        QTest::newRow("escape while waiting") << "escape" << false << false;
        QTest::newRow("escape while gathering") << "escape" << true << true;
        QTest::newRow("quiet while gathering") << "silent" << true << true;
        QTest::newRow("quiet from the start") << "silent" << false << false;
        QTest::newRow("unplugged while gathering") << "unplug" << true << true;
        QTest::newRow("STOP while a read waits") << "STOP mid-read" << true << true;
        QTest::newRow("closed while a read waits") << "close mid-read" << true << true;
    }
    void closeOrFailingMachineEndsTheRun() {
        QFETCH(QString, fault);
        QFETCH(bool, gathering);
        QFETCH(bool, done);
        int step = 0;
        qint64 quietSince = 0;
        QElapsedTimer sinceQuiet;
        QElapsedTimer sinceStop;
        const bool midRead = fault.endsWith("mid-read");
        int ticksAfterEscape = 0;
        bool toldStopped = false; // the status said so, readably
        QString shownAtStop;
        std::int32_t gatheredAtStop = 0;
        run(kCompression, [&](RunExperiment& w) {
            const QString status = text(w, "statusPanel");
            toldStopped |= status == RunExperiment::kStoppedAnsweringText &&
                           accessibleDescription(w, "statusPanel") == status;
            if (step == 0 && status == "1 lbs") {
                ++step;
                if (gathering)
                    w.findChild<QAbstractButton*>("buttonStart")->click();
            } else if (step == 1 && (!gathering || text(w, "textLoad") == "1")) {
                ++step;
                if (fault == "close")
                    return void(w.close());
                if (fault == "escape")
                    return QTest::keyClick(&w, Qt::Key_Escape);
                if (!midRead)
                    m_f->advanceAlways();
                if (fault == "unplug")
                    m_f->sim.reset();
                else
                    QVERIFY(m_f->sim->command("silent"));
                quietSince = m_f->clock.wholeSeconds();
                sinceQuiet.start();
            } else if (midRead && step == 2 && sinceQuiet.elapsed() > 300) {
                step = 5; // a read waits, and the clock holds still while it does
                // No request goes out meanwhile; the curve shows every point all the same.
                shownAtStop = w.findChild<LiveCurve*>()->accessibleDescription();
                gatheredAtStop = m_experiment.Count();
                sinceStop.start();
                fault == "close mid-read" ? void(w.close())
                                          : w.findChild<QAbstractButton*>("buttonStop")->click();
            } else if (step == 5 && sinceStop.elapsed() > 2000) {
                m_f->advanceAlways(); // the read was not ended: let it time out
            } else if (step == 2 && fault == "escape") {
                if (++ticksAfterEscape > 200) // still running a second later
                    ++step, w.close();
            } else if (!midRead && step == 2 && m_f->clock.wholeSeconds() > quietSince + 3) {
                ++step; // any reply on its way has arrived or been given up
                w.findChild<QAbstractButton*>("buttonStart")->click();
            } else if (step == 3 && (status == "Gathering Data..." ||
                                     status == RunExperiment::kStoppedAnsweringText)) {
                ++step;
                w.findChild<QAbstractButton*>("buttonStop")->click();
            }
        });
        QVERIFY2(!midRead || sinceStop.elapsed() < 1000, qPrintable(fault));
        QCOMPARE(toldStopped, fault == "unplug" || fault == "silent");
        QCOMPARE(shownAtStop, midRead ? QString("%1 points").arg(gatheredAtStop) : QString());
        QCOMPARE(m_window->TestDone(), done);
        QVERIFY(fault != "escape" || step == (gathering ? 3 : 2));
        const QStringList message = {done ? "Test complete." : RunExperiment::kNoReadingMessage};
        QCOMPARE(m_f->dialogs.texts(), gathering || fault == "silent" ? message : QStringList());
        QVERIFY(!storedLoads().contains(0) && storedLoads().isEmpty() != done);
        QCOMPARE(text(*m_window, "textLoad").isEmpty(), !done);
    }

    // STOP while the first reading of gathering is on its way: a machine that
    // answers is given the moment its reply needs, and the point is stored;
    // one that has stopped answering ends the test at once, without a point.
    void stopWhileTheFirstReadingIsOnItsWay_data() {
        QTest::addColumn<bool>("answering");
        QTest::newRow("answering machine: the point is kept") << true;
        QTest::newRow("silent machine: ends at once") << false;
    }
    void stopWhileTheFirstReadingIsOnItsWay() {
        QFETCH(bool, answering);
        QVERIFY(m_f->sim->command(answering ? "delay 60" : "silent"));
        if (!answering) {
            m_f->advanceAlways();
            std::int32_t load = 0;
            std::int32_t disp = 0;
            QVERIFY(!m_f->machine->GetVals(load, disp) && !m_f->machine->answering());
            // Once gathering, reads wait for good.
            m_f->clockDriver.mayAdvance = [this] {
                return !m_window ||
                       text(*m_window, "statusPanel") != RunExperiment::kStoppedAnsweringText;
            };
        }
        QElapsedTimer sinceStop;
        run(kCompression, [&](RunExperiment& w) {
            w.findChild<QAbstractButton*>("buttonStart")->click(); // once: then disabled
            const QString status = text(w, "statusPanel");
            if (!sinceStop.isValid() && m_f->machine->readInProgress() &&
                (status == "Gathering Data..." || status == RunExperiment::kStoppedAnsweringText)) {
                sinceStop.start();
                w.findChild<QAbstractButton*>("buttonStop")->click();
            }
        });
        QCOMPARE(m_window->TestDone(), answering);
        QCOMPARE(storedLoads(), answering ? Loads{32735} : Loads{});
        QCOMPARE(m_f->dialogs.texts(), QStringList{answering ? QString("Test complete.")
                                                             : RunExperiment::kNoReadingMessage});
        // A grace would be nearly all used up.
        QVERIFY2(answering || sinceStop.elapsed() < Interface::kReplyGraceMsecs / 2,
                 qPrintable(QString::number(sinceStop.elapsed())));
    }

    // Every point gathered counts on the live curve: a drop between two
    // refreshes, one point among thousands, is drawn.
    void liveCurveDrawsEveryDrop() {
        LiveCurve curve;
        m_experiment.SetTestType(kTestTension);
        const auto add = [&](int from, int to) {
            for (int i = from; i < to; ++i)
                m_experiment.AddDataPoint(i == 7777 ? 32268 : 32768 + i, 62000 - i);
        };
        add(0, 5000);
        curve.start(m_experiment, kUnitsEnglish);
        curve.refresh();
        add(5000, 10000);
        curve.refresh();
        const double drop = m_experiment.load(7778, kUnitsEnglish); // the only load below 0
        const auto line = [&] {
            return static_cast<QXYSeries*>(curve.chart()->series().constFirst())->points();
        };
        // Drawn at the centre of its pixel, within a pixel of its load.
        QTRY_VERIFY(std::ranges::any_of(line(), [&](QPointF p) { return p.y() < drop / 2; }));
    }

private:
    static constexpr int kCompression = 2;

    // Reads from now on answer the given loads in turn, the last one for good.
    bool script(const Loads& loads) {
        QFile file(m_dir.filePath("script.txt"));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        for (int i = 0; i < loads.size(); ++i)
            file.write(QByteArray::number(loads[i]) + ' ' + QByteArray::number(1000 + i) + '\n');
        file.close();
        return m_f->sim->command("script " + file.fileName());
    }
    // Shows a fresh window until it closes, handing it to `step` every few
    // milliseconds from within its run.
    void run(int testType, const std::function<void(RunExperiment&)>& step) {
        m_window = std::make_unique<RunExperiment>(*m_f->machine, m_experiment, m_f->dialogs,
                                                   [this] { return m_units; });
        m_window->SetTestType(testType);
        const Stepper stepper([&] { return step(*m_window), false; });
        m_window->exec();
    }
    static QString accessibleDescription(const QWidget& w, const char* name) {
        return w.findChild<QWidget*>(name)->accessibleDescription();
    }
    static QString text(const QWidget& w, const char* name) {
        return w.findChild<QWidget*>(name)->property("text").toString();
    }
    Loads storedLoads() const {
        Loads loads;
        for (int i = 1; i <= m_experiment.Count(); ++i)
            loads.append(m_experiment.DigitalLoad().Value(i));
        return loads;
    }

    std::unique_ptr<MachineFixture> m_f;
    Experiment m_experiment;
    std::unique_ptr<RunExperiment> m_window;
    int m_units = 1;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestRunExperiment)
#include "tst_runexperiment.moc"
