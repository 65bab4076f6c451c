#include "model/experiment.h"
#include "model/gfunctions.h"
#include "modelfakes.h"

#include <QTest>

class TestHardness : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void noNumberWithoutAHardnessTestOrItsMarks_data() {
        QTest::addColumn<std::int32_t>("code");
        QTest::addColumn<QList<std::int32_t>>("points");
        QTest::newRow("compression test") << kTestCompression << hardnessPoints();
        QTest::newRow("no points") << kTestHardness << QList<std::int32_t>{};
        QTest::newRow("never reaches 0.015 inch") << kTestHardness << hardnessPoints(4);
        QTest::newRow("never reaches 0.005 inch") << kTestHardness << hardnessPoints(2);
        // 0.0238 inch at once: one point sets both marks.
        QTest::newRow("one point sets both marks")
            << kTestHardness
            << QList<std::int32_t>{32768, 1000, 32768 - 1638, 1400, 32768 - 3277, 1600};
    }

    void noNumberWithoutAHardnessTestOrItsMarks() {
        QFETCH(std::int32_t, code);
        QFETCH(QList<std::int32_t>, points);
        QCOMPARE(HardnessNumber(testOf(code, points)), std::int16_t{0});
    }

    void numberBeyondSixteenBitsIsAFailure() {
        // A ten-times load cell: 2000.2 lbf more over the last ten-thousandth of
        // an inch before 0.015 is 20 million lbf per inch, 40000 units of 500.
        Experiment experiment =
            testOf(kTestHardness, {32768, 1000, 32768, 1244, 32768 - 6554, 1574});
        experiment.SetLoadCellRatio(10.0f);
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, HardnessNumber(experiment));
    }
};

QTEST_APPLESS_MAIN(TestHardness)
#include "tst_hardness.moc"
