#include "acquisition/testjournal.h"
#include "model/currentcalibration.h"
#include "model/experiment.h"
#include "platform/dialogmessages.h"
#include "shell/mainfixture.h"

#include <QAbstractButton>
#include <QMenu>
#include <QTemporaryDir>

// File, New on the main window over the simulator, end to end: the test runs
// in the acquisition window and lands in the main window ready to save; the
// unsaved-data question comes first; each test keeps the calibration it was
// started with. The cases run in order on one window.
class TestNewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        UseOwnSettingsFolder();
        QVERIFY(m_f.startOnMachine());
    }

    void tensionTestRunsByItselfAndRoundTripsThroughItsFile() {
        // 33000 counts are 7.1 lbf of tension; back at zero it broke.
        QFile script(m_dir.filePath("tension.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("32768 1000\n33000 1000\n33500 900\n34000 800\n34500 700\n32768 650\n");
        script.close();
        bool paused = false;
        QString caption;
        const ModalWatcher watcher("RunExperiment", [&](QWidget& window) {
            if (!caption.isNull())
                return false; // the command below runs window events
            caption = window.findChild<QWidget*>("labelTestType")->property("text").toString();
            paused = m_f.liveLoadPanel().text().isEmpty() && !m_f.mainTimer().isActive() &&
                     m_f.item<QMenu>("mnuAxis").menuAction()->isEnabled();
            return m_f.sim->command("script " + script.fileName());
        });
        m_f.item<QAction>("mnuTension").trigger();
        QVERIFY(watcher.done() && paused && caption == "Tension");
        QCOMPARE(m_f.dialogs.texts(), QStringList{"Test complete."});
        QVERIFY(m_f.main->experimentPresent() && !m_f.main->dataSaved());
        QVERIFY(m_f.item<QAction>("mnuSave").isEnabled() && m_f.mainTimer().isActive());

        const Experiment& test = m_f.main->currentExperiment();
        QCOMPARE(loads(test), QList<int>({33500, 34000, 34500, 32768}));
        QVERIFY(test.TestType() == 3 && test.MaxLoad(1) > 0.0F);
        // Finished, the test is wholly on the disk until it is saved.
        QFile journal(m_f.main->journal().path());
        QVERIFY(journal.open(QIODevice::ReadOnly) &&
                journal.readAll().endsWith("\n33500 900\n34000 800\n34500 700\n32768 650\n"));
        QVERIFY(test.SaveFile(m_file.toStdString()));
    }

    void newAsksFirstAndEachTestKeepsItsCalibration() {
        m_f.dialogs.answers = {Dialogs::Answer::Cancel};
        m_f.item<QAction>("mnuCompression").trigger();
        QCOMPARE(m_f.dialogs.texts().last(), "Data not saved.  Save?");
        // On Open, No keeps the test and its journal until a file replaces them.
        m_f.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::No};
        m_f.dialogs.fileNames = {QString(), m_file};
        m_f.item<QAction>("mnuOpen").trigger();
        QVERIFY(m_f.main->currentExperiment().Count() == 4 && m_f.main->journal().isOpen());
        m_f.item<QAction>("mnuOpen").trigger();
        QVERIFY(m_f.main->dataSaved() && !m_f.main->journal().isOpen());

        // The ratio is taken as the file keeps it: the test converts alike live and reopened.
        SetCurrentLoadCellRatio(3.906F / 3.7F);
        SetCurrentLoadCellOffset(-20);
        m_f.dialogs.answers = {Dialogs::Answer::No};
        const ModalWatcher byHand("RunExperiment", RunTestByHand);
        m_f.item<QAction>("mnuCompression").trigger();
        const Experiment& second = m_f.main->currentExperiment();
        QVERIFY(second.Count() > 0 && second.TestType() == 2 && second.LoadCellOffset() == -20);
        QVERIFY(!m_f.item<QMenu>("mnuAxis").menuAction()->isEnabled());
        Experiment first;
        DialogMessages messages(m_f.dialogs);
        QVERIFY(first.LoadFile(m_file.toStdString(), messages));
        QVERIFY(first.LoadCellRatio() == 1.0F && first.LoadCellOffset() == 0);
        const std::string secondFile = m_dir.filePath("second.tdf").toStdString();
        QVERIFY(second.SaveFile(secondFile) && first.LoadFile(secondFile, messages));
        QVERIFY(second.LoadCellRatio() == first.LoadCellRatio() && loads(first) == loads(second));

        // Closed before it started: no test, the display empty, the
        // document commands as they were.
        m_f.dialogs.answers = {Dialogs::Answer::No};
        const ModalWatcher closing("RunExperiment", [](QWidget& window) { return window.close(); });
        m_f.item<QAction>("mnuHardness").trigger();
        QVERIFY(m_f.main->currentExperiment().Count() == 0 && !m_f.main->journal().isOpen());
        QVERIFY(m_f.item<QAction>("mnuSave").isEnabled() && m_f.mainTimer().isActive());
        QCOMPARE(m_f.dialogs.texts().count("Test complete."), 2);
    }

private:
    static QList<int> loads(const Experiment& experiment) {
        QList<int> result;
        for (int i = 1; i <= experiment.Count(); ++i)
            result.append(experiment.DigitalLoad().Value(i));
        return result;
    }

    MainFixture m_f;
    QTemporaryDir m_dir;
    const QString m_file = m_dir.filePath("tension.tdf");
};

QTEST_MAIN(TestNewTest)
#include "tst_newtest.moc"
