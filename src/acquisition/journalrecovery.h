#pragma once

#include <QString>

class Clock;
class JournalFile;
class Dialogs;
class Experiment;
class TestJournal;

// At start-up, offers back the tests whose journals an earlier run left in the
// journal folder: a crash, a killed program or a power cut during or after a
// test that was not saved. Journals that a running Torvik holds are left
// alone; one that can be read but not written is offered all the same. A
// journal the operator declines, or one that cannot be read, is set aside
// under a dated name and removed a week later. Each journal is offered once
// per start at most. Window thread.
class JournalRecovery {
public:
    static constexpr qint64 kSetAsideKeptSeconds = 7 * 24 * 60 * 60;

    JournalRecovery(TestJournal& journal, Dialogs& dialogs, const Clock& clock);

    // Asks about each journal in turn, oldest first, until the operator takes
    // one; that test is put into `experiment` and its journal carries on.
    // True when a test was recovered.
    bool offer(Experiment& experiment);
    // Removes journals set aside more than a week ago.
    void pruneSetAside();

private:
    QString setAsideName(const QString& path) const;
    // Moves a journal out of the way under its set-aside name; empty when
    // done, else why not, in words. A journal that stays is offered again
    // at the next start.
    QString setAside(JournalFile& file) const;

    TestJournal& m_journal;
    Dialogs& m_dialogs;
    const Clock& m_clock;
};
