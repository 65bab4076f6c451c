#include "model/gfunctions.h"
#include "modelfakes.h"

#include <QTest>
#include <cmath>
#include <cstdlib>

class TestLeadingNumber : public QObject {
    Q_OBJECT

private slots:
    void readsTheNumberAtTheHead_data();
    void readsTheNumberAtTheHead();
};

void TestLeadingNumber::readsTheNumberAtTheHead_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");
    for (const QByteArrayList& row : dataRows("leadingnumber.tsv")) {
        QTest::newRow(row[0]) << row[1] << std::strtod(row[2].constData(), nullptr);
    }
}

void TestLeadingNumber::readsTheNumberAtTheHead() {
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

QTEST_APPLESS_MAIN(TestLeadingNumber)
#include "tst_leadingnumber.moc"
