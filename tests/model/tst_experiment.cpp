#include "model/experiment.h"
#include "model/gfunctions.h"
#include "modelfakes.h"

#include <QTest>
#include <stdexcept>

class TestExperiment : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void extremesFollowTheLoadingDirection_data() {
        QTest::addColumn<std::int32_t>("code");
        QTest::addColumn<QList<std::int32_t>>("points");
        QTest::addColumn<std::int32_t>("seedLoad");
        QTest::addColumn<float>("seedDisp");
        QTest::addColumn<std::int32_t>("maxLoad");
        QTest::addColumn<float>("maxDisp");
        QTest::newRow("compression")
            << kTestCompression << QList<std::int32_t>{32768, 1000, 29000, 2000, 29500, 2100}
            << 65535 << 0.0f << 29000 << 2100.0f;
        QTest::newRow("tension") << kTestTension
                                 << QList<std::int32_t>{32768, 5000, 36000, 3000, 35500, 3100} << 0
                                 << 65535.0f << 36000 << 3000.0f;
        // The comparisons are strict: a reading equal to the seed never replaces it.
        QTest::newRow("equal reading, unknown code")
            << 42 << QList<std::int32_t>{65535, 0} << 65535 << 0.0f << 65535 << 0.0f;
    }

    void extremesFollowTheLoadingDirection() {
        QFETCH(std::int32_t, code);
        QFETCH(QList<std::int32_t>, points);
        QFETCH(std::int32_t, seedLoad);
        QFETCH(float, seedDisp);
        QFETCH(std::int32_t, maxLoad);
        QFETCH(float, maxDisp);
        Experiment experiment = testOf(code, points);
        QCOMPARE(experiment.MaxLoadDigital(), maxLoad);
        QCOMPARE(experiment.MaxDisplacementDigital(), maxDisp);
        // Setting the type again seeds the extremes without looking at points.
        experiment.SetTestType(code);
        QCOMPARE(experiment.MaxLoadDigital(), seedLoad);
        QCOMPARE(experiment.MaxDisplacementDigital(), seedDisp);
    }

    void convertedValuesArePositiveInLoadingDirection_data() {
        QTest::addColumn<std::int32_t>("code");
        QTest::addColumn<QList<std::int32_t>>("points");
        // 2048 counts from zero are 62.6 lbf; 1000 counts of travel less the
        // frame's deflection under that load are 0.0604 inch.
        QTest::newRow("compression")
            << kTestCompression << QList<std::int32_t>{32768, 1000, 30720, 2000};
        QTest::newRow("tension") << kTestTension << QList<std::int32_t>{32768, 1000, 34816, 0};
        QTest::newRow("shear") << kTestShear << QList<std::int32_t>{32768, 1000, 30720, 2000};
    }

    void convertedValuesArePositiveInLoadingDirection() {
        QFETCH(std::int32_t, code);
        QFETCH(QList<std::int32_t>, points);
        const Experiment experiment = testOf(code, points);
        QCOMPARE(exactSingle(experiment.load(2, kUnitsEnglish)), exactSingle(62.6f));
        QCOMPARE(exactSingle(experiment.Displacement(2, kUnitsEnglish)), exactSingle(0.0604f));
        QCOMPARE(exactSingle(experiment.MaxLoad(kUnitsEnglish)), exactSingle(62.6f));
        QCOMPARE(exactSingle(experiment.MaxDisplacement(kUnitsEnglish)), exactSingle(0.0604f));
        QCOMPARE(exactSingle(experiment.MaxLoad(kUnitsMetric)), exactSingle(278.0f));
    }

    void maxDisplacementPairsTheTwoExtremes() {
        // The deepest load (point 2) and the farthest travel (point 3) are
        // different points; the correction uses the deepest load anyway.
        const Experiment experiment =
            testOf(kTestCompression, {32768, 1000, 30720, 1500, 32000, 2000});
        QCOMPARE(exactSingle(experiment.MaxDisplacement(kUnitsEnglish)), exactSingle(0.0604f));
    }

    void valuesUseTheExperimentsOwnCalibration() {
        Experiment experiment;
        experiment.SetTestType(kTestCompression);
        experiment.AddDataPoint(32868, 0);
        experiment.AddDataPoint(0, 0);
        QCOMPARE(experiment.load(2, kUnitsEnglish), 0.0f); // ratio 0 until set
        experiment.SetLoadCellRatio(1.0f);
        experiment.SetLoadCellOffset(100);
        QCOMPARE(experiment.load(1, kUnitsEnglish), 0.0f);
        QCOMPARE(exactSingle(experiment.load(2, kUnitsMetric)), exactSingle(4448.0f + 14.0f));
    }

    void sampleAreaNeedsBothDimensionsPositive() {
        const auto area = [](float width, float thickness) {
            Experiment experiment;
            experiment.SetSampleWidth(width);
            experiment.SetSampleThickness(thickness);
            return experiment.SampleArea();
        };
        QCOMPARE(area(0.5f, 0.25f), 0.125f);
        QCOMPARE(area(2.0f, 0.0f), 1.0f);
        QCOMPARE(area(-2.0f, 3.0f), 1.0f);
        QCOMPARE(area(-2.0f, -3.0f), 1.0f);
    }

    void pointOutsideOneToCountRaisesIndexError() {
        Experiment experiment = testOf(kTestCompression, {});
        // The extremes' displacement needs point 1 as its reference.
        QVERIFY_THROWS_EXCEPTION(DataArrayError, experiment.MaxDisplacement(kUnitsEnglish));
        QVERIFY_THROWS_EXCEPTION(DataArrayError, experiment.load(1, kUnitsEnglish));
        experiment.AddDataPoint(32768, 1000);
        QVERIFY_THROWS_EXCEPTION(DataArrayError, experiment.Displacement(2, kUnitsMetric));
        QVERIFY_THROWS_EXCEPTION(DataArrayError, experiment.load(0, kUnitsEnglish));
    }
};

QTEST_APPLESS_MAIN(TestExperiment)
#include "tst_experiment.moc"
