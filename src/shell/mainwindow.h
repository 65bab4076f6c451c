#pragma once

#include "documents/documenthost.h"
#include "platform/qteventpump.h"
#include "shell/mainmenus.h"
#include "shell/services.h"

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class About;
class Calibration;
class CompareWindow;
class DocumentCommands;
class Experiment;
class HelpWindow;
class Interface;
class LiveLoadDisplay;
class ReportCommand;
class QLabel;
class ResultsView;
class TestJournal;
class SampleSize;
struct SpecimenRecord;

// The main window `Main`: the program's first and central window. It owns
// the application state, the one experiment record and the one device link,
// shows the live load in its status bar and opens every other window as a
// modal dialog of its own. Creating it builds the widgets; initialise() then
// runs the start-up (probe, calibration, state) before the window is shown,
// and closing it ends the program. Window thread.
class Main : public QMainWindow, public DocumentHost {
    Q_OBJECT
public:
    explicit Main(const Services& services, QWidget* parent = nullptr);
    ~Main() override;

    // Start-up, in the order the operator sees it: probe and splash, the
    // calibration dialog when none is stored, then the state of the window.
    void initialise();
    // Offers back a test that an earlier run gathered and did not save (a
    // crash, a killed program, a power cut); run once the window is up.
    void offerRecovery();

    // Application state.
    std::int32_t units() const override { return m_units; } // 1 English, 2 metric
    std::int32_t viewMode() const { return m_viewMode; }
    bool experimentPresent() const override { return m_experimentPresent; }
    bool dataSaved() const override { return m_dataSaved; }
    void setDataSaved(bool saved) override { m_dataSaved = saved; }
    bool appClosing() const { return m_appClosing; }
    QString helpPath() const { return m_helpPath; }
    // Where the next file chooser starts.
    QString fileChooserFolder() const;

    // Created on first use; creating the device link probes the ports.
    Interface& deviceInterface();
    Experiment& currentExperiment() override;

    // Live load polling, suspended around every window that reads the
    // interface itself.
    void PauseLiveLoad();
    void ResumeLiveLoad();

    // The gate every command that opens a window goes through: the windows
    // that read the interface (Calibration, Watch Sensors, the acquisition
    // window) and every other (About, Help, message boxes and file choosers
    // of commands). A command can be chosen while a tick's read is waiting;
    // run there, its window's modal loop would sit inside that wait, every
    // later read (the window's own, the live load's) would be refused until
    // it closed. So a waiting read is abandoned and the command starts once
    // it has returned, with the polling as it was. One command at a time:
    // another chosen while one is pending or running is ignored.
    void runDeviceCommand(std::function<void()> command);

    // The results area and the document state. ShowResults shows the
    // current experiment in the current units and view.
    void ShowResults();
    void ResetGrid();
    void ClearResults() override;
    void UpdateAxisMenu() override;
    void showCurrentExperiment() override;
    QChartView* chartForPrint() override;
    void setDataFile(const QString& fileName, bool opened) override;
    QString dataFile() const override { return m_dataFile; }
    bool QuerySaveData();
    bool SaveData();
    bool LoadFile(const QString& fileName);
    void EnableDataCommands() override;
    void DisableDataCommands() override;
    // The journal of the test in the record, on the disk until it is saved.
    TestJournal& journal() { return *m_journal; }
    void dropJournal() override;
    // Before START of a new test: the Specimen dialog for the new record,
    // when the option (Options, Ask for Specimen Before Test) is on.
    void askSpecimenBeforeTest();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr std::int32_t kViewLoadDisplacement = 1;
    static constexpr std::int32_t kViewStressStrain = 2;

    // Commands run from the event loop; nothing they raise may escape into it.
    static void runGuarded(const std::function<void()>& command);

    void buildWindow();
    void connectCommands();
    void connectCommand(QAction* item, void (Main::*handler)());
    void connectDocumentCommand(QAction* item, void (DocumentCommands::*command)());
    void startWhenLinkFree(std::function<void()> command, bool resumePolling);
    void setAppClosing(bool closing);
    void closeCheck();
    void setUnits(std::int32_t units);
    void setViewMode(std::int32_t viewMode);
    void disableDeviceCommands();
    void fitClientArea();
    Calibration& calibrationDialog();

    void handleNewTest(std::int32_t testType);
    void handleExit();
    void handleCalibration();
    void handleWatchSensors();
    void handleHelp();
    void handleAbout();
    void handleTestProperties();
    void handleCompare();
    void handleReport();
    // The specimen record of the current test (mainspecimen.cpp).
    void handleSpecimen();
    void handleAskSpecimen();
    // Takes an edited specimen into the record: a changed record is unsaved,
    // journalled and shown again.
    void specimenEdited(const SpecimenRecord& specimen);
    // After a test was gathered: when it began, and its specimen journalled.
    void keepNewTestSpecimen();
    void reportSet(CompareWindow& window);
    void handleEnglish();
    void handleMetric();
    void handleLoadDisp();
    void handleStressStrain();
    void handleZoomOut();
    void handleResultMarks();
    void handleToolbarAction(QAction* button);

    SettingsStore& m_settings;
    Clock& m_clock;
    Dialogs& m_dialogs;
    SerialLink& m_serialLink;
    const QString m_commandLine;
    QtEventPump m_pump;

    std::int32_t m_units = 1;
    std::int32_t m_viewMode = 1;
    bool m_experimentPresent = false;
    bool m_dataSaved = false;
    bool m_appClosing = false;
    bool m_deviceCommandBusy = false;
    // The close check has answered yes; the next close request goes ahead.
    bool m_closeApproved = false;
    bool m_closeRequestPending = false; // a close request waits for the check
    QString m_helpPath;

    std::unique_ptr<Experiment> m_currentExperiment;
    std::unique_ptr<Interface> m_deviceInterface;

    std::unique_ptr<DocumentCommands> m_documents;
    std::unique_ptr<TestJournal> m_journal;
    std::unique_ptr<ReportCommand> m_report;
    // What a report says of the test in the record: its data file (empty
    // until it is saved or when it is a new one) and when it began (for a
    // test opened from a file, the file's modification time).
    QString m_dataFile;
    std::optional<std::int64_t> m_testBegan;
    bool m_testBeganIsModified = false;
    MainMenus m_menus;
    QWidget* m_clientArea = nullptr;
    ResultsView* m_results = nullptr;
    QLabel* m_liveLoadPanel = nullptr;
    LiveLoadDisplay* m_liveLoad = nullptr;
    Calibration* m_calibration = nullptr;
    About* m_about = nullptr;
    SampleSize* m_sampleSize = nullptr;
    HelpWindow* m_help = nullptr;
};
