#include "acquisition/journalfile.h"
#include "acquisition/journalrecovery.h"
#include "acquisition/testjournal.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/clock.h"
#include "support/scripteddialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {
constexpr qint64 kDecember6th2026 = 1796560000;
constexpr qint64 kDaySeconds = 24 * 60 * 60;

// A journal of `points` readings as a crashed run leaves it.
void leaveJournal(const QString& folder, int points, qint64 started = kDecember6th2026) {
    TestJournal journal(folder);
    QVERIFY(journal.begin({kTestTension, 0.5f, 7, started}));
    for (int i = 0; i < points; ++i)
        journal.append(40000 + i, 1000 - i);
    journal.flush();
    // Destroyed unsaved: the file stays for the next start.
}
} // namespace

class TestTestJournal : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_folder = m_dir->filePath(QStringLiteral("state/Torvik"));
        m_dialogs = ScriptedDialogs();
    }

    void readingsReachTheDiskWithinTheFlushInterval() {
        TestJournal journal(m_folder);
        QVERIFY(journal.canWrite());
        QVERIFY(journal.begin({kTestCompression, 1.0f, 0, kDecember6th2026}));
        journal.append(30000, 100);
        const auto written = [&journal] {
            QFile file(journal.path());
            return file.open(QIODevice::ReadOnly) && file.readAll().endsWith("30000 100\n");
        };
        QVERIFY(!written()); // batched, not written per reading
        QTRY_VERIFY_WITH_TIMEOUT(written(), TestJournal::kFlushIntervalMs * 3);
        journal.discard();
        QVERIFY(QDir(m_folder).entryList(QDir::Files).isEmpty());
    }

    void yesRecoversTheTestAndCarriesOnWithItsJournal() {
        leaveJournal(m_folder, 3);
        TestJournal journal(m_folder);
        JournalRecovery recovery(journal, m_dialogs, m_clock);
        Experiment experiment;
        m_dialogs.answers = {Dialogs::Answer::Yes};
        QVERIFY(recovery.offer(experiment));
        QCOMPARE(m_dialogs.texts(),
                 QStringList{
                     QStringLiteral("A test that was not saved was found: TENSION, begun "
                                    "%1, 3 points.  Recover it?")
                         .arg(QLocale::c().toString(QDateTime::fromSecsSinceEpoch(kDecember6th2026),
                                                    QStringLiteral("MMM dd yyyy, HH:mm:ss")))});
        QCOMPARE(experiment.Count(), 3);
        QCOMPARE(experiment.LoadCellRatio(), 0.5f);
        QCOMPARE(experiment.DigitalLoad().Value(3), 40002);
        QVERIFY(journal.isOpen());
        // The recovered test is unsaved: its journal is held, not offered twice.
        TestJournal other(m_folder);
        QVERIFY(!JournalRecovery(other, m_dialogs, m_clock).offer(experiment));
        QCOMPARE(m_dialogs.messages.size(), 1);
    }

    void noSetsTheJournalAsideForAWeek() {
        leaveJournal(m_folder, 2);
        TestJournal journal(m_folder);
        JournalRecovery recovery(journal, m_dialogs, m_clock);
        Experiment experiment;
        m_dialogs.answers = {Dialogs::Answer::No};
        QVERIFY(!recovery.offer(experiment));
        QCOMPARE(experiment.Count(), 0);
        const QStringList aside = QDir(m_folder).entryList({QStringLiteral("*.old")});
        QCOMPARE(aside.size(), 1);
        QVERIFY(QDir(m_folder).entryList({QStringLiteral("*.journal")}).isEmpty());

        m_clock.advance(7 * kDaySeconds);
        recovery.pruneSetAside();
        QCOMPARE(QDir(m_folder).entryList({QStringLiteral("*.old")}), aside);
        m_clock.advance(1);
        recovery.pruneSetAside();
        QVERIFY(QDir(m_folder).entryList({QStringLiteral("*.old")}).isEmpty());
    }

    void unreadableJournalIsSetAsideWithAWord() {
        QVERIFY(QDir().mkpath(m_folder));
        QFile bad(QDir(m_folder).filePath(QStringLiteral("test-1.journal")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a journal\n");
        bad.close();
        TestJournal journal(m_folder);
        Experiment experiment;
        QVERIFY(!JournalRecovery(journal, m_dialogs, m_clock).offer(experiment));
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(m_dialogs.texts().constFirst().startsWith(
            QStringLiteral("A test journal could not be read.  It was set aside as ")));
        QCOMPARE(QDir(m_folder).entryList({QStringLiteral("*.old")}).size(), 1);
    }

    void journalHeldByAnotherTorvikIsLeftAlone() {
        TestJournal running(m_folder);
        QVERIFY(running.begin({kTestShear, 1.0f, 0, kDecember6th2026}));
        running.append(1, 2);
        running.flush();
        TestJournal journal(m_folder);
        Experiment experiment;
        QVERIFY(!JournalRecovery(journal, m_dialogs, m_clock).offer(experiment));
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(QFile::exists(running.path()));
    }

    void unwritableFolderIsToldBeforeTheTest() {
        QVERIFY(QDir().mkpath(QFileInfo(m_folder).path()));
        QFile blocker(m_folder); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        TestJournal journal(m_folder);
        QVERIFY(!journal.canWrite());
        QVERIFY(!journal.begin({kTestTension, 1.0f, 0, 0}));
        journal.append(1, 2); // a test without a journal still runs
        journal.flush();
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
    ScriptedDialogs m_dialogs;
    ManualClock m_clock{kDecember6th2026};
};

QTEST_MAIN(TestTestJournal)
#include "tst_testjournal.moc"
