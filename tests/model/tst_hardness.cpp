#include "model/experiment.h"
#include "model/gfunctions.h"

#include <QTest>

namespace {

// Raw readings of a hardness test at ratio 1: displacements 0, 0.0025,
// 0.005, 0.010 and 0.015 inch after the frame's deflection is taken off,
// under loads of 0, 20, 50, 100 and 150 lbf.
constexpr std::int32_t kLoads[] = {32768, 32768 - 655, 32768 - 1638, 32768 - 3277, 32768 - 4915};
constexpr std::int32_t kDisps[] = {1000, 1044, 1090, 1180, 1270};

Experiment hardnessTest(std::int32_t code, int points) {
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(code);
    for (int i = 0; i < points; ++i) {
        experiment.AddDataPoint(kLoads[i], kDisps[i]);
    }
    return experiment;
}

} // namespace

class TestHardness : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void slopeBetweenTheMarksGivesTheNumber();
    void noNumberWithoutAHardnessTestOrItsMarks_data();
    void noNumberWithoutAHardnessTestOrItsMarks();
    void onePointSettingBothMarksGivesNoNumber();
    void numberBeyondSixteenBitsIsAFailure();
};

void TestHardness::slopeBetweenTheMarksGivesTheNumber() {
    const Experiment experiment = hardnessTest(kTestHardness, 5);
    const float expected[][2] = {{0, 0}, {0.0025f, 20}, {0.005f, 50}, {0.010f, 100}, {0.015f, 150}};
    for (std::int32_t i = 1; i <= 5; ++i) {
        QCOMPARE(experiment.Displacement(i, kUnitsEnglish), expected[i - 1][0]);
        QCOMPARE(experiment.load(i, kUnitsEnglish), expected[i - 1][1]);
    }
    // Marks at points 3 and 5: 10000 lbf per inch, 20 in units of 500.
    QCOMPARE(HardnessNumber(experiment), std::int16_t{20});
}

void TestHardness::noNumberWithoutAHardnessTestOrItsMarks_data() {
    QTest::addColumn<std::int32_t>("code");
    QTest::addColumn<int>("points");
    QTest::newRow("compression test") << kTestCompression << 5;
    QTest::newRow("no points") << kTestHardness << 0;
    QTest::newRow("never reaches 0.015 inch") << kTestHardness << 4;
    QTest::newRow("never reaches 0.005 inch") << kTestHardness << 2;
}

void TestHardness::noNumberWithoutAHardnessTestOrItsMarks() {
    QFETCH(std::int32_t, code);
    QFETCH(int, points);
    QCOMPARE(HardnessNumber(hardnessTest(code, points)), std::int16_t{0});
}

void TestHardness::onePointSettingBothMarksGivesNoNumber() {
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestHardness);
    experiment.AddDataPoint(32768, 1000);
    experiment.AddDataPoint(32768 - 1638, 1400); // 0.0238 inch at once
    experiment.AddDataPoint(32768 - 3277, 1600);
    QCOMPARE(HardnessNumber(experiment), std::int16_t{0});
}

void TestHardness::numberBeyondSixteenBitsIsAFailure() {
    // A ten-times load cell: 2000.2 lbf more over the last ten-thousandth of
    // an inch before 0.015 is 20 million lbf per inch, 40000 units of 500.
    Experiment experiment;
    experiment.SetLoadCellRatio(10.0f);
    experiment.SetTestType(kTestHardness);
    experiment.AddDataPoint(32768, 1000);
    experiment.AddDataPoint(32768, 1244);
    experiment.AddDataPoint(32768 - 6554, 1574);
    QCOMPARE(experiment.Displacement(2, kUnitsEnglish), 0.0149f);
    QCOMPARE(experiment.Displacement(3, kUnitsEnglish), 0.015f);
    QCOMPARE(experiment.load(3, kUnitsEnglish), 2000.2f);
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, HardnessNumber(experiment));
}

QTEST_APPLESS_MAIN(TestHardness)
#include "tst_hardness.moc"
