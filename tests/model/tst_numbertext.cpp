#include "model/gfunctions.h"
#include "modelfakes.h"

#include <QTest>
#include <clocale>
#include <cmath>
#include <cstdlib>

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void textsWithAndWithoutSignPosition_data() {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("withSign");
        QTest::addColumn<QByteArray>("plain");
        for (const QByteArrayList& row : dataRows("numbertext.tsv")) {
            QTest::newRow(row[0]) << row[1] << row[2] << row[3] << row[4];
        }
    }

    void textsWithAndWithoutSignPosition() {
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, withSign);
        QFETCH(QByteArray, plain);
        const char* text = value.constData();
        const auto texts = [&](auto number) {
            return QByteArrayList{QByteArray::fromStdString(NumberText(number)),
                                  QByteArray::fromStdString(PlainNumberText(number))};
        };
        const QByteArrayList actual =
            type == "single"  ? texts(std::strtof(text, nullptr))
            : type == "whole" ? texts(static_cast<std::int32_t>(std::strtol(text, nullptr, 10)))
                              : texts(std::strtod(text, nullptr));
        QCOMPARE(actual, (QByteArrayList{withSign, plain}));
    }

    void leadingNumberReadsTheNumberAtTheHead_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");
        for (const QByteArrayList& row : dataRows("leadingnumber.tsv")) {
            QTest::newRow(row[0]) << row[1] << std::strtod(row[2].constData(), nullptr);
        }
    }

    void leadingNumberReadsTheNumberAtTheHead() {
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        const double value = LeadingNumber(std::string_view(text.constData(), text.size()));
        if (std::isinf(expected) || expected == 0.0) {
            QCOMPARE(value, expected);
        } else {
            QVERIFY2(std::fabs(value - expected) <= std::fabs(expected) * 1e-12,
                     qPrintable(QString::number(value, 'g', 17)));
        }
    }

    void decimalMarkIsAPointInEveryLocale() {
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
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
