// The interface box's protocol as pure functions on byte strings.

#include "device/protocol.h"

#include <QtTest>

class TestProtocol : public QObject {
    Q_OBJECT

private slots:
    void requestsAreCommandWordsEndedByCarriageReturn() {
        QCOMPARE(QByteArray(protocol::kCalRequest), QByteArray("\x43\x41\x4C\x0D"));
        QCOMPARE(QByteArray(protocol::kIdentifyRequest), QByteArray("\x49\x44\x4E\x3F\x0D"));
        QCOMPARE(QByteArray(protocol::kReadRequest), QByteArray("\x52\x56\x0D"));
    }

    void identityIsFoundAnywhereInTheReceivedText_data() {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<bool>("found");
        QTest::newRow("code alone") << QByteArray("6194") << true;
        QTest::newRow("code amid text") << QByteArray("CAL OK\r\nmodel 6194 v2\r\n") << true;
        QTest::newRow("three of four characters") << QByteArray("model 619") << false;
        QTest::newRow("other code") << QByteArray("6195") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void identityIsFoundAnywhereInTheReceivedText() {
        QFETCH(QByteArray, received);
        QFETCH(bool, found);
        QCOMPARE(protocol::HoldsIdentity(received), found);
    }

    void readingReply_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("load");
        QTest::addColumn<int>("disp");
        QTest::newRow("fixed width") << QByteArray("00250,00300\r") << true << 300 << 250;
        QTest::newRow("extra characters ignored")
            << QByteArray("00250,00300\r00999,") << true << 300 << 250;
        QTest::newRow("separator not read")
            << QByteArray("1234567890\r\n") << true << 7890 << 12345;
        QTest::newRow("twelfth character not read") << QByteArray("00001,00002X") << true << 2 << 1;
        QTest::newRow("eleven characters") << QByteArray("00250,00300") << false << 0 << 0;
        QTest::newRow("empty") << QByteArray() << false << 0 << 0;
        QTest::newRow("leading blanks and tabs")
            << QByteArray("  250,\t 300\r") << true << 300 << 250;
        QTest::newRow("blanks between digits") << QByteArray("2 5 0,3 0 0\r") << true << 300 << 250;
        QTest::newRow("digits then junk") << QByteArray("25x00,300?!\r") << true << 300 << 25;
        QTest::newRow("half rounds down to even")
            << QByteArray("250.5,300.5\r") << true << 300 << 250;
        QTest::newRow("half rounds up to even") << QByteArray("251.5,0.5e1\r") << true << 5 << 252;
        QTest::newRow("below half") << QByteArray("99.49,.4999\r") << true << 0 << 99;
        QTest::newRow("signs") << QByteArray("-0012,+0034\r") << true << 34 << -12;
        QTest::newRow("exponent") << QByteArray("2.5E3,1E+04\r") << true << 10000 << 2500;
        QTest::newRow("hexadecimal") << QByteArray("&HFFF,&O777\r") << true << 511 << 4095;
        QTest::newRow("zero is a reading") << QByteArray("00000,00000\r") << true << 0 << 0;
        QTest::newRow("blank load field") << QByteArray("00250,     \r") << false << 0 << 0;
        QTest::newRow("blank displacement field") << QByteArray("     ,00300\r") << false << 0 << 0;
        QTest::newRow("garbled load field") << QByteArray("00250,?#*!@\r") << false << 0 << 0;
        QTest::newRow("letter before digits") << QByteArray("00250,x0300\r") << false << 0 << 0;
        QTest::newRow("sign alone") << QByteArray("-    ,00300\r") << false << 0 << 0;
        QTest::newRow("point alone") << QByteArray("00250,.    \r") << false << 0 << 0;
        QTest::newRow("radix mark without digits")
            << QByteArray("&H   ,00300\r") << false << 0 << 0;
        QTest::newRow("control characters")
            << QByteArray("\0\0\0\0\0,00300\r", 12) << false << 0 << 0;
        QTest::newRow("beyond 32 bits") << QByteArray("9E+99,00300\r") << false << 0 << 0;
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

    void fieldLimitsOf32Bits_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("value");
        QTest::newRow("largest") << QByteArray("2147483647") << true << qint64(2147483647);
        QTest::newRow("smallest") << QByteArray("-2147483648") << true << qint64(-2147483648LL);
        QTest::newRow("one past largest") << QByteArray("2147483648") << false << qint64(0);
        QTest::newRow("rounds past largest") << QByteArray("2147483647.5") << false << qint64(0);
    }
    void fieldLimitsOf32Bits() {
        QFETCH(QByteArray, field);
        QFETCH(bool, ok);
        QFETCH(qint64, value);
        const std::optional<std::int32_t> parsed = protocol::ParseField(field);
        QCOMPARE(parsed.has_value(), ok);
        if (ok)
            QCOMPARE(qint64(*parsed), value);
    }
};

QTEST_APPLESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
