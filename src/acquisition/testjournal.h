#pragma once

#include "acquisition/journalfile.h"
#include "model/journalformat.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <string>

// The journal of the test in the record, kept on the disk from the first
// reading until the test is saved or knowingly dropped, so that a crash, a
// killed program or a power cut does not lose the specimen. Readings are
// buffered in memory and written and synced on a timer, which costs the
// gathering loop one short append per reading and loses at most the last
// `kFlushIntervalMs` of a test. Window thread.
class TestJournal : public QObject {
    Q_OBJECT
public:
    static constexpr int kFlushIntervalMs = 400;

    explicit TestJournal(QString folder, QObject* parent = nullptr);
    ~TestJournal() override;

    // Starts the journal of a new test, dropping the one held before. False
    // (and failed()) when the folder or the file cannot be written: the test
    // then runs without a journal.
    bool begin(const JournalHeader& header);
    void append(std::int32_t load, std::int32_t displacement) {
        if (!m_writing)
            return;
        AppendJournalPoint(m_pending, load, displacement);
        if (!m_flushTimer.isActive())
            m_flushTimer.start();
    }
    // Records the test's specimen as it now stands, written and synced at
    // once (it changes rarely, and the operator has just typed it).
    void noteSpecimen(const SpecimenRecord& specimen) {
        if (!m_writing)
            return;
        AppendJournalSpecimen(m_pending, specimen);
        flush();
    }
    // Whether a journal can be kept in the folder at all (asked before a test,
    // so that the operator is warned before the specimen is loaded).
    bool canWrite() const;
    // Writes what is buffered and syncs it to the disk. When that fails (a
    // full disk, say) the journal stops growing and says so through failed();
    // the test goes on, and what was written stays until the test is saved
    // or dropped.
    void flush();
    // The test was saved or dropped: its journal is no longer needed. Empty
    // when it is gone; otherwise why it is still on the disk, where it will
    // be offered again at the next start.
    QString discard();
    // Carries on with a journal recovered at start-up, of a test that began
    // at `startedSeconds` (wall clock, seconds since the epoch).
    void adopt(JournalFile file, std::int64_t startedSeconds);

    // Whether the test's readings are being kept.
    bool isOpen() const { return m_writing; }
    QString folder() const { return m_folder; }
    QString path() const { return m_file.path(); }
    // When the last test begun or adopted began, also once its journal is
    // gone or failed; empty before the first.
    std::optional<std::int64_t> startedSeconds() const { return m_startedSeconds; }

signals:
    // The test's readings are no longer kept on the disk.
    void failed();

private:
    QString m_folder;
    JournalFile m_file;
    bool m_writing = false; // the file is open and no write has failed
    std::string m_pending;
    std::optional<std::int64_t> m_startedSeconds;
    QTimer m_flushTimer;
};

// The folder journals are kept in: $XDG_STATE_HOME/Torvik, by default
// ~/.local/state/Torvik.
QString JournalFolder();
