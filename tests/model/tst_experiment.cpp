#include "model/experiment.h"
#include "model/gfunctions.h"
#include "modelfakes.h"

#include <QTest>
#include <stdexcept>

namespace {

struct Point {
    std::int32_t load;
    std::int32_t disp;
};

void addPoints(Experiment& experiment, std::initializer_list<Point> points) {
    for (const Point& point : points) {
        experiment.AddDataPoint(point.load, point.disp);
    }
}

} // namespace

class TestExperiment : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void newExperimentHasClearedValues();
    void clearRestoresCreationValues();
    void settingTestTypeSeedsExtremesWithoutLookingAtPoints_data();
    void settingTestTypeSeedsExtremesWithoutLookingAtPoints();
    void extremesFollowTheLoadingDirection_data();
    void extremesFollowTheLoadingDirection();
    void equalReadingLeavesExtreme();
    void convertedValuesArePositiveInLoadingDirection_data();
    void convertedValuesArePositiveInLoadingDirection();
    void displacementOfPointOneIsZero_data();
    void displacementOfPointOneIsZero();
    void maxDisplacementPairsTheTwoExtremes();
    void valuesUseTheExperimentsOwnCalibration();
    void sampleAreaNeedsBothDimensionsPositive_data();
    void sampleAreaNeedsBothDimensionsPositive();
    void pointOutsideOneToCountRaisesIndexError_data();
    void pointOutsideOneToCountRaisesIndexError();
    void testStringIsTheUpperCaseName();
    void testStringOfUnknownCodeIsAFailure();
    void seriesAreTheExperimentsOwn();
};

void TestExperiment::newExperimentHasClearedValues() {
    const Experiment experiment;
    QCOMPARE(experiment.Count(), 0);
    QCOMPARE(experiment.SampleLength(), 1.0f);
    QCOMPARE(experiment.SampleThickness(), 0.0f);
    QCOMPARE(experiment.SampleWidth(), 0.0f);
    QCOMPARE(experiment.SampleArea(), 1.0f);
    QCOMPARE(experiment.TestString(), std::string());
    QCOMPARE(experiment.TestType(), kTestNone);
    QCOMPARE(experiment.direction(), std::int16_t{1});
    QCOMPARE(experiment.MaxLoadDigital(), 0);
    QCOMPARE(experiment.MaxDisplacementDigital(), 0.0f);
    QCOMPARE(experiment.LoadCellRatio(), 0.0f);
    QCOMPARE(experiment.LoadCellOffset(), 0);
}

void TestExperiment::clearRestoresCreationValues() {
    Experiment experiment;
    experiment.SetLoadCellRatio(1.5f);
    experiment.SetLoadCellOffset(-12);
    experiment.SetTestType(kTestTension);
    experiment.SetSampleThickness(2.0f);
    experiment.SetSampleWidth(3.0f);
    experiment.SetSampleLength(4.0f);
    addPoints(experiment, {{33000, 100}, {34000, 50}});
    experiment.Clear();
    QCOMPARE(experiment.Count(), 0);
    QCOMPARE(experiment.DigitalDisplacement().Length(), 0);
    QCOMPARE(experiment.TestType(), kTestNone);
    // Clear leaves both extremes at 0; only the test type seeds them.
    QCOMPARE(experiment.MaxLoadDigital(), 0);
    QCOMPARE(experiment.MaxDisplacementDigital(), 0.0f);
    QCOMPARE(experiment.SampleThickness(), 0.0f);
    QCOMPARE(experiment.SampleWidth(), 0.0f);
    QCOMPARE(experiment.SampleLength(), 1.0f);
    QCOMPARE(experiment.LoadCellRatio(), 0.0f);
    QCOMPARE(experiment.LoadCellOffset(), 0);
}

void TestExperiment::settingTestTypeSeedsExtremesWithoutLookingAtPoints_data() {
    QTest::addColumn<std::int32_t>("code");
    QTest::addColumn<std::int32_t>("maxLoad");
    QTest::addColumn<float>("maxDisp");
    QTest::newRow("tension") << kTestTension << 0 << 65535.0f;
    QTest::newRow("compression") << kTestCompression << 65535 << 0.0f;
    QTest::newRow("hardness") << kTestHardness << 65535 << 0.0f;
    QTest::newRow("unknown code") << 42 << 65535 << 0.0f;
}

void TestExperiment::settingTestTypeSeedsExtremesWithoutLookingAtPoints() {
    QFETCH(std::int32_t, code);
    QFETCH(std::int32_t, maxLoad);
    QFETCH(float, maxDisp);
    Experiment experiment;
    addPoints(experiment, {{32768, 1000}, {30000, 2000}});
    experiment.SetTestType(code);
    QCOMPARE(experiment.TestType(), code);
    QCOMPARE(experiment.MaxLoadDigital(), maxLoad);
    QCOMPARE(experiment.MaxDisplacementDigital(), maxDisp);
    QCOMPARE(experiment.Count(), 2);
}

void TestExperiment::extremesFollowTheLoadingDirection_data() {
    QTest::addColumn<std::int32_t>("code");
    QTest::addColumn<QList<std::int32_t>>("loads");
    QTest::addColumn<QList<std::int32_t>>("disps");
    QTest::addColumn<std::int32_t>("maxLoad");
    QTest::addColumn<float>("maxDisp");
    QTest::newRow("compression") << kTestCompression
                                 << QList<std::int32_t>{32768, 30000, 29000, 29500}
                                 << QList<std::int32_t>{1000, 1500, 2000, 2100} << 29000 << 2100.0f;
    QTest::newRow("tension") << kTestTension << QList<std::int32_t>{32768, 35000, 36000, 35500}
                             << QList<std::int32_t>{5000, 4000, 3000, 3100} << 36000 << 3000.0f;
}

void TestExperiment::extremesFollowTheLoadingDirection() {
    QFETCH(std::int32_t, code);
    QFETCH(QList<std::int32_t>, loads);
    QFETCH(QList<std::int32_t>, disps);
    QFETCH(std::int32_t, maxLoad);
    QFETCH(float, maxDisp);
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(code);
    for (qsizetype i = 0; i < loads.size(); ++i) {
        experiment.AddDataPoint(loads[i], disps[i]);
    }
    QCOMPARE(static_cast<qsizetype>(experiment.Count()), loads.size());
    QCOMPARE(experiment.MaxLoadDigital(), maxLoad);
    QCOMPARE(experiment.MaxDisplacementDigital(), maxDisp);
    QVERIFY(experiment.MaxLoad(kUnitsEnglish) > 0.0f);
    QVERIFY(experiment.MaxLoad(kUnitsMetric) > 0.0f);
    QVERIFY(experiment.MaxDisplacement(kUnitsEnglish) > 0.0f);
}

void TestExperiment::equalReadingLeavesExtreme() {
    // The comparisons are strict: a reading equal to the seed never replaces it.
    Experiment experiment;
    experiment.SetTestType(kTestShear);
    addPoints(experiment, {{65535, 0}});
    QCOMPARE(experiment.MaxLoadDigital(), 65535);
    QCOMPARE(experiment.MaxDisplacementDigital(), 0.0f);
}

void TestExperiment::convertedValuesArePositiveInLoadingDirection_data() {
    QTest::addColumn<std::int32_t>("code");
    QTest::addColumn<std::int32_t>("load2");
    QTest::addColumn<std::int32_t>("disp2");
    QTest::addColumn<float>("loadLbf");
    QTest::addColumn<float>("dispInch");
    // 2048 counts from zero are 62.6 lbf; 1000 counts of travel less the
    // frame's deflection under that load are 0.0604 inch.
    QTest::newRow("compression") << kTestCompression << 30720 << 2000 << 62.6f << 0.0604f;
    QTest::newRow("tension") << kTestTension << 34816 << 0 << 62.6f << 0.0604f;
}

void TestExperiment::convertedValuesArePositiveInLoadingDirection() {
    QFETCH(std::int32_t, code);
    QFETCH(std::int32_t, load2);
    QFETCH(std::int32_t, disp2);
    QFETCH(float, loadLbf);
    QFETCH(float, dispInch);
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(code);
    addPoints(experiment, {{32768, 1000}, {load2, disp2}});
    QCOMPARE(exactSingle(experiment.load(2, kUnitsEnglish)), exactSingle(loadLbf));
    QCOMPARE(exactSingle(experiment.Displacement(2, kUnitsEnglish)), exactSingle(dispInch));
    QCOMPARE(exactSingle(experiment.MaxLoad(kUnitsEnglish)), exactSingle(loadLbf));
    QCOMPARE(exactSingle(experiment.MaxDisplacement(kUnitsEnglish)), exactSingle(dispInch));
}

void TestExperiment::displacementOfPointOneIsZero_data() {
    QTest::addColumn<std::int32_t>("code");
    QTest::addColumn<std::int32_t>("units");
    QTest::newRow("compression english") << kTestCompression << kUnitsEnglish;
    QTest::newRow("compression metric") << kTestCompression << kUnitsMetric;
    QTest::newRow("tension english") << kTestTension << kUnitsEnglish;
    QTest::newRow("tension metric") << kTestTension << kUnitsMetric;
}

void TestExperiment::displacementOfPointOneIsZero() {
    QFETCH(std::int32_t, code);
    QFETCH(std::int32_t, units);
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(code);
    addPoints(experiment, {{31000, 1234}, {30000, 2000}});
    QCOMPARE(experiment.Displacement(1, units), 0.0f);
}

void TestExperiment::maxDisplacementPairsTheTwoExtremes() {
    // The deepest load (point 2) and the farthest travel (point 3) are
    // different points; the correction uses the deepest load anyway.
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestCompression);
    addPoints(experiment, {{32768, 1000}, {30720, 1500}, {32000, 2000}});
    QCOMPARE(exactSingle(experiment.MaxDisplacement(kUnitsEnglish)),
             exactSingle(DigitalToDisplacement(1000, 32768, 2000, 30720, 1, 1.0f, 0)));
    QCOMPARE(exactSingle(experiment.MaxDisplacement(kUnitsEnglish)), exactSingle(0.0604f));
}

void TestExperiment::valuesUseTheExperimentsOwnCalibration() {
    Experiment experiment;
    experiment.SetTestType(kTestCompression);
    addPoints(experiment, {{32868, 0}, {0, 0}});
    QCOMPARE(experiment.load(2, kUnitsEnglish), 0.0f); // ratio 0 until set
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetLoadCellOffset(100);
    QCOMPARE(experiment.load(1, kUnitsEnglish), 0.0f);
    QCOMPARE(exactSingle(experiment.load(2, kUnitsMetric)), exactSingle(4448.0f + 14.0f));
}

void TestExperiment::sampleAreaNeedsBothDimensionsPositive_data() {
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("thickness");
    QTest::addColumn<float>("area");
    QTest::newRow("thickness zero") << 2.0f << 0.0f << 1.0f;
    QTest::newRow("both positive") << 2.0f << 3.0f << 6.0f;
    QTest::newRow("width negative") << -2.0f << 3.0f << 1.0f;
    QTest::newRow("both negative") << -2.0f << -3.0f << 1.0f;
    QTest::newRow("small") << 0.5f << 0.25f << 0.125f;
}

void TestExperiment::sampleAreaNeedsBothDimensionsPositive() {
    QFETCH(float, width);
    QFETCH(float, thickness);
    QFETCH(float, area);
    Experiment experiment;
    experiment.SetSampleWidth(width);
    experiment.SetSampleThickness(thickness);
    QCOMPARE(experiment.SampleArea(), area);
}

void TestExperiment::pointOutsideOneToCountRaisesIndexError_data() {
    QTest::addColumn<std::int32_t>("points");
    QTest::addColumn<std::int32_t>("index");
    QTest::newRow("point 0") << 3 << 0;
    QTest::newRow("point Count + 1") << 3 << 4;
    QTest::newRow("no points") << 0 << 1;
}

void TestExperiment::pointOutsideOneToCountRaisesIndexError() {
    QFETCH(std::int32_t, points);
    QFETCH(std::int32_t, index);
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    for (std::int32_t i = 0; i < points; ++i) {
        experiment.AddDataPoint(32768, 1000);
    }
    QVERIFY_THROWS_EXCEPTION(DataArrayError, experiment.load(index, kUnitsEnglish));
    QVERIFY_THROWS_EXCEPTION(DataArrayError, experiment.Displacement(index, kUnitsMetric));
    if (points == 0) {
        // The extremes' displacement needs point 1 as its reference.
        QVERIFY_THROWS_EXCEPTION(DataArrayError, experiment.MaxDisplacement(kUnitsEnglish));
    }
}

void TestExperiment::testStringIsTheUpperCaseName() {
    Experiment experiment;
    experiment.SetTestType(kTestStructures);
    QCOMPARE(experiment.TestString(), std::string("STRUCTURES"));
}

void TestExperiment::testStringOfUnknownCodeIsAFailure() {
    Experiment experiment;
    experiment.SetTestType(6);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, experiment.TestString());
}

void TestExperiment::seriesAreTheExperimentsOwn() {
    Experiment experiment;
    const DataArray& loads = experiment.DigitalLoad();
    experiment.AddDataPoint(30000, 1500);
    QCOMPARE(&experiment.DigitalLoad(), &loads);
    QCOMPARE(loads.Value(1), 30000);
    QCOMPARE(experiment.DigitalDisplacement().Value(1), 1500);
}

QTEST_APPLESS_MAIN(TestExperiment)
#include "tst_experiment.moc"
