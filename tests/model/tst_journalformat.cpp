#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/journalformat.h"

#include <QTest>

class TestJournalFormat : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }

    void headerAndReadingsReadBackExactly() {
        const JournalHeader header{kTestTension, 3.906f / 3.7f, -12, 1765029932};
        std::string bytes = JournalHeaderText(header);
        AppendJournalPoint(bytes, 0, 65535);
        AppendJournalPoint(bytes, 32768, 17);
        const auto contents = ParseJournal(bytes);
        QVERIFY(contents);
        QCOMPARE(contents->header.testType, kTestTension);
        QCOMPARE(contents->header.loadCellRatio, 3.906f / 3.7f);
        QCOMPARE(contents->header.loadCellOffset, -12);
        QCOMPARE(contents->header.startedSeconds, 1765029932);
        QCOMPARE(contents->loads, (std::vector<std::int32_t>{0, 32768}));
        QCOMPARE(contents->displacements, (std::vector<std::int32_t>{65535, 17}));
        QVERIFY(!contents->damaged);

        Experiment experiment;
        FillExperiment(*contents, experiment);
        QCOMPARE(experiment.TestType(), kTestTension);
        QCOMPARE(experiment.Count(), 2);
        QCOMPARE(experiment.LoadCellOffset(), -12);
        QCOMPARE(experiment.DigitalDisplacement().Value(1), 65535);
    }

    // Every whole reading before the cut or the damage, nothing after it.
    void cutOrDamagedJournalKeepsTheWholeReadingsBefore_data() {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<int>("points");
        QTest::newRow("cut inside a pair") << QByteArray("1 2\n3 4\n5") << 2;
        QTest::newRow("cut after the load") << QByteArray("1 2\n3 ") << 1;
        QTest::newRow("garbage line") << QByteArray("1 2\n\x01\xff 7\n3 4\n") << 1;
        QTest::newRow("count out of range") << QByteArray("1 2\n70000 4\n") << 1;
        QTest::newRow("three fields") << QByteArray("1 2 3\n") << 0;
    }
    void cutOrDamagedJournalKeepsTheWholeReadingsBefore() {
        QFETCH(QByteArray, tail);
        QFETCH(int, points);
        const std::string bytes =
            JournalHeaderText({kTestCompression, 1.0f, 0, 0}) + tail.toStdString();
        const auto contents = ParseJournal(bytes);
        QVERIFY(contents);
        QCOMPARE(static_cast<int>(contents->loads.size()), points);
        QVERIFY(contents->damaged);
    }

    void journalWithoutAWholeHeaderCannotBeRead() {
        const std::string header = JournalHeaderText({kTestShear, 1.0f, 0, 5});
        QVERIFY(!ParseJournal(header.substr(0, header.size() - 1)));
        QVERIFY(!ParseJournal("TORVIK TEST JOURNAL 1\nTYPE 9\nRATIO 1\nOFFSET 0\nSTARTED 0\n"));
        QVERIFY(!ParseJournal("TORVIK TEST JOURNAL 1\nTYPE 1\nRATIO nan\nOFFSET 0\nSTARTED 0\n"));
        QVERIFY(!ParseJournal("TDF2\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestJournalFormat)
#include "tst_journalformat.moc"
