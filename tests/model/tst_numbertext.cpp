#include "model/gfunctions.h"

#include <QTest>
#include <clocale>
#include <limits>

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void singleWithSignPosition_data();
    void singleWithSignPosition();
    void wholeNumbers_data();
    void wholeNumbers();
    void doubleKeepsFifteenDigits_data();
    void doubleKeepsFifteenDigits();
    void decimalMarkIsAPointInEveryLocale();
};

void TestNumberText::singleWithSignPosition_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("withSign");
    QTest::addColumn<QString>("plain");
    QTest::newRow("whole") << 120.0f << " 120"
                           << "120";
    QTest::newRow("half") << 0.5f << " .5"
                          << "0.5";
    QTest::newRow("minus a quarter") << -0.25f << "-.25"
                                     << "-0.25";
    QTest::newRow("zero") << 0.0f << " 0"
                          << "0";
    QTest::newRow("negative zero") << -0.0f << " 0"
                                   << "0";
    QTest::newRow("load") << 12.4f << " 12.4"
                          << "12.4";
    QTest::newRow("displacement") << 0.0123f << " .0123"
                                  << "0.0123";
    QTest::newRow("small negative") << -0.003f << "-.003"
                                    << "-0.003";
    QTest::newRow("smallest fixed") << 0.0001f << " .0001"
                                    << "0.0001";
    QTest::newRow("below a ten-thousandth") << 0.00001f << " 1E-05"
                                            << "1E-05";
    QTest::newRow("exponent with mantissa") << -0.000015f << "-1.5E-05"
                                            << "-1.5E-05";
    QTest::newRow("seven digits") << 1234567.0f << " 1234567"
                                  << "1234567";
    QTest::newRow("eight digits") << 12345678.0f << " 1.234568E+07"
                                  << "1.234568E+07";
    QTest::newRow("hundred million") << 1e8f << " 1E+08"
                                     << "1E+08";
    QTest::newRow("a third") << 1.0f / 3.0f << " .3333333"
                             << "0.3333333";
    QTest::newRow("single noise hidden") << 25.4f << " 25.4"
                                         << "25.4";
    QTest::newRow("ratio") << 0.9765f << " .9765"
                           << "0.9765";
    QTest::newRow("large negative") << -3.4e38f << "-3.4E+38"
                                    << "-3.4E+38";
}

void TestNumberText::singleWithSignPosition() {
    QFETCH(float, value);
    QFETCH(QString, withSign);
    QFETCH(QString, plain);
    QCOMPARE(QString::fromStdString(NumberText(value)), withSign);
    QCOMPARE(QString::fromStdString(PlainNumberText(value)), plain);
}

void TestNumberText::wholeNumbers_data() {
    QTest::addColumn<std::int32_t>("value");
    QTest::addColumn<QString>("withSign");
    QTest::addColumn<QString>("plain");
    QTest::newRow("120") << 120 << " 120"
                         << "120";
    QTest::newRow("zero") << 0 << " 0"
                          << "0";
    QTest::newRow("negative has no blank") << -12 << "-12"
                                           << "-12";
    QTest::newRow("lowest") << std::numeric_limits<std::int32_t>::min() << "-2147483648"
                            << "-2147483648";
    QTest::newRow("highest") << std::numeric_limits<std::int32_t>::max() << " 2147483647"
                             << "2147483647";
}

void TestNumberText::wholeNumbers() {
    QFETCH(std::int32_t, value);
    QFETCH(QString, withSign);
    QFETCH(QString, plain);
    QCOMPARE(QString::fromStdString(NumberText(value)), withSign);
    QCOMPARE(QString::fromStdString(PlainNumberText(value)), plain);
}

void TestNumberText::doubleKeepsFifteenDigits_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("withSign");
    QTest::addColumn<QString>("plain");
    QTest::newRow("a third") << 1.0 / 3.0 << " .333333333333333"
                             << "0.333333333333333";
    QTest::newRow("a tenth") << 0.1 << " .1"
                             << "0.1";
    QTest::newRow("fifteen digits") << 123456789012345.0 << " 123456789012345"
                                    << "123456789012345";
    QTest::newRow("sixteen digits") << 1234567890123456.0 << " 1.23456789012346E+15"
                                    << "1.23456789012346E+15";
    QTest::newRow("negative small") << -0.00002 << "-2E-05"
                                    << "-2E-05";
    QTest::newRow("beyond single") << 1e300 << " 1E+300"
                                   << "1E+300";
}

void TestNumberText::doubleKeepsFifteenDigits() {
    QFETCH(double, value);
    QFETCH(QString, withSign);
    QFETCH(QString, plain);
    QCOMPARE(QString::fromStdString(NumberText(value)), withSign);
    QCOMPARE(QString::fromStdString(PlainNumberText(value)), plain);
}

void TestNumberText::decimalMarkIsAPointInEveryLocale() {
    // The window toolkit switches the C library to the user's locale; files
    // must not follow it.
    const char* const commaLocales[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR"};
    bool tried = false;
    for (const char* name : commaLocales) {
        if (std::setlocale(LC_ALL, name) == nullptr) {
            continue;
        }
        tried = true;
        QCOMPARE(QString::fromStdString(NumberText(12.4f)), QString(" 12.4"));
        QCOMPARE(LeadingNumber("12.4"), 12.4);
    }
    std::setlocale(LC_ALL, "C");
    if (!tried) {
        QSKIP("no locale with a decimal comma is installed");
    }
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
