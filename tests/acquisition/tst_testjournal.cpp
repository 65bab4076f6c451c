#include "acquisition/journalrecovery.h"
#include "acquisition/testjournal.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/clock.h"
#include "support/scripteddialogs.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {
constexpr qint64 kDecember6th2026 = 1796560000;
constexpr qint64 kDaySeconds = 24 * 60 * 60;

// A journal of `points` readings as a crashed run leaves it.
void leaveJournal(const QString& folder, int points) {
    TestJournal journal(folder);
    QVERIFY(journal.begin({kTestTension, 0.5f, 7, kDecember6th2026}));
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
        QVERIFY(journal.begin({kTestCompression, 1.0f, 0, kDecember6th2026}));
        journal.append(30000, 100);
        const auto written = [&journal] {
            QFile file(journal.path());
            return file.open(QIODevice::ReadOnly) && file.readAll().endsWith("30000 100\n");
        };
        QVERIFY(!written()); // batched, not written per reading
        QTRY_VERIFY_WITH_TIMEOUT(written(), TestJournal::kFlushIntervalMs * 3);

        // A write fails (a full disk; a size limit here): told, and dropped all the same.
        QSignalSpy failed(&journal, &TestJournal::failed);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlim_t unlimited = std::exchange(limit.rlim_cur, 0);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        journal.append(1, 2);
        journal.flush();
        limit.rlim_cur = unlimited;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QVERIFY(failed.count() == 1 && !journal.isOpen());
        journal.discard();
        QVERIFY(QDir(m_folder).entryList(QDir::Files).isEmpty());
    }

    // A damaged journal gives back every reading before the damage, and says so.
    void yesRecoversTheTestAndCarriesOnWithItsJournal() {
        leaveJournal(m_folder, 3);
        QFile journalled(QDir(m_folder).entryInfoList({"*.journal"}).constFirst().filePath());
        QVERIFY(journalled.open(QIODevice::Append) && journalled.write("-7 70000\n1 x\n5 6\n"));
        journalled.close();
        TestJournal journal(m_folder);
        JournalRecovery recovery(journal, m_dialogs, m_clock);
        Experiment experiment;
        m_dialogs.answers = {Dialogs::Answer::Yes};
        QVERIFY(recovery.offer(experiment));
        QCOMPARE(m_dialogs.texts(),
                 QStringList{
                     QStringLiteral("A test that was not saved was found: TENSION, begun %1, 4 "
                                    "points.  Recover it?  4 points could be read; the rest of "
                                    "the journal is damaged.")
                         .arg(QLocale::c().toString(QDateTime::fromSecsSinceEpoch(kDecember6th2026),
                                                    QStringLiteral("MMM dd yyyy, HH:mm:ss")))});
        QCOMPARE(experiment.Count(), 4);
        QVERIFY(experiment.TestType() == kTestTension && experiment.LoadCellRatio() == 0.5f &&
                experiment.LoadCellOffset() == 7);
        QCOMPARE(experiment.DigitalLoad().Value(3), 40002);
        QVERIFY(journal.isOpen());
        // The recovered test is unsaved: its journal is held, not offered twice.
        TestJournal other(m_folder);
        QVERIFY(!JournalRecovery(other, m_dialogs, m_clock).offer(experiment));
        QCOMPARE(m_dialogs.messages.size(), 1);
    }

    // No, or a journal that cannot be read, sets it aside for a week. One that can only be
    // read is offered all the same; a failed setting aside is told in words, and it stays.
    void noSetsTheJournalAsideForAWeek_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("unreadable"); // what is said of the unreadable one
        QTest::newRow("writable") << false << "It was set aside as ";
        QTest::newRow("read-only") << true << "It could not be set aside either (";
    }
    void noSetsTheJournalAsideForAWeek() {
        QFETCH(bool, readOnly);
        QFETCH(QString, unreadable);
        QVERIFY(QDir().mkpath(m_folder));
        // Root writes through file modes: a read-only mount of its own then.
        const bool mount = readOnly && geteuid() == 0;
        if (mount && ::mount("tmpfs", m_folder.toLocal8Bit(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("root without the right to mount cannot make a read-only folder");
        m_mounted = mount;
        leaveJournal(m_folder, 2);
        QFile bad(QDir(m_folder).filePath(QStringLiteral("test-0.journal")));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("not a journal\n") > 0);
        bad.close();
        for (const QFileInfo& file : QDir(m_folder).entryInfoList(QDir::Files))
            QVERIFY(!readOnly || QFile::setPermissions(file.filePath(), QFile::ReadOwner));
        QVERIFY(!readOnly || QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(!mount || ::mount("tmpfs", m_folder.toLocal8Bit(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                                  nullptr) == 0);

        TestJournal journal(m_folder);
        JournalRecovery recovery(journal, m_dialogs, m_clock);
        Experiment experiment;
        m_dialogs.answers = {Dialogs::Answer::Ok, Dialogs::Answer::No};
        QVERIFY(!recovery.offer(experiment) && experiment.Count() == 0);
        const QStringList texts = m_dialogs.texts();
        QCOMPARE(texts.size(), readOnly ? 3 : 2);
        QVERIFY(texts[0].startsWith("A test journal could not be read.  " + unreadable));
        QVERIFY(texts[1].startsWith("A test that was not saved was found: TENSION"));
        QCOMPARE(QDir(m_folder).entryList({QStringLiteral("*.journal")}).size(), readOnly ? 2 : 0);
        if (readOnly) {
            QVERIFY(texts[0].endsWith(") and stays as " + bad.fileName() + "."));
            QVERIFY(texts[2].startsWith("The test journal " + m_folder + "/test-"));
            QVERIFY(texts[2].endsWith(").  It will be offered again at the next start."));
            return;
        }
        const QStringList aside = QDir(m_folder).entryList({QStringLiteral("*.old")});
        QCOMPARE(aside.size(), 2);
        m_clock.advance(7 * kDaySeconds);
        recovery.pruneSetAside();
        QCOMPARE(QDir(m_folder).entryList({QStringLiteral("*.old")}), aside);
        m_clock.advance(1);
        recovery.pruneSetAside();
        QVERIFY(QDir(m_folder).entryList({QStringLiteral("*.old")}).isEmpty());
    }

    void cleanup() {
        if (std::exchange(m_mounted, false))
            QVERIFY(::umount2(m_folder.toLocal8Bit(), MNT_DETACH) == 0);
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
    ScriptedDialogs m_dialogs;
    ManualClock m_clock{kDecember6th2026};
    bool m_mounted = false;
};

QTEST_MAIN(TestTestJournal)
#include "tst_testjournal.moc"
