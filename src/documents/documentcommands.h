#pragma once

#include "documents/filechooser.h"

#include <QString>
#include <functional>

class Clock;
class Dialogs;
class DocumentHost;

// Open, save, close and export of the window's one test record, and the
// question that guards unsaved data whenever the record is about to be
// replaced or dropped. The window keeps the record and the document state;
// these commands decide and act through the host. Window thread.
class DocumentCommands {
public:
    DocumentCommands(DocumentHost& host, Dialogs& dialogs, Clock& clock);

    FileChooser& chooser() { return m_chooser; }

    // True when the caller may go on: nothing unsaved, No, or Yes and saved.
    // After No the journal stays until the caller replaces or clears the record.
    bool QuerySaveData();
    // True when the record was written to the file the operator chose.
    bool SaveData();
    // Reads the file into a record of its own and makes it the current one
    // only when it was read whole, so a failed load changes nothing.
    bool LoadFile(const QString& fileName);

    // Tells the operator, once, which of the record's points do not convert
    // (a damaged file or journal) and why; the others are shown.
    void tellUnconvertedPoints();

    // The commands of the File menu.
    void Open();
    void Save() { SaveData(); }
    void Close();
    void Export();
    void Print();

private:
    QString defaultName(const QString& extension);
    // Runs a write of `fileName`; a failure is told to the operator.
    bool
    write(const std::function<bool()>& writeFile, const QString& fileName, const QString& what);

    DocumentHost& m_host;
    Dialogs& m_dialogs;
    Clock& m_clock;
    FileChooser m_chooser;
};
