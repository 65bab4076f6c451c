#pragma once

#include <cstdint>

class Experiment;
class QChartView;
class QString;

// What the document commands need from the main window that owns the
// record, the document state and the results area. The main window
// implements it; the commands never reach further into the window. Window
// thread.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    // The one test record of the window.
    virtual Experiment& currentExperiment() = 0;
    // The unit system on display: 1 English, 2 metric.
    virtual std::int32_t units() const = 0;

    virtual bool experimentPresent() const = 0;
    virtual bool dataSaved() const = 0;
    virtual void setDataSaved(bool saved) = 0;
    virtual void EnableDataCommands() = 0;
    virtual void DisableDataCommands() = 0;
    // The record is saved or knowingly dropped: the journal that kept its
    // readings on the disk since the test began is no longer needed.
    virtual void dropJournal() = 0;

    // The data file the record was opened from (`opened`) or saved to.
    virtual void setDataFile(const QString& fileName, bool opened) = 0;
    // That file; empty for a test not yet saved.
    virtual QString dataFile() const = 0;

    // The results area: emptied, filled from the record, and the Axis
    // menu set for the record's kind of test.
    virtual void ClearResults() = 0;
    virtual void showCurrentExperiment() = 0;
    virtual void UpdateAxisMenu() = 0;

    // The results chart as shown at this moment, with its axis titles and
    // its one series of points; null when the window has none.
    virtual QChartView* chartForPrint() = 0;
};
