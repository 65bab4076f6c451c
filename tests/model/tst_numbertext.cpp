#include "model/gfunctions.h"

#include <QTest>
#include <clocale>
#include <limits>

namespace {

// Rows of a value, its text with the sign position and its plain text.
template <typename T> void columns() {
    QTest::addColumn<T>("value");
    QTest::addColumn<QString>("withSign");
    QTest::addColumn<QString>("plain");
}

template <typename T> void row(const char* name, T value, const char* withSign, const char* plain) {
    QTest::newRow(name) << value << QString(withSign) << QString(plain);
}

template <typename T> void compareTexts() {
    QFETCH(T, value);
    QFETCH(QString, withSign);
    QFETCH(QString, plain);
    QCOMPARE(QString::fromStdString(NumberText(value)), withSign);
    QCOMPARE(QString::fromStdString(PlainNumberText(value)), plain);
}

} // namespace

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void singleWithSignPosition_data();
    void singleWithSignPosition() { compareTexts<float>(); }
    void wholeNumbers_data();
    void wholeNumbers() { compareTexts<std::int32_t>(); }
    void doubleKeepsFifteenDigits_data();
    void doubleKeepsFifteenDigits() { compareTexts<double>(); }
    void decimalMarkIsAPointInEveryLocale();
};

void TestNumberText::singleWithSignPosition_data() {
    columns<float>();
    row("whole", 120.0f, " 120", "120");
    row("minus a quarter", -0.25f, "-.25", "-0.25");
    row("negative zero", -0.0f, " 0", "0");
    row("smallest fixed", 0.0001f, " .0001", "0.0001");
    row("below a ten-thousandth", 0.00001f, " 1E-05", "1E-05");
    row("exponent with mantissa", -0.000015f, "-1.5E-05", "-1.5E-05");
    row("seven digits", 1234567.0f, " 1234567", "1234567");
    row("eight digits", 12345678.0f, " 1.234568E+07", "1.234568E+07");
    row("hundred million", 1e8f, " 1E+08", "1E+08");
    row("a third", 1.0f / 3.0f, " .3333333", "0.3333333");
    row("single noise hidden", 25.4f, " 25.4", "25.4");
    row("large negative", -3.4e38f, "-3.4E+38", "-3.4E+38");
}

void TestNumberText::wholeNumbers_data() {
    columns<std::int32_t>();
    row("120", 120, " 120", "120");
    row("negative has no blank", -12, "-12", "-12");
    row("lowest", std::numeric_limits<std::int32_t>::min(), "-2147483648", "-2147483648");
}

void TestNumberText::doubleKeepsFifteenDigits_data() {
    columns<double>();
    row("a third", 1.0 / 3.0, " .333333333333333", "0.333333333333333");
    row("fifteen digits", 123456789012345.0, " 123456789012345", "123456789012345");
    row("sixteen digits", 1234567890123456.0, " 1.23456789012346E+15", "1.23456789012346E+15");
    row("negative small", -0.00002, "-2E-05", "-2E-05");
    row("beyond single", 1e300, " 1E+300", "1E+300");
}

void TestNumberText::decimalMarkIsAPointInEveryLocale() {
    // The window toolkit switches the C library to the user's locale; files
    // must not follow it.
    bool tried = false;
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            tried = true;
            QCOMPARE(QString::fromStdString(NumberText(12.4f)), QString(" 12.4"));
            QCOMPARE(LeadingNumber("12.4"), 12.4);
        }
    }
    std::setlocale(LC_ALL, "C");
    if (!tried) {
        QSKIP("no locale with a decimal comma is installed");
    }
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
