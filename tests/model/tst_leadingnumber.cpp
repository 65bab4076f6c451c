#include "model/gfunctions.h"

#include <QTest>
#include <cmath>
#include <limits>
#include <string>

class TestLeadingNumber : public QObject {
    Q_OBJECT

private slots:
    void readsTheNumberAtTheHead_data();
    void readsTheNumberAtTheHead();
    void valuesBeyondDoubleRange_data();
    void valuesBeyondDoubleRange();
    void readsBackEveryNumberText_data();
    void readsBackEveryNumberText();
};

void TestLeadingNumber::readsTheNumberAtTheHead_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty") << QByteArray("") << 0.0;
    QTest::newRow("letters first") << QByteArray("abc12") << 0.0;
    QTest::newRow("blanks between digits") << QByteArray("1 2") << 12.0;
    QTest::newRow("tabs and line feeds anywhere") << QByteArray("\t-3\n.5 ") << -3.5;
    QTest::newRow("carriage return ends") << QByteArray("1\r2") << 1.0;
    QTest::newRow("trailing text") << QByteArray("3.906 mV/V") << 3.906;
    QTest::newRow("plus sign") << QByteArray("+4") << 4.0;
    QTest::newRow("sign alone") << QByteArray("-") << 0.0;
    QTest::newRow("two signs") << QByteArray("--5") << 0.0;
    QTest::newRow("trailing point") << QByteArray("5.") << 5.0;
    QTest::newRow("second point ends") << QByteArray("1.2.3") << 1.2;
    QTest::newRow("exponent") << QByteArray("2.5e-2") << 0.025;
    QTest::newRow("exponent upper with sign") << QByteArray("1E+3") << 1000.0;
    QTest::newRow("E without digits") << QByteArray("1E") << 1.0;
    QTest::newRow("E and sign without digits") << QByteArray("7e+x") << 7.0;
    QTest::newRow("hexadecimal lower case") << QByteArray("&hff;") << 255.0;
    QTest::newRow("octal stops at 8") << QByteArray("&O78") << 7.0;
    QTest::newRow("ampersand without digits") << QByteArray("&H") << 0.0;
    QTest::newRow("ampersand other") << QByteArray("&X1") << 0.0;
    QTest::newRow("reply field") << QByteArray("01234") << 1234.0;
    QTest::newRow("embedded NUL ends") << QByteArray("12\0003", 4) << 12.0;
}

void TestLeadingNumber::readsTheNumberAtTheHead() {
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    QCOMPARE(LeadingNumber(std::string_view(text.constData(), text.size())), expected);
}

void TestLeadingNumber::valuesBeyondDoubleRange_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("huge exponent") << QByteArray("1e400") << infinity;
    QTest::newRow("negative huge exponent") << QByteArray("-1e400") << -infinity;
    QTest::newRow("exponent beyond any integer")
        << QByteArray("1e99999999999999999999") << infinity;
    QTest::newRow("tiny exponent") << QByteArray("1e-400") << 0.0;
    QTest::newRow("many digits") << QByteArray(400, '9') << infinity;
    QTest::newRow("many zeros after the point")
        << QByteArray("0." + QByteArray(400, '0') + "1") << 0.0;
    QTest::newRow("many digits, small exponent")
        << QByteArray(QByteArray(400, '9') + "e-390") << 1e10;
}

void TestLeadingNumber::valuesBeyondDoubleRange() {
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    const double value = LeadingNumber(text.toStdString());
    if (std::isinf(expected)) {
        QCOMPARE(value, expected);
    } else {
        QVERIFY2(std::fabs(value - expected) <= std::fabs(expected) * 1e-12,
                 qPrintable(QString::number(value)));
    }
}

void TestLeadingNumber::readsBackEveryNumberText_data() {
    QTest::addColumn<float>("value");
    for (const float value : {-0.25f, 0.9765f, 1234567.0f, 1.5e-5f, 3e38f, -1.175494e-38f}) {
        QTest::newRow(qPrintable(QString::number(value))) << value;
    }
}

void TestLeadingNumber::readsBackEveryNumberText() {
    // A single of at most seven significant digits reads back unchanged.
    QFETCH(float, value);
    QCOMPARE(static_cast<float>(LeadingNumber(NumberText(value))), value);
    QCOMPARE(static_cast<float>(LeadingNumber(PlainNumberText(value))), value);
}

QTEST_APPLESS_MAIN(TestLeadingNumber)
#include "tst_leadingnumber.moc"
