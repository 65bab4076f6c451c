#include "acquisition/testjournal.h"
#include "model/currentcalibration.h"
#include "model/experiment.h"
#include "model/journalformat.h"
#include "platform/dialogmessages.h"
#include "results/resultsview.h"
#include "shell/mainfixture.h"

#include <QAbstractButton>
#include <QChartView>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QXYSeries>

// File, New on the main window over the simulator, end to end: the test runs
// in the acquisition window and lands in the main window ready to save; the
// unsaved-data question comes first; each test keeps the calibration it was
// started with; the results area after each test and after Close. The cases
// run in order on one window.
class TestNewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_f.startOnMachine()); }

    void tensionTestRunsByItselfAndRoundTripsThroughItsFile() {
        // The simulator answers from a script of the test data: 33000 counts
        // are 7.1 lbf of tension, then 33500 to 34500; back at zero it broke.
        bool paused = false;
        QString caption;
        const ModalWatcher watcher("RunExperiment", [&](QWidget& window) {
            if (!caption.isNull())
                return false; // the command below runs window events
            caption = window.findChild<QWidget*>("labelTestType")->property("text").toString();
            paused = m_f.liveLoadPanel().text().isEmpty() && !m_f.mainTimer().isActive() &&
                     m_f.item<QMenu>("mnuAxis").menuAction()->isEnabled();
            return m_f.sim->command("script " TORVIK_TEST_DATA "tension-script.txt");
        });
        m_f.item<QAction>("mnuTension").trigger();
        QVERIFY(watcher.done() && paused && caption == "Tension");
        QCOMPARE(m_f.dialogs.texts(), QStringList{"Test complete."});
        QVERIFY(m_f.main->experimentPresent() && !m_f.main->dataSaved());
        QVERIFY(m_f.item<QAction>("mnuSave").isEnabled() && m_f.mainTimer().isActive());
        QCOMPARE(display(), "5|52.8|0.015|4");

        const Experiment& test = m_f.main->currentExperiment();
        QCOMPARE(loads(test), QList<int>({33500, 34000, 34500, 32768}));
        QVERIFY(test.TestType() == 3 && test.MaxLoad(1) > 0.0F);
        // Finished, the test is wholly on the disk until it is saved, with
        // its specimen record: when it began.
        QFile journal(m_f.main->journal().path());
        QVERIFY(journal.open(QIODevice::ReadOnly));
        const QByteArray kept = journal.readAll();
        QVERIFY(kept.contains("\n33500 900\n34000 800\n34500 700\n32768 650\nSPECIMEN "));
        QVERIFY(test.specimen().beganSeconds == m_f.main->journal().startedSeconds());
        QVERIFY(test.SaveFile(m_file.toStdString())); // read back below
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

        // Closed before it started: no test, the display empty also after a
        // unit switch, the document commands as they were.
        m_f.dialogs.answers = {Dialogs::Answer::No};
        const ModalWatcher closing("RunExperiment", [](QWidget& window) { return window.close(); });
        m_f.item<QAction>("mnuTension").trigger();
        QVERIFY(m_f.main->currentExperiment().Count() == 0 && !m_f.main->journal().isOpen());
        QCOMPARE(display(), "25|||0");
        QVERIFY(m_f.item<QAction>("mnuSave").isEnabled() && m_f.mainTimer().isActive());
        QCOMPARE(m_f.dialogs.texts().count("Test complete."), 2);
        m_f.item<QAction>("mnuMetric").trigger();
        QCOMPARE(display(), "1|||0");

        // An opened test, then Close: the display is cleared.
        QVERIFY(m_f.main->LoadFile(m_file));
        QCOMPARE(display(), "5|235|0.38|4");
        m_f.item<QAction>("mnuClose").trigger();
        QCOMPARE(display(), "25|||0");
    }

    // With the option on, a new test asks for its specimen before the
    // acquisition window; the record keeps it with when the test began, and
    // so does the journal a crash would leave.
    void specimenAskedBeforeTheTestStaysWithIt() {
        m_f.item<QAction>("mnuAskSpecimen").trigger();
        QCOMPARE(m_f.settings.read("Specimen", "Ask Before Test"), QStringLiteral("1"));
        QStringList order;
        const ModalWatcher asking("Specimen", [&](QWidget& window) {
            order << window.objectName();
            window.findChild<QLineEdit*>("textSpecimen")->setText("N-3");
            window.findChild<QLineEdit*>("editThickness")->setText("2.54 mm");
            window.findChild<QAbstractButton*>("buttonOK")->click();
            return true;
        });
        const ModalWatcher byHand("RunExperiment", [&](QWidget& window) {
            if (!order.contains(window.objectName()))
                order << window.objectName();
            return RunTestByHand(window);
        });
        m_f.item<QAction>("mnuCompression").trigger();
        QCOMPARE(order, QStringList({"Specimen", "RunExperiment"}));
        const SpecimenRecord& kept = m_f.main->currentExperiment().specimen();
        QVERIFY(kept.name == "N-3" && kept.thickness == 0.1f);
        QVERIFY(kept.beganSeconds == m_f.main->journal().startedSeconds());
        QFile journal(m_f.main->journal().path());
        QVERIFY(journal.open(QIODevice::ReadOnly));
        const auto contents = ParseJournal(journal.readAll().toStdString());
        QVERIFY(contents && !contents->damaged);
        Experiment recovered;
        FillExperiment(*contents, recovered);
        QVERIFY(recovered.specimen() == kept);
        m_f.item<QAction>("mnuAskSpecimen").trigger();
    }

private:
    QString display() const {
        const auto* series =
            static_cast<QXYSeries*>(m_f.item<QChartView>("chart").chart()->series().constFirst());
        return QStringList{QString::number(m_f.item<ResultsView>("Frame").gridRows()),
                           m_f.item<QLineEdit>("textMaxLoad").text(),
                           m_f.item<QLineEdit>("textMaxDisp").text(),
                           QString::number(series->count())}
            .join('|');
    }
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
