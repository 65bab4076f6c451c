#pragma once

#include <QString>
#include <cstdint>

class Dialogs;
class Experiment;
class Interface;
class TestJournal;
class QWidget;

// What the new-test routine needs from the main window, which implements it:
// the application state and the main window's own routines, called in the
// routine's order. Window thread.
class NewTestHost {
public:
    virtual ~NewTestHost() = default;
    // False when the operator cancelled the unsaved-data question or the
    // save failed: nothing is to change.
    virtual bool QuerySaveData() = 0;
    virtual void PauseLiveLoad() = 0;
    virtual void ResumeLiveLoad() = 0;
    virtual void ClearResults() = 0;
    virtual void UpdateAxisMenu() = 0;
    virtual void EnableDataCommands() = 0;
    virtual void ShowResults() = 0;
    virtual Experiment& currentExperiment() = 0;
    virtual Interface& deviceInterface() = 0;
    virtual Dialogs& dialogs() = 0;
    // Where the test's readings are kept on the disk until it is saved.
    virtual TestJournal& journal() = 0;
    virtual std::int32_t units() const = 0;
    // Called once the record is set up for the test, before the acquisition
    // window opens: the place to ask for the specimen.
    virtual void beforeGathering() {}
    // The window the acquisition window is centred over and owned by.
    virtual QWidget& window() = 0;
};

// Runs one test of the given type (1 to 5) from start to end: the unsaved-
// data question, the live load paused, the record and the results emptied,
// the calibration in force copied into the record (which keeps it for good),
// the test type set, the operator warned when the test cannot be journalled,
// the acquisition window shown modally over the main
// window, the live load resumed and, when a test was gathered, the document
// commands enabled and the results shown.
void RunNewTest(NewTestHost& host, std::int32_t testType);

// The warning when the journal folder (%1) cannot be written.
extern const QString kNoJournalMessage;
