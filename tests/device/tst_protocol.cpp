// The interface box's protocol on byte strings: the identification, a reply
// read as a reading, and replies told apart as they arrive.

#include "device/protocol.h"
#include "model/modelfakes.h"

#include <QtTest>

class TestProtocol : public QObject {
    Q_OBJECT

private slots:
    void identityIsFoundAnywhereInTheReceivedText() {
        QVERIFY(protocol::HoldsIdentity("CAL OK\r\nmodel 6194 v2\r\n"));
        QVERIFY(!protocol::HoldsIdentity("model 619"));
        QVERIFY(!protocol::HoldsIdentity("6195"));
    }

    void readingReply_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("load");
        QTest::addColumn<int>("disp");
        for (const QByteArrayList& row : dataRows("readingreplies.tsv"))
            QTest::newRow(row[0]) << row[1] << (row[2] == "1") << row[3].toInt() << row[4].toInt();
    }
    void readingReply() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, ok);
        QFETCH(int, load);
        QFETCH(int, disp);

        const std::optional<protocol::Reading> reading = protocol::ParseReading(reply);

        QCOMPARE(reading.has_value(), ok);
        if (ok) {
            QCOMPARE(reading->load, load);
            QCOMPARE(reading->disp, disp);
        }
    }

    void repliesAreFramedHoweverTheyArrive_data() {
        QTest::addColumn<QByteArray>("reads");
        QTest::addColumn<QByteArray>("outcomes");
        for (const QByteArrayList& row : dataRows("replyframing.tsv"))
            QTest::newRow(row[0]) << row[1] << row[2];
    }
    void repliesAreFramedHoweverTheyArrive() {
        QFETCH(QByteArray, reads);
        QFETCH(QByteArray, outcomes);
        using Outcome = protocol::ReplyFramer::Outcome;
        protocol::ReplyFramer framer;
        QByteArrayList got;

        for (const QByteArray& read : reads.split('|')) {
            const qsizetype request = read.indexOf('^');
            framer.requestSent(read.left(request));
            Outcome outcome = Outcome::Waiting;
            for (const QByteArray& piece : read.mid(request + 1).split('~'))
                outcome = framer.take(piece);
            const protocol::Reading r = framer.reading();
            got << (outcome == Outcome::Reading
                        ? QByteArray::number(r.load) + '/' + QByteArray::number(r.disp)
                    : outcome == Outcome::Waiting ? QByteArray("wait")
                                                  : QByteArray("refused"));
        }

        QCOMPARE(got.join(' '), outcomes);
    }
};

QTEST_APPLESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
