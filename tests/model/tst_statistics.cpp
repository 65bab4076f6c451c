#include "model/statistics.h"

#include <QTest>

class TestStatistics : public QObject {
    Q_OBJECT

private slots:
    void knownValues();
};

// 2, 4, 4, 4, 5, 5, 7, 9: mean 5, squares 32 over 7, deviation 2.13809,
// coefficient 42.7618%. One value has no deviation; a zero mean no
// coefficient; nothing has no mean.
void TestStatistics::knownValues() {
    const ColumnStatistics set = Statistics({2, 4, 4, 4, 5, 5, 7, 9});
    QCOMPARE(*set.mean, 5.0);
    QCOMPARE(*set.standardDeviation, std::sqrt(32.0 / 7.0));
    QCOMPARE(*set.coefficientOfVariation, std::sqrt(32.0 / 7.0) / 5.0 * 100.0);
    const ColumnStatistics one = Statistics({3});
    QCOMPARE(*one.mean, 3.0);
    QVERIFY(!one.standardDeviation && !one.coefficientOfVariation);
    const ColumnStatistics balanced = Statistics({-1, 1});
    QCOMPARE(*balanced.standardDeviation, std::sqrt(2.0));
    QVERIFY(!balanced.coefficientOfVariation);
    QVERIFY(!Statistics({}).mean);
}

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
