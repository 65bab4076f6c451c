#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <functional>

class Dialogs;
class Experiment;
class Interface;
class LiveCurve;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TestJournal;

// "Do Experiment": runs one test into the experiment record. Shown modally
// (exec()) over a record that has been cleared and given its calibration;
// SetTestType() sets the record's test type before that. While waiting the
// status bar shows the live load in the test's direction; gathering starts on
// START or, with auto start/stop, above 5 lbf; it then reads as fast as the
// machine answers, appending each reading to the record, and ends on STOP,
// the 30-second experimentTimer, a close request or, with auto start/stop, a
// drop of the load. The whole run happens inside exec(), in a loop that runs
// window events on every pass; the text boxes and the live curve follow the
// newest point at the screen's pace. Built for one showing; window thread.
class RunExperiment : public QDialog {
    Q_OBJECT
public:
    static constexpr int kExperimentTimerMsecs = 30000;
    // Auto start: more than this load in the test's direction, in lbf
    // whatever the display units.
    static constexpr float kAutoStartLbf = 5.0F;
    // Auto stop: a fall of more than this many raw load counts between two
    // consecutive points in the test's loading direction.
    static constexpr std::int32_t kAutoStopDropCounts = 100;
    // Loads from these up show in red.
    static constexpr double kOverloadLbf = 1000.0;
    static constexpr double kOverloadNewtons = 4448.0;

    static const QString kNoReadingMessage;
    // In the status bar while gathering, as long as the machine does not
    // answer.
    static const QString kStoppedAnsweringText;

    RunExperiment(Interface& device,
                  Experiment& experiment,
                  Dialogs& dialogs,
                  std::function<std::int32_t()> units,
                  QWidget* parent = nullptr);

    // The record's test type (1 to 5), set before the window is shown.
    void SetTestType(std::int32_t code);
    // Keeps every stored reading in `journal` too, from the start of
    // gathering; none when null. When the journal fails the window says that
    // the test is no longer kept on the disk, and the test goes on.
    void setJournal(TestJournal* journal);
    static const QString kJournalFailedText;
    // True when the last showing gathered and completed a test.
    bool TestDone() const { return m_testDone; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape: a close request while waiting, nothing while gathering.
    void reject() override;

private:
    void buildControls();
    void buildStatusBar();
    void activate();
    void run();
    bool waitForStart();
    std::int32_t gather();
    bool readReading(const std::function<bool()>& giveUp);
    void pauseAfterFailedRead(qint64 readMsecs);
    void showLiveLoad();
    void refreshDisplay();
    void refreshDue();
    void finish(std::int32_t points);
    void requestStop();
    void showGatheringStatus();
    void setStatus(const QString& text);

    void handleStart();
    void handleLoadTextChanged(const QString& text);

    Interface& m_device;
    Experiment& m_experiment;
    Dialogs& m_dialogs;
    std::function<std::int32_t()> m_units;

    QLabel* m_labelTestType = nullptr;
    QLineEdit* m_textLoad = nullptr;
    QLineEdit* m_textDisp = nullptr;
    QPushButton* m_buttonStart = nullptr;
    QPushButton* m_buttonStop = nullptr;
    QCheckBox* m_checkAutoStart = nullptr;
    QLabel* m_statusPanel = nullptr;
    QLabel* m_labelJournalFailed = nullptr; // hidden until the journal fails
    LiveCurve* m_curve = nullptr;
    TestJournal* m_journal = nullptr;
    QTimer m_experimentTimer;
    QTimer m_refreshTimer;     // the text boxes and the curve, at the screen's pace
    bool m_refreshDue = false; // waiting for the next request to go out

    bool m_running = false;
    bool m_started = false;
    bool m_autoStartStop = true;
    bool m_stopRequested = false;
    bool m_testDone = false;
    std::int32_t m_lastLoad = 0;
    std::int32_t m_lastDisp = 0;
    std::int32_t m_shownPoint = 0; // the point the text boxes show
};
