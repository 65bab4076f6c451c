#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/testproperties.h"
#include "modelfakes.h"
#include "specimen.h"
#include "standards/curvegenerator.h"

#include <QDir>
#include <QTest>
#include <cmath>

using Points = std::vector<double>;
Q_DECLARE_METATYPE(Points)
Q_DECLARE_METATYPE(Absence)

namespace {
const double none = std::nan("");

// Values of every column in table order, NaN where there is none.
Points valuesOf(const TestProperties& p) {
    Points values;
    for (const PropertyColumn& column : PropertyColumns(kUnitsEnglish))
        values.push_back((p.*column.member).present() ? (p.*column.member).value : none);
    return values;
}

Points scaled(Points values, double factor) {
    for (double& value : values)
        value *= factor;
    return values;
}
} // namespace

class TestTestProperties : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void handComputedCurves_data() {
        QTest::addColumn<Points>("x");
        QTest::addColumn<Points>("y");
        QTest::addColumn<std::int32_t>("testType");
        QTest::addColumn<double>("area");
        QTest::addColumn<double>("length");
        QTest::addColumn<Points>("expected"); // every column in table order
        const Points line = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        // No break: the load rises to the last point; energy 10 x 9 x 9 / 2.
        QTest::newRow("straight line, no break")
            << line << scaled(line, 10) << kTestCompression << 0.0 << 1.0
            << Points{90, 9, none, none, none, 405, none, 10, 2, 4, none, none, none, none};
        // The first drop (10 to 8) is not the largest (7 to 2): the break is
        // point 5; energy 2.5 + 7.5 + 9 + 7.5 to it.
        QTest::newRow("two drops")
            << Points{0, 1, 2, 3, 4, 5, 6} << Points{0, 5, 10, 8, 7, 2, 1} << kTestCompression
            << 0.0 << 1.0 << Points{10, 2, 5, 7, 4, 10, 26.5, 5, 1, 3, none, none, none, none};
        // A flat top: the peak is the first of the equal loads, the break the
        // last point before the largest drop; energy 2.5 + 7.5, then + 10.
        QTest::newRow("flat top") << Points{0, 1, 2, 3, 4, 5} << Points{0, 5, 10, 10, 4, 0}
                                  << kTestCompression << 0.0 << 1.0
                                  << Points{10, 2, 4, 10,   3,    10,   20,
                                            5,  1, 3, none, none, none, none};
        // Stress 1000 x strain to 0.01, then 10 + 100 x (strain - 0.01), every
        // 0.002 strain to 0.03, then a drop to nothing; a sample of 2 sq. in. by
        // 4 in. The offset line 1000 (e - 0.002) meets the plastic part where
        // 900 e = 11. Stiffness 1000 x 2 / 4; energy 0.04 x 20 / 2 + 0.08 x 22.
        Points strain, stress;
        for (int i = 0; i <= 16; ++i) {
            strain.push_back(0.002 * std::min(i, 15));
            stress.push_back(i == 16 ? 0 : i <= 5 ? 2.0 * i : 10 + 100 * (strain.back() - 0.01));
        }
        const double yield = 10 + 100 * (11.0 / 900 - 0.01);
        QTest::newRow("bilinear tension")
            << scaled(strain, 4) << scaled(stress, 2) << kTestTension << 2.0 << 4.0
            << Points{24, 0.12, 16, 24, 0.12, 2.16, 2.16, 500, 2, 4, 12, 1000, yield, 3};
        // Elastic to the break: the offset line never meets the curve.
        Points brittle = scaled(line, 10), brittleX = line;
        brittle.push_back(0);
        brittleX.push_back(9);
        QTest::newRow("brittle tension")
            << brittleX << brittle << kTestTension << 1.0 << 1.0
            << Points{90, 9, 10, 90, 9, 405, 405, 10, 2, 4, 90, 10, none, 900};
    }

    void handComputedCurves() {
        QFETCH(Points, x);
        QFETCH(Points, y);
        QFETCH(std::int32_t, testType);
        QFETCH(double, area);
        QFETCH(double, length);
        QFETCH(Points, expected);
        const Points got =
            valuesOf(ComputeTestProperties(x, y, testType, kUnitsEnglish, area, length));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const bool same = std::isnan(expected[i]) ? std::isnan(got[i])
                                                      : std::fabs(got[i] - expected[i]) <=
                                                            1e-9 * std::fabs(expected[i]);
            QVERIFY2(
                same,
                qPrintable(QString("column %1: %2, not %3").arg(i).arg(got[i]).arg(expected[i])));
        }
    }

    void whatCannotBeComputedSaysWhy_data() {
        QTest::addColumn<Points>("y");
        QTest::addColumn<std::int32_t>("testType");
        QTest::addColumn<double>("area");
        QTest::addColumn<QList<Absence>>("why"); // of the peak, the stiffness, the modulus
        QTest::newRow("one point")
            << Points{5} << kTestTension << 1.0 << QList<Absence>(3, Absence::TooFewPoints);
        QTest::newRow("falling load")
            << Points{5, 4, 3} << kTestCompression << 0.0 << QList<Absence>(3, Absence::NoRise);
        QTest::newRow("peak at point 2")
            << Points{0, 5, 4} << kTestTension << 1.0
            << QList{Absence::None, Absence::TooFewPoints, Absence::TooFewPoints};
        QTest::newRow("beyond single precision") << Points{0, 1e39, 2e39} << kTestTension << 1.0
                                                 << QList<Absence>(3, Absence::NotComputable);
        QTest::newRow("tension without dimensions")
            << Points{0, 1, 2, 3} << kTestTension << 0.0
            << QList{Absence::None, Absence::None, Absence::NoDimensions};
    }

    void whatCannotBeComputedSaysWhy() {
        QFETCH(Points, y);
        QFETCH(std::int32_t, testType);
        QFETCH(double, area);
        QFETCH(QList<Absence>, why);
        Points x;
        for (std::size_t i = 0; i < y.size(); ++i)
            x.push_back(static_cast<double>(i));
        const TestProperties p = ComputeTestProperties(x, y, testType, kUnitsEnglish, area, 1.0);
        QCOMPARE((QList{p.peakLoad.absence, p.stiffness.absence, p.youngsModulus.absence}), why);
    }

    // An aluminium coupon, 0.125 by 0.5 by 2 in at 10 Msi, straight to 30 ksi
    // over only 49 of its 1,970 points, then hardening as 30 + 16 × (1 −
    // exp(−plastic strain / 0.03)) ksi, after a toe of 0.0005 inch: the
    // stiffness is the straight part's 312,500 lbf/inch and the offset line,
    // from where that part meets zero load, meets the curve at 0.2% plastic
    // strain. A window of a fifth of the rising points reached far into the
    // yielding.
    void stiffnessComesFromTheShortStraightPart() {
        CurveGenerator g;
        const auto stress = [](double p) { return 30e3 + 16e3 * (1 - std::exp(-p / 0.03)); };
        g.line(0.003, 30e3, 49)
            .add(
                [&](double t) {
                    return std::pair{stress(0.09 * t) / 10e6 + 0.09 * t, stress(0.09 * t)};
                },
                1920);
        const Readings r = g.line(g.lastStrain(), 0, 1).readings(0.0625, 2.0, 10e6, 0.0005, false);
        const TestProperties p =
            ComputeTestProperties(r.extension, r.force, kTestTension, kUnitsEnglish, 0.0625, 2.0);
        QVERIFY2(std::fabs(p.stiffness.value - 312500) < 300,
                 qPrintable(QString::number(p.stiffness.value)));
        QVERIFY(std::fabs(p.youngsModulus.value - 10e6) < 1e4);
        QVERIFY2(std::fabs(p.yieldStrength.value - stress(0.002)) < 30,
                 qPrintable(QString::number(p.yieldStrength.value)));
    }

    // The simulator's tension specimen: 400 lbf at 0.30 inch of travel, straight
    // to 70% of the peak at 40% of the travel, then flattening; sampled exactly
    // every 5 ms of its 10 s of loading, then broken. The frame's deflection
    // (0.00001 inch per lbf) comes off the travel, so the specimen's stiffness is
    // 2333.3 / (1 - 0.023333) lbf/inch and its energy to the break
    // 120 x 0.68 - 0.00001 x 400^2 / 2. With a sample 0.1 sq. in. by 2 in., the
    // offset line meets the curve at 291.74 lbf (solved numerically).
    void simulatedTensionTest() {
        Specimen specimen(SpecimenKind::Tension, 0, 1, 0.0);
        specimen.load(0.0);
        Experiment experiment;
        experiment.SetLoadCellRatio(1.0f);
        experiment.SetTestType(kTestTension);
        for (int step = 0; step < 2002; ++step) {
            const RawPair reading = specimen.exact(step < 2000 ? step * 0.005 : 10.5 + step - 2000);
            experiment.AddDataPoint(reading.load, reading.disp);
        }
        experiment.SetSampleWidth(0.5f);
        experiment.SetSampleThickness(0.2f);
        experiment.SetSampleLength(2.0f);
        const TestProperties p = ComputeTestProperties(experiment, kUnitsEnglish);
        const auto near = [](const PropertyValue& value, double wanted, double share) {
            return value.present() && std::fabs(value.value - wanted) <= share * wanted;
        };
        QVERIFY(near(p.peakLoad, 400, 0.001));
        // The top is flat to within a count: the first reading of the peak load
        // comes a little before the end of the travel.
        QVERIFY(near(p.peakDisplacement, 0.296, 0.02));
        QCOMPARE(p.breakPoint.value, 2000.0);
        QVERIFY(near(p.energyToBreak, 80.8, 0.005));
        QVERIFY(near(p.stiffness, 2389.08, 0.01));
        QVERIFY(p.stiffnessLastPoint.value <= 800); // inside the straight 40%
        QVERIFY(near(p.ultimateStrength, 4000, 0.001));
        QVERIFY(near(p.youngsModulus, 47781.6, 0.01));
        QVERIFY(near(p.yieldStrength, 2917.4, 0.01));
        QVERIFY(near(p.elongationAtBreak, 14.8, 0.002));
    }

    // The points are chosen on the readings, not on their rounding to 0.2 lbf or
    // to whole newtons: a noisy simulated tension test stopped on its flat top
    // (the largest drop after the peak is noise) and every data file of the test
    // data and of the fuzzing corpus give the same point numbers in both units.
    void bothUnitsChooseTheSamePoints_data() {
        QTest::addColumn<QString>("file"); // empty: the noisy simulated test
        QTest::newRow("noisy tension") << QString();
        for (const QDir& folder :
             {QDir(TORVIK_TEST_DATA "properties"), QDir(TORVIK_TEST_DATA "../../../fuzz/corpus")})
            for (const QString& name : folder.entryList({QStringLiteral("*.tdf")}))
                QTest::newRow(qPrintable(name)) << folder.filePath(name);
    }

    void bothUnitsChooseTheSamePoints() {
        QFETCH(QString, file);
        Experiment experiment;
        experiment.SetLoadCellRatio(1.0f);
        experiment.SetTestType(kTestTension);
        RecordingMessages messages;
        if (!file.isEmpty() && !experiment.LoadFile(file.toStdString(), messages))
            QSKIP("not a data file");
        Specimen specimen(SpecimenKind::Tension, 0, 2, 0.0);
        specimen.load(0.0);
        for (int step = 0; file.isEmpty() && step < 1990; ++step) {
            const RawPair reading = specimen.sample(step * 0.005);
            experiment.AddDataPoint(reading.load, reading.disp);
        }
        const Points english = valuesOf(ComputeTestProperties(experiment, kUnitsEnglish));
        const Points metric = valuesOf(ComputeTestProperties(experiment, kUnitsMetric));
        for (const int column : {2, 8, 9}) // the break and the stiffness window
            QCOMPARE(QString::number(metric[column]), QString::number(english[column]));
    }
};

QTEST_GUILESS_MAIN(TestTestProperties)
#include "tst_testproperties.moc"
