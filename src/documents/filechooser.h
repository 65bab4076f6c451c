#pragma once

#include <QString>
#include <QStringList>

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
    // Text and reports never go over a data file nor over one of `sources`
    // (the files the test or tests came from): the operator is told, and the
    // chooser comes again.
    QString chooseSave(Kind kind, const QString& proposedName, const QStringList& sources = {});
    // An existing data file, or empty when the operator cancelled.
    QString chooseOpen();

private:
    QString remember(const QString& chosen);
    // The operator's message when `name` may not be written; empty when it may.
    static QString refusal(const QString& name, const QStringList& sources);

    Dialogs& m_dialogs;
    QString m_folder;
};
