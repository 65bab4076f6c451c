#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/journalformat.h"

#include <QTest>

class TestJournalFormat : public QObject {
    Q_OBJECT

private slots:
    void headerAndReadingsReadBackExactly() {
        const JournalHeader header{kTestTension, 3.906f / 3.7f, -12, 1765029932};
        std::string bytes = JournalHeaderText(header);
        // Any 32-bit reading, as the link and the record take it.
        AppendJournalPoint(bytes, -2147483647 - 1, 65536);
        AppendJournalPoint(bytes, 32768, 2147483647);
        const auto contents = ParseJournal(bytes);
        QVERIFY(contents);
        QCOMPARE(contents->header.testType, kTestTension);
        QCOMPARE(contents->header.loadCellRatio, 3.906f / 3.7f);
        QCOMPARE(contents->header.loadCellOffset, -12);
        QCOMPARE(contents->header.startedSeconds, 1765029932);
        QCOMPARE(contents->loads, (std::vector<std::int32_t>{-2147483647 - 1, 32768}));
        QCOMPARE(contents->displacements, (std::vector<std::int32_t>{65536, 2147483647}));
        QVERIFY(!contents->damaged);
    }

    // Every whole reading before the cut or the damage, nothing after it; no
    // journal at all (-1) without a whole header.
    void cutOrDamagedJournalKeepsTheWholeReadingsBefore_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("points");
        const QByteArray header("TORVIK TEST JOURNAL 1\nTYPE 2\nRATIO 1\nOFFSET 0\nSTARTED 0\n");
        QTest::newRow("cut inside a pair") << header + "1 2\n3 4\n5" << 2;
        QTest::newRow("cut after the load") << header + "1 2\n3 " << 1;
        QTest::newRow("garbage line") << header + "1 2\n\x01\xff 7\n3 4\n" << 1;
        QTest::newRow("beyond 32 bits") << header + "1 2\n2147483648 4\n" << 1;
        QTest::newRow("three fields") << header + "1 2 3\n" << 0;
        QTest::newRow("header cut") << header.chopped(1) << -1;
        QTest::newRow("test type 9") << QByteArray(header).replace("TYPE 2", "TYPE 9") << -1;
        QTest::newRow("ratio nan") << QByteArray(header).replace("RATIO 1", "RATIO nan") << -1;
        QTest::newRow("data file") << QByteArray("TDF2\r\n") << -1;
    }
    void cutOrDamagedJournalKeepsTheWholeReadingsBefore() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, points);
        const auto contents = ParseJournal(bytes.toStdString());
        QCOMPARE(contents.has_value(), points >= 0);
        QVERIFY(!contents || (int(contents->loads.size()) == points && contents->damaged));
    }

    // A test holds at most kMostTestPoints readings: a journal of that many is
    // read whole, and a reading beyond them is left out as damage, so a
    // runaway journal cannot take all the memory when it is recovered.
    void longestJournalIsReadWholeAndNoReadingBeyondIt() {
        std::string bytes = JournalHeaderText({kTestCompression, 1.0f, 0, 0});
        const std::size_t headerBytes = bytes.size();
        bytes.resize(headerBytes + 4 * std::size_t(kMostTestPoints));
        for (std::size_t at = headerBytes; at < bytes.size(); at += 4)
            bytes.replace(at, 4, "7 9\n");
        for (const bool oneMore : {false, true}) {
            if (oneMore)
                AppendJournalPoint(bytes, 1, 2);
            const auto contents = ParseJournal(bytes);
            QVERIFY(contents);
            QCOMPARE(contents->loads.size(), std::size_t(kMostTestPoints));
            QCOMPARE(contents->displacements.back(), 9);
            QCOMPARE(contents->damaged, oneMore);
            QVERIFY(MostJournalBytes() >= bytes.size());
        }
    }
};

QTEST_APPLESS_MAIN(TestJournalFormat)
#include "tst_journalformat.moc"
