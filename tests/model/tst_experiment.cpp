#include "model/dataarray.h"
#include "model/experiment.h"
#include "model/experiments.h"
#include "model/gfunctions.h"
#include "modelfakes.h"

#include <QTest>
#include <limits>
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

    void keysAreOptionalUniqueAndIgnoreLetterCase() {
        Experiments experiments;
        Experiment& first = experiments.Add();
        Experiment& keyed = experiments.Add("Tension 1");
        QCOMPARE(&experiments.Item(1), &first);
        QCOMPARE(&experiments.Item("tension 1"), &keyed);
        QCOMPARE(first.SampleLength(), 1.0f);
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item(std::string()));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Add("TENSION 1"));
        QCOMPARE(experiments.Count(), 2);
        experiments.Remove("TENSION 1");
        QCOMPARE(experiments.Count(), 1);
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item("tension 1"));
    }

    void positionOrKeyNotPresentIsAFailureThatChangesNothing() {
        Experiments experiments;
        experiments.Add("a");
        experiments.Add("b");
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item(0));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item(3));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Item("z"));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Remove(0));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Remove(3));
        QVERIFY_THROWS_EXCEPTION(ExperimentsError, experiments.Remove("z"));
        QCOMPARE(experiments.Count(), 2);
    }

    void removingMovesLaterMembersUpInTheEnumeration() {
        Experiments experiments;
        for (std::int32_t code = 1; code <= 4; ++code) {
            experiments.Add().SetTestType(code);
        }
        experiments.Remove(2);
        QList<std::int32_t> codes;
        for (const Experiment& experiment : experiments) {
            codes.append(experiment.TestType());
        }
        QCOMPARE(codes, (QList<std::int32_t>{1, 3, 4}));
    }

    void pointOutsideTheSeriesRaisesTheIndexErrorAndLeavesIt_data() {
        QTest::addColumn<bool>("write");
        QTest::addColumn<std::int32_t>("index");
        QTest::newRow("read 0") << false << 0;
        QTest::newRow("read one past the end") << false << 4;
        QTest::newRow("read lowest") << false << std::numeric_limits<std::int32_t>::min();
        QTest::newRow("read highest") << false << std::numeric_limits<std::int32_t>::max();
        QTest::newRow("write 0") << true << 0;
        QTest::newRow("write lowest") << true << std::numeric_limits<std::int32_t>::min();
    }

    void pointOutsideTheSeriesRaisesTheIndexErrorAndLeavesIt() {
        QFETCH(bool, write);
        QFETCH(std::int32_t, index);
        DataArray series;
        series.SetValue(3, 7);
        try {
            write ? series.SetValue(index, 99) : (void)series.Value(index);
            QFAIL("no index error");
        } catch (const DataArrayError& error) {
            QCOMPARE(error.code(), -2147220504); // 0x800403E8
            QCOMPARE(error.source(), std::string("DataArray"));
            QCOMPARE(error.description(), std::string("Index out of bounds."));
            QCOMPARE(std::string(error.what()), std::string("Index out of bounds."));
        }
        QCOMPARE(series.Length(), 3);
        QCOMPARE(series.Value(3), 7);
    }

    void writingPastEndFillsGapWithZerosUntilClearDropsAll() {
        DataArray series;
        series.SetValue(5, -42);
        series.SetValue(2, -1);
        QCOMPARE(series.Length(), 5);
        QCOMPARE((QList<std::int32_t>{series.Value(1), series.Value(2), series.Value(3),
                                      series.Value(4), series.Value(5)}),
                 (QList<std::int32_t>{0, -1, 0, 0, -42}));
        series.Clear();
        QCOMPARE(series.Length(), 0);
        QCOMPARE(series.CapacityBytes(), std::size_t{0});
        series.SetValue(1, 5);
        QCOMPARE(series.Length(), 1);
    }

    void appendingGrowsStorageGeometrically() {
        // Acquisition appends one point at a time; each append must not copy the
        // whole series, and the spare room must stay within a factor of two.
        DataArray series;
        std::size_t capacityChanges = 0;
        std::size_t capacity = series.CapacityBytes();
        constexpr std::int32_t kPoints = 100'000;
        for (std::int32_t i = 1; i <= kPoints; ++i) {
            series.SetValue(i, i);
            if (series.CapacityBytes() != capacity) {
                capacity = series.CapacityBytes();
                ++capacityChanges;
            }
        }
        QCOMPARE(series.Value(kPoints), kPoints);
        QVERIFY2(capacityChanges < 40, qPrintable(QString::number(capacityChanges)));
        QVERIFY(series.CapacityBytes() <= sizeof(std::int32_t) * 2 * kPoints);
    }
};

QTEST_APPLESS_MAIN(TestExperiment)
#include "tst_experiment.moc"
