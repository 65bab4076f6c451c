#pragma once

#include <QString>

class Dialogs;

// The one file chooser shared by open, save and export. The first chooser
// starts in the folder given at start-up; every later one starts in the
// folder of the last file chosen. Window thread.
class FileChooser {
public:
    enum class Kind { DataFile, TextFile, Report };

    explicit FileChooser(Dialogs& dialogs) : m_dialogs(dialogs) {}

    void setFolder(const QString& folder) { m_folder = folder; }
    QString folder() const { return m_folder; }

    // Empty when the operator cancelled. Saving asks before an existing file
    // is overwritten; a name typed without an extension gets the kind's.
    QString chooseSave(Kind kind, const QString& proposedName);
    // An existing data file, or empty when the operator cancelled.
    QString chooseOpen();

private:
    QString remember(const QString& chosen);

    Dialogs& m_dialogs;
    QString m_folder;
};
