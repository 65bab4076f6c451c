// The interface box's protocol as pure functions on byte strings.

#include "device/protocol.h"

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
        QTest::newRow("fixed width") << QByteArray("00250,00300\r") << true << 300 << 250;
        QTest::newRow("extra characters ignored")
            << QByteArray("00250,00300\r00999,") << true << 300 << 250;
        QTest::newRow("sixth and twelfth not read")
            << QByteArray("123456789012") << true << 78901 << 12345;
        QTest::newRow("eleven characters") << QByteArray("00250,00300") << false << 0 << 0;
        QTest::newRow("blanks and tabs") << QByteArray(" 2 50,\t 300\r") << true << 300 << 250;
        QTest::newRow("halves to even") << QByteArray("250.5,301.5\r") << true << 302 << 250;
        QTest::newRow("below half") << QByteArray("99.49,.4999\r") << true << 0 << 99;
        QTest::newRow("signs") << QByteArray("-0012,+0034\r") << true << 34 << -12;
        QTest::newRow("hexadecimal") << QByteArray("&HFFF,&O777\r") << true << 511 << 4095;
        QTest::newRow("zero is a reading") << QByteArray("00000,00000\r") << true << 0 << 0;
        QTest::newRow("blank load field") << QByteArray("00250,     \r") << false << 0 << 0;
        QTest::newRow("letter before digits") << QByteArray("00250,x0300\r") << false << 0 << 0;
        QTest::newRow("sign alone") << QByteArray("-    ,00300\r") << false << 0 << 0;
        QTest::newRow("point alone") << QByteArray("00250,.    \r") << false << 0 << 0;
        QTest::newRow("radix mark alone") << QByteArray("&H   ,00300\r") << false << 0 << 0;
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

    void fieldLimitsOf32Bits() {
        QCOMPARE(protocol::ParseField("2147483647").value_or(0), 2147483647);
        QCOMPARE(protocol::ParseField("-2147483648").value_or(0), INT32_MIN);
        QVERIFY(!protocol::ParseField("2147483647.5")); // rounds past the largest
    }
};

QTEST_APPLESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
